#include "faultsrig.h"

#include "directory/directorytransfer.h"

// The phone list's GetData and WriteAllData buttons against a unit that
// fails them, as the user meets it: what is said, what the table holds, and
// whether the window can go on.
using namespace Faults;

namespace {
QByteArray slot(int i) { return QStringLiteral("%1,1234,5678,12,0123456789,NAME %2").arg(100 + i).arg(i, 3, 10, QLatin1Char('0')).toLatin1(); }

void fillUnit(SimUnit &unit, int count)
{
    for (int i = 0; i < count; ++i)
        unit.memory().directory.insert(0x1000 + i * 0x20, slot(i));
}

// What the user held before clicking: two residents loaded from a file.
void holdTwo(Rig &rig)
{
    rig.addRecord(L("OLD ONE"), L("1"), L("111"));
    rig.addRecord(L("OLD TWO"), L("2"), L("222"));
}
} // namespace

class TestFaultsDirectory : public QObject {
    Q_OBJECT
private slots:
    void downloadFromAFaultyUnit_data()
    {
        QTest::addColumn<QByteArray>("drop");
        QTest::addColumn<int>("stallAfter");
        QTest::addColumn<int>("replyDelay");
        QTest::addColumn<QStringList>("message");
        QTest::addColumn<QStringList>("names"); // the table afterwards
        QTest::addColumn<bool>("inSync");
        const QStringList held{L("OLD ONE"), L("OLD TWO")};
        const QStringList all{L("NAME 000"), L("NAME 001"), L("NAME 002"), L("NAME 003"), L("NAME 004")};
        // Nothing came: the table the user held is all there is.
        QTest::newRow("dump never answered") << QByteArray("d") << -1 << 0 << QStringList{L("communication error")} << held << false;
        // The unit's first line and three slots, then silence: every
        // complete slot line is loaded, not taken as the unit's.
        QTest::newRow("dump stops half-way") << QByteArray() << 4 << 0 << QStringList{L("communication error")}
                                             << QStringList{L("NAME 000"), L("NAME 001"), L("NAME 002")} << false;
        QTest::newRow("slow unit") << QByteArray() << -1 << 700 << QStringList{} << all << true;
    }
    void downloadFromAFaultyUnit()
    {
        QFETCH(QByteArray, drop);
        QFETCH(int, stallAfter);
        QFETCH(int, replyDelay);
        QFETCH(QStringList, message);
        QFETCH(QStringList, names);
        QFETCH(bool, inSync);
        Rig rig(options());
        fillUnit(rig.unit(), 5);
        rig.sim->unit().options().dropCommands = drop;
        rig.sim->unit().options().stallAfter = stallAfter;
        QVERIFY(rig.logOn());
        const_cast<SimOptions &>(rig.sim->options()).replyDelayMs = replyDelay;
        holdTwo(rig);

        rig.form().directoryPage->GetData->click();

        QCOMPARE(rig.messages.texts(), message);
        QCOMPARE(rig.tableColumn(DirectoryFields::Name), names);
        QCOMPARE(rig.form().DirectoryInSync, inSync);
        verifyOnLine(rig.form());
        verifyCloses(rig);
    }

    void unitVanishesDuringTheDownload()
    {
        Rig rig(options([](SimOptions &o) { o.baud = 57600; })); // the dump takes a while
        fillUnit(rig.unit(), 200);
        QVERIFY(rig.logOn());
        holdTwo(rig);
        rig.vanishWhen([&rig] { return rig.form().Channel.LineCount >= 20; });

        rig.form().directoryPage->GetData->click();

        verifyLost(rig);
        // The fragment that came is not what the unit holds: the table is
        // left as it was.
        QCOMPARE(rig.tableColumn(DirectoryFields::Name), (QStringList{L("OLD ONE"), L("OLD TWO")}));
        QCOMPARE(rig.form().RxLog.text().contains(L("NAME")), false);
        verifyCloses(rig);
    }

    void uploadToAFaultyUnit_data()
    {
        QTest::addColumn<QByteArray>("drop");
        QTest::addColumn<int>("replyDelay");
        QTest::addColumn<QStringList>("messages"); // after the question
        QTest::addColumn<int>("stored");           // records the unit holds afterwards
        QTest::addColumn<bool>("inSync");
        QTest::newRow("erase never confirmed")
            << QByteArray("f") << 0 << QStringList{L("Could not clear All,\r\nSave your files and\r\nRecheck connection")} << 0 << false;
        // Nothing reached the unit: the renumbered table is not its directory.
        QTest::newRow("every record refused") << QByteArray("b") << 0 << QStringList{L("There was 6 error(s)")} << 0 << false;
        QTest::newRow("slow unit") << QByteArray() << 250 << QStringList{} << 8 << true;
    }
    void uploadToAFaultyUnit()
    {
        QFETCH(QByteArray, drop);
        QFETCH(int, replyDelay);
        QFETCH(QStringList, messages);
        QFETCH(int, stored);
        QFETCH(bool, inSync);
        Rig rig(options());
        rig.sim->unit().options().dropCommands = drop;
        QVERIFY(rig.logOn());
        const_cast<SimOptions &>(rig.sim->options()).replyDelayMs = replyDelay;
        for (int i = 8; i > 0; --i)
            rig.addRecord(QStringLiteral("RES %1").arg(i), QString::number(i), QStringLiteral("55%1").arg(i));

        rig.messages.answerNext(true);
        rig.form().directoryPage->WriteData->click();

        QCOMPARE(rig.messages.texts().mid(1), messages);
        QCOMPARE(rig.unit().memory().directory.size(), stored);
        // The table keeps every record, in name order with fresh addresses.
        QCOMPARE(rig.tableColumn(DirectoryFields::Name),
                 (QStringList{L("RES 1"), L("RES 2"), L("RES 3"), L("RES 4"), L("RES 5"), L("RES 6"), L("RES 7"), L("RES 8")}));
        QCOMPARE(rig.tableColumn(DirectoryFields::Addr).first(), L("1000"));
        QCOMPARE(rig.tableColumn(DirectoryFields::PHnumber).last(), L("558"));
        if (stored == 8)
            QCOMPARE(rig.unit().memory().directory.value(0x10E0), QByteArray("8,,,,558,RES 8"));
        QCOMPARE(rig.form().DirectoryInSync, inSync);
        verifyOnLine(rig.form());
        verifyCloses(rig);
    }

    void unitVanishesDuringTheUpload()
    {
        Rig rig(options());
        QVERIFY(rig.logOn());
        for (int i = 0; i < 12; ++i)
            rig.addRecord(QStringLiteral("RES %1").arg(i, 2, 10, QLatin1Char('0')), QString::number(i + 1));
        rig.vanishWhen([&rig] { return rig.sent("b") >= 3; });

        rig.messages.answerNext(true);
        rig.form().directoryPage->WriteData->click();

        // After the question, one message: the port is gone.
        QTRY_VERIFY(!rig.form().Link->LoggedOn);
        QCOMPARE(rig.messages.count(), 2);
        QVERIFY2(rig.messages.last().contains(kPort), qPrintable(rig.messages.last()));
        verifyOffLine(rig.form());
        QCOMPARE(rig.form().DirectoryTable.recordCount(), 12);
        QCOMPARE(rig.tableColumn(DirectoryFields::Name).last(), L("RES 11"));
        verifyCloses(rig);
    }
};

QTEST_MAIN(TestFaultsDirectory)
#include "tst_faults_directory.moc"
