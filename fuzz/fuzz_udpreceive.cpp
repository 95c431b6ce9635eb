// The UDP receive path: the unit's address (IPv4 or IPv6, as dotted text in
// one of its spellings or as a host name that resolved to it) and a run of
// datagrams from the unit (as IPv4 or IPv4-mapped IPv6) or from elsewhere.
// Exactly the unit's datagrams must be gathered, in order, byte for byte, and
// every other one counted as discarded.
#include "fuzzsupport.h"

#include "link/commandchannel.h"
#include "link/receivelog.h"

#include <QHostAddress>

#include <cstdlib>

namespace {
struct Bytes {
    const uint8_t *data;
    size_t size, at = 0;
    int next() { return at < size ? data[at++] : 0; }
    bool done() const { return at >= size; }
};

QHostAddress drawAddress(Bytes &in, bool v6)
{
    if (!v6) {
        quint32 v4 = 0;
        for (int i = 0; i < 4; ++i)
            v4 = v4 << 8 | quint32(in.next());
        return QHostAddress(v4);
    }
    Q_IPV6ADDR a;
    for (int i = 0; i < 16; ++i)
        a[i] = quint8(in.next());
    return QHostAddress(a);
}

// The address as one host: an IPv4-mapped IPv6 address is its IPv4 address.
QHostAddress plain(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4) : address;
}

// Spellings a person may type for the same address.
QString spelling(const QHostAddress &address, int how)
{
    const QString canonical = address.toString();
    if (address.protocol() == QAbstractSocket::IPv4Protocol)
        return canonical;
    switch (how % 3) {
    case 1: return canonical.toUpper();
    case 2: {
        const Q_IPV6ADDR a = address.toIPv6Address();
        QStringList groups;
        for (int i = 0; i < 16; i += 2)
            groups << QString::number(a[i] << 8 | a[i + 1], 16);
        return groups.join(QLatin1Char(':'));
    }
    default: return canonical;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    Bytes in{data, size};
    const int shape = in.next();
    const QHostAddress unit = plain(drawAddress(in, shape & 1));
    ReceiveLog log;
    CommandChannel channel(log);
    if (shape & 2) {
        channel.setUnitAddress(QStringLiteral("unit.example"));
        channel.setResolvedUnitAddress(unit);
    } else {
        channel.setUnitAddress(spelling(unit, shape >> 2));
    }

    QString received;
    QByteArray expected;
    int others = 0;
    while (!in.done()) {
        const int kind = in.next() % 4;
        QHostAddress sender;
        if (kind == 0)
            sender = unit;
        else if (kind == 1 && unit.protocol() == QAbstractSocket::IPv4Protocol)
            sender = QHostAddress(QStringLiteral("::ffff:") + unit.toString());
        else
            sender = drawAddress(in, kind == 3);
        const QByteArray datagram = fuzzBytes(data + in.at, qMin<size_t>(in.next() % 32, size - in.at));
        in.at += size_t(datagram.size());
        channel.gatherDatagram(sender, datagram, received);
        if (plain(sender) == unit)
            expected += datagram;
        else
            ++others;
    }
    if (received.toLatin1() != expected || received.size() != expected.size()
        || channel.discardedDatagrams() != others)
        std::abort();
    if (!received.isEmpty())
        channel.ReceiveText(received);
    expected.replace('\0', QByteArray());
    if (channel.RxBuffer.toLatin1() != expected || log.text() != channel.RxBuffer)
        std::abort();
    return 0;
}
