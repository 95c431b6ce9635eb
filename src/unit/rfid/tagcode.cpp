#include "rfid/tagcode.h"

#include "link/encodings.h"

namespace {
// The value of two hexadecimal digits, or -1.
int hexPair(const QString &text, int at)
{
    if (at + 2 > text.size())
        return -1;
    int value = 0;
    for (int i = at; i < at + 2; ++i) {
        const char16_t c = text.at(i).unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else
            return -1;
        value = value * 16 + digit;
    }
    return value;
}
} // namespace

QString NibbleToHexDigit(QChar c)
{
    const int value = NibbleValue(c);
    if (value < 0)
        return {};
    return QString(QChar(value < 10 ? u'0' + value : u'A' + value - 10));
}

QString DecodeTagCode(const QString &field)
{
    if (field.isEmpty() || field.startsWith(QLatin1Char('?')))
        return {};
    QString code;
    for (const QChar c : field.left(TagCode::kLength))
        code += NibbleToHexDigit(c);
    return code;
}

QString EncodeTagCode(const QString &code)
{
    QString unit = NormalTagCode(code);
    for (QChar &c : unit) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            c = QChar(c.unicode() - 7);
    }
    return unit;
}

QString NormalTagCode(const QString &code)
{
    QString normal = code;
    for (QChar &c : normal) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            c = QChar(c.unicode() - ('a' - 'A'));
    }
    return normal;
}

bool IsHexTagCode(const QString &code)
{
    for (const QChar c : code) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f')))
            return false;
    }
    return true;
}

QString CheckTagReply(const QString &line)
{
    int check = 0;
    for (int pair = 0; pair < TagCode::kReaderCodeBytes; ++pair) {
        const int value = hexPair(line, pair * 2);
        if (value < 0)
            return {};
        check ^= value;
    }
    const int sent = hexPair(line, TagCode::kReaderCodeBytes * 2);
    if (sent < 0 || sent != check)
        return {};
    return NormalTagCode(line.left(TagCode::kLength));
}
