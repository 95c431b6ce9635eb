#pragma once

#include <QString>
#include <QStringList>

class RecordTable;

// Where the fields of one event line lie (indexes from 0).  The unit's own
// characters at 0-4, 29, 31 and 33-36 are not used.
struct EventLineLayout {
    static constexpr int KindStart = 5;    // kind/room field
    static constexpr int KindLength = 12;
    static constexpr int DateStart = 17;   // day, month, year as hexadecimal pairs
    static constexpr int TimeStart = 23;   // hours, minutes, seconds as hexadecimal pairs
    static constexpr int TripleLength = 6;
    static constexpr int Relay = 30;       // relay character, copied as it is
    static constexpr int Source = 32;      // source code
    static constexpr int ClientStart = 37; // client name, room events only
    static constexpr int ClientLength = 16;
    static constexpr int FullLength = 53;
};

// The clock reply's line carries seconds, minutes, hours, day, month and year
// within the century as hexadecimal pairs, in that order.
struct ClockReplyLayout {
    static constexpr int Seconds = 0;
    static constexpr int Minutes = 2;
    static constexpr int Hours = 4;
    static constexpr int DateStart = 6; // day, month, year
    static constexpr int Length = 12;
};

// `hex` read as a hexadecimal number and written in decimal, keeping its last
// `count` digits (leading zeros added): "1F" gives "31", "05" gives "05" and
// "FF" gives "55".  A text that is not hexadecimal throws ConversionError
// naming "$" and the text.
QString HexToDecimalDigits(const QString &hex, int count);

// Three hexadecimal pairs as three two-digit decimal numbers joined by
// `separator` ("0C1E2D" with ':' gives "12:30:45"); empty unless `six` is
// exactly six characters long.  A bad pair throws as HexToDecimalDigits does.
QString FormatHexTriple(const QString &six, QChar separator);

// The text for an event's 12-character kind/room field: "InCall" (B...),
// "Butt." and the button (A..b...), "error" (C... or a field of another
// length), else the room: the second characters of the six pairs, up to the
// first 'F' or 0xFF.
QString DecodeEventKind(const QString &field);

// "local", "Remote", "RF-ID" for the codes '0', '1', '2'; "Error" otherwise.
QString EventSourceText(QChar code);

// Decodes one event line and appends it to `table` (defined by
// DefineEventTable and open) as record number `number`.  Fields beyond a
// short line's end are empty, and a missing source code reads "Error".  A bad
// hexadecimal pair throws ConversionError, and a number outside the 16-bit
// range throws AppError, before anything is appended.
void AppendEventRecord(RecordTable &table, const QString &line, int number);

// The lines of an event dump, split at CR LF (a final CR LF starts no
// further line).
QStringList EventDumpLines(const QString &dump);

// Appends every line of `lines` but the first and the last (the unit's head
// line and its "OK"), numbered from 1, holding the table's display updates
// back meanwhile.  Returns how many were appended; a bad line throws and
// leaves the records before it in the table.
int AppendEventDump(RecordTable &table, const QStringList &lines);

// The unit's clock from its reply line: hours:minutes:seconds and
// day/month/year; each empty when the line is too short for it.
QString ClockReplyTime(const QString &line);
QString ClockReplyDate(const QString &line);
