#include "faultsrig.h"

#include "events/eventtable.h"

#include <QLineEdit>

// The event download against a unit that fails it.
using namespace Faults;

namespace {
void addEvents(SimUnit &unit, int count, const char *name)
{
    for (int i = 0; i < count; ++i) {
        SimEvent e;
        e.room = QByteArray::number(100 + i);
        e.time = QDateTime(QDate(2026, 12, 9), QTime(8, 0).addSecs(60 * i));
        e.client = QByteArray(name) + ' ' + QByteArray::number(i);
        unit.memory().events.append(e);
    }
}

QStringList clients(TostiForm &form)
{
    QStringList values;
    const int f = form.EventTable.fieldIndex(EventFields::Client);
    for (int i = 0; i < form.EventTable.recordCount(); ++i)
        values << form.EventTable.storedValue(i, f);
    return values;
}

// A first download that works: the table the user then holds.
bool holdTwo(Rig &rig)
{
    addEvents(rig.unit(), 2, "OLD");
    rig.form().eventsPage->dnLoad->click();
    rig.unit().memory().events.clear();
    return clients(rig.form()) == QStringList{L("OLD 0"), L("OLD 1")} && rig.messages.texts().isEmpty();
}
} // namespace

class TestFaultsEvents : public QObject {
    Q_OBJECT
private slots:
    void dumpThatStops()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        QVERIFY(holdTwo(rig));
        addEvents(rig.unit(), 5, "NEW");
        rig.unit().options().stallAfter = 3; // the first line and two events, then silence

        rig.form().eventsPage->dnLoad->click();

        // No box: the receive log says it, and the table keeps what it held.
        QCOMPARE(rig.messages.texts(), QStringList{});
        QCOMPARE(rig.form().RxLog.text(), L("Failed to get all data"));
        QCOMPARE(clients(rig.form()), (QStringList{L("OLD 0"), L("OLD 1")}));
        verifyOnLine(rig.form());
        verifyCloses(rig);
    }

    void clockQueryUnanswered()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        addEvents(rig.unit(), 3, "NEW");
        rig.unit().options().dropCommands = "t";
        rig.form().eventsPage->dnLoad->click();
        QCOMPARE(rig.messages.texts(), QStringList{});
        QCOMPARE(rig.form().eventsPage->Stime->text(), QString());
        QCOMPARE(rig.form().eventsPage->Sdate->text(), QString());
        QCOMPARE(clients(rig.form()), (QStringList{L("NEW 0"), L("NEW 1"), L("NEW 2")}));
        verifyOnLine(rig.form());
        verifyCloses(rig);
    }

    void slowUnit_data()
    {
        QTest::addColumn<int>("replyDelay");
        QTest::newRow("100 ms") << 100;
        QTest::newRow("400 ms") << 400;
    }
    void slowUnit()
    {
        QFETCH(int, replyDelay);
        Rig rig;
        QVERIFY(rig.logOn());
        addEvents(rig.unit(), 3, "NEW");
        const_cast<SimOptions &>(rig.sim->options()).replyDelayMs = replyDelay;
        rig.form().eventsPage->dnLoad->click();
        QCOMPARE(rig.messages.texts(), QStringList{});
        QCOMPARE(clients(rig.form()), (QStringList{L("NEW 0"), L("NEW 1"), L("NEW 2")}));
        verifyOnLine(rig.form());
        verifyCloses(rig);
    }

    void unitVanishesDuringTheDump()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        QVERIFY(holdTwo(rig));
        addEvents(rig.unit(), 30, "NEW");
        // The dump is on its way when the unit goes.
        const_cast<SimOptions &>(rig.sim->options()).replyDelayMs = 1000;
        rig.vanishOn("e");

        rig.form().eventsPage->dnLoad->click();

        verifyLost(rig);
        QCOMPARE(clients(rig.form()), (QStringList{L("OLD 0"), L("OLD 1")}));
        verifyCloses(rig);
    }
};

QTEST_MAIN(TestFaultsEvents)
#include "tst_faults_events.moc"
