#include "serialline.h"
#include "ptyport.h"
#include "simmodem.h"
#include "simulator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

// The simulated unit over a real pseudo-terminal, driven through a
// QSerialPort as the program drives it.
namespace {
// Collects what the port receives until a reply is complete.
QByteArray exchange(QSerialPort &port, const QByteArray &bytes, const QByteArray &until = "OK\r\n",
                    int timeoutMs = 5000)
{
    if (!bytes.isEmpty()) {
        port.write(bytes);
        port.waitForBytesWritten(1000);
    }
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (!got.contains(until) && clock.elapsed() < timeoutMs) {
        QTest::qWait(5);
        got += port.readAll();
    }
    return got;
}

bool openPublished(QSerialPort &port, const QString &name, qint32 baud = 57600)
{
    return OpenSerialLine(port, QFileInfo(QDir(PtyPort::portsFolder()).filePath(name)).canonicalFilePath(), baud);
}
} // namespace

class TestSimSerial : public QObject {
    Q_OBJECT
private slots:
    void everyBytePassesBothWays()
    {
        Simulator sim;
        QString error;
        QVERIFY2(sim.startSerial(QStringLiteral("SIM0"), &error), qPrintable(error));
        QSerialPort port;
        QVERIFY2(openPublished(port, QStringLiteral("SIM0")), qPrintable(port.errorString()));

        QVERIFY(exchange(port, "\r", "Enter PIN\r\n").contains("Ostiarin_500_Gn4"));
        // A command that comes a byte at a time is one command all the same.
        for (const char c : QByteArray("a1234"))
            exchange(port, QByteArray(1, c), "never", 10);
        QVERIFY(exchange(port, "\r").contains("OK"));

        QByteArray data;
        for (int b = 0; b < 256; ++b)
            if (b != '\r' && b != '\n' && data.size() < 64)
                data += char(b);
        data[1] = char(0xFF);
        QVERIFY(exchange(port, "p0004" + data + '\r').contains("OK"));
        const QByteArray reply = exchange(port, "r0004\r");
        QCOMPARE(reply, "r0004" + data + "\r\nOK\r\n");
        QCOMPARE(sim.commands().last().bytes, QByteArray("r0004"));
        QCOMPARE(sim.commands().last().link, QStringLiteral("serial"));
    }

