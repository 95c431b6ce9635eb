#include "fullarea.h"

using namespace RfidTest;

class TestRfidArea513 : public QObject {
    Q_OBJECT
private slots:
    // A 513th tag: the first 512 are written, then the limit message; the
    // 513th reaches the unit nowhere.
    void tag513IsNotWritten()
    {
        AreaRig rig;
        QVERIFY(rig.start());
        RecordTable &table = rig.form->DirectoryTable;
        rig.addTags(513);
        addRecord(table, QStringLiteral("NOTAG"), QStringLiteral("9"), QString());

        rig.form->rfidPage->writeall_id->click();

        QCOMPARE(rig.messages.texts(), QStringList{QStringLiteral("NB could not save all codes\r\nMaximum is 512 RF-ID's.")});
        QVERIFY(settled(*rig.form));
        QCOMPARE(table.recNo(), 513); // on the tag that did not fit
        const QList<QByteArray> commands = commandTexts(rig.sim);
        QCOMPARE(countStartingWith(commands, "g"), 128);
        QCOMPARE(rig.sim.unit().memory().block(1535), areaSlot(508) + areaSlot(509) + areaSlot(510) + areaSlot(511));
        const QByteArray lost = areaSlot(512).mid(6);
        for (const QByteArray &command : commands)
            QVERIFY(!command.contains(lost));
    }
};

QTEST_MAIN(TestRfidArea513)
#include "tst_rfid_area513.moc"
