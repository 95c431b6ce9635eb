#include "eventsrig.h"

#include <QElapsedTimer>

using namespace EventsRig;

// An event download that gets no answer waits out its limit; kept apart from
// the other download tests so that its wait runs beside them.
class TestEventsNoReply : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(QStringLiteral("Ostidata.ini")); }

    void noReplyLeavesTheTableAsItWas()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        rig.control("event 101 local 1 KEPT");
        rig.page.dnLoad->click();
        QCOMPARE(rig.form.EventTable.recordCount(), 1);
        rig.page.DBGrid2TitleClick(1);

        rig.sim.unit().options().dropCommands = "e";
        rig.control("event 102 local 1 NEW");
        QElapsedTimer clock;
        clock.start();
        rig.page.dnLoad->click();
        QVERIFY(clock.elapsed() > 17000);
        QCOMPARE(rig.form.RxLog.text(), L("Failed to get all data"));
        QCOMPARE(rig.column(6), QStringList{L("KEPT")});
        QVERIFY(rig.form.EventTable.isSorted());
        QCOMPARE(rig.page.Stime->text(), L("23:30:12")); // the clock was still read
        QVERIFY(rig.messages.texts().isEmpty());
        rig.verifyCleanedUp();
        QVERIFY(rig.form.Link->LoggedOn);
    }
};

QTEST_MAIN(TestEventsNoReply)
#include "tst_eventsnoreply.moc"
