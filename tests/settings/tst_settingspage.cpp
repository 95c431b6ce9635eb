#include "window/mainwindow.h"
#include "common/errors.h"
#include "common/filedialogs.h"
#include "directory/directorypage.h"
#include "messagerecorder.h"
#include "settings/settingspage.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

// The settings page as a user meets it without a unit: the interlocks
// between options, the time boxes, the settings file through the File
// commands, and the names a screen reader announces.
namespace {
const QColor kOlive(128, 128, 0);

QColor textColour(const QLineEdit *box) { return box->palette().color(QPalette::Text); }

QString blockWith(int relay2, int ps1, int ps2)
{
    SystemParameters value = SystemParameters::defaults();
    value.relay2 = relay2;
    value.ps1 = ps1;
    value.ps2 = ps2;
    return EncodeSystemParameters(value);
}

struct DialogAnswer {
    explicit DialogAnswer(QString path)
    {
        FileDialogService::setHandler([this, path](const FileDialogService::Request &r) {
            requests << r;
            return path;
        });
    }
    ~DialogAnswer() { FileDialogService::resetHandler(); }
    QList<FileDialogService::Request> requests;
};
} // namespace

class TestSettingsPage : public QObject {
    Q_OBJECT
private slots:
    void lineTwoChoiceAndTheClock()
    {
        MessageRecorder messages;
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        QVERIFY(p.RadioButton1->isChecked() && p.PS1_sclk->isEnabled());
        p.PS1_sclk->click();
        p.PS1_pmsg->click();
        QVERIFY(!p.PS1_sclk->isEnabled());
        QVERIFY(p.PS1_sclk->isChecked());
        QCOMPARE(p.systemParameters().ps1 & SystemBlock::kPs1ShowClock, SystemBlock::kPs1ShowClock);
        p.RadioButton1->click();
        QVERIFY(p.PS1_sclk->isEnabled());

        // The keyless message takes the pulsing messages away.
        p.PS1_pmsg->click();
        p.PS2_klmsg->click();
        QVERIFY(p.RadioButton1->isChecked());
        QVERIFY(!p.PS1_pmsg->isEnabled());
        QVERIFY(p.PS1_sclk->isEnabled());
        p.PS2_srl2->click();
        p.PS2_klmsg->click();
        QVERIFY(p.PS1_pmsg->isEnabled());
        QVERIFY(p.PS2_srl2->isChecked());
    }

    void readOptionsInBitOrder_data()
    {
        QTest::addColumn<int>("ps1");
        QTest::addColumn<int>("ps2");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("pulsingEnabled");
        QTest::newRow("both line-2 bits") << 0x40 << 0x40 << "PS2_srl2" << true;
        QTest::newRow("pulsing only") << 0x40 << 0x00 << "PS1_pmsg" << true;
        QTest::newRow("neither") << 0x00 << 0x00 << "RadioButton1" << true;
        QTest::newRow("keyless and pulsing") << 0x41 << 0x00 << "PS1_pmsg" << false;
    }
    void readOptionsInBitOrder()
    {
        QFETCH(int, ps1);
        QFETCH(int, ps2);
        QFETCH(QString, chosen);
        QFETCH(bool, pulsingEnabled);
        MessageRecorder messages;
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        p.PS2_srl2->click(); // something else chosen before the read
        p.ApplySystemParameters(blockWith(0, ps1, ps2));
        QCOMPARE(form.findChild<QRadioButton *>(chosen)->isChecked(), true);
        QCOMPARE(p.PS1_pmsg->isEnabled(), pulsingEnabled);
        QCOMPARE(p.PS1_sclk->isEnabled(), chosen == QLatin1String("RadioButton1"));
    }

