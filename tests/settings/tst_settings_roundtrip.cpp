#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "widgets/transferwindow.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "settings/settingspage.h"
#include "simulator.h"
#include "uidriver.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTest>
#include <QTimer>

#include <memory>

using UiDriver::LogOnAnswer;

// The settings pages against the simulated unit, through the real main
// window: what each Write sends, what each Read shows, and the first read of
// the page.
namespace {
const QString kPort = QStringLiteral("SIM0");

SimOptions unitOptions()
{
    SimOptions options;
    options.unit.pin = "1234";
    return options;
}

QStringList commandTexts(const Simulator &sim)
{
    QStringList texts;
    for (const ReceivedCommand &c : sim.commands())
        texts << QString::fromLatin1(c.bytes.left(c.bytes.startsWith('p') ? 5 : 9));
    return texts;
}

QStringList names(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *t : texts)
        list << QLatin1String(t);
    return list;
}

QString block(const Simulator &sim, int number) { return QString::fromLatin1(sim.unit().memory().block(number)); }

void logOn(TostiForm &form)
{
    UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
    QVERIFY(form.Link->LoggedOn);
}

// Every control of the pages that the unit stores, as text.
QStringList pageState(const SettingsPage &p)
{
    QStringList state;
    for (QLineEdit *box : p.numberBoxes)
        state << box->objectName() + QLatin1Char('=') + box->text();
    for (QLineEdit *box : p.codeBoxes)
        state << box->objectName() + QLatin1Char('=') + box->text();
    for (QLineEdit *box : p.spd)
        state << box->objectName() + QLatin1Char('=') + box->text();
    for (QLineEdit *box : p.msg)
        state << box->objectName() + QLatin1Char('=') + box->text();
    for (QLineEdit *box : p.divertBoxes)
        state << box->objectName() + QLatin1Char('=') + box->text();
    for (QLineEdit *box : p.MaskEdits)
        state << box->objectName() + QLatin1Char('=') + box->text();
    for (QLineEdit *box : p.hiddenTimes)
        state << box->objectName() + QLatin1Char('=') + box->text();
    for (QLineEdit *box : p.pinBoxes)
        state << box->objectName() + QLatin1Char('=') + box->text();
    for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{
             p.RadioButton1, p.PS2_srl2, p.PS1_pmsg, p.PS1_sclk, p.PS2_klmsg, p.PS1_gacc, p.PS2_gn1c, p.PS2_gcod,
             p.PS2_grls, p.PS2_srl1, p.PS2_mden, p.rly2off, p.rly2key, p.rly2line, p.rly2ring, p.rly2tim,
             p.Divert4Butts, p.Divert4All, p.Divert4ButtsNA, p.Divert4AllNA})
        state << b->objectName() + (b->isChecked() ? QStringLiteral("=on") : QStringLiteral("=off"));
    return state;
}

// Values unlike the form defaults in every field.
void fillPages(SettingsPage &p)
{
    const char *numbers[SystemBlock::FieldCount] = {"7", "9", "12", "45", "6", "33", "77", "5", "60", "4", "8", "11", "25"};
    for (int f = 0; f < SystemBlock::FieldCount; ++f)
        p.numberBoxes[f]->setText(QLatin1String(numbers[f]));
    const char *codes[] = {"1234", "2345", "3456", "4567", "5678", "6789"};
    for (int i = 0; i < 6; ++i)
        p.codeBoxes[i]->setText(QLatin1String(codes[i]));
    for (int i = 0; i < 8; ++i)
        p.spd[i]->setText(QStringLiteral("0%1*#p%1").arg(i + 1));
    const char *texts[] = {"WELCOME", "Press button", "Scrolling text of exactly 32 ch.", "Second scroll",
                           "0123456789ABCDEF", "Pulse 2 \xE9"};
    for (int i = 0; i < 6; ++i)
        p.msg[i]->setText(QString::fromLatin1(texts[i]));
    const char *diverts[] = {"0123*4#", "555", "0800123", "p9"};
    for (int i = 0; i < 4; ++i)
        p.divertBoxes[i]->setText(QLatin1String(diverts[i]));
    const char *times[] = {"08:30", "22:00", "17:45", "06:05"};
    for (int i = 0; i < 4; ++i)
        p.MaskEdits[i]->setText(QLatin1String(times[i]));
    const char *pins[] = {"1111", "22222222", "3", "", "123456", "2234567", "18888888", "29"};
    for (int i = 0; i < 8; ++i)
        p.pinBoxes[i]->setText(QLatin1String(pins[i]));
    p.PS1_sclk->setChecked(true);
    p.PS2_srl2->setChecked(true);
    p.PS1_gacc->setChecked(true);
    p.PS2_gn1c->setChecked(true);
    p.PS2_gcod->setChecked(true);
    p.PS2_grls->setChecked(false);
    p.PS2_srl1->setChecked(true);
    p.rly2ring->click();
    p.rly2tim->click();
    p.Divert4All->setChecked(true);
    p.Divert4AllNA->setChecked(true);
}

