#pragma once

#include <QChar>
#include <QString>

// The character-level encodings of the unit's blocks.  Pure text functions:
// no state, no link.  Every QString character is one byte (U+0000-U+00FF).
//
// Nibble characters: a value 0-15 is the character 0x30 + value, so "0"-"9"
// and ":" ";" "<" "=" ">" "?" for 10-15.  A byte is two of them, high first.
// Dial digits: "0"-"9" stand for themselves; "*", "#" and the pause "p" are
// stored as ":", ";" and "<".  Digit fields are filled with "?" (nibble 15);
// erased memory reads as 0xFF bytes.

// --- nibble helpers ---

// The nibble character of value & 0x0F.
QChar NibbleChar(int value);
// The value 0-15 of a nibble character; -1 for any other character.
int NibbleValue(QChar c);
// A byte 0-255 as two nibble characters, high nibble first (165 -> ":5").
QString ByteToNibblePair(int byte);
// The byte in the first two characters of text; a character outside the
// nibble alphabet, or a missing one, counts as nibble 0.
int NibblePairToByte(const QString &text);

// --- block field encodings ---

// The decimal text of the byte in the first two characters (":5" -> "165");
// empty text gives empty text.
QString NibblePairToDecimal(const QString &text);
// The byte whose decimal text is given, as two nibble characters
// ("165" -> ":5").  Not a decimal integer: ConversionError.  A value outside
// 0-255 cannot be one byte: AppError.
QString DecimalToNibblePair(const QString &text);
// The text before the first "?" or 0xFF.
QString DecodeText(const QString &text);
// The characters before the first "?", with ":" shown as "*", ";" as "#" and
// "<" as "p"; every other character (NUL and 0xFF included) copied unchanged.
QString DecodeDigits(const QString &text);
// The first n characters as dial digits: "0"-"9" kept, "*" -> ":", "#" -> ";",
// "p", "P" and ":" -> "<"; any other character ends the number.  At most 16.
QString EncodeDigits(const QString &text, int n);
// text with every 0xFF among its first n characters replaced by NUL; an
// empty text gives "ERROR".
QString FFToNul(const QString &text, int n);
// The text before the first NUL.
QString CutAtNul(const QString &text);
// text followed by fill up to width characters; never shortened.
QString PadRight(const QString &text, int width, QChar fill);
// The leading decimal digits of text (at most 8), filled with "?" to 8.
QString DigitField8(const QString &text);
// text brought into [low, high]: above high gives high, below low gives low
// (in decimal); a value within the range returns text unchanged.  Not a
// decimal integer: ConversionError.
QString ClampText(const QString &text, int low, int high);
