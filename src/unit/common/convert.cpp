#include "common/convert.h"

#include "common/errors.h"

#include <limits>

bool TryStrToInt(const QString &text, int &value)
{
    int i = 0;
    const int n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == QLatin1Char('0')
               && (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    qint64 acc = 0;
    for (; i < n; ++i) {
        const ushort c = text.at(i).unicode();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        acc = acc * base + digit;
        // Hexadecimal may spell a 32-bit pattern (FFFFFFFF is -1); decimal may not overflow.
        const qint64 limit = base == 16 ? qint64(std::numeric_limits<quint32>::max())
                                        : qint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
        if (acc > limit)
            return false;
    }
    if (base == 16 && acc > std::numeric_limits<int>::max())
        acc = qint64(qint32(quint32(acc)));
    value = int(negative ? -acc : acc);
    return true;
}

int StrToInt(const QString &text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw ConversionError(text);
    return value;
}
