#include "faultsrig.h"

#include "rfid/rfidpage.h"

// The tag page's download and write-all against a unit that fails them.
using namespace Faults;

namespace {
void holdTwo(Rig &rig)
{
    rig.addRecord(L("OLD ONE"), L("1"));
    rig.addRecord(L("OLD TWO"), L("2"));
    RecordTable &t = rig.form().DirectoryTable;
    t.first();
    t.edit();
    t.setValue(DirectoryFields::RFID, L("0123456789"));
    t.store();
}
} // namespace

class TestFaultsRfid : public QObject {
    Q_OBJECT
private slots:
    void downloadNeverAnswered()
    {
        Rig rig;
        rig.unit().options().dropCommands = "s";
        QVERIFY(rig.logOn());
        holdTwo(rig);
        rig.form().rfidPage->download_id->click();
        QCOMPARE(rig.messages.texts(), QStringList{L("communication error")});
        // The tags the user held stay, and the table is not taken as the unit's.
        QCOMPARE(rig.tableColumn(DirectoryFields::RFID), (QStringList{L("0123456789"), QString()}));
        QVERIFY(!rig.form().DirectoryInSync);
        verifyOnLine(rig.form());
        verifyCloses(rig);
    }

    void unitVanishesDuringTheDownload()
    {
        Rig rig(options([](SimOptions &o) { o.replyDelayMs = 1000; }));
        QVERIFY(rig.logOn());
        holdTwo(rig);
        rig.vanishOn("s");
        rig.form().rfidPage->download_id->click();
        verifyLost(rig);
        QCOMPARE(rig.tableColumn(DirectoryFields::RFID), (QStringList{L("0123456789"), QString()}));
        verifyCloses(rig);
    }

    void unitVanishesDuringTheWriteAll()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        holdTwo(rig);
        rig.vanishOn("g");
        rig.form().rfidPage->writeall_id->click();
        verifyLost(rig);
        QCOMPARE(rig.tableColumn(DirectoryFields::Name), (QStringList{L("OLD ONE"), L("OLD TWO")}));
        verifyCloses(rig);
    }
};

QTEST_MAIN(TestFaultsRfid)
#include "tst_faults_rfid.moc"