    void relay2OverrideFromTheBlock_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("ticked");
        QTest::newRow("05") << 5 << "rly2key rly2ring";
        QTest::newRow("00") << 0 << "rly2off";
        QTest::newRow("0<") << 12 << "rly2ring rly2tim";
        QTest::newRow("0?") << 15 << "rly2key rly2line rly2ring rly2tim";
    }
    void relay2OverrideFromTheBlock()
    {
        QFETCH(int, value);
        QFETCH(QString, ticked);
        MessageRecorder messages;
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        p.rly2line->click();
        p.ApplySystemParameters(blockWith(value, 0, 0x84));
        QStringList got;
        for (QCheckBox *box : {p.rly2off, p.rly2key, p.rly2line, p.rly2ring, p.rly2tim})
            if (box->isChecked())
                got << box->objectName();
        QCOMPARE(got.join(QLatin1Char(' ')), ticked);
        QCOMPARE(p.EncodeRelay2(), ByteToNibblePairForTest(value));
        p.ApplyRelay2(QStringLiteral("05"));
        QVERIFY(p.rly2key->isChecked() && p.rly2ring->isChecked() && !p.rly2line->isChecked() && !p.rly2off->isChecked());
    }

    void relay2OverrideClicks()
    {
        MessageRecorder messages;
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        QVERIFY(!p.rly2tim->isEnabled());
        p.rly2key->click();
        QVERIFY(!p.rly2off->isChecked());
        QVERIFY(p.rly2tim->isEnabled());
        QVERIFY(p.Label31->isVisibleTo(p.TabSheet2));
        QVERIFY(p.Bevel2->isVisibleTo(p.TabSheet2));
        for (QLineEdit *box : {p.code_g2, p.code_ic2, p.code_sd2})
            QCOMPARE(textColour(box), kOlive);

        p.rly2tim->click();
        p.rly2off->click(); // the release must not clear it again
        QVERIFY(p.rly2off->isChecked());
        QVERIFY(!p.rly2key->isChecked() && !p.rly2tim->isChecked() && !p.rly2tim->isEnabled());
        QVERIFY(!p.Label31->isVisibleTo(p.TabSheet2));
        QVERIFY(textColour(p.code_ic2) != kOlive);
        p.rly2off->click();
        QVERIFY(p.rly2off->isChecked());

        p.rly2ring->click(); // ringing does not take relay 2
        QVERIFY(!p.Label31->isVisibleTo(p.TabSheet2));
        QVERIFY(textColour(p.code_ic2) != kOlive);
    }

    // The phone list's own grid: its code columns and their titles follow
    // "Use Global Gate Codes" while the table is open.
    void globalCodes()
    {
        MessageRecorder messages;
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        QAbstractItemModel *grid = form.DBGrid1->model();
        const auto titleColours = [&] {
            QList<QVariant> colours;
            for (const char *field : {"Code1", "Code2", "spare"}) {
                const int column = form.DirectoryTable.findField(QLatin1String(field));
                colours << grid->headerData(column, Qt::Horizontal, Qt::ForegroundRole);
            }
            return colours;
        };
        const QColor grey = form.DBGrid1->palette().color(QPalette::Disabled, QPalette::Text);
        const QVariant name = grid->headerData(0, Qt::Horizontal, Qt::ForegroundRole);

        form.DirectoryTable.close();
        p.PS2_gcod->click();
        QVERIFY(!form.directoryPage->codeColumnsColour().isValid()); // the table is closed: only this page changes
        QCOMPARE(titleColours(), QList<QVariant>(3));
        QVERIFY(!p.Label47->isVisibleTo(p.TabSheet2));
        QVERIFY(textColour(p.code_g1) != kOlive);

        form.DirectoryTable.open();
        p.PS2_gcod->click();
        QVERIFY(!form.directoryPage->codeColumnsColour().isValid());
        QCOMPARE(titleColours(), QList<QVariant>(3));
        QVERIFY(p.Label47->isVisibleTo(p.TabSheet2));
        QCOMPARE(textColour(p.code_g1), kOlive);
        QCOMPARE(textColour(p.code_g2), kOlive);
        p.PS2_gcod->click();
        QCOMPARE(form.directoryPage->codeColumnsColour(), kOlive);
        QCOMPARE(titleColours(), QList<QVariant>(3, QVariant::fromValue(grey)));
        QCOMPARE(grid->headerData(0, Qt::Horizontal, Qt::ForegroundRole), name); // the other titles stay
        p.PS2_gcod->click();
        QCOMPARE(titleColours(), QList<QVariant>(3));
    }

    // With relay 2 overridden its other codes are dimmed, but the global
    // code follows "Use Global Gate Codes" alone.
    void globalCodeOfAnOverriddenRelay()
    {
        MessageRecorder messages;
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        p.rly2key->click();
        p.PS2_gcod->click();
        QVERIFY(textColour(p.code_g2) != kOlive);
        QCOMPARE(textColour(p.code_ic2), kOlive);
        QCOMPARE(textColour(p.code_sd2), kOlive);
        p.PS2_gcod->click();
        QCOMPARE(textColour(p.code_g2), kOlive);
    }

    // "Don't use timer" is enabled by the user's clicks on the override
    // boxes; a read or a file sets the boxes without that interlock.
    void readingTheOverrideLeavesTheTimerBoxAlone()
    {
        MessageRecorder messages;
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        p.ApplySystemParameters(blockWith(5, 0, 0x84));
        QVERIFY(p.rly2key->isChecked());
        QVERIFY(!p.rly2tim->isEnabled());
        p.ApplyRelay2(QStringLiteral("0<"));
        QVERIFY(p.rly2tim->isChecked());
        QVERIFY(!p.rly2tim->isEnabled());
        p.rly2line->click();
        QVERIFY(p.rly2tim->isEnabled());
        p.ApplySystemParameters(blockWith(0, 0, 0x84));
        QVERIFY(p.rly2off->isChecked());
        QVERIFY(p.rly2tim->isEnabled());
    }

    void emptyReplyStopsAtTheOverrideValue()
    {
        MessageRecorder messages;
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        try {
            p.ApplySystemParameters(QStringLiteral("ERROR"));
            QFAIL("an empty reply cannot be converted");
        } catch (const ConversionError &e) {
            QCOMPARE(e.text(), QStringLiteral("'' is not a valid integer value"));
        }
        QCOMPARE(p.numberBoxes[SystemBlock::Ml]->text(), QStringLiteral("0"));
        QCOMPARE(p.numberBoxes[SystemBlock::Rt]->text(), QStringLiteral("0"));
        QVERIFY(p.numberBoxes[SystemBlock::Rd]->text().isEmpty());
        QVERIFY(p.numberBoxes[SystemBlock::Sil]->text().isEmpty());
        QCOMPARE(p.numberBoxes[SystemBlock::Ls]->text(), QStringLiteral("20"));
        // A value wider than the box is shown whole.
        p.ApplySystemParameters(QStringLiteral("0000000000?<") + blockWith(0, 0, 0).mid(12));
        QCOMPARE(p.numberBoxes[SystemBlock::Sil]->text(), QStringLiteral("252"));
    }

    void timeBoxes()
    {
        MessageRecorder messages;
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        QCOMPARE(p.hiddenTimes[0]->text(), QStringLiteral("0000")); // untouched box writes 0000
        // Blank digits (a digit deleted) read as zeros at once.
        p.MaskEdits[0]->setText(QStringLiteral("17:45"));
        p.MaskEdits[0]->setCursorPosition(1);
        QTest::keyClick(p.MaskEdits[0], Qt::Key_Backspace);
        p.MaskEdits[0]->setCursorPosition(4);
        QTest::keyClick(p.MaskEdits[0], Qt::Key_Backspace);
        QCOMPARE(p.MaskEdits[0]->text(), QStringLiteral("07:05"));
        QCOMPARE(p.hiddenTimes[0]->text(), QStringLiteral("0705"));
        QCOMPARE(p.MaskEdits[0]->cursorPosition(), 3); // the cursor stays where the user works
        p.MaskEdits[3]->setText(QStringLiteral("2359"));
        QCOMPARE(p.hiddenTimes[3]->text(), QStringLiteral("2359"));
        QCOMPARE(EncodeDivertTimes(p.divertTimes()), QStringLiteral("0705000000002359"));
    }

    void settingsFileThroughTheFileCommands()
    {
        QTemporaryDir dir;
        MessageRecorder messages;
        TostiForm form;
        SettingsPage &p = *form.settingsPage;
        form.PbuttClick();
        p.code_g1->setText(QStringLiteral("4321"));
        p.rly2key->click();
        p.rly2ring->click();
        p.numberBoxes[SystemBlock::Run]->setText(QStringLiteral("100"));
        p.msg[0]->setText(QStringLiteral("0123456789ABCDEF"));
        const QString path = dir.filePath(QStringLiteral("SysPara.sys"));
        {
            DialogAnswer answer{QString()}; // cancelled: the image is built all the same
            form.SaveAs->trigger();
            QCOMPARE(answer.requests.size(), 1);
            QCOMPARE(answer.requests[0].kind, FileDialogService::Kind::Save);
            QCOMPARE(answer.requests[0].defaultExtension, QStringLiteral("Sys"));
            QCOMPARE(answer.requests[0].proposedName, QStringLiteral("SysPara"));
            QCOMPARE(answer.requests[0].filter, QStringLiteral("OstiarinParameters(*.sys)|*.sys|All Files (*.*)|*.*"));
            QCOMPARE(p.settingsImage().bytes().mid(0, 5), QByteArray("\x04"
                                                                     "4321"));
        }
        {
            DialogAnswer answer(path);
            form.SaveAs->trigger();
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        file.close();
        QCOMPARE(saved.size(), 467);
        QCOMPARE(saved.mid(319, 3), QByteArray("\x02"
                                               "05"));
        QCOMPARE(saved.mid(295, 3), QByteArray("\x02"
                                               "99"));
        QCOMPARE(int(saved.at(45)), 16);

        // Loading into changed pages: what the file holds comes back, the
        // rest stays.
        p.rly2key->click();
        p.rly2line->click();
        p.code_g1->clear();
        p.numberBoxes[SystemBlock::Rc]->setText(QStringLiteral("9"));
        p.PS2_klmsg->click();
        {
            DialogAnswer answer(path);
            form.FileOpen1->trigger();
            QCOMPARE(answer.requests.size(), 1);
            QCOMPARE(answer.requests[0].kind, FileDialogService::Kind::Open);
            QCOMPARE(answer.requests[0].proposedName, QStringLiteral("SysPara"));
        }
        QCOMPARE(p.code_g1->text(), QStringLiteral("4321"));
        QVERIFY(p.rly2key->isChecked() && p.rly2ring->isChecked() && !p.rly2line->isChecked());
        QCOMPARE(p.numberBoxes[SystemBlock::Rc]->text(), QStringLiteral("9"));
        QCOMPARE(p.numberBoxes[SystemBlock::Run]->text(), QStringLiteral("99"));
        QVERIFY(p.PS2_klmsg->isChecked());
        QVERIFY(messages.texts().isEmpty());

        // A short file changes nothing on the pages.
        QFile shortFile(dir.filePath(QStringLiteral("short.sys")));
        QVERIFY(shortFile.open(QIODevice::WriteOnly));
        shortFile.write(QByteArray(466, '\x01'));
        shortFile.close();
        {
            DialogAnswer answer(shortFile.fileName());
            form.FileOpen1->trigger();
        }
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Could not Load from file\r\n") + shortFile.fileName()});
        QCOMPARE(p.code_g1->text(), QStringLiteral("4321"));
    }

    void everySubPageControlHasAName()
    {
        MessageRecorder messages;
        TostiForm form;
        form.show();
        form.PbuttClick();
        SettingsPage &p = *form.settingsPage;
        for (int i = 0; i < p.PhParam->count(); ++i) {
            p.PhParam->setCurrentIndex(i);
            QStringList missing;
            for (QWidget *w : form.system->findChildren<QWidget *>()) {
                const bool operable = qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w);
                if (!operable || !w->isVisibleTo(&form))
                    continue;
                QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
                if (!iface || iface->text(QAccessible::Name).trimmed().isEmpty())
                    missing << w->objectName();
            }
            QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
        }
        QCOMPARE(p.code_ic2->accessibleName(), QStringLiteral("Incomming Calls Gate Codes Relay2"));
    }

private:
    static QString ByteToNibblePairForTest(int value)
    {
        return QString(QChar(u'0' + (value >> 4))) + QChar(u'0' + (value & 15));
    }
};

QTEST_MAIN(TestSettingsPage)
#include "tst_settingspage.moc"
