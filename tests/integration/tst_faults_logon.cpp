#include "faultsrig.h"

// The log-on and the held link against a unit that fails them.
using namespace Faults;

class TestFaultsLogOn : public QObject {
    Q_OBJECT
private slots:
    void pinNeverAnswered()
    {
        Rig rig;
        rig.unit().options().dropCommands = "a";
        QVERIFY(!rig.logOn());
        QCOMPARE(rig.messages.texts(), QStringList{L("Failed to Connect\r\nCheck PIN")});
        verifyOffLine(rig.form());
        verifyCloses(rig);
    }

    void slowUnit()
    {
        Rig rig(options([](SimOptions &o) { o.replyDelayMs = 400; }));
        QVERIFY(rig.logOn());
        QCOMPARE(rig.messages.texts(), QStringList{});
        QCOMPARE(rig.form().Link->DirectoryEndAddress, 20736);
        verifyOnLine(rig.form());
        verifyCloses(rig);
    }

    void keepAliveUnanswered()
    {
        Rig rig;
        rig.unit().options().ignoreKeepAlive = true;
        QVERIFY(rig.logOn());
        rig.form().Channel.KeepAliveTicks = 13; // the next seconds send the bare CR
        QTRY_VERIFY_WITH_TIMEOUT(!rig.form().Link->LoggedOn, 5000);
        QCOMPARE(rig.messages.texts(), QStringList{});
        QCOMPARE(rig.form().StatusBar->panel(0), L("Link lost - OFF Line"));
        verifyOffLine(rig.form());
        verifyCloses(rig);
    }

    void unitVanishesDuringTheLogOn_data()
    {
        QTest::addColumn<QByteArray>("on");
        QTest::newRow("identification") << QByteArray("");
        QTest::newRow("PIN") << QByteArray("a");
    }
    void unitVanishesDuringTheLogOn()
    {
        QFETCH(QByteArray, on);
        Rig rig(options([](SimOptions &o) { o.replyDelayMs = 300; }));
        rig.vanishOn(on);
        QVERIFY(!rig.logOn());
        QTRY_VERIFY(!rig.form().Channel.ComPort1.isOpen());
        QCOMPARE(rig.messages.count(), 1);
        verifyOffLine(rig.form());
        verifyCloses(rig);
    }
};

QTEST_MAIN(TestFaultsLogOn)
#include "tst_faults_logon.moc"
