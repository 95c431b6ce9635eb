#pragma once

#include <QByteArray>
#include <QString>

class RecordTable;

// The clocks of the last event download as the Events page shows them.
struct EventFileTimes {
    QString unitTime; // Stime
    QString unitDate; // Sdate
    QString pcTime;   // Ctime
    QString pcDate;   // Cdate
};

// The event file (".Evt"), written only: two lines with the unit's clock and
// the PC's clock at the download, then the event table in the CSV text form
// of csvtext.h (header, then the records in the table's current order),
// every value as it stands: never quoted, a comma included.
// Every line ends with CR LF; every character is one byte.

// The two time lines.
QByteArray EventFileHeader(const EventFileTimes &times);

// The whole file's bytes.  The table, its order and its cursor are unchanged.
QByteArray EventFileText(const EventFileTimes &times, const RecordTable &table);

// Writes the file, replacing any file of that name; the old file stays intact
// until the new one is complete.  A file that cannot be written throws
// AppError naming it and the system's reason.
void WriteEventFile(const QString &path, const EventFileTimes &times, const RecordTable &table);
