#include "common/handler.h"
#include "directory/directorytable.h"
#include "records/recordtable.h"
#include "session/unitdirectorytransfer.h"
#include "sessionrig.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

// The directory's download and upload as session routines, with no window:
// what each returns, what the unit and the table then hold, when the table
// counts as in step with the unit, and the unit vanishing half-way.
namespace {
using Status = OperationResult::Status;

QString latin1(const char *text) { return QString::fromLatin1(text); }

// Each stored record as "name|room|phone|code1|code2", in table order.
QStringList residents(const RecordTable &table)
{
    QStringList out;
    for (int row = 0; row < table.recordCount(); ++row) {
        auto v = [&](const QString &field) { return table.storedValue(row, table.fieldIndex(field)).trimmed(); };
        out << QStringList{v(DirectoryFields::Name), v(DirectoryFields::RoomNumber), v(DirectoryFields::PHnumber),
                           v(DirectoryFields::Code1), v(DirectoryFields::Code2)}
                   .join(QLatin1Char('|'));
    }
    return out;
}

void fillUnit(Simulator &sim, int count)
{
    for (int i = 0; i < count; ++i)
        sim.unit().memory().directory.insert(0x1000 + 0x20 * i,
                                             QStringLiteral("%1,1234,,00,0123456%2,RESIDENT %3")
                                                 .arg(100 + i)
                                                 .arg(i % 10)
                                                 .arg(i, 3, 10, QLatin1Char('0'))
                                                 .toLatin1());
}
} // namespace

class TestSessionDirectory : public QObject {
    Q_OBJECT
private slots:
    void downloadThenUploadRoundTripsAndMarksTheTableInStep()
    {
        SessionRig rig;
        fillUnit(*rig.sim, 12);
        rig.sim->unit().memory().directory.insert(0x1000 + 0x20 * 12, "7,,,00,555,\xC9LODIE BROOKS");
        QVERIFY(rig.logOn());

        const OperationResult got = rig.session.GetDataClick();
        QVERIFY2(rig.messages.texts().isEmpty(), qPrintable(rig.messages.texts().join(QLatin1Char('|'))));
        QCOMPARE(got.status, Status::Done);
        QCOMPARE(got.count, 13);
        QVERIFY(rig.session.DirectoryInSync);
        QVERIFY(residents(rig.session.DirectoryTable).contains(latin1("\xC9LODIE BROOKS|7|555||")));
        QVERIFY(rig.settled());
        QVERIFY(rig.session.KeepAliveTimer.isActive());

        // A change, then the whole directory back to the unit.
        RecordTable &table = rig.session.DirectoryTable;
        table.moveTo(1);
        table.edit();
        table.setValue(DirectoryFields::PHnumber, latin1("999"));
        table.store();
        const QStringList expected = residents(table);
        rig.messages.answerNext(true);
        const OperationResult put = rig.session.WriteDataClick();
        QCOMPARE(rig.messages.texts(),
                 QStringList{latin1("This will replace ALL numbers currently\r\nstored in the Ostiarin, Continue?")});
        QCOMPARE(put.status, Status::Done);
        QCOMPARE(put.count, 13);
        QVERIFY(rig.session.DirectoryInSync);
        QCOMPARE(rig.sim->unit().memory().directory.size(), 13);
        QVERIFY(rig.settled());

        // What the unit now holds is what the table held.
        table.empty();
        rig.session.setDirectoryInSync(false);
        QCOMPARE(rig.session.GetDataClick().status, Status::Done);
        QStringList back = residents(table), sent = expected;
        back.sort();
        sent.sort();
        QCOMPARE(back, sent);
    }

    void anUploadAnsweredNoOrRefusedByTheGateSendsNothing()
    {
        SessionRig rig;
        fillUnit(*rig.sim, 3);
        QVERIFY(rig.logOn());
        QCOMPARE(rig.session.GetDataClick().status, Status::Done);
        rig.sim->clearCommands();

        rig.messages.answerNext(false);
        QCOMPARE(rig.session.WriteDataClick().status, Status::Refused);
        QCOMPARE(rig.messages.count(), 1);
        {
            const UnitOperation other(rig.session.Channel.Gate, QStringLiteral("Down Load"));
            QCOMPARE(rig.session.WriteDataClick().status, Status::Refused);
            QCOMPARE(rig.session.GetDataClick().status, Status::Refused);
        }
        QCOMPARE(rig.messages.count(), 1); // the gate refuses without a word
        QVERIFY(rig.commandTexts().isEmpty());
        QVERIFY(rig.session.DirectoryInSync); // nothing happened to the unit's directory
        QCOMPARE(rig.sim->unit().memory().directory.size(), 3);
    }

    void theUnitVanishingHalfWayLeavesTheTableOutOfStep_data()
    {
        QTest::addColumn<bool>("upload");
        QTest::newRow("download") << false;
        QTest::newRow("upload") << true;
    }
    void theUnitVanishingHalfWayLeavesTheTableOutOfStep()
    {
        QFETCH(bool, upload);
        SessionRig rig;
        fillUnit(*rig.sim, 60);
        QVERIFY(rig.logOn());
        QCOMPARE(rig.session.GetDataClick().status, Status::Done);
        const QStringList before = residents(rig.session.DirectoryTable);

        // The unit goes in the middle: a few records into the upload, or
        // while the dump is still coming.
        const int commandsBefore = int(rig.sim->commands().size());
        bool pulled = false;
        QObject::connect(rig.sim.get(), &Simulator::commandReceived, &rig.session,
                         [&rig, &pulled, commandsBefore, upload] {
                             const int sent = int(rig.sim->commands().size()) - commandsBefore;
                             if (pulled || (upload ? sent <= 5 : sent < 1))
                                 return;
                             pulled = true;
                             QTimer::singleShot(upload ? 0 : 100, &rig.session, [&rig] { rig.pullThePlug(); });
                         });
        if (upload)
            rig.messages.answerNext(true);
        else
            rig.sim->unit().memory().directory.insert(0x1000 + 0x20 * 60, "1,,,00,1,LAST"); // a longer dump

        OperationResult result;
        bool returned = false;
        guarded([&] {
            result = upload ? rig.session.WriteDataClick() : rig.session.GetDataClick();
            returned = true;
        });
        if (!returned)
            result.status = Status::LinkLost;
        QVERIFY(!result.done());
        QTRY_VERIFY(!rig.session.Link.LoggedOn);
        QVERIFY(!rig.session.DirectoryInSync);
        QVERIFY(rig.settled());
        QVERIFY(!rig.session.KeepAliveTimer.isActive());
        // One message for the loss (the upload's question came before it).
        QTRY_COMPARE(rig.messages.count(), upload ? 2 : 1);
        QVERIFY(pulled);
        if (!upload) // the table the user held stays rather than a piece of the dump
            QCOMPARE(residents(rig.session.DirectoryTable), before);
    }
};

QTEST_GUILESS_MAIN(TestSessionDirectory)
#include "tst_session_directory.moc"
