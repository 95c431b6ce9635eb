#pragma once

#include <QByteArray>
#include <QString>

class RecordTable;

// The phone list on the PC: the directory table in the CSV text form of
// csvtext.h ("OstiPhList.csv" by default).  Files that cannot be read or
// written throw AppError with a message for the user.

// Writes the header and every record of `table` in its current order,
// replacing any file of that name.  The old file stays intact until the new
// one is complete.  The table is unchanged.
void SaveDirectoryFile(const RecordTable &table, const QString &path);

// The whole file's bytes; throws AppError when it cannot be opened or read.
// Lets a caller make sure a file opens before it empties the table.
QByteArray ReadDirectoryFile(const QString &path);

// Appends the records of a file's bytes to `table` (defined, open and
// emptied by the caller); returns how many.
int FillDirectoryTable(RecordTable &table, const QByteArray &bytes);

// ReadDirectoryFile, then FillDirectoryTable.  Nothing is added when the
// file cannot be read.
int LoadDirectoryFile(RecordTable &table, const QString &path);
