#include "simulator.h"
#include "udpport.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

// The simulated unit over real UDP on loopback, beside a program that holds
// port 8000 on every address.
namespace {
QByteArray collect(QUdpSocket &socket, const QByteArray &until, int *datagrams = nullptr, int timeoutMs = 5000)
{
    QByteArray got;
    int count = 0;
    QElapsedTimer clock;
    clock.start();
    while (!got.contains(until) && clock.elapsed() < timeoutMs) {
        QTest::qWait(5);
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram d = socket.receiveDatagram();
            // Anything from elsewhere spoils the reply, so the comparison fails.
            if (d.senderAddress() != QHostAddress(QStringLiteral("127.0.0.2")) || d.senderPort() != 8000)
                got += "<from elsewhere>";
            got += d.data();
            ++count;
        }
    }
    if (datagrams)
        *datagrams = count;
    return got;
}
} // namespace

class TestSimUdp : public QObject {
    Q_OBJECT
private slots:
    void answersTheSenderOnPort8000()
    {
        SimOptions options;
        options.unit.model = 1000;
        Simulator sim(options);
        QString error;
        QVERIFY2(sim.startUdp(QHostAddress(QStringLiteral("127.0.0.2")), &error), qPrintable(error));
        QUdpSocket program;
        QVERIFY(program.bind(QHostAddress::AnyIPv4, 8000, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
        const QHostAddress unit(QStringLiteral("127.0.0.2"));

        program.writeDatagram("\r", unit, 8000);
        QVERIFY(collect(program, "Enter PIN\r\n").contains("Ostiarin_1000_Gn4"));
        program.writeDatagram("a1234\r", unit, 8000);
        QVERIFY(collect(program, "OK\r\n").contains("OK"));
        QCOMPARE(sim.commands().last().link, QStringLiteral("udp:127.0.0.1"));

        QByteArray data(64, char(0xFF));
        data[0] = '\0';
        data[63] = char(0x80);
        // The write is answered once, in one datagram ending with its OK;
        // the read after it gets exactly its own reply: nothing else came
        // between (the unit answers in order).
        int datagrams = 0;
        program.writeDatagram("p0002" + data + '\r', unit, 8000);
        const QByteArray written = collect(program, "OK\r\n", &datagrams);
        QCOMPARE(datagrams, 1);
        QVERIFY(written.endsWith("\r\nOK\r\n"));
        QCOMPARE(written.count("OK\r\n"), 1);
        program.writeDatagram("r0002\r", unit, 8000);
        QCOMPARE(collect(program, "OK\r\n", &datagrams), "r0002" + data + "\r\nOK\r\n");
        QCOMPARE(datagrams, 1);

        // One reply, one datagram: the whole directory of the largest model.
        program.writeDatagram("d01281152\r", unit, 8000);
        const QByteArray dump = collect(program, "\r\nOK\r\n", &datagrams);
        QCOMPARE(dump.count("\r\n"), 1025 + 2);
        QCOMPARE(datagrams, 1);
        QVERIFY(dump.startsWith("d01281152\r\n1000,"));

        // A reply longer than any datagram comes in several, each of whole lines.
        SimEvent event;
        event.room = "123456";
        event.client = "SIXTEEN LETTERS!";
        for (int i = 0; i < 1500; ++i)
            sim.unit().appendEvent(event);
        program.writeDatagram("e\r", unit, 8000);
        const QByteArray events = collect(program, "\r\nOK\r\n", &datagrams);
        QVERIFY(events.size() > UdpPort::kMaxDatagram);
        QCOMPARE(events.count("\r\n"), 1500 + 2);
        QCOMPARE(datagrams, 2);
    }

    void onlyLoopback()
    {
        Simulator sim;
        QString error;
        QVERIFY(!sim.startUdp(QHostAddress(QStringLiteral("192.0.2.1")), &error));
        QVERIFY2(error.contains(QLatin1String("loopback")), qPrintable(error));
        QVERIFY(!sim.startUdp(QHostAddress::AnyIPv4, &error));
    }

    void oneCommandPerDatagramEndedByCr_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<bool>("answered");
        QTest::newRow("one command") << QByteArray("\r") << true;
        QTest::newRow("no closing CR") << QByteArray("a1234") << false;
        QTest::newRow("two commands") << QByteArray("\r\r") << false;
        QTest::newRow("two commands, last unended") << QByteArray("\ra1234") << false;
    }
    void oneCommandPerDatagramEndedByCr()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(bool, answered);
        Simulator sim;
        QVERIFY(sim.startUdp(QHostAddress(QStringLiteral("127.0.0.2"))));
        QUdpSocket program;
        QVERIFY(program.bind(QHostAddress::AnyIPv4, 8000, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
        const QHostAddress unit(QStringLiteral("127.0.0.2"));
        program.writeDatagram(datagram, unit, 8000);
        if (!answered) {
            // Refused; a proper command after it is the first one answered
            // (the unit answers in order, so an answer to the refused one
            // would come first).
            QTRY_COMPARE(sim.refusals().size(), 1);
            QVERIFY(sim.commands().isEmpty());
            program.writeDatagram("\r", unit, 8000);
        }
        const QByteArray reply = collect(program, "Enter PIN\r\n");
        QCOMPARE(reply.count("Enter PIN\r\n"), 1);
        QVERIFY(reply.endsWith("Enter PIN\r\n"));
        QCOMPARE(sim.refusals().isEmpty(), answered);
        QCOMPARE(sim.commands().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSimUdp)
#include "tst_simudp.moc"
