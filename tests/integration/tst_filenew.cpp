#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "link/logon.h"
#include "link/portselector.h"
#include "messagerecorder.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTest>

using UiDriver::LogOnAnswer;

namespace {
const QString kPort = QStringLiteral("SIM0");

SimOptions unitOptions()
{
    SimOptions options;
    options.unit.pin = "1234";
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

// File > New while logged on, in the real main window against the
// simulated unit.
class TestFileNew : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(QStringLiteral("Ostidata.ini")); }

    void fileNewThenLogOnAgain_data()
    {
        QTest::addColumn<bool>("remembered");
        QTest::newRow("port remembered") << true;
        QTest::newRow("no link details") << false;
    }
    void fileNewThenLogOnAgain()
    {
        // After the reset's log-off the port may be chosen and the unit
        // logged on to again, without a restart.
        QFETCH(bool, remembered);
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form.Link->LoggedOn);
        if (!remembered)
            QVERIFY(QFile::remove(QStringLiteral("Ostidata.ini")));

        form.FileNew1->trigger();
        QVERIFY(!form.Link->LoggedOn);
        QVERIFY(form.PortsMenu->menuAction()->isEnabled());
        QVERIFY(form.UpdatePorts1->isEnabled());
        QVERIFY(form.ConnectMenu->menuAction()->isEnabled());
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("OFF Line"));
        // The lamp follows the port the reset leaves chosen.
        QCOMPARE(form.Ports->checkedEntry() != nullptr, remembered);
        QCOMPARE(form.ledAction->isEnabled(), remembered);
        QCOMPARE(form.OnLine1->isEnabled(), remembered);
        QCOMPARE(form.ledAction->toolTip(), remembered ? QStringLiteral("Log On") : QStringLiteral("Set Port First"));
        QCOMPARE(form.ledPicture(), 22);

        sim.clearCommands();
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join(QLatin1Char('|'))));
        QVERIFY(form.Link->LoggedOn);
        QVERIFY(commandTexts(sim).contains(QByteArray("a1234")));
        form.ledAction->trigger();
        QVERIFY(!form.Link->LoggedOn);
    }
};

QTEST_MAIN(TestFileNew)
#include "tst_filenew.moc"
