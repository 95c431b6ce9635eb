#include "simmodem.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// The modem in front of the simulated unit's serial port.
class TestSimModem : public QObject {
    Q_OBJECT
private slots:
    void commandModeEchoAndResults()
    {
        SimModem modem(50, 60000);
        QCOMPARE(modem.lineInput("atz\r"), QByteArray("atz\r")); // echo is on until ate0
        QCOMPARE(modem.command("atz"), QByteArray("\r\nOK\r\n"));
        QCOMPARE(modem.lineInput("ate0\r"), QByteArray("ate0\r"));
        QCOMPARE(modem.command("ate0"), QByteArray("\r\nOK\r\n"));
        QCOMPARE(modem.lineInput("ATI\r"), QByteArray());
        QCOMPARE(modem.command("ATI"), QByteArray("\r\nOK\r\n"));
        QCOMPARE(modem.command("hello"), QByteArray("\r\nERROR\r\n"));
        QCOMPARE(modem.command(""), QByteArray());
        QCOMPARE(modem.command("atz"), QByteArray("\r\nOK\r\n"));
        QVERIFY(modem.echoOn()); // a reset brings the echo back
        QVERIFY(!modem.connected());
    }

    void dialRingsThenConnects()
    {
        SimModem modem(80, 60000);
        QSignalSpy output(&modem, &SimModem::output);
        QCOMPARE(modem.command("atd0123456789"), QByteArray());
        QCOMPARE(modem.state(), SimModem::State::Dialling);
        QVERIFY(output.isEmpty());
        QTRY_VERIFY(modem.connected());
        QCOMPARE(output.size(), 1);
        QVERIFY(output.first().first().toByteArray().contains("CONNECT"));
        QVERIFY(output.first().first().toByteArray().endsWith("\r\n"));
        QCOMPARE(modem.lineInput("r0000\r"), QByteArray()); // passed on, not echoed
        modem.hangUp();
        QVERIFY(!modem.connected());
        QCOMPARE(modem.command("atd"), QByteArray("\r\nNO DIALTONE\r\n"));
    }

    void aKeyAbandonsTheCall()
    {
        SimModem modem(100, 60000);
        QSignalSpy output(&modem, &SimModem::output);
        modem.command("atd555");
        QCOMPARE(modem.lineInput("x\r"), QByteArray());
        QCOMPARE(modem.state(), SimModem::State::Command);
        QTest::qWait(200);
        QVERIFY(output.isEmpty());
        QVERIFY(!modem.connected());
    }

    void silentLineHangsUp()
    {
        // Traffic starts the silence over.
        {
            SimModem modem(0, 60000);
            modem.command("atd1");
            QTRY_VERIFY(modem.connected());
            QTest::qWait(50);
            const int left = modem.msUntilHangUp();
            QVERIFY2(left >= 0 && left <= 60000 - 50, qPrintable(QString::number(left)));
            modem.dataPassed();
            QVERIFY2(modem.msUntilHangUp() > left, qPrintable(QString::number(modem.msUntilHangUp())));
            QVERIFY(modem.connected());
        }
        // Silence ends the call.
        SimModem modem(0, 150);
        QElapsedTimer sinceDial;
        sinceDial.start();
        modem.command("atd1");
        QTRY_VERIFY(modem.connected());
        QTRY_VERIFY(!modem.connected());
        // Not before the silence has lasted its time.
        QVERIFY2(sinceDial.elapsed() >= 150, qPrintable(QString::number(sinceDial.elapsed())));
        QCOMPARE(modem.msUntilHangUp(), -1);
    }
};

QTEST_GUILESS_MAIN(TestSimModem)
#include "tst_simmodem.moc"
