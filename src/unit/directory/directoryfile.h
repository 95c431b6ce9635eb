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

// The whole file as single-byte text (see SingleByteDirectoryText); throws
// AppError when it cannot be opened, read or held.  Lets a caller make sure
// a file loads before it empties the table.
QByteArray ReadDirectoryFile(const QString &path);

// A file's bytes as the table's single-byte text.  A file that begins with
// a UTF-8 byte-order mark (spreadsheets save "CSV UTF-8" so) is read as
// UTF-8; a character above U+00FF in it, which neither the table nor the
// unit can hold, throws AppError naming its record.  Other files are taken
// byte for byte.
QByteArray SingleByteDirectoryText(const QByteArray &bytes);

// Appends the records of a file's bytes to `table` (defined, open and
// emptied by the caller); returns how many.  Records holding a control
// character in a field that goes to the unit (the file's %c, %n and %0) are
// loaded and named in one message: they are refused when sent.
int FillDirectoryTable(RecordTable &table, const QByteArray &bytes);

// ReadDirectoryFile, then FillDirectoryTable.  Nothing is added when the
// file cannot be read.
int LoadDirectoryFile(RecordTable &table, const QString &path);
