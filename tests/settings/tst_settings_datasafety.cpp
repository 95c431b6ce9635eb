#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "common/filedialogs.h"
#include "link/logon.h"
#include "link/unitgate.h"
#include "filesizelimit.h"
#include "messagerecorder.h"
#include "ptypeer.h"
#include "settings/settingspage.h"
#include "simulator.h"
#include "uidriver.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using UiDriver::LogOnAnswer;

// The settings pages never change the unit behind the user's back: one
// operation on the unit at a time, a read that missed its reply is not
// written back, and what a file holds never reaches a command raw.  The real
// main window against the simulated unit.
namespace {
const QString kPort = QStringLiteral("SIM0");
QString L(const char *text) { return QString::fromLatin1(text); }

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

int sent(const Simulator &sim, const char *prefix)
{
    int n = 0;
    for (const ReceivedCommand &c : sim.commands())
        n += c.bytes.startsWith(prefix) ? 1 : 0;
    return n;
}

QByteArray block(const Simulator &sim, int number) { return sim.unit().memory().block(number); }

template <typename Boxes>
QStringList texts(const Boxes &boxes)
{
    QStringList list;
    for (QLineEdit *box : boxes)
        list << box->text();
    return list;
}

// A unit whose settings blocks all hold values unlike the form defaults.
void fillUnit(Simulator &sim)
{
    UnitMemory &m = sim.unit().memory();
    SystemParameters system = SystemParameters::defaults();
    const char *numbers[SystemBlock::FieldCount] = {"7", "9", "12", "45", "6", "33", "77", "5", "60", "4", "8", "11", "25"};
    for (int f = 0; f < SystemBlock::FieldCount; ++f)
        system.numbers[f] = QLatin1String(numbers[f]);
    m.programBlock(0, EncodeSystemParameters(system).toLatin1());
    m.programBlock(1, EncodeRelayCodes({L("1111"), L("2222"), L("3333"), L("4444"), L("5555"), L("6666")}).toLatin1());
    SpeedDials dials;
    for (int i = 0; i < 8; ++i)
        dials[i] = QStringLiteral("55%1").arg(i + 1);
    m.programBlock(8, EncodeSpeedDialBlock(dials, 0).toLatin1());
    m.programBlock(9, EncodeSpeedDialBlock(dials, 1).toLatin1());
    m.programBlock(5, EncodeDivertNumbers({L("0101"), L("0202"), L("0303"), L("0404")}).toLatin1());
    m.programBlock(2, QByteArray("0830220017450605") + QByteArray(48, '?'));
    m.programBlock(3, EncodeAccessCodes({L("1234"), L("2345"), L("3456"), L("4567"), L("11111111"), L("22222222"),
                                         L("13131313"), L("24242424")})
                          .toLatin1());
    Messages texts{L("FIXED ONE"), L("FIXED TWO"), L("SCROLL ONE"), L("SCROLL TWO"), L("PULSE ONE"), L("PULSE TWO")};
    for (int b = 0; b < 4; ++b)
        m.programBlock(12 + b, EncodeMessageBlock(texts, b).toLatin1());
}

// The unit leaves unanswered every command that equals `command` (set it
// empty and it answers them again).
struct Deaf {
    explicit Deaf(Simulator &sim)
    {
        QObject::connect(&sim, &Simulator::commandReceived, &sim, [this, &sim](const ReceivedCommand &c) {
            sim.unit().options().dropCommands =
                !command.isEmpty() && c.bytes == command ? QByteArray(1, command.at(0)) : QByteArray();
        });
    }
    QByteArray command;
};

// Types into a box as a person does (select all, then the keys).
void type(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

struct DialogAnswer {
    explicit DialogAnswer(const QString &path)
    {
        FileDialogService::setHandler([path](const FileDialogService::Request &) { return path; });
    }
    ~DialogAnswer() { FileDialogService::resetHandler(); }
};

struct Session {
    Session() : sim(unitOptions())
    {
        fillUnit(sim);
        started = sim.startSerial(kPort); // before the window lists the ports
        window = std::make_unique<TostiForm>();
    }
    bool logOn()
    {
        if (!started)
            return false;
        UiDriver::logOn(form(), kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        sim.clearCommands();
        return form().Link->LoggedOn;
    }
    TostiForm &form() { return *window; }
    SettingsPage &page() { return *window->settingsPage; }

    MessageRecorder messages;
    Simulator sim;
    bool started = false;
    std::unique_ptr<TostiForm> window;
};
// A unit behind a pseudo-terminal whose read replies are cut short, as when
// the line drops characters or the reply is still coming when the wait ends.
struct CutUnit {
    CutUnit()
    {
        published = peer.publish(kPort);
        peer.setResponder([this](const QByteArray &command) -> QByteArray {
            if (command.isEmpty())
                return loggedOn ? "OK\r\n" : "\r\nRVX\r\nGN4\r\nOstiarin_500_Gn4\r\n";
            if (command == "a1234") {
                loggedOn = true;
                return "Programme Mode\r\nOK\r\n";
            }
            if (command == "r0000") // the numbers, the override value's first half
                return "r0000" + EncodeSystemParameters(system).toLatin1().left(25) + "\r\n";
            if (command == "r0003") // PIN 1 whole, PIN 2 in part
                return "r00031234????2345\r\n";
            return {};
        });
    }
    SystemParameters system = SystemParameters::defaults();
    PtyPeer peer;
    bool published = false;
    bool loggedOn = false;
};

} // namespace

class TestSettingsDataSafety : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(QStringLiteral("Ostidata.ini")); }

