#include "unitformats.h"

namespace UnitFormats {

quint8 Crc8Maxim(const QByteArray &bytes)
{
    quint8 crc = 0;
    for (const char c : bytes) {
        quint8 byte = quint8(c);
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = (crc ^ byte) & 0x01;
            crc >>= 1;
            if (mix)
                crc ^= 0x8C;
            byte >>= 1;
        }
    }
    return crc;
}

QByteArray NibblePair(quint8 value)
{
    QByteArray pair(2, '0');
    pair[0] = char('0' + (value >> 4));
    pair[1] = char('0' + (value & 0x0F));
    return pair;
}

namespace {
QByteArray hexPair(int value) { return QByteArray::number(value & 0xFF, 16).rightJustified(2, '0').toUpper(); }

bool allDigits(const QByteArray &text)
{
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}
} // namespace

QByteArray ClockHex(const QDateTime &clock)
{
    const QDate d = clock.date();
    const QTime t = clock.time();
    return hexPair(t.second()) + hexPair(t.minute()) + hexPair(t.hour()) + hexPair(d.day()) + hexPair(d.month())
           + hexPair(d.year() % 100);
}

QDateTime ClockFromDigits(const QByteArray &digits, const QDateTime &reference)
{
    if (digits.size() != 12 || !allDigits(digits))
        return {};
    const auto field = [&digits](int i) { return digits.mid(i * 2, 2).toInt(); };
    const int century = reference.date().year() / 100 * 100;
    const QDate date(century + field(5), field(4), field(3));
    const QTime time(field(2), field(1), field(0));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

QByteArray EventKindField(const SimEvent &event)
{
    switch (event.kind) {
    case SimEvent::Kind::InCall:
        return QByteArray("B00000000000");
    case SimEvent::Kind::Button:
        return QByteArray("A00") + event.button + QByteArray("00000000");
    case SimEvent::Kind::Error:
        return QByteArray("C00000000000");
    case SimEvent::Kind::Room:
        break;
    }
    QByteArray field;
    for (int i = 0; i < 6; ++i)
        field += i < event.room.size() ? QByteArray("3") + event.room.at(i) : QByteArray("FF");
    return field;
}

QByteArray EventLine(const SimEvent &event, int number)
{
    if (!event.rawLine.isEmpty())
        return event.rawLine;
    const QDate d = event.time.date();
    const QTime t = event.time.time();
    QByteArray line = 'E' + QByteArray::number(number % 10000).rightJustified(4, '0');
    line += EventKindField(event);
    line += hexPair(d.day()) + hexPair(d.month()) + hexPair(d.year() % 100);
    line += hexPair(t.hour()) + hexPair(t.minute()) + hexPair(t.second());
    line += ' ';
    line += event.relay;
    line += ' ';
    line += event.source;
    line += "    ";
    if (event.kind == SimEvent::Kind::Room)
        line += event.client.left(16);
    return line;
}

bool IsTagCode(const QByteArray &text)
{
    if (text.size() != 10)
        return false;
    for (const char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (!hex)
            return false;
    }
    return true;
}

QByteArray TagLine(const QByteArray &code, bool wrongCheck)
{
    int check = 0;
    for (int i = 0; i + 1 < code.size() && i < 10; i += 2)
        check ^= code.mid(i, 2).toInt(nullptr, 16);
    if (wrongCheck)
        check ^= 0x01;
    return code + hexPair(check);
}

QByteArray TagAreaCode(const QByteArray &code)
{
    QByteArray result;
    for (const char c : code) {
        if (c >= 'A' && c <= 'F')
            result += char(c - 'A' + ':');
        else if (c >= 'a' && c <= 'f')
            result += char(c - 'a' + ':');
        else
            result += c;
    }
    return result;
}

} // namespace UnitFormats
