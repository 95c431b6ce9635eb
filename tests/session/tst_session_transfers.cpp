#include "common/handler.h"
#include "directory/directorytable.h"
#include "events/eventdownload.h"
#include "events/eventtable.h"
#include "records/recordtable.h"
#include "rfid/tagtransfer.h"
#include "sessionrig.h"

#include <QCoreApplication>
#include <QTest>

// The session's routines for the event log, the clock and the tag table,
// run against the simulated unit with no window: what each returns, what
// the unit then holds, and that nothing is left busy however they end.
namespace {
QString latin1(const char *text) { return QString::fromLatin1(text); }

SimEvent roomEvent(const char *room, const char *client, char source = '0')
{
    SimEvent event;
    event.kind = SimEvent::Kind::Room;
    event.room = room;
    event.client = client;
    event.source = source;
    return event;
}

void addRecord(RecordTable &table, const QString &name, const QString &room, const QString &rfid)
{
    table.append();
    table.setValue(DirectoryFields::Name, name);
    table.setValue(DirectoryFields::RoomNumber, room);
    table.setValue(DirectoryFields::RFID, rfid);
    table.store();
}

void emptyDirectory(RecordTable &table)
{
    if (!table.isOpen() || table.fieldCount() == 0) {
        DefineDirectoryTable(table);
        table.open();
    }
    table.empty();
}

// Each stored record's room and tag, in table order.
QStringList roomsAndTags(const RecordTable &table)
{
    QStringList out;
    for (int row = 0; row < table.recordCount(); ++row)
        out << table.storedValue(row, table.fieldIndex(DirectoryFields::RoomNumber)) + QLatin1Char('|')
                   + table.storedValue(row, table.fieldIndex(DirectoryFields::RFID));
    return out;
}

TagTransferHooks quickHooks(RecordTable &table)
{
    TagTransferHooks hooks;
    hooks.defineTable = [&table] { emptyDirectory(table); };
    return hooks;
}

using Status = OperationResult::Status;
} // namespace

class TestSessionTransfers : public QObject {
    Q_OBJECT
private slots:
    void eventDownloadFillsTheTableAndTheClockIsSet()
    {
        SessionRig rig;
        rig.sim->unit().appendEvent(roomEvent("101", "SMITH"));
        rig.sim->unit().appendEvent(roomEvent("7", "BROOKS", '2')); // "OK" inside a name
        rig.sim->unit().appendEvent(roomEvent("42", "\xC9TIENNE"));   // a byte above 0x7F
        rig.sim->unit().memory().clockOffsetSeconds = 3600;
        QVERIFY(rig.logOn());

        QString unitTime;
        EventDownloadControls ui;
        ui.setUnitTime = [&unitTime](const QString &text) { unitTime = text; };
        const OperationResult events = rig.session.dnLoadClick(ui);
        QVERIFY2(rig.messages.texts().isEmpty(), qPrintable(rig.messages.texts().join(QLatin1Char('|'))));
        QCOMPARE(events.status, Status::Done);
        QCOMPARE(events.count, 3);
        RecordTable &table = rig.session.EventTable;
        QCOMPARE(table.recordCount(), 3);
        const int client = table.fieldIndex(EventFields::Client);
        const int room = table.fieldIndex(EventFields::RoomNumber);
        QCOMPARE(table.storedValue(1, client).trimmed(), latin1("BROOKS"));
        QCOMPARE(table.storedValue(2, client).trimmed(), latin1("\xC9TIENNE"));
        QCOMPARE(table.storedValue(0, room).trimmed(), latin1("101"));
        QVERIFY(!unitTime.isEmpty());
        QVERIFY(rig.settled());

        const OperationResult clock = rig.session.Set_timeClick();
        QCOMPARE(clock.status, Status::Done);
        QVERIFY(rig.messages.texts().isEmpty());
        // The unit's clock now runs with the PC's (the offset of an hour is gone).
        QVERIFY(qAbs(rig.sim->unit().memory().clockOffsetSeconds) < 120);
        QVERIFY(rig.settled());
        QVERIFY(rig.session.KeepAliveTimer.isActive());
    }

    void aSecondOperationWhileOneRunsIsRefusedAndSendsNothing()
    {
        SessionRig rig;
        QVERIFY(rig.logOn());
        rig.sim->clearCommands();
        const UnitOperation other(rig.session.Channel.Gate, QStringLiteral("GetData"));
        RecordTable &directory = rig.session.DirectoryTable;
        emptyDirectory(directory);
        QCOMPARE(rig.session.dnLoadClick({}).status, Status::Refused);
        QCOMPARE(rig.session.Set_timeClick().status, Status::Refused);
        QCOMPARE(rig.session.download_idClick(quickHooks(directory)).status, Status::Refused);
        QCOMPARE(rig.session.writeall_idClick(quickHooks(directory)).status, Status::Refused);
        QVERIFY(rig.commandTexts().isEmpty());
        QVERIFY(rig.messages.texts().isEmpty());
    }

