#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class RecordTable;

// The comma-separated text form in which record tables are kept on the PC
// (the phone list, the event file).  Bytes are Latin-1: every character of a
// value is one byte, 0x00-0xFF, and no byte-order mark is written.
//
// Writing: a header line with the field names, then one line per record in
// the table's current order, each line ended by CR LF; values separated by
// single commas, no comma after the last one.  Inside a value '%', CR, LF and
// NUL are written "%%", "%c", "%n" and "%0".  A value holding a comma, or
// beginning with a double quote, is written in double quotes with its inner
// double quotes doubled, so it reads back whole; every other value is written
// bare, exactly as older files have it.
//
// Reading: any run of CR, LF and NUL ends a line (blank lines are skipped).
// The first line names the columns; each is matched to the field of that
// name without regard to letter case (unknown columns are ignored, unnamed
// fields stay empty).  Each further line appends one record: its n-th value
// goes to the field of the n-th column, extra values are ignored, missing or
// empty ones leave the field empty, and each value is cut to its field's
// width by the table.  A value that begins with a double quote is read as a
// quoted value when its closing quote is followed by a comma or the end of
// the line; otherwise it is taken as it stands, as older files wrote it.
// A '%' before any character other than '%', 'c', 'n' or '0', or at the end
// of a value, is kept as it is.

// Whether values holding a comma or beginning with a double quote are
// quoted.  A file that is never read back (the event file) writes every
// value as it stands, escapes applied, so that its lines hold exactly the
// table's texts.
enum class CsvQuoting { WhereNeeded, Never };

// One value with the escapes and, where needed, the quotes applied.
QString CsvEncodeValue(const QString &value, CsvQuoting quoting = CsvQuoting::WhereNeeded);
// One line's values joined by commas (no line end).
QString CsvJoinLine(const QStringList &values, CsvQuoting quoting = CsvQuoting::WhereNeeded);
// One line (without its line end) split into its values, quotes and escapes
// undone.
QStringList CsvSplitLine(const QString &line);
// The lines of a text: runs of CR, LF and NUL end a line; no empty lines.
QStringList CsvLines(const QString &text);

// The whole table, header included, as Latin-1 bytes.  The table's records,
// cursor and order are unchanged; a record being edited is written as last
// stored.
QByteArray SaveCsvText(const RecordTable &table, CsvQuoting quoting = CsvQuoting::WhereNeeded);

// Appends the records of `bytes` to `table`, which must be open, in file
// order; returns how many were appended.  A value that an integer field does
// not take abandons the load with AppError (records before it stay).
int LoadCsvText(RecordTable &table, const QByteArray &bytes);
