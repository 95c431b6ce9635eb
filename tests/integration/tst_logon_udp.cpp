#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "link/linkdetails.h"
#include "link/logon.h"
#include "link/portselector.h"
#include "messagerecorder.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTimer>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QUdpSocket>

using UiDriver::LogOnAnswer;

namespace {
QList<QByteArray> commandTexts(const Simulator &sim)
{
    QList<QByteArray> texts;
    for (const ReceivedCommand &c : sim.commands())
        texts << c.bytes;
    return texts;
}

// The unit address is read from the link details at start-up.
void rememberWifiUnit(const QString &address)
{
    LinkDetails details;
    details.wifi = true;
    details.remember = true;
    details.ipAddress = address;
    WriteLinkDetails(kLinkDetailsFileName, details);
}
} // namespace

// Logs on to the simulated unit over UDP on loopback: the program binds
// 0.0.0.0:8000, the unit 127.0.0.2:8000, both sharing the port.
class TestLogOnUdp : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QFile::remove(kLinkDetailsFileName); }

    void logOnAndOffOverUdp()
    {
        MessageRecorder messages;
        SimOptions options;
        options.unit.model = 100;
        Simulator sim(options);
        QVERIFY(sim.startUdp(QHostAddress(QStringLiteral("127.0.0.2"))));
        rememberWifiUnit(QStringLiteral("127.0.0.2"));

        TostiForm form;
        QVERIFY(form.Channel.WiFiSelected);
        QVERIFY(form.Ports->checkedEntry());
        QCOMPARE(form.Ports->checkedEntry()->text(), QStringLiteral("WiFi"));
        QVERIFY(form.ledAction->isEnabled());

        UiDriver::answerLogOnDialog(LogOnAnswer{.pin = QStringLiteral("1234")});
        form.ledAction->trigger();
        QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join(QLatin1Char('|'))));
        QVERIFY(form.Link->LoggedOn);
        QVERIFY(form.Channel.UdpLinkOpen);
        QCOMPARE(form.Link->DirectoryEndAddress, 7424);
        QCOMPARE(form.windowTitle(), QStringLiteral("RVX Ostiarin GN4_100    Programmer   =Osti-Kit=  V8.8"));
        QVERIFY(!form.Channel.ComPort1.isOpen());
        // Over UDP the lamp blinks: every poll restarts the blink timer.
        QTRY_VERIFY(form.Timer1.isActive());
        for (const ReceivedCommand &c : sim.commands())
            QVERIFY2(c.link.startsWith(QLatin1String("udp")), qPrintable(c.link));

        sim.clearCommands();
        form.ledAction->trigger();
        QVERIFY(!form.Channel.UdpLinkOpen);
        QVERIFY(!form.Channel.UdpSocket);
        QTRY_COMPARE(commandTexts(sim), QList<QByteArray>{QByteArray("x")});
        QVERIFY(!form.Timer1.isActive());
        QCOMPARE(form.ledPicture(), 22);
    }

    void rememberedRemoteTickIsNoModemOverWifi()
    {
        // The file says Remote from an earlier log-on through the modem; the
        // dialog hides the box for WiFi, so it must not count.
        MessageRecorder messages;
        SimOptions options;
        options.unit.model = 200;
        Simulator sim(options);
        QVERIFY(sim.startUdp(QHostAddress(QStringLiteral("127.0.0.2"))));
        LinkDetails details;
        details.wifi = true;
        details.remember = true;
        details.remote = true;
        details.phoneNumber = QStringLiteral("0123456789");
        details.pin = QStringLiteral("1234");
        details.ipAddress = QStringLiteral("127.0.0.2");
        WriteLinkDetails(kLinkDetailsFileName, details);

        TostiForm form;
        // Should the modem be initialised over UDP, the attempt is cut short
        // at its first "atz" rather than after minutes.
        bool modemCommandSeen = false;
        connect(&sim, &Simulator::commandReceived, &form, [&](const ReceivedCommand &command) {
            if (command.bytes.startsWith("at") && !modemCommandSeen) {
                modemCommandSeen = true;
                QTimer::singleShot(0, &form, [&form] { form.ledAction->trigger(); });
            }
        });
        QElapsedTimer clock;
        clock.start();
        UiDriver::answerLogOnDialog(LogOnAnswer{.pin = QStringLiteral("1234")});
        form.ledAction->trigger();
        QVERIFY(!modemCommandSeen);
        QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join(QLatin1Char('|'))));
        QVERIFY(form.Link->LoggedOn);
        QVERIFY(!form.Channel.RemoteMode);
        QCOMPARE(form.Link->DirectoryEndAddress, 10752);
        for (const QByteArray &command : commandTexts(sim))
            QVERIFY2(!command.startsWith("at"), command.constData());
        form.ledAction->trigger();
        QVERIFY(!form.Link->LoggedOn);
    }

    void silentAddressIsNoResponse()
    {
        MessageRecorder messages;
        rememberWifiUnit(QStringLiteral("127.0.0.9")); // nobody there
        TostiForm form;
        UiDriver::answerLogOnDialog(LogOnAnswer{.pin = QStringLiteral("1234")});
        form.ledAction->trigger();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("No Reponse from Ostiarin")});
        QVERIFY(!form.Link->LoggedOn);
        QVERIFY(!form.Channel.UdpLinkOpen);
    }

    void unitNamedByHostName()
    {
        // The name is looked up when the link opens; replies are then taken
        // from the address it stands for.
        MessageRecorder messages;
        rememberWifiUnit(QStringLiteral("localhost"));
        TostiForm form;
        UiDriver::answerLogOnDialog(LogOnAnswer{.pin = QStringLiteral("1234")});
        bool opened = false;
        UiDriver::whenTrue([&] { return form.Channel.UdpLinkOpen; },
                           [&] {
                               opened = true;
                               QCOMPARE(form.Channel.UdpDestination, QHostAddress(QHostAddress::LocalHost));
                           });
        form.ledAction->trigger();
        QVERIFY(opened);
        QCOMPARE(form.Channel.resolvedUnitAddress(), QHostAddress(QHostAddress::LocalHost));
        QVERIFY(!form.Link->LoggedOn);
    }
};

QTEST_MAIN(TestLogOnUdp)
#include "tst_logon_udp.moc"