    void tagsWrittenAllAndReadBackByRoom()
    {
        SessionRig rig;
        QVERIFY(rig.logOn());
        RecordTable &table = rig.session.DirectoryTable;
        emptyDirectory(table);
        addRecord(table, latin1("ONE"), latin1("1"), latin1("00000000A1"));
        addRecord(table, latin1("TWO"), latin1("2"), latin1("0000000002"));
        addRecord(table, latin1("NOTAG"), latin1("8"), QString());

        int transfersShown = 0;
        QList<bool> hiddenOnLine;
        TransferLook look;
        look.shown = [&] {
            ++transfersShown;
            QVERIFY(rig.session.BulkBusy && rig.session.Channel.BulkTransfer);
        };
        look.hidden = [&](bool onLine) { hiddenOnLine << onLine; };
        rig.session.setTransferLook(look);

        const OperationResult written = rig.session.writeall_idClick(quickHooks(table));
        QVERIFY2(rig.messages.texts().isEmpty(), qPrintable(rig.messages.texts().join(QLatin1Char('|'))));
        QCOMPARE(written.status, Status::Done);
        QVERIFY(rig.sim->unit().memory().block(1408).startsWith("1?????00000000:12?????0000000002"));
        QVERIFY(rig.settled());
        QVERIFY(rig.session.KeepAliveTimer.isActive());

        table.empty();
        const OperationResult read = rig.session.download_idClick(quickHooks(table));
        QCOMPARE(read.status, Status::Done);
        QVERIFY(rig.messages.texts().isEmpty());
        QCOMPARE(roomsAndTags(table), (QStringList{latin1("1|00000000A1"), latin1("2|0000000002")}));
        QCOMPARE(transfersShown, 2);
        QCOMPARE(hiddenOnLine, (QList<bool>{true, true}));
        QVERIFY(rig.settled());
        QVERIFY(!rig.session.DirectoryInSync); // a tag dump says nothing of the directory's records
    }

    void aBadTagCodeIsRefusedBeforeAnythingIsSent()
    {
        SessionRig rig;
        QVERIFY(rig.logOn());
        rig.sim->clearCommands();
        RecordTable &table = rig.session.DirectoryTable;
        emptyDirectory(table);
        addRecord(table, latin1("ONE"), latin1("1"), latin1("00A1")); // not ten characters
        QCOMPARE(rig.session.writeall_idClick(quickHooks(table)).status, Status::Refused);
        QCOMPARE(rig.messages.count(), 1);
        QVERIFY(rig.commandTexts().isEmpty());
        QVERIFY(rig.settled());
    }

    void theUnitVanishingInATransferEndsItOffLineWithOneMessage_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("events") << latin1("events");
        QTest::newRow("tag download") << latin1("tags");
        QTest::newRow("tag write-all") << latin1("writeall");
    }
    void theUnitVanishingInATransferEndsItOffLineWithOneMessage()
    {
        QFETCH(QString, operation);
        SessionRig rig;
        QVERIFY(rig.logOn());
        RecordTable &table = rig.session.DirectoryTable;
        emptyDirectory(table);
        for (int room = 1; room <= 40; ++room)
            addRecord(table, latin1("R"), QString::number(room), QStringLiteral("%1").arg(room, 10, 10, QLatin1Char('0')));
        for (int i = 0; i < 40; ++i)
            rig.sim->unit().appendEvent(roomEvent("5", "SMITH"));
        const QStringList before = roomsAndTags(table);

        // The unit goes away as soon as the transfer is under way.
        TransferLook look;
        look.shown = [&rig] { QTimer::singleShot(300, [&rig] { rig.pullThePlug(); }); };
        rig.session.setTransferLook(look);
        bool eventsShown = false;
        EventDownloadControls ui;
        ui.showTransfer = [&] {
            eventsShown = true;
            QTimer::singleShot(0, [&rig] { rig.pullThePlug(); });
        };

        // Run as a front end runs a handler: an error it does not catch
        // (a write to the vanished port abandons the operation) is shown by
        // the general error report, once.
        OperationResult result;
        bool returned = false;
        guarded([&] {
            if (operation == QLatin1String("events"))
                result = rig.session.dnLoadClick(ui);
            else if (operation == QLatin1String("tags"))
                result = rig.session.download_idClick(quickHooks(table));
            else
                result = rig.session.writeall_idClick(quickHooks(table));
            returned = true;
        });
        if (!returned)
            result.status = Status::LinkLost;
        QVERIFY(result.status == Status::LinkLost || result.status == Status::UnitFailed);
        QVERIFY(!result.done());
        QTRY_VERIFY(!rig.session.Link.LoggedOn);
        QCOMPARE(rig.messages.count(), 1);
        QVERIFY(rig.settled());
        QVERIFY(!rig.session.KeepAliveTimer.isActive());
        if (operation != QLatin1String("writeall"))
            QCOMPARE(roomsAndTags(table), before); // nothing half-read replaces what was there
        if (operation == QLatin1String("events"))
            QVERIFY(eventsShown);
    }
};

QTEST_GUILESS_MAIN(TestSessionTransfers)
#include "tst_session_transfers.moc"
