#include "fullarea.h"

using namespace RfidTest;

class TestRfidArea512 : public QObject {
    Q_OBJECT
private slots:
    // Exactly 512 tags fill blocks 1408 to 1535 with no limit message (a
    // further record with a code but no room takes no slot); read back into
    // an empty directory they make 512 records again.
    void exactly512TagsThenDownload()
    {
        AreaRig rig;
        QVERIFY(rig.start());
        RecordTable &table = rig.form->DirectoryTable;
        rig.addTags(512);
        addRecord(table, QStringLiteral("NOROOM"), QString(), QStringLiteral("0123456789"));

        rig.form->rfidPage->writeall_id->click();

        QVERIFY2(rig.messages.texts().isEmpty(), qPrintable(rig.messages.texts().join(QLatin1Char('|'))));
        QVERIFY(settled(*rig.form));
        QCOMPARE(table.recNo(), 513);
        const QList<QByteArray> commands = commandTexts(rig.sim);
        QCOMPARE(countStartingWith(commands, "g"), 128);
        QCOMPARE(countStartingWith(commands, "p"), 0);
        for (int block = 0; block < 128; ++block) {
            QByteArray expected;
            for (int slot = 0; slot < 4; ++slot)
                expected += areaSlot(block * 4 + slot);
            QCOMPARE(rig.sim.unit().memory().block(1408 + block), expected);
        }

        table.empty();
        rig.form->rfidPage->download_id->click();
        QVERIFY(rig.messages.texts().isEmpty());
        QVERIFY(settled(*rig.form));
        // The tags tell nothing of the unit's directory records.
        QVERIFY(!rig.form->DirectoryInSync);
        const QStringList got = records(table);
        QCOMPARE(got.size(), 512);
        for (int i = 0; i < 512; ++i)
            QCOMPARE(got.at(i), QStringLiteral("|%1|%2|p%3").arg(areaRoom(i), areaCode(i), QString::number(i + 2)));
    }
};

QTEST_MAIN(TestRfidArea512)
#include "tst_rfid_area512.moc"
