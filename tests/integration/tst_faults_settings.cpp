#include "faultsrig.h"

#include "settings/settingsblocks.h"

#include <QLineEdit>

// The settings page's reads and writes against a unit that fails them.
using namespace Faults;

namespace {
// The unit holds relay codes the page does not show yet.
void holdCodes(SimUnit &unit)
{
    RelayCodes codes;
    const char *texts[] = {"1111", "2222", "3333", "4444", "5555", "6666"};
    for (int i = 0; i < RelayCodeBlock::kCodes; ++i)
        codes[i] = QLatin1String(texts[i]);
    unit.memory().programBlock(1, EncodeRelayCodes(codes).toLatin1());
}

QStringList boxes(const auto &edits)
{
    QStringList texts;
    for (QLineEdit *e : edits)
        texts << e->text();
    return texts;
}
} // namespace

class TestFaultsSettings : public QObject {
    Q_OBJECT
private slots:
    void readFromASlowUnit()
    {
        Rig rig;
        holdCodes(rig.unit());
        QVERIFY(rig.logOn());
        // Replies come a third of a second late: inside every read's wait.
        const_cast<SimOptions &>(rig.sim->options()).replyDelayMs = 300;
        SettingsPage &page = *rig.form().settingsPage;
        page.ReadCode->click();
        QCOMPARE(rig.messages.texts(), QStringList{});
        QCOMPARE(boxes(page.codeBoxes), (QStringList{L("1111"), L("2222"), L("3333"), L("4444"), L("5555"), L("6666")}));
        verifyOnLine(rig.form());
        verifyCloses(rig);
    }

    void writeThatDoesNotVerify_data()
    {
        QTest::addColumn<QByteArray>("drop");
        QTest::addColumn<bool>("corrupt");
        QTest::addColumn<int>("programs"); // "p" commands on the line
        QTest::addColumn<int>("reads");
        QTest::newRow("read-back differs") << QByteArray() << true << 4 << 4;
        QTest::newRow("program never answered") << QByteArray("p") << false << 4 << 0;
    }
    void writeThatDoesNotVerify()
    {
        QFETCH(QByteArray, drop);
        QFETCH(bool, corrupt);
        QFETCH(int, programs);
        QFETCH(int, reads);
        Rig rig;
        rig.unit().options().dropCommands = drop;
        rig.unit().options().corruptReadback = corrupt;
        QVERIFY(rig.logOn());
        SettingsPage &page = *rig.form().settingsPage;
        page.code_g1->setText(L("1234"));
        const QStringList shown = boxes(page.codeBoxes);

        page.WriteCode->click();

        QCOMPARE(rig.messages.texts(), QStringList{L("There was an error\r\nin writing the Codes")});
        QCOMPARE(rig.sent("p0001"), programs);
        QCOMPARE(rig.sent("r0001"), reads);
        // What the user typed stays; the write ran to its end.
        QCOMPARE(boxes(page.codeBoxes), shown);
        QCOMPARE(rig.form().StatusBar->panel(1), L("Ready"));
        verifyOnLine(rig.form());
        verifyCloses(rig);
    }

    void unitVanishesDuringTheFirstRead()
    {
        Rig rig;
        holdCodes(rig.unit());
        QVERIFY(rig.logOn());
        rig.vanishOn("d0008"); // after the messages, block 0000 and the codes
        rig.form().Pbutt->click();

        verifyLost(rig);
        QVERIFY(!rig.form().SettingsReadDone);
        // What was read before the loss is shown.
        QCOMPARE(rig.form().settingsPage->code_g1->text(), L("1111"));
        verifyCloses(rig);
    }

    void unitVanishesDuringAWrite()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        SettingsPage &page = *rig.form().settingsPage;
        page.spd[0]->setText(L("0123"));
        rig.vanishOn("p0009"); // the second of the two blocks
        page.WriteSpd->click();

        verifyLost(rig);
        QCOMPARE(page.spd[0]->text(), L("0123"));
        QVERIFY(rig.form().StatusBar->panel(1) != L("Ready"));
        verifyCloses(rig);
    }
};

QTEST_MAIN(TestFaultsSettings)
#include "tst_faults_settings.moc"