    // A second click on Read while the read-all runs used to run a whole
    // second read-all inside the first: the first's waits then found the
    // second's replies and showed block 0002's data as the relay codes.
    void secondClickDuringAReadDoesNothing()
    {
        Session s;
        QVERIFY(s.logOn());
        SettingsPage &p = s.page();
        bool clicked = false;
        UiDriver::whenTrue([&] { return sent(s.sim, "r0001") > 0; },
                           [&] {
                               p.ReadPara0->click();
                               p.ReadCode->click();
                               p.WriteCode->click();
                               p.UpDatePIN->click();
                               p.ReadMsgs->click();
                               s.form().Pbutt->click(); // the first read of the page
                               clicked = true;
                           });
        p.ReadPara0->click();
        QVERIFY(clicked);
        QCOMPARE(commandTexts(s.sim), names({"r0000", "r0001", "d00080010", "d00050006", "r0002"}));
        QCOMPARE(texts(p.codeBoxes), (QStringList{L("1111"), L("2222"), L("3333"), L("4444"), L("5555"), L("6666")}));
        QCOMPARE(p.numberBoxes[SystemBlock::Run]->text(), L("45"));
        QCOMPARE(texts(p.spd).first(), L("551"));
        QCOMPARE(texts(p.divertBoxes), (QStringList{L("0101"), L("0202"), L("0303"), L("0404")}));
        QCOMPARE(p.MaskEdits[1]->text(), L("22:00"));
        QCOMPARE(s.messages.texts(), QStringList{});
        QVERIFY(!s.form().Channel.Gate.busy());
        // The first read was not made meanwhile: the next showing makes it.
        QVERIFY(!s.form().SettingsReadDone);
        s.sim.clearCommands();
        s.form().PHButClick();
        s.form().Pbutt->click();
        QVERIFY(s.form().SettingsReadDone);
        QCOMPARE(commandTexts(s.sim),
                 names({"d00120015", "r0000", "r0001", "d00080010", "d00050006", "r0002", "r0003"}));
        QCOMPARE(p.pinBoxes[1]->text(), L("2345"));
    }

    void firstReadWaitsForAnotherOperation()
    {
        Session s;
        QVERIFY(s.logOn());
        QVERIFY(s.form().Channel.Gate.tryBegin(QStringLiteral("GetData")));
        s.form().Pbutt->click();
        QVERIFY(commandTexts(s.sim).isEmpty());
        QVERIFY(!s.form().SettingsReadDone);
        for (QPushButton *b : {s.page().ReadPara1, s.page().WritePara1, s.page().divertWrite, s.page().SaveParam,
                               s.page().ReadPins, s.page().UpDatePIN, s.page().WriteSpd})
            b->click();
        QVERIFY(commandTexts(s.sim).isEmpty());
        QCOMPARE(s.form().Channel.Gate.operation(), L("GetData"));
        s.form().Channel.Gate.end();
        s.form().PHButClick();
        s.form().Pbutt->click();
        QVERIFY(s.form().SettingsReadDone);
        QCOMPARE(commandTexts(s.sim).size(), 7);
    }

