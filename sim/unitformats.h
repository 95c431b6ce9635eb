#pragma once

#include "unitmemory.h"

#include <QByteArray>
#include <QDateTime>

// The unit's own text forms: how it checks a directory write, how it writes
// its clock, an event and a presented tag.  Byte texts throughout.
namespace UnitFormats {

// CRC-8/MAXIM (1-Wire: reflected polynomial 0x8C, initial 0, no final XOR).
quint8 Crc8Maxim(const QByteArray &bytes);
// A byte as two nibble characters, high first: "0"-"9" then ":" to "?".
QByteArray NibblePair(quint8 value);

// The clock as twelve hexadecimal characters: seconds, minutes, hours, day,
// month, year within the century, two upper-case digits each.
QByteArray ClockHex(const QDateTime &clock);
// The clock-set digits "ssnnhhddmmyy" (decimal) as a date and time in the
// century of `reference`; invalid when the digits name no real moment.
QDateTime ClockFromDigits(const QByteArray &twelveDigits, const QDateTime &reference);

// The 12-character kind/room field of an event.  A room's digits go as the
// second characters of six pairs ("3" + digit), the unused pairs as "FF".
QByteArray EventKindField(const SimEvent &event);
// One line of the event dump (without its line end): five characters of the
// unit's own, the kind/room field, date (day, month, year) and time (hours,
// minutes, seconds) as hexadecimal pairs, relay, source, the client name.
QByteArray EventLine(const SimEvent &event, int number);

// Whether text is ten hexadecimal characters (either case).
bool IsTagCode(const QByteArray &text);
// The line a reader sends for a tag: the ten characters as given and the
// exclusive-or of their five bytes as two upper-case hexadecimal digits;
// with wrongCheck the check byte is deliberately off by one bit.
QByteArray TagLine(const QByteArray &code, bool wrongCheck);
// A tag code in the tag area's form: one nibble character per hexadecimal
// digit ("A"-"F" and "a"-"f" as ":"-"?").
QByteArray TagAreaCode(const QByteArray &code);

} // namespace UnitFormats
