#include "link/encodings.h"

#include "common/convert.h"
#include "common/errors.h"

#include <algorithm>

namespace {

constexpr ushort kNibbleBase = 0x30; // "0"
constexpr QChar kFieldEnd = QLatin1Char('?');
constexpr QChar kErased = QChar(0xFF);
constexpr QChar kNul = QChar(0);
constexpr int kMaxDialDigits = 16;
constexpr int kDigitField = 8;

bool isDecimalDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Values in the unit's blocks are decimal.  The program's general integer
// reading also takes "$1F" and "0x1F"; here such a text would go to the unit
// as a different number than the one the installer sees in the box (and the
// settings file keeps only its first characters), so only the decimal forms
// are numbers: leading blanks, an optional sign, decimal digits.
int readDecimal(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    if (i >= text.size())
        throw ConversionError(text);
    for (; i < text.size(); ++i)
        if (!isDecimalDigit(text.at(i)))
            throw ConversionError(text);
    return StrToInt(text); // also refuses values beyond the integer range
}

} // namespace

QChar NibbleChar(int value) { return QChar(ushort(kNibbleBase + (value & 0x0F))); }

int NibbleValue(QChar c)
{
    const ushort u = c.unicode();
    return u >= kNibbleBase && u <= kNibbleBase + 15 ? int(u - kNibbleBase) : -1;
}

QString ByteToNibblePair(int byte)
{
    const QChar pair[2] = {NibbleChar(byte >> 4), NibbleChar(byte)};
    return QString(pair, 2);
}

int NibblePairToByte(const QString &text)
{
    const auto nibbleAt = [&text](qsizetype i) {
        const int v = i < text.size() ? NibbleValue(text.at(i)) : -1;
        return v < 0 ? 0 : v;
    };
    return nibbleAt(0) * 16 + nibbleAt(1);
}

QString NibblePairToDecimal(const QString &text)
{
    if (text.isEmpty())
        return {};
    return QString::number(NibblePairToByte(text));
}

QString DecimalToNibblePair(const QString &text)
{
    const int value = readDecimal(text);
    // A longer result would shift every later field of the block.
    if (value < 0 || value > 255)
        throw AppError(QStringLiteral("'%1' is not a value from 0 to 255").arg(text));
    return ByteToNibblePair(value);
}

QString DecodeText(const QString &text)
{
    qsizetype end = 0;
    while (end < text.size() && text.at(end) != kFieldEnd && text.at(end) != kErased)
        ++end;
    return text.left(end);
}

QString DecodeDigits(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == kFieldEnd)
            break;
        if (c == QLatin1Char(':'))
            result += QLatin1Char('*');
        else if (c == QLatin1Char(';'))
            result += QLatin1Char('#');
        else if (c == QLatin1Char('<'))
            result += QLatin1Char('p');
        else
            result += c;
    }
    return result;
}

QString EncodeDigits(const QString &text, int n)
{
    QString result;
    const qsizetype count = std::min<qsizetype>(text.size(), std::max(n, 0));
    for (qsizetype i = 0; i < count && result.size() < kMaxDialDigits; ++i) {
        const QChar c = text.at(i);
        if (isDecimalDigit(c))
            result += c;
        else if (c == QLatin1Char('*'))
            result += QLatin1Char(':');
        else if (c == QLatin1Char('#'))
            result += QLatin1Char(';');
        else if (c == QLatin1Char('p') || c == QLatin1Char('P') || c == QLatin1Char(':'))
            result += QLatin1Char('<');
        else
            break;
    }
    return result;
}

QString FFToNul(const QString &text, int n)
{
    if (text.isEmpty())
        return QStringLiteral("ERROR");
    QString result = text;
    const qsizetype count = std::min<qsizetype>(result.size(), std::max(n, 0));
    for (qsizetype i = 0; i < count; ++i)
        if (result.at(i) == kErased)
            result[i] = kNul;
    return result;
}

QString CutAtNul(const QString &text)
{
    const qsizetype nul = text.indexOf(kNul);
    return nul < 0 ? text : text.left(nul);
}

QString PadRight(const QString &text, int width, QChar fill)
{
    if (text.size() >= width)
        return text;
    return text + QString(width - text.size(), fill);
}

QString DigitField8(const QString &text)
{
    qsizetype digits = 0;
    while (digits < text.size() && digits < kDigitField && isDecimalDigit(text.at(digits)))
        ++digits;
    return PadRight(text.left(digits), kDigitField, kFieldEnd);
}

QString ClampText(const QString &text, int low, int high)
{
    const int value = readDecimal(text);
    QString result = text;
    if (value > high)
        result = QString::number(high);
    if (value < low)
        result = QString::number(low);
    return result;
}