    // A missed r0003 left "ERROR" in all eight boxes; changing one PIN then
    // wrote eight "?" over the other three PINs and all emergency codes.
    void missedPinReadIsNotWrittenBack()
    {
        Session s;
        QVERIFY(s.logOn());
        SettingsPage &p = s.page();
        Deaf deaf(s.sim);
        deaf.command = "r0003";
        p.ReadPins->click();
        for (QLineEdit *box : p.pinBoxes)
            QCOMPARE(box->text(), L("ERROR"));
        QVERIFY(s.messages.texts().isEmpty());
        const QByteArray before = block(s.sim, 3);
        type(p.pinBoxes[0], L("9999"));
        p.UpDatePIN->click();
        QCOMPARE(s.messages.texts(), QStringList{L("There was an error\r\nin writing the CODES")});
        QCOMPARE(sent(s.sim, "p0003"), 0);
        QCOMPARE(block(s.sim, 3), before);

        // Every box edited: the user means them all.
        deaf.command.clear(); // the write reads the block back
        for (QLineEdit *box : p.pinBoxes)
            if (box->text() == L("ERROR"))
                type(box, L("1"));
        s.messages.clear();
        p.UpDatePIN->click();
        QCOMPARE(s.messages.texts(), QStringList{L("NEW CODES Programmed")});
        QVERIFY(block(s.sim, 3).startsWith("9999????1???????"));

        // A read that comes clears what the missed one left.
        p.ReadPins->click();
        QCOMPARE(p.pinBoxes[4]->text(), L("1"));
        s.messages.clear();
        deaf.command = "r0003";
        p.ReadPins->click();
        deaf.command.clear();
        p.ReadPins->click();
        QCOMPARE(p.pinBoxes[0]->text(), L("9999"));
        type(p.pinBoxes[1], L("7777"));
        p.UpDatePIN->click();
        QCOMPARE(s.messages.texts(), QStringList{L("NEW CODES Programmed")});
        QVERIFY(block(s.sim, 3).startsWith("9999????7777????1???????"));
    }

    void missedRelayCodesAreNotWrittenBack()
    {
        Session s;
        QVERIFY(s.logOn());
        SettingsPage &p = s.page();
        Deaf deaf(s.sim);
        deaf.command = "r0001";
        p.ReadCode->click();
        QCOMPARE(texts(p.codeBoxes), QStringList(6, L("ERROR")));
        QCOMPARE(p.numberBoxes[SystemBlock::Run]->text(), L("45")); // the rest of the read-all came
        type(p.code_g1, L("4321"));
        p.WriteCode->click();
        QCOMPARE(s.messages.texts(), QStringList{L("There was an error\r\nin writing the Codes")});
        QCOMPARE(sent(s.sim, "p0001"), 0);
        QCOMPARE(s.form().StatusBar->panel(1), L("Ready"));
        QVERIFY(block(s.sim, 1).startsWith("1111????2222????"));
    }

    // Speed dials and messages that a missed dump left showing "ERROR": each
    // block holding one is not written, the others are; a file load sets
    // them again.
    void missedDumpsAreNotWrittenBack()
    {
        QTemporaryDir dir;
        Session s;
        QVERIFY(s.logOn());
        SettingsPage &p = s.page();
        s.form().Pbutt->click(); // the first read, while the unit answers
        for (int i = 0; i < 8; ++i)
            p.spd[i]->setText(QStringLiteral("77%1").arg(i));
        const QString file = dir.filePath(QStringLiteral("SysPara.sys"));
        {
            DialogAnswer answer(file);
            s.form().SaveAs->trigger();
        }
        QVERIFY(s.form().SettingsReadDone);
        Deaf deaf(s.sim);
        deaf.command = "d00080010";
        p.ReadSpd->click();
        QCOMPARE(texts(p.spd), QStringList(8, L("ERROR")));
        for (int i = 4; i < 8; ++i)
            type(p.spd[i], QStringLiteral("88%1").arg(i));
        s.sim.clearCommands();
        s.messages.clear();
        p.WriteSpd->click();
        QCOMPARE(s.messages.texts(), QStringList{L("There was an error\r\nin writing speed Dial 1 & 2")});
        QCOMPARE(commandTexts(s.sim).filter(QRegularExpression(L("^p"))), names({"p0009"}));
        QVERIFY(block(s.sim, 8).startsWith("551?"));
        QVERIFY(block(s.sim, 9).startsWith("884?"));

        {
            DialogAnswer answer(file);
            s.form().FileOpen1->trigger();
        }
        QCOMPARE(p.spd[0]->text(), L("770"));
        s.messages.clear();
        p.WriteSpd->click();
        QVERIFY(s.messages.texts().isEmpty());
        QVERIFY(block(s.sim, 8).startsWith("770?"));

        deaf.command = "d00120015";
        p.ReadMsgs->click();
        QCOMPARE(texts(p.msg), QStringList(6, L("ERROR")));
        type(p.msg[2], L("NEW SCROLL"));
        s.sim.clearCommands();
        p.SaveParam->click();
        QCOMPARE(s.messages.texts(), (QStringList{L("There was an error\r\nin writing fixed message 1 & 2"),
                                                  L("There was an error\r\nin writing Scroll message 2"),
                                                  L("There was an error\r\nin writing message 1 & 2")}));
        QCOMPARE(commandTexts(s.sim).filter(QRegularExpression(L("^p"))), names({"p0013"}));
        QVERIFY(block(s.sim, 12).startsWith("FIXED ONE"));
    }

