#include "link/commandchannel.h"
#include "link/delay.h"
#include "link/receivelog.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

// The program and a unit on loopback share port 8000, as they do beside a
// simulated unit: every socket binds with address sharing.
namespace {
constexpr auto kShare = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;

std::unique_ptr<QUdpSocket> bound(const char *address)
{
    auto socket = std::make_unique<QUdpSocket>();
    if (!socket->bind(QHostAddress(QLatin1String(address)), 8000, kShare))
        return nullptr;
    return socket;
}
} // namespace

class TestChannelUdp : public QObject {
    Q_OBJECT
private slots:
    void pollKeepsOnlyTheUnitsReplies()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.UdpSocket = bound("0.0.0.0");
        QVERIFY(ch.UdpSocket);
        auto unit = bound("127.0.0.2");
        auto stranger = bound("127.0.0.3");
        QVERIFY(unit && stranger);
        ch.setUnitAddress(QStringLiteral("127.0.0.2"));
        ch.UdpDestination = QHostAddress(QStringLiteral("127.0.0.2"));
        ch.WiFiSelected = true;
        ch.UdpLinkOpen = true;

        ch.SendRaw(QString::fromLatin1("r0000\r"));
        QTRY_VERIFY(unit->hasPendingDatagrams());
        const QNetworkDatagram got = unit->receiveDatagram();
        QCOMPARE(got.data(), QByteArray("r0000\r"));
        QCOMPARE(got.senderPort(), 8000);

        stranger->writeDatagram(QByteArray("FOREIGN OK\r\n"), QHostAddress(QStringLiteral("127.0.0.1")), 8000);
        unit->writeDatagram(QByteArray("r0000 \xff\x80", 8), QHostAddress(QStringLiteral("127.0.0.1")), 8000);
        unit->writeDatagram(QByteArray("\r\nOK\r\n"), QHostAddress(QStringLiteral("127.0.0.1")), 8000);
        QTRY_VERIFY(ch.UdpSocket->hasPendingDatagrams());
        Delay(60); // both unit datagrams are in
        ch.Timer4Timer();
        QTRY_COMPARE(ch.RxBuffer.toLatin1(), QByteArray("r0000 \xff\x80\r\nOK\r\n", 14));
        QVERIFY(ch.ReplyReady);
        QCOMPARE(ch.discardedDatagrams(), 1);
        QVERIFY(!log.text().contains(QLatin1String("FOREIGN")));
    }

    void unitNamedByHostNameIsHeard()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.UdpSocket = bound("0.0.0.0");
        QVERIFY(ch.UdpSocket);
        // 127.0.0.1:8000 would take the datagrams meant for the program's
        // wildcard socket, so this unit sends from a port of its own.
        auto unit = std::make_unique<QUdpSocket>();
        QVERIFY(unit->bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
        ch.setUnitAddress(QStringLiteral("localhost"));
        const QHostInfo info = QHostInfo::fromName(QStringLiteral("localhost"));
        QHostAddress resolved;
        for (const QHostAddress &a : info.addresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol)
                resolved = a;
        QVERIFY(!resolved.isNull());
        ch.setResolvedUnitAddress(resolved);
        ch.UdpLinkOpen = true;

        unit->writeDatagram(QByteArray("OK\r\n"), QHostAddress(QStringLiteral("127.0.0.1")), 8000);
        QTRY_VERIFY(ch.UdpSocket->hasPendingDatagrams());
        ch.Timer4Timer();
        QVERIFY(ch.ReplyReady);
        QCOMPARE(ch.discardedDatagrams(), 0);
    }

    // The unit's address as a person may type it: every spelling of the
    // address the link sends to is the address its replies come from.
    void unitAddressInAnySpellingIsHeard_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sender");
        QTest::newRow("IPv4") << QStringLiteral("192.168.1.20") << QStringLiteral("192.168.1.20");
        QTest::newRow("IPv4 seen as mapped IPv6") << QStringLiteral("192.168.1.20") << QStringLiteral("::ffff:192.168.1.20");
        QTest::newRow("IPv6 in capitals") << QStringLiteral("FE80::1") << QStringLiteral("fe80::1");
        QTest::newRow("IPv6 written out") << QStringLiteral("2001:db8:0:0:0:0:0:1") << QStringLiteral("2001:db8::1");
        QTest::newRow("IPv6 with leading zeros") << QStringLiteral("2001:0db8::0001") << QStringLiteral("2001:db8::1");
    }
    void unitAddressInAnySpellingIsHeard()
    {
        QFETCH(QString, typed);
        QFETCH(QString, sender);
        ReceiveLog log;
        CommandChannel ch(log);
        ch.setUnitAddress(typed);
        QString received;
        ch.gatherDatagram(QHostAddress(sender), QByteArray("OK\r\n"), received);
        ch.gatherDatagram(QHostAddress(QStringLiteral("10.9.8.7")), QByteArray("FOREIGN\r\n"), received);
        ch.gatherDatagram(QHostAddress(QStringLiteral("fe80::2")), QByteArray("FOREIGN\r\n"), received);
        QCOMPARE(received, QStringLiteral("OK\r\n"));
        QCOMPARE(ch.discardedDatagrams(), 2);
    }

    void pollIdleWithoutLink()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.Timer4Timer(); // no endpoint: nothing happens
        QVERIFY(!ch.DataReceived);
    }
};

QTEST_GUILESS_MAIN(TestChannelUdp)
#include "tst_channel_udp.moc"
