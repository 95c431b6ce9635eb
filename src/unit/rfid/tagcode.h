#pragma once

#include <QChar>
#include <QString>

// Tag codes as the program keeps them and as the unit stores them.
//
// In the directory a tag code is up to ten hexadecimal digits ("0"-"9",
// "A"-"F").  In the unit's tag area each digit is one nibble character:
// "0"-"9" stand for themselves and ":" to "?" stand for "A" to "F".  When a
// tag is held to the unit's reader, the unit sends a line of twelve
// hexadecimal characters: the five code bytes and their exclusive-or.
namespace TagCode {
// Digits of a tag code.
constexpr int kLength = 10;
// Characters of a reader line that the check covers: five bytes, then the check byte.
constexpr int kReaderCodeBytes = 5;
} // namespace TagCode

// The hexadecimal digit a nibble character stands for: "0"-"9" unchanged,
// ":"-"?" as "A"-"F"; empty text for any other character.
QString NibbleToHexDigit(QChar c);

// The tag code in a slot's 10-character code field: empty when the field is
// empty or begins with "?" (an empty slot); otherwise the hexadecimal digits
// of its nibble characters, any other character dropping out.
QString DecodeTagCode(const QString &field);

// A tag code in the unit's form: "A"-"F" (and "a"-"f", which the unit would
// otherwise drop) become ":"-"?"; every other character stays as it is.
QString EncodeTagCode(const QString &code);

// A code as the directory keeps it: hex letters in upper case, every other
// character as it is.
QString NormalTagCode(const QString &code);

// Whether every character of `code` is a hexadecimal digit, in either case
// (also when there is none: an empty code is no tag).
bool IsHexTagCode(const QString &code);

// The code of a reader line: its first ten characters, letters in upper
// case, when the check byte
// (characters 11-12) equals the exclusive-or of the five code bytes; empty
// text when it does not, or when any of the six pairs is not two
// hexadecimal digits (a short line among them).
QString CheckTagReply(const QString &line);
