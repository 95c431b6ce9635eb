#include "widgets/clipanimation.h"
#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "link/logon.h"
#include "link/portselector.h"
#include "link/ports.h"
#include "link/unitgate.h"
#include "messagerecorder.h"
#include "ptypeer.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSerialPort>
#include <QTest>

using UiDriver::LogOnAnswer;

namespace {
const QString kPort = QStringLiteral("SIM0");

SimOptions unitOptions(int model = 500)
{
    SimOptions options;
    options.unit.model = model;
    options.unit.pin = "1234";
    options.connectDelayMs = 300;
    return options;
}

QList<QByteArray> commandTexts(const Simulator &sim)
{
    QList<QByteArray> texts;
    for (const ReceivedCommand &c : sim.commands())
        texts << c.bytes;
    return texts;
}
} // namespace

// Logs on to the simulated unit over its pseudo-terminal, as a user would,
// in the real main window.
class TestLogOn : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(QStringLiteral("Ostidata.ini")); }

    void serialLogOnToEachModel_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("endAddress");
        QTest::addColumn<QString>("title");
        QTest::newRow("100") << 100 << 7424 << QStringLiteral("RVX Ostiarin GN4_100    Programmer   =Osti-Kit=  V8.8");
        QTest::newRow("200") << 200 << 10752 << QStringLiteral("RVX Ostiarin GN4_200    Programmer   =Osti-Kit=  V8.8");
        QTest::newRow("500") << 500 << 20736 << QStringLiteral("RVX Ostiarin GN4_500    Programmer   =Osti-Kit=  V8.8");
        QTest::newRow("1000") << 1000 << 36864 << QStringLiteral("RVX Ostiarin GN4_1000    Programmer   =Osti-Kit=  V8.8");
    }
    void serialLogOnToEachModel()
    {
        QFETCH(int, model);
        QFETCH(int, endAddress);
        QFETCH(QString, title);
        MessageRecorder messages;
        Simulator sim(unitOptions(model));
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        QCOMPARE(form.Link->DirectoryEndAddress, 36864); // before any identification
        QPushButton first, second;
        form.Link->addFirstGroup(&first);
        form.Link->addSecondGroup(&second);
        QVERIFY(!first.isEnabled() && !second.isEnabled());

        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});

        QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join(QLatin1Char('|'))));
        QVERIFY(form.Link->LoggedOn);
        QVERIFY(sim.unit().loggedOn());
        QCOMPARE(form.windowTitle(), title);
        QCOMPARE(form.Link->DirectoryEndAddress, endAddress);
        QCOMPARE(form.Edit3->text(), QString::number(endAddress));
        QCOMPARE(form.ledPicture(), 21);
        QCOMPARE(form.ledAction->toolTip(), QStringLiteral("Log Off"));
        QVERIFY(!form.ledAction->isChecked());
        QCOMPARE(form.OnLine1->text(), QStringLiteral("Log Off"));
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("Connected"));
        QVERIFY(form.Timer2.isActive());
        QVERIFY(form.Animate1->isPlaying());
        QCOMPARE(form.Animate1->toolTip(), QStringLiteral("On Line"));
        QVERIFY(first.isEnabled() && second.isEnabled());
        QVERIFY(!form.PortsMenu->menuAction()->isEnabled());
        QVERIFY(!form.UpdatePorts1->isEnabled());
        QCOMPARE(form.Channel.ComPort1.baudRate(), 57600);
        // The PIN went raw: never shown in the status bar.
        QVERIFY(!form.StatusBar->panel(1).contains(QLatin1String("1234")));
        QVERIFY(commandTexts(sim).contains(QByteArray("a1234")));

        // Log off by a click: "x" goes out before the port closes.
        sim.clearCommands();
        form.ledAction->trigger();
        QVERIFY(!form.Link->LoggedOn);
        QVERIFY(!form.Channel.ComPort1.isOpen());
        QTRY_COMPARE(commandTexts(sim), QList<QByteArray>{QByteArray("x")});
        QCOMPARE(form.ledPicture(), 22);
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("OFF Line"));
        QCOMPARE(form.OnLine1->text(), QStringLiteral("Log On"));
        QVERIFY(!form.Animate1->isPlaying());
        QVERIFY(!first.isEnabled() && !second.isEnabled());
        QVERIFY(form.PortsMenu->menuAction()->isEnabled());
        QVERIFY(form.ledAction->isEnabled());
    }

    void unrecognisedModelStillLogsOn_data()
    {
        QTest::addColumn<QByteArray>("modelText");
        QTest::newRow("blank after the model") << QByteArray("Ostiarin_500_Gn4 ");
        QTest::newRow("other unit") << QByteArray("Portier_9");
    }
    void unrecognisedModelStillLogsOn()
    {
        QFETCH(QByteArray, modelText);
        MessageRecorder messages;
        SimOptions options = unitOptions();
        options.unit.modelText = modelText;
        Simulator sim(options);
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form.Link->LoggedOn);
        QCOMPARE(form.Link->DirectoryEndAddress, 0);
        QCOMPARE(form.windowTitle(), TostiForm::kGenericTitle);
        QVERIFY(messages.texts().isEmpty());
    }

    void wrongPinLeavesTheProgramOffLine()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("9999")});
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Failed to Connect\r\nCheck PIN")});
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("OFF Line"));
        QVERIFY(!form.Link->LoggedOn);
        QVERIFY(!form.Channel.ComPort1.isOpen());
        QCOMPARE(form.ledPicture(), 22);
        QVERIFY(form.PortsMenu->menuAction()->isEnabled());
        QVERIFY(form.UpdatePorts1->isEnabled());
        QVERIFY(form.ledAction->isEnabled());
        QVERIFY(!form.ledAction->isChecked());
    }

    void silentUnitIsReported()
    {
        MessageRecorder messages;
        PtyPeer silent;
        QVERIFY(silent.publish(kPort));
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("No Reponse from Ostiarin")});
        QVERIFY(!form.Link->LoggedOn);
        // Six bare CRs asked for the identification, then the port was let go.
        QCOMPARE(silent.commands().count(QByteArray()), 6);
        QVERIFY(!form.Channel.ComPort1.isOpen());
    }

    void identificationOfThreeLinesOnly()
    {
        MessageRecorder messages;
        PtyPeer unit;
        QVERIFY(unit.publish(kPort));
        unit.setResponder([](const QByteArray &command) -> QByteArray {
            if (command.isEmpty())
                return "\r\nOstiarin\r\nGN4\r\n";
            if (command == "a1234")
                return "OK\r\n";
            return {};
        });
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(messages.texts().isEmpty());
        QVERIFY(form.Link->LoggedOn);
        QCOMPARE(form.Link->DirectoryEndAddress, 0);
        form.Link->LogOff();
    }

    void missingOrBusyPortIsACommunicationError_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("gone") << false;
        QTest::newRow("busy") << true;
    }
    void missingOrBusyPortIsACommunicationError()
    {
        QFETCH(bool, busy);
        MessageRecorder messages;
        PtyPeer peer;
        QVERIFY(peer.publish(kPort));
        TostiForm form;
        QAction *entry = UiDriver::portEntry(form.PortsMenu, kPort);
        QVERIFY(entry);
        entry->trigger();
        // Another program holds the port, or it went away after it was chosen.
        QSerialPort other(peer.slavePath());
        if (busy)
            QVERIFY(other.open(QIODevice::ReadWrite));
        else
            QVERIFY(QFile::remove(QDir(RuntimePortsFolder()).filePath(kPort)));
        UiDriver::answerLogOnDialog(LogOnAnswer{.pin = QStringLiteral("1234")});
        form.ledAction->trigger();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Serial Communication Error")});
        QVERIFY(!form.Link->LoggedOn);
        QVERIFY(!form.Channel.ComPort1.isOpen());
        QVERIFY(form.PortsMenu->menuAction()->isEnabled());
        QVERIFY(form.ledAction->isEnabled());
        QVERIFY(peer.commands().isEmpty());
    }

    void cancelledDialogChangesNothing()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.cancel = true});
        QVERIFY(messages.texts().isEmpty());
        QVERIFY(!form.Link->LoggedOn);
        QVERIFY(sim.commands().isEmpty());
        QVERIFY(form.ledAction->isEnabled());
        QVERIFY(!form.ledAction->isChecked());
    }

    // The log-on is an operation on the unit like any other: nothing else
    // may talk to the unit between the identification and the PIN.
    void logOnHoldsTheUnitUntilItEnds()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        bool refusedDuring = false;
        UiDriver::whenTrue([&] { return form.StatusBar->panel(0) == QStringLiteral("waiting for Model Number"); },
                           [&] {
                               refusedDuring = form.Channel.Gate.operation() == QStringLiteral("LogOn") &&
                                               !form.Channel.Gate.tryBegin(QStringLiteral("GetData"));
                           });
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form.Link->LoggedOn);
        QVERIFY(refusedDuring);
        QVERIFY(!form.Channel.Gate.busy());
    }

    void keepAliveAfterFifteenQuietSeconds()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form.Link->LoggedOn);
        form.Timer2.stop(); // the test gives the seconds itself
        form.Channel.KeepAliveTicks = 0;
        sim.clearCommands();

        for (int second = 1; second < 15; ++second)
            form.Link->Timer2Timer();
        QVERIFY(sim.commands().isEmpty());
        form.Link->Timer2Timer();
        QTRY_COMPARE(commandTexts(sim), QList<QByteArray>{QByteArray()});
        QVERIFY(form.Link->LoggedOn);

        // A command restarts the count.
        form.Channel.KeepAliveTicks = 10;
        form.Channel.SendCommand(QStringLiteral("t\r"));
        QCOMPARE(form.Channel.KeepAliveTicks, 0);
        // Its answer comes at the line's pace: all of it before going on.
        QVERIFY(form.Channel.WaitReply(20));
        QTRY_VERIFY(commandTexts(sim).contains(QByteArray("t")));
        // A bulk transfer pauses it.
        form.Channel.BulkTransfer = true;
        for (int second = 0; second < 20; ++second)
            form.Link->Timer2Timer();
        QCOMPARE(form.Channel.KeepAliveTicks, 0);
        form.Channel.BulkTransfer = false;
        // So does any operation on the unit: a keep-alive inside its waits
        // would clear its log and answer in its place.  It goes at the first
        // tick after the operation.
        {
            const UnitOperation running(form.Channel.Gate, QStringLiteral("GetData"));
            sim.clearCommands();
            for (int second = 0; second < 20; ++second)
                form.Link->Timer2Timer();
            QVERIFY(form.Channel.KeepAliveTicks >= 15);
            QVERIFY(sim.commands().isEmpty());
        }
        form.Link->Timer2Timer();
        QTRY_COMPARE(commandTexts(sim), QList<QByteArray>{QByteArray()});
        QCOMPARE(form.Channel.KeepAliveTicks, 0);

        // A unit that stops answering is left without a word, after "x".
        sim.unit().options().ignoreKeepAlive = true;
        sim.clearCommands();
        for (int second = 0; second < 15; ++second)
            form.Link->Timer2Timer();
        QVERIFY(!form.Link->LoggedOn);
        QVERIFY(messages.texts().isEmpty());
        QTRY_COMPARE(commandTexts(sim), (QList<QByteArray>{QByteArray(), QByteArray("x")}));
        // No box for this: the status bar says it.
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("Link lost - OFF Line"));
        QCOMPARE(form.ledPicture(), 22);
        QVERIFY(form.PortsMenu->menuAction()->isEnabled());
    }

    void logOnThroughTheModem()
    {
        MessageRecorder messages;
        SimOptions options = unitOptions(200);
        options.modem = true;
        Simulator sim(options);
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234"), .remote = true, .phone = QStringLiteral("0123456789")});
        QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join(QLatin1Char('|'))));
        QVERIFY(form.Link->LoggedOn);
        QVERIFY(form.Channel.RemoteMode);
        QCOMPARE(form.Channel.ComPort1.baudRate(), 9600);
        QCOMPARE(form.Link->DirectoryEndAddress, 10752);
        const QList<QByteArray> sent = commandTexts(sim);
        QVERIFY(sent.contains(QByteArray("atz")));
        QVERIFY(sent.contains(QByteArray("ate0")));
        QVERIFY(sent.contains(QByteArray("atd0123456789")));
        QVERIFY(sent.indexOf(QByteArray("atd0123456789")) < sent.indexOf(QByteArray("a1234")));
        form.Link->LogOff();
    }

    void cancelWhileWaitingForTheCall()
    {
        MessageRecorder messages;
        SimOptions options = unitOptions();
        options.modem = true;
        options.connectDelayMs = 120000; // the call never comes through in time
        Simulator sim(options);
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        bool cancelled = false;
        UiDriver::whenTrue([&] { return form.StatusBar->panel(0) == QStringLiteral("waiting for Connection"); },
                           [&] {
                               cancelled = true;
                               form.ledAction->trigger();
                           });
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234"), .remote = true, .phone = QStringLiteral("555")});
        QVERIFY(cancelled);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Failed to connect")});
        QVERIFY(!form.Link->LoggedOn);
        QVERIFY(!form.Channel.ComPort1.isOpen());
        QVERIFY(form.PortsMenu->menuAction()->isEnabled());
        QVERIFY(form.ledAction->isEnabled());
        QCOMPARE(form.ledPicture(), 22);
    }

    void fileNewLogsOffAndResets()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234"), .remember = true});
        QVERIFY(form.Link->LoggedOn);
        sim.clearCommands();
        form.FileNew1->trigger();
        QVERIFY(!form.Link->LoggedOn);
        QTRY_COMPARE(commandTexts(sim), QList<QByteArray>{QByteArray("x")});
        QCOMPARE(form.windowTitle(), TostiForm::kGenericTitle);
        // The port was remembered: it is selected again and the log-on offered.
        QVERIFY(form.Ports->checkedEntry());
        QCOMPARE(form.Ports->checkedEntry()->text(), kPort);
        QVERIFY(form.ledAction->isEnabled());
        QCOMPARE(form.ledAction->toolTip(), QStringLiteral("Log On"));
    }
};

QTEST_MAIN(TestLogOn)
#include "tst_logon.moc"