void click(QPushButton *button)
{
    QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
    button->click();
}
} // namespace

class TestSettingsRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(QStringLiteral("Ostidata.ini")); }

    void everyBlockRoundTrips()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        QStringList written;
        {
            TostiForm form;
            logOn(form);
            SettingsPage &p = *form.settingsPage;
            fillPages(p);
            sim.clearCommands();
            for (QPushButton *write : {p.WritePara0, p.WriteCode, p.WriteSpd, p.divertWrite, p.UpDatePIN})
                click(write);
            p.PhParam->setCurrentWidget(p.Phset);
            click(p.SaveParam);
            QCOMPARE(messages.texts(), QStringList{QStringLiteral("NEW CODES Programmed")});
            QCOMPARE(form.StatusBar->panel(1), QStringLiteral("Ready"));
            // The PINs never reach the status bar; each block is written once.
            const QStringList programs = commandTexts(sim).filter(QRegularExpression(QStringLiteral("^p")));
            QCOMPARE(programs, names({"p0000", "p0001", "p0008", "p0009", "p0005", "p0002", "p0000", "p0003",
                                            "p0012", "p0013", "p0014", "p0015"}));
            QCOMPARE(block(sim, 3).left(64),
                     QStringLiteral("1111????22222222""3???????????????""123456??2234567?""1888888829??????"));
            QCOMPARE(block(sim, 2).left(16), QStringLiteral("0830220017450605"));
            QCOMPARE(block(sim, 5).left(16), QStringLiteral("0123:4;?????????"));
            written = pageState(p);
            form.FileExit1->trigger();
        }

        TostiForm fresh;
        logOn(fresh);
        sim.clearCommands();
        fresh.PbuttClick();
        QVERIFY(fresh.SettingsReadDone);
        QCOMPARE(commandTexts(sim), names({"d00120015", "r0000", "r0001", "d00080010", "d00050006", "r0002",
                                                 "r0003"}));
        QCOMPARE(pageState(*fresh.settingsPage), written);
        QCOMPARE(messages.count(), 1);
        saveScreenshots(fresh);

        // The messages' Read reads only the messages.
        sim.clearCommands();
        click(fresh.settingsPage->ReadMsgs);
        QCOMPARE(commandTexts(sim), names({"d00120015"}));

        // A second showing reads nothing.
        sim.clearCommands();
        fresh.PHButClick();
        fresh.PbuttClick();
        QTest::qWait(50);
        QVERIFY(commandTexts(sim).isEmpty());
    }

    void blockZeroAsWritten_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("data");
        const QString defaults = QStringLiteral("01030503021414030?00030000012000") + QStringLiteral("14")
                                 + QString(26, QLatin1Char('0')) + QStringLiteral("0084");
        QTest::newRow("defaults") << "" << "" << "" << defaults;
        QTest::newRow("ring count 40") << "Phs_rc" << "40" << "35" << QString(defaults).replace(8, 2, QStringLiteral("23"));
        QTest::newRow("no answer 5") << "Phs_na" << "5" << "10" << QString(defaults).replace(16, 2, QStringLiteral("0:"));
        QTest::newRow("mic -3") << "Phs_ml" << "-3" << "0" << QString(defaults).replace(0, 2, QStringLiteral("00"));
        QTest::newRow("scroll 50") << "Phs_ls" << "50" << "50" << QString(defaults).replace(32, 2, QStringLiteral("32"));
        QTest::newRow("tone 120") << "Cont_time" << "12" << "12" << QString(defaults).replace(12, 2, QStringLiteral("0<"));
    }
    void blockZeroAsWritten()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, data);
        MessageRecorder messages;
        Simulator sim(unitOptions());
        // Memory the program never shows: a write replaces it.
        sim.unit().memory().programBlock(0, QByteArray(64, 'x'));
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        logOn(form);
        QLineEdit *edit = box.isEmpty() ? nullptr : form.findChild<QLineEdit *>(box);
        if (edit)
            edit->setText(typed);
        click(form.settingsPage->WritePara1);
        QCOMPARE(block(sim, 0), data);
        if (edit)
            QCOMPARE(edit->text(), shown);
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(form.StatusBar->panel(1), QStringLiteral("Ready"));
    }

    void notANumberSendsNothing()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        logOn(form);
        SettingsPage &p = *form.settingsPage;
        p.numberBoxes[SystemBlock::Run]->setText(QStringLiteral("150"));
        p.numberBoxes[SystemBlock::Sl]->setText(QStringLiteral("x"));
        p.numberBoxes[SystemBlock::Rc]->setText(QStringLiteral("99"));
        sim.clearCommands();
        click(p.WritePara0);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("'x' is not a valid integer value")});
        QVERIFY(commandTexts(sim).isEmpty());
        QCOMPARE(p.numberBoxes[SystemBlock::Run]->text(), QStringLiteral("99")); // clamped before the stop
        QCOMPARE(p.numberBoxes[SystemBlock::Rc]->text(), QStringLiteral("99"));  // after it: untouched
        QVERIFY(form.StatusBar->panel(1) != QStringLiteral("Ready"));
    }

    void erasedUnitReadsEmpty()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions()); // a new unit: every settings block erased
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        logOn(form);
        form.PbuttClick();
        QVERIFY(form.SettingsReadDone);
        SettingsPage &p = *form.settingsPage;
        for (QLineEdit *box : p.numberBoxes)
            QCOMPARE(box->text(), QStringLiteral("0"));
        for (const auto &boxes : {std::vector<QLineEdit *>(p.codeBoxes.begin(), p.codeBoxes.end()),
                                  std::vector<QLineEdit *>(p.spd.begin(), p.spd.end()),
                                  std::vector<QLineEdit *>(p.msg.begin(), p.msg.end()),
                                  std::vector<QLineEdit *>(p.divertBoxes.begin(), p.divertBoxes.end()),
                                  std::vector<QLineEdit *>(p.pinBoxes.begin(), p.pinBoxes.end())})
            for (QLineEdit *box : boxes)
                QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
        for (QLineEdit *box : p.MaskEdits)
            QCOMPARE(box->text(), QStringLiteral("00:00"));
        QCOMPARE(p.hiddenTimes[0]->text(), QStringLiteral("0000"));
        QVERIFY(p.rly2off->isChecked());
        QVERIFY(p.RadioButton1->isChecked());
        QVERIFY(!p.PS2_mden->isChecked());
        QVERIFY(messages.texts().isEmpty());
    }

    void missingBlockZeroStopsTheFirstRead()
    {
        MessageRecorder messages;
        SimOptions options = unitOptions();
        Simulator sim(options);
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        logOn(form);
        sim.unit().options().dropCommands = "r";
        sim.clearCommands();
        form.Pbutt->click();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("'' is not a valid integer value")});
        QCOMPARE(commandTexts(sim), names({"d00120015", "r0000"}));
        QVERIFY(!form.SettingsReadDone);
        // Nothing came: the boxes keep what they showed.
        SettingsPage &p = *form.settingsPage;
        QCOMPARE(p.numberBoxes[SystemBlock::Ml]->text(), QStringLiteral("1"));
        QCOMPARE(p.numberBoxes[SystemBlock::Rt]->text(), QStringLiteral("5"));
        QCOMPARE(p.numberBoxes[SystemBlock::Rd]->text(), QStringLiteral("3"));
        QCOMPARE(p.numberBoxes[SystemBlock::Ls]->text(), QStringLiteral("20"));
        QVERIFY(form.SaveAs->isEnabled());

        // The next showing tries again.
        sim.unit().options().dropCommands.clear();
        messages.clear();
        form.PHButClick();
        form.Pbutt->click();
        QVERIFY(form.SettingsReadDone);
        QVERIFY(messages.texts().isEmpty());
    }

    void missingDumpsShowError()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        logOn(form);
        sim.unit().options().dropCommands = "d";
        SettingsPage &p = *form.settingsPage;
        click(p.ReadMsgs);
        click(p.ReadSpd);
        for (QLineEdit *box : p.msg)
            QCOMPARE(box->text(), QStringLiteral("ERROR"));
        for (QLineEdit *box : p.spd)
            QCOMPARE(box->text(), QStringLiteral("ERROR"));
        for (QLineEdit *box : p.divertBoxes)
            QCOMPARE(box->text(), QStringLiteral("ERROR"));
        QVERIFY(messages.texts().isEmpty());
    }

    void failedBlocksReportEachAndTheRestIsWritten()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        logOn(form);
        SettingsPage &p = *form.settingsPage;
        sim.unit().options().corruptReadback = true;
        p.spd[4]->setText(QStringLiteral("777"));
        click(p.WriteSpd);
        QCOMPARE(messages.texts(), (QStringList{QStringLiteral("There was an error\r\nin writing speed Dial 1 & 2"),
                                                QStringLiteral("There was an error\r\nin writing speed Dial 3 & 4")}));
        QVERIFY(block(sim, 9).startsWith(QLatin1String("777?")));
        QCOMPARE(form.StatusBar->panel(1), QStringLiteral("Ready"));

        messages.clear();
        click(p.divertWrite);
        QCOMPARE(messages.texts(), (QStringList{QStringLiteral("There was an error\r\nin writing the new numbers"),
                                                QStringLiteral("There was an error\r\nin writing the new Times"),
                                                QStringLiteral("There was an error\r\nin writing the System Parameters")}));
        messages.clear();
        click(p.UpDatePIN);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("There was an error\r\nin writing the CODES")});
    }

    void unitVanishingDuringTheFirstRead()
    {
        MessageRecorder messages;
        auto sim = std::make_unique<Simulator>(unitOptions());
        QVERIFY(sim->startSerial(kPort));
        TostiForm form;
        logOn(form);
        // Gone while block 0000 is awaited, after the messages came.
        QTimer::singleShot(1200, &form, [&sim] { sim.reset(); });
        form.Pbutt->click();
        QVERIFY(!sim);
        QVERIFY(!form.SettingsReadDone);
        QVERIFY(!form.TransferF->isVisible());
        QTRY_COMPARE(messages.count(), 1); // the loss, told once
        QTest::qWait(300);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(form.settingsPage->msg[0]->text(), QString()); // the messages were read before
        form.FileExit1->trigger();
    }

    void messagesWriteFollowsTheLogOn()
    {
        MessageRecorder messages;
        Simulator sim(unitOptions());
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        QVERIFY(!p.SaveParam->isEnabled());
        QVERIFY(!p.PhParam->isTabEnabled(5));
        p.PhParam->setCurrentWidget(p.TabSheet4);
        logOn(form);
        QVERIFY(p.SaveParam->isEnabled()); // on "Divert #" too: the messages are beside the sub-pages
        QVERIFY(p.PhParam->isTabEnabled(5));
        p.PhParam->setCurrentWidget(p.TabSheet2);
        QVERIFY(p.SaveParam->isEnabled());
        p.PhParam->setCurrentWidget(p.TabSheet4);
        QVERIFY(p.SaveParam->isEnabled());
        form.ledAction->trigger(); // log off
        QVERIFY(!p.SaveParam->isEnabled());
        QVERIFY(!p.ReadPara0->isEnabled());
        QVERIFY(!p.PhParam->isTabEnabled(5));
    }

private:
    // With OSTIKIT_SCREENSHOTS set to a folder, each sub-page as read from
    // the unit is saved there for a person to look at.
    void saveScreenshots(TostiForm &form)
    {
        const QString folder = qEnvironmentVariable("OSTIKIT_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        form.show();
        SettingsPage &p = *form.settingsPage;
        for (int i = 0; i < p.PhParam->count(); ++i) {
            p.PhParam->setCurrentIndex(i);
            QTest::qWait(50);
            form.grab().save(QDir(folder).filePath(QStringLiteral("settings%1.png").arg(i)));
        }
        // The relay codes with both notes showing.
        if (p.PS2_gcod->isChecked())
            p.PS2_gcod->click();
        p.rly2key->click();
        p.PhParam->setCurrentWidget(p.TabSheet2);
        QTest::qWait(50);
        form.grab().save(QDir(folder).filePath(QStringLiteral("settings-notes.png")));
    }
};

QTEST_MAIN(TestSettingsRoundTrip)
#include "tst_settings_roundtrip.moc"
