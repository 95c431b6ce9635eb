#pragma once

#include <QString>

// Integer conversion as the unit's texts and the user's fields need it:
// leading blanks, an optional sign, then decimal digits, or hexadecimal digits
// after "$" or "0x".  Anything else (empty text included) is not a number.
bool TryStrToInt(const QString &text, int &value);

// As TryStrToInt, but a text that is not a number throws ConversionError.
int StrToInt(const QString &text);

// No command may hold a control character before its closing CR: a CR or
// LF would end it early and run the rest as a command of its own.
inline bool isControlCharacter(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }
