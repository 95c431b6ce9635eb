#include "link/lamp.h"
#include "link/unitgate.h"
#include "link/unitlink.h"
#include "messagerecorder.h"
#include "ptypeer.h"
#include "session/unitsession.h"
#include "sessionrig.h"
#include "simulator.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

// The unit session runs without a window: these tests build no widget and
// link no widget library.  They log on to the simulated unit through the
// real log-on and run the session's routines against it.
namespace {
const QString kPort = QStringLiteral("SIMS");

SimOptions unitOptions(int model = 200)
{
    SimOptions options = SessionRig::defaultOptions();
    options.unit.model = model;
    options.unit.pin = "4321";
    return options;
}

LogOnRequest serialRequest(const QString &pin = QStringLiteral("4321"))
{
    LogOnRequest request;
    request.pin = pin;
    request.serialName = kPort;
    return request;
}

QList<QByteArray> commandTexts(const Simulator &sim) { return SessionRig::commandTexts(sim); }

// What the link showed, in order.
struct LookRecorder {
    QStringList steps;
    LinkLook look()
    {
        LinkLook look;
        look.setStatus = [this](const QString &text) { steps << QStringLiteral("status:") + text; };
        look.setLamp = [this](int lamp) { steps << QStringLiteral("lamp:%1").arg(lamp); };
        look.setTitle = [this](const QString &title) { steps << QStringLiteral("title:") + title; };
        look.onLine = [this] { steps << QStringLiteral("onLine"); };
        look.offLine = [this] { steps << QStringLiteral("offLine"); };
        look.portsFree = [this] { steps << QStringLiteral("portsFree"); };
        return look;
    }
};
} // namespace

class TestSessionLink : public QObject {
    Q_OBJECT
private slots:
    void noWidgetLibraryIsLoaded()
    {
        // The test program is a QCoreApplication; nothing here may need more.
        QVERIFY(!QCoreApplication::instance()->inherits("QGuiApplication"));
    }

    void serialLogOnIdentifiesTheModelAndLogOffEndsTheSession()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions(200));
        QVERIFY(sim.startSerial(kPort));
        UnitSession session;
        LookRecorder shown;
        session.Link.setLook(shown.look());

        QCOMPARE(session.Link.logOn(serialRequest()), LogOnResult::Done);
        QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join(QLatin1Char('|'))));
        QVERIFY(session.Link.LoggedOn);
        QVERIFY(session.KeepAliveTimer.isActive());
        QCOMPARE(session.Link.DirectoryEndAddress, 10752);
        QVERIFY(session.Link.ModelLine.startsWith(QStringLiteral("Ostiarin_200_Gn4")));
        QCOMPARE(shown.steps.mid(shown.steps.indexOf(QStringLiteral("status:OK Connected"))),
                 (QStringList{QStringLiteral("status:OK Connected"),
                              QStringLiteral("title:RVX Ostiarin GN4_200    Programmer   =Osti-Kit=  V8.8"),
                              QStringLiteral("lamp:%1").arg(int(Lamp::Green)), QStringLiteral("status:Connected"),
                              QStringLiteral("onLine")}));
        QVERIFY(commandTexts(sim).contains(QByteArrayLiteral("a4321")));
        QVERIFY(!session.Channel.Gate.busy());

        session.Link.logOffRequested();
        QVERIFY(!session.Link.LoggedOn);
        QVERIFY(!session.KeepAliveTimer.isActive());
        QVERIFY(!session.Channel.ComPort1.isOpen());
        QCOMPARE(shown.steps.last(), QStringLiteral("portsFree"));
        QVERIFY(shown.steps.contains(QStringLiteral("status:OFF Line")));
    }

    void aRefusedPinOrASilentUnitLeavesTheSessionOffLine()
    {
        {
            MessageRecorder messages;
            Simulator sim(unitOptions());
            QVERIFY(sim.startSerial(kPort));
            UnitSession session;
            QCOMPARE(session.Link.logOn(serialRequest(QStringLiteral("9999"))), LogOnResult::PinRefused);
            QCOMPARE(messages.texts(), QStringList{QStringLiteral("Failed to Connect\r\nCheck PIN")});
            QVERIFY(!session.Link.LoggedOn);
            QVERIFY(!session.Channel.ComPort1.isOpen());
            QVERIFY(!session.KeepAliveTimer.isActive());
        }
        {
            MessageRecorder messages;
            PtyPeer silent; // a port with nobody behind it
            QVERIFY(silent.publish(kPort));
            UnitSession session;
            QCOMPARE(session.Link.logOn(serialRequest()), LogOnResult::NoResponse);
            QCOMPARE(messages.texts(), QStringList{QStringLiteral("No Reponse from Ostiarin")});
            QVERIFY(!session.Link.LoggedOn);
            QCOMPARE(silent.commands().count(QByteArray()), 6); // six asks for the identification
            QVERIFY(!silent.commands().contains(QByteArrayLiteral("a4321"))); // the PIN never went out
            QVERIFY(!session.Channel.ComPort1.isOpen());
        }
        {
            MessageRecorder messages;
            UnitSession session;
            LogOnRequest request = serialRequest();
            request.serialName = QStringLiteral("/nonexistent/port");
            QCOMPARE(session.Link.logOn(request), LogOnResult::PortFailed);
            QCOMPARE(messages.texts(), QStringList{QStringLiteral("Serial Communication Error")});
        }
    }

    void aLogOnWhileAnotherOperationRunsDoesNothing()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        UnitSession session;
        const UnitOperation other(session.Channel.Gate, QStringLiteral("GetData"));
        QVERIFY(bool(other));
        QCOMPARE(session.Link.logOn(serialRequest()), LogOnResult::Busy);
        QVERIFY(sim.commands().isEmpty());
        QVERIFY(!session.Channel.ComPort1.isOpen());
        QVERIFY(messages.texts().isEmpty());
    }

    void udpLogOnOverLoopback()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions(1000));
        QVERIFY(sim.startUdp(QHostAddress(QStringLiteral("127.0.0.2"))));
        UnitSession session;
        session.Channel.WiFiSelected = true;
        session.Channel.setUnitAddress(QStringLiteral("127.0.0.2"));
        LogOnRequest request = serialRequest();
        request.remote = true; // a tick left from a modem log-on means nothing over WiFi
        QCOMPARE(session.Link.logOn(request), LogOnResult::Done);
        QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join(QLatin1Char('|'))));
        QVERIFY(!session.Channel.RemoteMode);
        QCOMPARE(session.Link.DirectoryEndAddress, 36864);
        session.Link.logOffRequested();
        QVERIFY(!session.Channel.UdpLinkOpen);
        QTRY_VERIFY(commandTexts(sim).contains(QByteArrayLiteral("x")));
    }
};

QTEST_GUILESS_MAIN(TestSessionLink)
#include "tst_session_link.moc"