    // A missed time block showed 00:00 and the next divert Write reset
    // every after-hours time.
    void missedDivertTimesStayAndAreNotWritten()
    {
        Session s;
        QVERIFY(s.logOn());
        SettingsPage &p = s.page();
        p.MaskEdits[0]->setText(L("07:15"));
        Deaf deaf(s.sim);
        deaf.command = "r0002";
        p.divertRead->click();
        QCOMPARE(p.MaskEdits[0]->text(), L("07:15"));
        QCOMPARE(p.hiddenTimes[0]->text(), L("0715"));
        QCOMPARE(p.divertBoxes[0]->text(), L("0101"));
        QVERIFY(s.messages.texts().isEmpty());
        s.sim.clearCommands();
        p.divertWrite->click();
        QCOMPARE(s.messages.texts(), QStringList{L("There was an error\r\nin writing the new Times")});
        QCOMPARE(commandTexts(s.sim).filter(QRegularExpression(L("^p"))), names({"p0005", "p0000"}));
        QVERIFY(block(s.sim, 2).startsWith("0830220017450605"));
        QCOMPARE(s.form().StatusBar->panel(1), L("Ready"));

        // The times typed anew are written.
        deaf.command.clear(); // the write reads the block back
        for (int i = 0; i < 4; ++i) {
            p.MaskEdits[i]->setFocus();
            p.MaskEdits[i]->setCursorPosition(0);
            QTest::keyClicks(p.MaskEdits[i], QStringLiteral("1%1%2%3").arg(i).arg(i).arg(i));
        }
        s.messages.clear();
        p.divertWrite->click();
        QVERIFY2(s.messages.texts().isEmpty(), qPrintable(s.messages.texts().join(L("|"))));
        QVERIFY(block(s.sim, 2).startsWith("1000111112221333"));
    }

    // A block 0000 read without a reply put zeros and empty texts over the
    // boxes; they now stay, and the read-all still stops there.
    void missedSystemBlockLeavesTheBoxes()
    {
        Session s;
        QVERIFY(s.logOn());
        SettingsPage &p = s.page();
        p.numberBoxes[SystemBlock::Na]->setText(L("42"));
        p.code_g1->setText(L("9876"));
        Deaf deaf(s.sim);
        deaf.command = "r0000";
        p.ReadPara1->click();
        QCOMPARE(s.messages.texts(), QStringList{L("'' is not a valid integer value")});
        QCOMPARE(commandTexts(s.sim), names({"r0000"}));
        QCOMPARE(p.numberBoxes[SystemBlock::Na]->text(), L("42"));
        QCOMPARE(p.numberBoxes[SystemBlock::Ml]->text(), L("1"));
        QCOMPARE(p.code_g1->text(), L("9876"));
        deaf.command.clear(); // the write reads the block back
        s.messages.clear();
        p.WritePara1->click();
        QVERIFY(s.messages.texts().isEmpty());
        QCOMPARE(block(s.sim, 0).mid(16, 2), QByteArray("2:")); // 42
    }

    // Part of a field is not the field: it is shown, but not written back.
    // Part of block 0000 is not the block: nothing of it is shown.
    void cutRepliesAreNotWrittenBack()
    {
        MessageRecorder messages;
        CutUnit unit;
        QVERIFY(unit.published);
        unit.system.numbers[SystemBlock::Ml] = L("9");
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form.Link->LoggedOn);
        SettingsPage &p = *form.settingsPage;
        unit.peer.clearReceived();

