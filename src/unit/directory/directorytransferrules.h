#pragma once

#include "directory/directoryrecord.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class RecordTable;

// The whole directory between the program and the unit: the download (one
// range dump of every slot) and the upload (erase, then one "b" command per
// record in name order).  The rules of both live in the functions below,
// which tests drive without a window; DirectoryTransfer binds them to the
// main window.
namespace DirectoryTransferRules {
// Waiting for the dump: passes of about 95 ms.
constexpr int PassLimit = 500;
constexpr int RemotePassLimit = 1000; // over a modem
constexpr int StallPasses = 40;       // more passes than this without text: the unit is gone
constexpr int EraseAttempts = 2;
constexpr int MaxErrors = 5;          // the upload ends after one more record failed
} // namespace DirectoryTransferRules

// Whether a line of the dump is a slot line (it begins with a record
// address), as opposed to the unit's first and last lines.
bool IsDirectorySlotLine(const QString &line);

// Whether the received text ends the dump: its last complete line holds
// "OK" and is not a slot line (a name such as "BROOKS" holds "OK" too).
bool DirectoryDumpEnded(const QString &received);

// The records of a dump's received text: every line but the unit's first
// one, empty lines and empty slots skipped.  The last line is dropped when
// it is the closing "OK" line or was cut off; a dump that stopped after a
// whole slot line keeps that record.
QList<DirectoryRecord> ParseDirectoryDump(const QString &received);

// Appends records to an open table, the RFID left empty; returns how many.
int AppendDirectoryRecords(RecordTable &table, const QList<DirectoryRecord> &records);

// How many records the model holds: (endAddress - 4096) / 32, rounded;
// -128 for an unrecognised model (endAddress 0).
int DirectoryRecordLimit(int endAddress);
// The message for more records than the model holds.
QString DirectoryLimitMessage(int limit);

// Gives the records, from the first in the table's current order, the
// addresses 1000, 1020, ... while they do not pass endAddress; returns how
// many were numbered.  The cursor ends after the last one numbered.
int RenumberDirectory(RecordTable &table, int endAddress);

// The record text the upload sends for one stored record (values in field
// order; recordNumber counts from 1 and names the record in messages).  A
// room that does not read as a number is reported and sent as "0".  Nothing,
// after a message, for a record the unit must not get: an empty room (the
// unit would keep it and the next download drop the resident), a code that
// is not all digits (the unit would get less than the table shows), or a
// control character in a field the text is built from.
std::optional<QString> UploadRecordText(const QStringList &values, int recordNumber);