    void publishedNameFollowsTheSimulator()
    {
        const QString link = QDir(PtyPort::portsFolder()).filePath(QStringLiteral("SIM1"));
        {
            Simulator sim;
            QVERIFY(sim.startSerial(QStringLiteral("SIM1")));
            QCOMPARE(QFileInfo(link).symLinkTarget(), sim.serialDevice());
            // A second unit cannot take a name in use.
            Simulator second;
            QString error;
            QVERIFY(!second.startSerial(QStringLiteral("SIM1"), &error));
            QVERIFY2(error.contains(QLatin1String("published already")), qPrintable(error));
            QVERIFY(!second.startSerial(QStringLiteral("TOOLONG"), &error));
            QVERIFY(!second.startSerial(QStringLiteral("a/b"), &error));
        }
        QVERIFY(!QFileInfo(link).isSymLink()); // removed with the simulator

        // A link left behind by a unit that is gone is taken over.
        QVERIFY(QFile::link(QStringLiteral("/nonexistent/pts"), link));
        Simulator sim;
        QVERIFY(sim.startSerial(QStringLiteral("SIM1")));
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.serialDevice());
    }

    void modemInFront()
    {
        SimOptions options;
        options.modem = true;
        options.connectDelayMs = 100;
        Simulator sim(options);
        QVERIFY(sim.startSerial(QStringLiteral("SIM2")));
        QSerialPort port;
        QVERIFY(openPublished(port, QStringLiteral("SIM2"), 9600));

        // Before the call the unit hears nothing: the modem answers.
        QCOMPARE(exchange(port, "\r", "never", 200), QByteArray("\r"));
        QCOMPARE(exchange(port, "atz\r"), QByteArray("atz\r\r\nOK\r\n"));
        QCOMPARE(exchange(port, "ate0\r"), QByteArray("ate0\r\r\nOK\r\n"));
        QCOMPARE(exchange(port, "atd0123\r", "CONNECT 9600\r\n"), QByteArray("\r\nCONNECT 9600\r\n"));
        QVERIFY(sim.modem()->connected());
        QVERIFY(exchange(port, "\r", "Enter PIN\r\n").contains("Ostiarin_500_Gn4"));
        QVERIFY(exchange(port, "a1234\r").contains("OK"));
        QVERIFY(sim.unit().loggedOn());
        // After the unit's log-off the call is over, and the modem listens again.
        exchange(port, "x\r", "never", 100);
        QVERIFY(!sim.modem()->connected());
        QCOMPARE(exchange(port, "atz\r"), QByteArray("\r\nOK\r\n")); // the echo is still off
    }

    void pacedAtTheLineRate()
    {
        SimOptions options;
        options.baud = 9600; // 960 bytes a second
        Simulator sim(options);
        QVERIFY(sim.startSerial(QString()));
        QSerialPort port;
        QVERIFY(OpenSerialLine(port, sim.serialDevice()));
        exchange(port, "a1234\r");
        QElapsedTimer clock;
        clock.start();
        const QByteArray reply = exchange(port, "d00000015\r"); // 18 lines, about 1.2 KB
        const qint64 elapsed = clock.elapsed();
        QVERIFY(reply.endsWith("OK\r\n"));
        const qint64 lineTimeMs = reply.size() * 1000 / 960;
        QVERIFY2(elapsed >= lineTimeMs * 9 / 10, qPrintable(QStringLiteral("%1 bytes in %2 ms").arg(reply.size()).arg(elapsed)));
    }

    void answersGarbledAtOtherLineSettings_data()
    {
        QTest::addColumn<bool>("modem");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<bool>("clear");
        QTest::newRow("direct 57600") << false << 57600 << 1 << true;
        QTest::newRow("direct at 9600") << false << 9600 << 1 << false;
        QTest::newRow("direct, 2 stop bits") << false << 57600 << 2 << false;
        QTest::newRow("modem 9600") << true << 9600 << 1 << true;
        QTest::newRow("modem at 57600") << true << 57600 << 1 << false;
    }
    void answersGarbledAtOtherLineSettings()
    {
        QFETCH(bool, modem);
        QFETCH(int, baud);
        QFETCH(int, stopBits);
        QFETCH(bool, clear);
        SimOptions options;
        options.modem = modem;
        options.baud = 0;
        Simulator sim(options);
        QVERIFY(sim.startSerial(QString()));
        QSerialPort port;
        port.setStopBits(stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
        port.setPortName(sim.serialDevice());
        port.setBaudRate(baud);
        QVERIFY(port.open(QIODevice::ReadWrite));
        const QByteArray reply = exchange(port, modem ? "atz\r" : "\r", modem ? "OK\r\n" : "Enter PIN\r\n", 500);
        QVERIFY(!reply.isEmpty());
        QCOMPARE(reply.contains(modem ? "OK" : "Ostiarin_500_Gn4"), clear);
        if (!clear) {
            for (const char c : reply)
                QVERIFY(quint8(c) >= 0x80); // no letter, no line end
            QCOMPARE(sim.refusals().size(), 1);
            QVERIFY2(sim.refusals().first().contains(QString::number(baud)), qPrintable(sim.refusals().first()));
        } else {
            QVERIFY(sim.refusals().isEmpty());
        }
    }

    void pacedAtTheLineSpeedByDefault_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("bytesPerSecond"); // 0: instant
        QTest::newRow("default: the line's 57600") << SimOptions::kLineSpeed << 5760;
        QTest::newRow("instant") << 0 << 0;
    }
    void pacedAtTheLineSpeedByDefault()
    {
        QFETCH(int, baud);
        QFETCH(int, bytesPerSecond);
        SimOptions options;
        options.baud = baud;
        Simulator sim(options);
        QVERIFY(sim.startSerial(QString()));
        QSerialPort port;
        QVERIFY(OpenSerialLine(port, sim.serialDevice()));
        exchange(port, "a1234\r");
        // What the unit still holds back for the line's pace, just after it
        // took the command.
        qsizetype heldBack = -1;
        connect(&sim, &Simulator::commandReceived, this, [&](const ReceivedCommand &c) {
            if (c.bytes.startsWith("d"))
                heldBack = sim.serialOutputPending();
        }, Qt::QueuedConnection);
        QElapsedTimer clock;
        clock.start();
        const QByteArray reply = exchange(port, "d00000015\r"); // about 1.2 KB
        const qint64 elapsed = clock.elapsed();
        QVERIFY(reply.endsWith("OK\r\n"));
        QVERIFY(heldBack >= 0);
        if (bytesPerSecond > 0) {
            QVERIFY2(heldBack > 0, qPrintable(QString::number(heldBack)));
            QVERIFY2(elapsed >= reply.size() * 1000 / bytesPerSecond * 9 / 10, qPrintable(QString::number(elapsed)));
        } else {
            QCOMPARE(heldBack, 0); // the whole reply went to the line at once
        }
    }

    void closingThePortEndsTheLogOn()
    {
        QTemporaryDir dir;
        SimOptions options;
        options.baud = 0;
        options.logPath = dir.filePath(QStringLiteral("traffic.log"));
        Simulator sim(options);
        QString error;
        QVERIFY(sim.openLog(&error));
        QVERIFY(sim.startSerial(QString()));
        {
            QSerialPort port;
            QVERIFY(OpenSerialLine(port, sim.serialDevice()));
            exchange(port, "a1234\r");
            QVERIFY(sim.unit().loggedOn());
        }
        // The program let go of the port: a hang-up.
        QTRY_VERIFY(!sim.unit().loggedOn());
        QSerialPort again;
        QVERIFY(OpenSerialLine(again, sim.serialDevice()));
        QVERIFY(exchange(again, "\r", "Enter PIN\r\n").contains("Ostiarin_500_Gn4"));
        again.close();
        // The refusals and the hang-up are in the traffic log.
        QSerialPort slow;
        QVERIFY(OpenSerialLine(slow, sim.serialDevice(), 9600));
        exchange(slow, "\r", "never", 300);
        QFile log(options.logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY2(text.contains("hang-up"), text.constData());
        QVERIFY2(text.contains("refused"), text.constData());
    }
};

QTEST_GUILESS_MAIN(TestSimSerial)
#include "tst_simserial.moc"
