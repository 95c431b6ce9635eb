#include "link/unitgate.h"

#include <QSignalSpy>
#include <QTest>

class TestUnitGate : public QObject {
    Q_OBJECT
private slots:
    void admitsOneOperationAtATime()
    {
        UnitGate gate;
        QSignalSpy changes(&gate, &UnitGate::busyChanged);
        {
            const UnitOperation first(gate, QStringLiteral("GetData"));
            QVERIFY(bool(first));
            QVERIFY(gate.busy());
            QCOMPARE(gate.operation(), QStringLiteral("GetData"));
            const UnitOperation second(gate, QStringLiteral("Down Load"));
            QVERIFY(!second);
            // The refused one leaves the running one's name and hold alone.
            QCOMPARE(gate.operation(), QStringLiteral("GetData"));
        }
        QVERIFY(!gate.busy());
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes.at(0).at(0).toBool(), true);
        QCOMPARE(changes.at(1).at(0).toBool(), false);

        const UnitOperation again(gate, QStringLiteral("Set_time"));
        QVERIFY(bool(again));
    }

    void heldAcrossHandlersUntilEnded()
    {
        // A capture runs on timer ticks: it takes the gate in one handler
        // and gives it back in another.
        UnitGate gate;
        QVERIFY(gate.tryBegin(QStringLiteral("Get_RFID")));
        QVERIFY(!gate.tryBegin(QStringLiteral("Write All")));
        gate.end();
        gate.end(); // idle already: nothing happens
        QVERIFY(!gate.busy());
        QVERIFY(gate.tryBegin(QString()));
        QVERIFY(gate.busy());
    }

    void releaseEarlyFreesTheGate()
    {
        UnitGate gate;
        UnitOperation op(gate, QStringLiteral("WriteAllData"));
        op.release();
        QVERIFY(!gate.busy());
        QVERIFY(!op);
        const UnitOperation next(gate, QStringLiteral("GetData"));
        QVERIFY(bool(next));
    }
};

QTEST_GUILESS_MAIN(TestUnitGate)
#include "tst_unitgate.moc"
