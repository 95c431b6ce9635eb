#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "link/delay.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "ptypeer.h"
#include "uidriver.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QTest>

#include <ctime>

using UiDriver::LogOnAnswer;

namespace {
const QString kPort = QStringLiteral("SIM0");

// A unit behind a pseudo-terminal that answers the log-on and keep-alives,
// and whose far end closes (an adapter pulled out) when `hangUpOn` arrives.
struct VanishingUnit {
    explicit VanishingUnit(const QByteArray &hangUpOn = "never")
    {
        published = peer.publish(kPort);
        peer.setResponder([this, hangUpOn](const QByteArray &command) -> QByteArray {
            if (loggedOn && command == hangUpOn) {
                // Not inside the peer's own read: once control is back.
                QTimer::singleShot(0, &peer, [this] { peer.hangUp(); });
                return {};
            }
            if (command.isEmpty())
                return loggedOn ? "OK\r\n" : "\r\nRVX\r\nGN4\r\nOstiarin_500_Gn4\r\n";
            if (command == "a1234") {
                loggedOn = true;
                return "OK\r\n";
            }
            return {};
        });
    }
    PtyPeer peer;
    bool published = false;
    bool loggedOn = false;
};

double cpuMsDuring(int wallMs)
{
    const std::clock_t start = std::clock();
    QTest::qWait(wallMs);
    return double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC;
}
} // namespace

// The serial device disappears while the program holds the link: one
// message naming what the system said, off line with the port choice
// enabled, nothing left running, and the program still usable and closable.
class TestLinkLost : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(QStringLiteral("Ostidata.ini")); }

    void deviceVanishes_data()
    {
        QTest::addColumn<QByteArray>("hangUpOn"); // the command the far end closes on
        QTest::addColumn<bool>("whileLoggedOn");
        QTest::newRow("while idle") << QByteArray("never") << true;
        QTest::newRow("while a keep-alive waits") << QByteArray() << true;
        QTest::newRow("while the PIN waits") << QByteArray("a1234") << false;
    }
    void deviceVanishes()
    {
        QFETCH(QByteArray, hangUpOn);
        QFETCH(bool, whileLoggedOn);
        MessageRecorder messages;
        auto unit = std::make_unique<VanishingUnit>(hangUpOn);
        QVERIFY(unit->published);
        TostiForm form;
        form.show();
        if (hangUpOn == "a1234")
            unit->loggedOn = true; // closes on the PIN itself

        const DelayTally before = DelaysSoFar();
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        const long long units = DelaysSoFar().units - before.units;
        QCOMPARE(form.Link->LoggedOn, whileLoggedOn);
        if (whileLoggedOn) {
            QVERIFY(messages.texts().isEmpty());
            if (hangUpOn == "never") {
                unit->peer.hangUp();
            } else {
                // The next second of the keep-alive count sends the bare CR.
                form.Channel.KeepAliveTicks = 13;
            }
        } else {
            // The PIN wait ended when the device went, not after its 80
            // waits of 100 units: fewer units were waited in the whole log-on.
            QVERIFY2(units < 8000, qPrintable(QString::number(units)));
        }

        QTRY_VERIFY_WITH_TIMEOUT(!form.Channel.ComPort1.isOpen(), 5000);
        QVERIFY(!form.Link->LoggedOn);
        QTRY_COMPARE(messages.count(), 1);
        QCOMPARE(messages.messages().first().kind, MessageService::Kind::Error);
        QVERIFY2(messages.last().contains(kPort), qPrintable(messages.last()));
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("OFF Line"));
        QCOMPARE(form.ledPicture(), 22);
        QVERIFY(!form.ledAction->isChecked());
        QVERIFY(form.ledAction->isEnabled());
        QCOMPARE(form.ledAction->toolTip(), QStringLiteral("Log On"));
        QCOMPARE(form.OnLine1->text(), QStringLiteral("Log On"));
        QVERIFY(form.PortsMenu->menuAction()->isEnabled());
        QVERIFY(form.UpdatePorts1->isEnabled());
        QVERIFY(!form.Timer1.isActive());
        QVERIFY(!form.Timer2.isActive());

        // No busy loop, and no further box for the same loss.
        const double cpuMs = cpuMsDuring(1500);
        QVERIFY2(cpuMs < 400, qPrintable(QString::number(cpuMs)));
        QCOMPARE(messages.count(), 1);

        // The lamp offers a new log-on (cancelled here): no error box.
        UiDriver::answerLogOnDialog(LogOnAnswer{.cancel = true});
        form.ledAction->trigger();
        QCOMPARE(messages.count(), 1);

        // The device comes back: log on again without a restart.
        unit = std::make_unique<VanishingUnit>();
        QVERIFY(unit->published);
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form.Link->LoggedOn);
        QCOMPARE(messages.count(), 1);

        // And the program ends as asked.
        form.FileExit1->trigger();
        QVERIFY(!form.isVisible());
        QCOMPARE(messages.count(), 1);
    }

    void exitOrLogOffRightAfterTheDeviceWent_data()
    {
        QTest::addColumn<bool>("exit");
        QTest::newRow("log off") << false;
        QTest::newRow("exit") << true;
    }
    void exitOrLogOffRightAfterTheDeviceWent()
    {
        QFETCH(bool, exit);
        MessageRecorder messages;
        VanishingUnit unit;
        QVERIFY(unit.published);
        TostiForm form;
        form.show();
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form.Link->LoggedOn);

        // Before the program had a chance to notice: its "x" cannot go out.
        unit.peer.hangUp();
        if (exit)
            form.FileExit1->trigger();
        else
            form.ledAction->trigger();
        QTest::qWait(200);
        QVERIFY(!form.Channel.ComPort1.isOpen());
        QVERIFY(!form.Link->LoggedOn);
        // The loss is told once, whether the exit or the log-off came first.
        QTRY_COMPARE(messages.count(), 1);
        QCOMPARE(messages.messages().first().kind, MessageService::Kind::Error);
        QTest::qWait(300); // and no second one follows
        QCOMPARE(messages.count(), 1);
        if (exit) {
            QVERIFY(!form.isVisible());
        } else {
            QVERIFY(form.PortsMenu->menuAction()->isEnabled());
            QVERIFY(form.ledAction->isEnabled());
            form.close();
            QVERIFY(!form.isVisible());
        }
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("OFF Line"));
    }
};

QTEST_MAIN(TestLinkLost)
#include "tst_linklost.moc"