        p.ReadPara0->click();
        QCOMPARE(messages.texts(), QStringList{L("'' is not a valid integer value")});
        QCOMPARE(p.numberBoxes[SystemBlock::Ml]->text(), L("1"));
        QCOMPARE(p.numberBoxes[SystemBlock::Rd]->text(), L("3"));

        messages.clear();
        p.ReadPins->click();
        QCOMPARE(texts(p.pinBoxes).mid(0, 3), (QStringList{L("1234"), L("2345"), L("ERROR")}));
        QVERIFY(!p.readFailed(p.pinBoxes[0]));
        QVERIFY(p.readFailed(p.pinBoxes[1]));
        for (int i = 2; i < PinBlock::kCodes; ++i)
            type(p.pinBoxes[i], L("1"));
        p.UpDatePIN->click();
        QCOMPARE(messages.texts(), QStringList{L("There was an error\r\nin writing the CODES")});
        for (const QByteArray &c : unit.peer.commands())
            QVERIFY2(!c.startsWith("p0003"), c.constData());
        QVERIFY(messages.texts().size() == 1);
        form.FileExit1->trigger();
    }

    // A message in a ".sys" file goes past the box that refuses control
    // characters from the keyboard; a CR in it would end the program command
    // and run the rest ("f5a": erase the directory) as a command of its own.
    void controlCharactersInAFileAreRefused()
    {
        QTemporaryDir dir;
        Session s;
        QVERIFY(s.logOn());
        SettingsPage &p = s.page();
        s.form().PbuttClick();
        p.msg[1]->setText(L("KEEP"));
        const QString path = dir.filePath(QStringLiteral("bad.sys"));
        {
            DialogAnswer answer(path);
            s.form().SaveAs->trigger();
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        bytes.replace(62, 6, QByteArray("\x05X\rf5a", 6)); // msg1, "Fixed2"
        bytes[45 + 1] = 'Z';                                  // msg0 changed too: nothing may load
        file.seek(0);
        file.write(bytes);
        file.close();
        p.msg[0]->setText(L("BEFORE"));
        s.messages.clear();
        {
            DialogAnswer answer(path);
            s.form().FileOpen1->trigger();
        }
        QCOMPARE(s.messages.texts(),
                 QStringList{L("Could not Load from file\r\n") + path + L("\r\nThe Fixed2 message holds a control character")});
        QCOMPARE(p.msg[0]->text(), L("BEFORE"));
        QCOMPARE(p.msg[1]->text(), L("KEEP"));

        // A text that holds one however it came is not sent.
        p.msg[4]->setText(QStringLiteral("A\rf5a"));
        s.sim.clearCommands();
        s.messages.clear();
        p.SaveParam->click();
        QCOMPARE(s.messages.texts(), QStringList{L("There was an error\r\nin writing message 1 & 2\r\n"
                                                   "The Pulsing Msg1 message holds a control character")});
        QCOMPARE(commandTexts(s.sim).filter(QRegularExpression(L("^p"))), names({"p0012", "p0013", "p0014"}));
        QCOMPARE(sent(s.sim, "f"), 0);
        for (const ReceivedCommand &c : s.sim.commands())
            QVERIFY(!c.bytes.contains('\r'));
    }

    void settingsFileThatCannotBeWrittenSaysSo()
    {
        QTemporaryDir dir;
        MessageRecorder messages;
        TostiForm form;
        form.PbuttClick();
        const QString path = dir.filePath(QStringLiteral("SysPara.sys"));
        {
            // The file saved before: a failed save must leave it whole.
            QFile before(path);
            QVERIFY(before.open(QIODevice::WriteOnly));
            before.write(QByteArray(467, 'k'));
        }
        {
            DialogAnswer answer(path);
            const FileSizeLimit full(100); // the disk fills after 100 bytes
            form.SaveAs->trigger();
        }
        QCOMPARE(messages.texts(), QStringList{L("Could not save")});
        {
            QFile after(path);
            QVERIFY(after.open(QIODevice::ReadOnly));
            QCOMPARE(after.readAll(), QByteArray(467, 'k'));
        }
        messages.clear();
        {
            DialogAnswer answer(path);
            form.SaveAs->trigger();
        }
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(QFileInfo(path).size(), 467);
    }
};

QTEST_MAIN(TestSettingsDataSafety)
#include "tst_settings_datasafety.moc"
