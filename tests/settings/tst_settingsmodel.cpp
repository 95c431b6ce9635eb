#include "window/mainwindow.h"
#include "common/errors.h"
#include "common/filedialogs.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "ptypeer.h"
#include "settings/settingsmodel.h"
#include "settings/settingspage.h"
#include "simunit.h"
#include "uidriver.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using UiDriver::LogOnAnswer;
using Read = SettingsModel::Read;
using Write = SettingsModel::Write;

// The settings values as a model must do what the settings page does with
// its boxes.  The same replies go through the page (the real main window,
// logged on to a scripted unit over a pseudo-terminal) and through the model;
// the program commands of every Write and the bytes of the saved settings
// file must agree byte for byte, as must the values they come from.
namespace {
const QString kPort = QStringLiteral("SIM0");

// What the unit answers to a read or dump command (CR removed).
using Source = std::function<QByteArray(const QByteArray &command)>;

QByteArray crlf(const QByteArray &line) { return line + "\r\n"; }

// How many blocks a dump command asks for ("d" + first + last).
int dumpCount(const QByteArray &command) { return command.mid(5, 4).toInt() - command.mid(1, 4).toInt() + 1; }

// Every read answered with `line` as its block's line, every dump with it as
// each block's line, as a unit (or a line) that repeats one reply would.
Source sameLine(const QByteArray &line)
{
    return [line](const QByteArray &command) -> QByteArray {
        if (command.startsWith('r'))
            return crlf(line) + "OK\r\n";
        QByteArray reply = crlf(command);
        for (int i = 0; i < dumpCount(command); ++i)
            reply += crlf(line);
        return reply + "OK\r\n";
    };
}

// The simulated unit itself, with the given memory, answering over its logic.
Source simulated(UnitMemory memory)
{
    auto unit = std::make_shared<SimUnit>(UnitOptions{}, std::move(memory));
    unit->handle(QStringLiteral("serial"), "a1234");
    return [unit](const QByteArray &command) {
        return unit->handle(QStringLiteral("serial"), command).value_or(QByteArray());
    };
}

// Each block's data as given (a block missing from `blocks` reads erased),
// every data line cut to `cut` characters of data (-1: whole), and the lines
// of the blocks in `shortBlocks` only cut.
Source blocksOf(QMap<int, QByteArray> blocks, int cut = -1, QList<int> shortBlocks = {})
{
    return [blocks, cut, shortBlocks](const QByteArray &command) -> QByteArray {
        const auto data = [&](int block) {
            QByteArray d = blocks.value(block, QByteArray(64, char(0xFF)));
            if (cut >= 0 && (shortBlocks.isEmpty() || shortBlocks.contains(block)))
                d = d.left(cut);
            return d;
        };
        if (command.startsWith('r'))
            return crlf(command + data(command.mid(1, 4).toInt())) + "OK\r\n";
        QByteArray reply = crlf(command);
        const int first = command.mid(1, 4).toInt();
        for (int i = 0; i < dumpCount(command); ++i)
            reply += crlf("B" + QByteArray::number(first + i).rightJustified(4, '0') + data(first + i));
        return reply + "OK\r\n";
    };
}

QString testData(const QString &relative)
{
    const QString path = QFINDTESTDATA(relative);
    return path;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

UnitMemory demoMemory()
{
    QString why;
    std::optional<UnitMemory> memory = UnitMemory::fromJson(fileBytes(testData(QStringLiteral("../../sim/demo-state.json"))), &why);
    return memory ? *memory : UnitMemory{};
}

QMap<int, QByteArray> demoBlocks()
{
    const UnitMemory memory = demoMemory();
    QMap<int, QByteArray> blocks;
    for (int b = 0; b < UnitMemory::kSettingsBlocks; ++b)
        blocks.insert(b, memory.block(b));
    return blocks;
}

// Blocks of bytes drawn from all 256 values, the same every run.
QMap<int, QByteArray> randomBlocks(quint32 seed)
{
    QRandomGenerator random(seed);
    QMap<int, QByteArray> blocks;
    for (int b = 0; b < UnitMemory::kSettingsBlocks; ++b) {
        QByteArray data(64, '\0');
        for (char &c : data)
            c = char(random.bounded(256));
        blocks.insert(b, data);
    }
    return blocks;
}

// Blocks that hold what a careful unit rarely does: digits beside the dial
// codes, Latin-1 letters and C1 controls in the messages, numbers above the
// clamps, both line-2 bits with the keyless bit, times with characters the
// time boxes take for digits (superscripts, fractions) and some they drop.
QMap<int, QByteArray> oddBlocks(bool lineTwoBoth)
{
    QMap<int, QByteArray> blocks;
    const int ps1 = 0x01 | 0x40 | 0x80 | 0x04;
    const int ps2 = (lineTwoBoth ? 0x40 : 0x00) | 0x02 | 0x10 | 0x20;
    const auto pair = [](int v) {
        const char *n = "0123456789:;<=>?";
        return QByteArray(1, n[v >> 4]) + n[v & 15];
    };
    QByteArray system(64, '0');
    system.replace(0, 18, "?>=<;:987654321000"); // Ml to Na, most above their clamps
    system.replace(18, 2, "0:");
    system.replace(20, 2, "?0");
    system.replace(22, 2, "=="); // fixed places: never read
    system.replace(24, 2, "0?"); // every relay-2 override bit
    system.replace(26, 2, "A5"); // a character outside the alphabet counts as 0
    system.replace(32, 2, "6?");
    system.replace(60, 2, pair(ps1));
    system.replace(62, 2, pair(ps2));
    blocks.insert(0, system);
    blocks.insert(1, QByteArray("1:;<????12345678") + char(0xFF) + "1234567" + "????????" + QByteArray(1, char(0xB2))
                         + "9??????" + QByteArray(24, '?'));
    blocks.insert(2, QByteArray("1\xB2") + ":5" + "?159" + "\xBD\xBE" "12" + "12:3" + QByteArray(48, char(0xFF)));
    blocks.insert(3, QByteArray("12?4????") + "::;;<<??" + QByteArray(8, char(0xFF)) + "1234567890123456"
                         + QByteArray("\xA0\xB9" "123456") + QByteArray(16, '?'));
    blocks.insert(5, QByteArray("0123:4;5<6??????") + QByteArray(16, char(0xFF)) + "9999999999999999" + "?1234"
                         + QByteArray(11, '?'));
    blocks.insert(8, QByteArray("36001?????\xFF?????") + "p9<9" + QByteArray(12, '?') + QByteArray(32, '7'));
    blocks.insert(9, QByteArray(64, '<'));
    blocks.insert(12, QByteArray("CAF\xC9 \xE0 L'\xE2ME ") + QByteArray(3, char(0xFF)) + QByteArray("\xFE\xA0" "EN") + QByteArray(12, char(0xFF))
                          + QByteArray(32, 'x'));
    blocks.insert(13, QByteArray("SCROLL \x85 NEXT LINE") + QByteArray(14, char(0xFF)) + QByteArray(32, 'y'));
    blocks.insert(14, QByteArray(32, 'Z') + QByteArray(32, 'z'));
    blocks.insert(15, QByteArray("PULSE\x7F" "A") + QByteArray(9, char(0xFF)) + "PULSE B" + QByteArray(9, '?') + QByteArray(32, 'q'));
    return blocks;
}

template <std::size_t N>
QStringList listOf(const std::array<QString, N> &texts)
{
    return QStringList(texts.begin(), texts.end());
}

template <std::size_t N>
QStringList textsOf(const std::array<QLineEdit *, N> &boxes)
{
    QStringList list;
    for (QLineEdit *box : boxes)
        list << box->text();
    return list;
}

QString visible(const QByteArray &bytes)
{
    QString out;
    for (const char c : bytes) {
        const uchar u = uchar(c);
        out += (u >= 0x20 && u < 0x7F) ? QString(QLatin1Char(c)) : QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return out;
}

QStringList visibleList(const QList<QByteArray> &list)
{
    QStringList out;
    for (const QByteArray &b : list)
        out << visible(b);
    return out;
}

// The far end of the serial line: logs on, answers reads from the source,
// accepts every program command and reads the block back as written, so
// that each block of a Write goes out exactly once.
struct ScriptedUnit {
    ScriptedUnit()
    {
        published = peer.publish(kPort);
        peer.setResponder([this](const QByteArray &command) -> QByteArray {
            if (command.isEmpty())
                return loggedOn ? "OK\r\n" : "\r\nRVX\r\nGN4\r\nOstiarin_500_Gn4\r\n";
            if (command == "a1234") {
                loggedOn = true;
                return "Programme Mode\r\nOK\r\n";
            }
            if (command == "x") {
                loggedOn = false;
                return "OK\r\n";
            }
            if (command.startsWith('p')) {
                programs << command + '\r';
                written.insert(command.mid(1, 4), command.mid(5));
                return crlf(command.left(5)) + "OK\r\n";
            }
            if (command.startsWith('r') && written.contains(command.mid(1)))
                return crlf(command + written.take(command.mid(1))) + "OK\r\n";
            return source ? source(command) : QByteArray();
        });
    }
    PtyPeer peer;
    bool published = false;
    bool loggedOn = false;
    Source source;
    QList<QByteArray> programs;
    QHash<QByteArray, QByteArray> written;
};

struct DialogAnswer {
    explicit DialogAnswer(const QString &path)
    {
        FileDialogService::setHandler([path](const FileDialogService::Request &) { return path; });
    }
    ~DialogAnswer() { FileDialogService::resetHandler(); }
};

// The real window logged on to the scripted unit, and a model beside it.
struct Rig {
    Rig()
    {
        window = std::make_unique<TostiForm>();
        if (unit.published)
            UiDriver::logOn(*window, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        messages.clear();
    }
    bool loggedOn() const { return window->Link->LoggedOn; }
    SettingsPage &page() { return *window->settingsPage; }

    MessageRecorder messages;
    ScriptedUnit unit;
    std::unique_ptr<TostiForm> window;
    SettingsModel model;
    QTemporaryDir dir;
    // Block 0000 was read or a file opened: the page has refreshed its notes.
    bool refreshed = false;
};

QString modelReply(const Source &source, Read read)
{
    const QByteArray command = SettingsModel::readCommand(read).toLatin1().chopped(1);
    return SettingsModel::receivedText(source(command));
}

// The reads of the page's first showing (messages, the read-all, the PINs),
// through the page's buttons and through the model.
void readEverything(Rig &rig, const Source &source)
{
    rig.unit.source = source;
    rig.messages.clear();
    SettingsPage &p = rig.page();
    p.ReadMsgs->click();
    p.ReadPara0->click();
    p.ReadPins->click();

    QStringList expected;
    SettingsModel &m = rig.model;
    m.applyReply(Read::Messages, modelReply(source, Read::Messages));
    if (m.applyReply(Read::SystemParameters, modelReply(source, Read::SystemParameters))) {
        rig.refreshed = true;
        for (Read read : {Read::RelayCodes, Read::SpeedDials, Read::DivertNumbers, Read::DivertTimes})
            m.applyReply(read, modelReply(source, read));
    } else {
        expected << ConversionError(QString()).text();
    }
    m.applyReply(Read::Pins, modelReply(source, Read::Pins));
    QCOMPARE(rig.messages.texts(), expected);
}

// The values behind the boxes: not what the comparison is about, but where
// a difference in the commands comes from.
void compareValues(Rig &rig)
{
    SettingsPage &p = rig.page();
    const SettingsModel &m = rig.model;
    const SystemParameters shown = p.systemParameters();
    QCOMPARE(listOf(shown.numbers), listOf(m.systemParameters().numbers));
    QCOMPARE(shown.relay2, m.systemParameters().relay2);
    QCOMPARE(shown.ps1, m.systemParameters().ps1);
    QCOMPARE(shown.ps2, m.systemParameters().ps2);
    QCOMPARE(p.rly2off->isChecked(), m.rly2off());
    QCOMPARE(textsOf(p.codeBoxes), listOf(m.relayCodes()));
    QCOMPARE(textsOf(p.spd), listOf(m.speedDials()));
    QCOMPARE(textsOf(p.msg), listOf(m.messages()));
    QCOMPARE(textsOf(p.divertBoxes), listOf(m.divertNumbers()));
    QStringList shownTimes;
    for (QLineEdit *box : p.MaskEdits)
        shownTimes << box->displayText();
    QCOMPARE(shownTimes, listOf(m.maskEditTexts()));
    QCOMPARE(textsOf(p.hiddenTimes), listOf(m.divertTimes()));
    QCOMPARE(p.Edit4->text(), m.Edit4());
    QCOMPARE(textsOf(p.pinBoxes), listOf(m.accessCodes()));
    QCOMPARE(p.PS1_sclk->isEnabled(), m.showClockEnabled());
    QCOMPARE(p.PS1_pmsg->isEnabled(), m.pulsingMsgsEnabled());
    QCOMPARE(p.rly2tim->isEnabled(), m.rly2timEnabled());
    // The notes on the RelayCodes page start hidden and follow the rules
    // from their first refresh on.
    if (rig.refreshed) {
        QCOMPARE(p.Label47->isHidden(), m.globalCodesInEffect());
        QCOMPARE(p.Label31->isHidden(), !m.relay2CodesOverridden());
        QCOMPARE(p.Bevel2->isHidden(), !m.relay2CodesOverridden());
    }
}

// Every Write button, in turn, on the page and on the model: the program
// commands that reached the unit and the messages shown before any.
void compareWrites(Rig &rig)
{
    SettingsPage &p = rig.page();
    const struct {
        Write write;
        QPushButton *button;
    } writes[] = {{Write::Messages, p.SaveParam},   {Write::RelayCodes, p.WriteCode}, {Write::SpeedDials, p.WriteSpd},
                  {Write::Pins, p.UpDatePIN},        {Write::Diverts, p.divertWrite},  {Write::SystemParameters, p.WritePara1}};
    for (const auto &w : writes) {
        rig.unit.programs.clear();
        rig.messages.clear();
        w.button->click();
        const SettingsModel::WriteResult result = rig.model.write(w.write);
        QList<QByteArray> expected;
        for (const QString &command : result.commands)
            expected << command.toLatin1();
        QCOMPARE(visibleList(rig.unit.programs), visibleList(expected));
        QCOMPARE(rig.unit.programs, expected);
        QStringList shown = rig.messages.texts();
        if (w.write == Write::Pins && !result.commands.isEmpty())
            QCOMPARE(shown.takeLast(), QStringLiteral("NEW CODES Programmed"));
        QCOMPARE(shown, result.messages);
    }
}

// Save As on the page against the model's file bytes.
void compareSavedFile(Rig &rig, const QString &name)
{
    const QString path = rig.dir.filePath(name);
    {
        DialogAnswer answer(path);
        rig.page().saveSettingsFileAs();
    }
    const QByteArray saved = fileBytes(path);
    QCOMPARE(saved.size(), qsizetype(SettingsImageLayout::kSize));
    const QByteArray expected = rig.model.settingsFileBytes();
    if (saved != expected) {
        qsizetype at = 0;
        while (saved.at(at) == expected.at(at))
            ++at;
        QFAIL(qPrintable(QStringLiteral("%1 differs from offset %2: page %3, model %4")
                             .arg(name)
                             .arg(at)
                             .arg(visible(saved.mid(at, 20)), visible(expected.mid(at, 20)))));
    }
}

void roundOf(Rig &rig, const Source &source, const QString &name, bool writes = true)
{
    readEverything(rig, source);
    if (QTest::currentTestFailed())
        return;
    compareValues(rig);
    if (QTest::currentTestFailed())
        return;
    // Saved before and after the writes: a write clamps the numbers.
    compareSavedFile(rig, name + QStringLiteral("-read.sys"));
    if (QTest::currentTestFailed() || !writes)
        return;
    compareWrites(rig);
    if (QTest::currentTestFailed())
        return;
    compareValues(rig);
    if (QTest::currentTestFailed())
        return;
    compareSavedFile(rig, name + QStringLiteral("-written.sys"));
}

// A file that holds what a saved one would not: codes and speed dials with
// controls and Latin-1 bytes, numbers that are not numbers or longer than a
// write allows, a damaged relay-2 value, both line-2 flags, stale bytes past
// every length and in the reserved fields.
QByteArray oddFile(quint32 seed, bool controlInMessage)
{
    QRandomGenerator random(seed);
    QByteArray bytes(SettingsImageLayout::kSize, '\0');
    for (char &c : bytes)
        c = char(random.bounded(256));
    const auto put = [&bytes](SettingsImageLayout::TextField field, const QByteArray &text) {
        bytes[field.offset] = char(text.size());
        bytes.replace(field.offset + 1, text.size(), text);
    };
    for (int i = 0; i < MessageBlock::kMessages; ++i)
        put(SettingsImageLayout::kMessages[i], QByteArray("M\xE9SSAGE ") + char('0' + i));
    if (controlInMessage)
        put(SettingsImageLayout::kMessages[3], QByteArray("LINE\rTWO"));
    put(SettingsImageLayout::kCodes[0], QByteArray("1\r2"));
    put(SettingsImageLayout::kCodes[1], QByteArray("\xB2" "9"));
    put(SettingsImageLayout::kSpeedDials[0], QByteArray("0*1#p\xFF" "2"));
    put({SettingsImageLayout::kNumbers[0].offset, 2}, QByteArray("9"));
    put({SettingsImageLayout::kNumbers[1].offset, 2}, QByteArray("\xFF" "1"));
    put(SettingsImageLayout::kRelay2, QByteArray("A"));
    bytes[SettingsImageLayout::kScrollLine2.offset] = 7;
    bytes[SettingsImageLayout::kPulsingMsgs.offset] = char(0x80);
    return bytes;
}
} // namespace

class TestSettingsModel : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(QStringLiteral("Ostidata.ini")); }

    // Replies read into the page and into the model; then every Write and
    // the saved file.  A row of two sources reads the second over what the
    // first left: the failed reads, the clamped numbers and the file image
    // carry over.
    void repliesGiveTheSameCommandsAndFile_data()
    {
        QTest::addColumn<QList<Source>>("sources");
        const QDir corpus(testData(QStringLiteral("../../fuzz/corpus/settingsreplies")));
        QVERIFY(corpus.exists());
        const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
        QVERIFY(!names.isEmpty());
        for (const QString &name : names) {
            QByteArray line = fileBytes(corpus.filePath(name));
            if (line.endsWith("\r\n"))
                line.chop(2);
            QTest::newRow(qPrintable(QStringLiteral("corpus ") + name)) << QList<Source>{sameLine(line)};
        }
        QVERIFY(demoMemory().block(0) != UnitMemory{}.block(0));
        QTest::newRow("simulated, erased") << QList<Source>{simulated(UnitMemory{})};
        QTest::newRow("simulated, demonstration") << QList<Source>{simulated(demoMemory())};
        QTest::newRow("silent") << QList<Source>{Source([](const QByteArray &) { return QByteArray(); })};
        // The unit's answer to a block it refuses: the command, then Error.
        QTest::newRow("error replies") << QList<Source>{Source([](const QByteArray &c) {
            return crlf(c.left(c.startsWith('d') ? 9 : 5)) + "Error\r\n";
        })};
        QTest::newRow("ERROR as the data") << QList<Source>{sameLine("r0000ERROR")};
        for (int cut : {4, 20, 40, 63})
            QTest::newRow(qPrintable(QStringLiteral("blocks cut to %1").arg(cut)))
                << QList<Source>{blocksOf(demoBlocks(), cut, {1, 2, 3, 5, 8, 9, 12, 13, 14, 15})};
        QTest::newRow("block 0000 cut") << QList<Source>{blocksOf(demoBlocks(), 60, {0})};
        QTest::newRow("odd bytes") << QList<Source>{blocksOf(oddBlocks(true))};
        QTest::newRow("odd bytes, pulsing only") << QList<Source>{blocksOf(oddBlocks(false))};
        for (quint32 seed : {1u, 2u})
            QTest::newRow(qPrintable(QStringLiteral("random bytes %1").arg(seed)))
                << QList<Source>{blocksOf(randomBlocks(seed))};
        QTest::newRow("short, then whole") << QList<Source>{blocksOf(demoBlocks(), 20, {1, 2, 3, 5, 9, 13, 15}),
                                                            simulated(demoMemory())};
        QTest::newRow("odd, then short") << QList<Source>{blocksOf(oddBlocks(true)), blocksOf(demoBlocks(), 10)};
    }
    void repliesGiveTheSameCommandsAndFile()
    {
        QFETCH(QList<Source>, sources);
        Rig rig;
        QVERIFY(rig.unit.published);
        QVERIFY(rig.loggedOn());
        for (int i = 0; i < sources.size(); ++i) {
            roundOf(rig, sources[i], QStringLiteral("round%1").arg(i));
            if (QTest::currentTestFailed())
                return;
        }
    }

    // Settings files opened on the page and loaded into the model; then
    // every Write and the file saved again.
    void filesGiveTheSameCommandsAndFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QDir corpus(testData(QStringLiteral("../../fuzz/corpus/settingsfile")));
        QVERIFY(corpus.exists());
        for (const QString &name : corpus.entryList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(QStringLiteral("corpus ") + name)) << fileBytes(corpus.filePath(name));
        QTest::newRow("odd bytes") << oddFile(11, false);
        QTest::newRow("odd bytes, longer") << oddFile(12, false) + QByteArray(40, char(0xEE));
        QTest::newRow("control character in a message") << oddFile(13, true);
        QTest::newRow("empty") << QByteArray();
    }
    void filesGiveTheSameCommandsAndFile()
    {
        QFETCH(QByteArray, file);
        Rig rig;
        QVERIFY(rig.loggedOn());
        // The demonstration unit read first, so that a file changes values
        // a read set, and a refused file leaves them.
        roundOf(rig, simulated(demoMemory()), QStringLiteral("before"), false);
        if (QTest::currentTestFailed())
            return;
        const QString path = rig.dir.filePath(QStringLiteral("opened.sys"));
        {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            QCOMPARE(out.write(file), qint64(file.size()));
        }
        rig.messages.clear();
        {
            DialogAnswer answer(path);
            rig.page().openSettingsFile();
        }
        QString refused;
        const bool loaded = rig.model.loadSettingsFile(file, path, &refused);
        QCOMPARE(rig.messages.texts(), loaded ? QStringList() : QStringList{refused});
        QVERIFY(loaded || !refused.isEmpty());
        compareValues(rig);
        if (QTest::currentTestFailed())
            return;
        compareSavedFile(rig, QStringLiteral("opened-saved.sys"));
        if (QTest::currentTestFailed())
            return;
        compareWrites(rig);
        if (QTest::currentTestFailed())
            return;
        compareSavedFile(rig, QStringLiteral("opened-written.sys"));
    }

    // Clicks on the options, on the page and as rules of the model, with the
    // state the page shows and the block 0000 written after each.
    void optionClicksAgree()
    {
        Rig rig;
        QVERIFY(rig.loggedOn());
        SettingsPage &p = rig.page();
        SettingsModel &m = rig.model;
        // A read of the form defaults first: it runs the refresh that the
        // notes follow from then on, and the clicks start from known options.
        SystemParameters defaults = SystemParameters::defaults();
        roundOf(rig, blocksOf({{0, EncodeSystemParameters(defaults).toLatin1()}}), QStringLiteral("before"), false);
        if (QTest::currentTestFailed())
            return;
        using Box = SettingsModel::Relay2Box;
        using Line2 = SettingsModel::Line2;
        // A click toggles a box: the model is told the state it toggles to.
        const auto ps1 = [&m](int bit) { return bool(m.systemParameters().ps1 & bit); };
        const auto relay2 = [&m](int bit) { return bool(m.systemParameters().relay2 & bit); };
        const struct {
            const char *what;
            std::function<void()> onPage;
            std::function<void()> onModel;
        } steps[] = {
            {"clock", [&] { p.PS1_sclk->click(); }, [&] { m.setPs1Bit(SystemBlock::kPs1ShowClock, !ps1(SystemBlock::kPs1ShowClock)); }},
            {"pulsing", [&] { p.PS1_pmsg->click(); }, [&] { m.chooseLine2(Line2::PS1_pmsg); }},
            {"keyless", [&] { p.PS2_klmsg->click(); }, [&] { m.setKeylessMessage(!ps1(SystemBlock::kPs1KeylessMsg)); }},
            {"pulsing refused", [&] { p.PS1_pmsg->click(); }, [&] { m.chooseLine2(Line2::PS1_pmsg); }},
            {"scroll 2", [&] { p.PS2_srl2->click(); }, [&] { m.chooseLine2(Line2::PS2_srl2); }},
            {"keyless off", [&] { p.PS2_klmsg->click(); }, [&] { m.setKeylessMessage(!ps1(SystemBlock::kPs1KeylessMsg)); }},
            {"global codes", [&] { p.PS2_gcod->click(); }, [&] { m.setGlobalCodes(!m.globalCodesInEffect()); }},
            {"ring", [&] { p.rly2ring->click(); }, [&] { m.clickRelay2(Box::rly2ring); }},
            {"no timer", [&] { p.rly2tim->click(); }, [&] { m.setRelay2NoTimer(!relay2(SystemBlock::kRelay2NoTimer)); }},
            {"key", [&] { p.rly2key->click(); }, [&] { m.clickRelay2(Box::rly2key); }},
            {"key again", [&] { p.rly2key->click(); }, [&] { m.clickRelay2(Box::rly2key); }},
            {"line", [&] { p.rly2line->click(); }, [&] { m.clickRelay2(Box::rly2line); }},
            {"normal", [&] { p.rly2off->click(); }, [&] { m.clickRelay2(Box::rly2off); }},
            {"no timer refused", [&] { p.rly2tim->click(); }, [&] { m.setRelay2NoTimer(!relay2(SystemBlock::kRelay2NoTimer)); }},
            {"all calls", [&] { p.Divert4All->click(); }, [&] { m.setPs2Bit(SystemBlock::kPs2DivertAll, true); }},
            {"fixed 2", [&] { p.RadioButton1->click(); }, [&] { m.chooseLine2(Line2::RadioButton1); }},
        };
        for (const auto &step : steps) {
            step.onPage();
            step.onModel();
            compareValues(rig);
            if (QTest::currentTestFailed())
                QFAIL(step.what);
            rig.unit.programs.clear();
            p.WritePara1->click();
            const SettingsModel::WriteResult result = m.write(Write::SystemParameters);
            QCOMPARE(result.commands.size(), 1);
            QCOMPARE(rig.unit.programs, QList<QByteArray>{result.commands.first().toLatin1()});
        }
    }

    // --- the rules of the model on their own ---

    // The keyless box is applied before the line-2 choice of a read, so the
    // read's choice stands even where the keyless rule takes it away.
    void readLineTwoChoiceWinsOverKeyless()
    {
        SettingsModel m;
        SystemParameters value = SystemParameters::defaults();
        value.ps1 = SystemBlock::kPs1KeylessMsg | SystemBlock::kPs1PulsingMsgs;
        QVERIFY(m.applyReply(Read::SystemParameters, QStringLiteral("r0000") + EncodeSystemParameters(value)));
        QCOMPARE(m.line2Choice(), SettingsModel::Line2::PS1_pmsg);
        QVERIFY(!m.pulsingMsgsEnabled());
        QVERIFY(!m.showClockEnabled());

        // Both line-2 bits: "Sroll Line 2".
        value.ps1 = SystemBlock::kPs1PulsingMsgs;
        value.ps2 |= SystemBlock::kPs2ScrollLine2;
        QVERIFY(m.applyReply(Read::SystemParameters, QStringLiteral("r0000") + EncodeSystemParameters(value)));
        QCOMPARE(m.line2Choice(), SettingsModel::Line2::PS2_srl2);
        QVERIFY(m.pulsingMsgsEnabled());
        QVERIFY(!(m.systemParameters().ps1 & SystemBlock::kPs1PulsingMsgs));
    }

    // Ticking the keyless box takes the pulsing messages' selection; clearing
    // it gives the choice back without changing the selection.
    void keylessTakesThePulsingChoice()
    {
        SettingsModel m;
        m.chooseLine2(SettingsModel::Line2::PS1_pmsg);
        QVERIFY(!m.showClockEnabled());
        m.setKeylessMessage(true);
        QCOMPARE(m.line2Choice(), SettingsModel::Line2::RadioButton1);
        QVERIFY(m.showClockEnabled());
        m.chooseLine2(SettingsModel::Line2::PS1_pmsg);
        QCOMPARE(m.line2Choice(), SettingsModel::Line2::RadioButton1);
        m.chooseLine2(SettingsModel::Line2::PS2_srl2);
        m.setKeylessMessage(false);
        QCOMPARE(m.line2Choice(), SettingsModel::Line2::PS2_srl2);
        QVERIFY(m.pulsingMsgsEnabled());
    }

    // Only "On a key press" and "When Line is looped" take relay 2; "Normal"
    // clears them and the timer box, whose tick a click cannot then set.
    void relayTwoOverride()
    {
        SettingsModel m;
        using Box = SettingsModel::Relay2Box;
        QVERIFY(m.rly2off() && !m.rly2timEnabled());
        m.clickRelay2(Box::rly2ring);
        QVERIFY(!m.relay2CodesOverridden());
        QVERIFY(!m.rly2off() && m.rly2timEnabled());
        m.setRelay2NoTimer(true);
        m.clickRelay2(Box::rly2line);
        QVERIFY(m.relay2CodesOverridden());
        QCOMPARE(m.EncodeRelay2(), QStringLiteral("0>"));
        m.clickRelay2(Box::rly2off);
        QVERIFY(m.rly2off() && !m.rly2timEnabled() && !m.relay2CodesOverridden());
        QCOMPARE(m.systemParameters().relay2, 0);
        m.setRelay2NoTimer(true);
        QCOMPARE(m.systemParameters().relay2, 0);
        // A read sets the boxes and leaves the timer box as the clicks did.
        m.ApplyRelay2(QStringLiteral("0<"));
        QCOMPARE(m.systemParameters().relay2, SystemBlock::kRelay2Ring | SystemBlock::kRelay2NoTimer);
        QVERIFY(!m.rly2off() && !m.rly2timEnabled());
        QVERIFY_THROWS_EXCEPTION(ConversionError, m.ApplyRelay2(QString()));
    }

    // A file wins with the pulsing messages over "Sroll Line 2", and leaves
    // what it does not hold (the keyless box, the divert choices) alone.
    void fileLineTwoChoiceAndWhatItLeaves()
    {
        SettingsModel source;
        source.chooseLine2(SettingsModel::Line2::PS2_srl2);
        QByteArray bytes = source.settingsFileBytes();
        bytes[SettingsImageLayout::kPulsingMsgs.offset] = 1;
        SettingsModel m;
        m.setKeylessMessage(true);
        m.setPs2Bit(SystemBlock::kPs2DivertAll, true);
        QVERIFY(m.loadSettingsFile(bytes, QStringLiteral("x.sys")));
        QCOMPARE(m.line2Choice(), SettingsModel::Line2::PS1_pmsg);
        QVERIFY(m.systemParameters().ps1 & SystemBlock::kPs1KeylessMsg);
        QVERIFY(m.systemParameters().ps2 & SystemBlock::kPs2DivertAll);
        // Short: refused, named, values kept, but the image holds what came.
        QString message;
        QVERIFY(!m.loadSettingsFile(QByteArray(10, '\x02'), QStringLiteral("short.sys"), &message));
        QCOMPARE(message, QStringLiteral("Could not Load from file\r\nshort.sys"));
        QCOMPARE(m.line2Choice(), SettingsModel::Line2::PS1_pmsg);
        QCOMPARE(m.imageBytes().left(10), QByteArray(10, '\x02'));
    }
};

QTEST_MAIN(TestSettingsModel)
#include "tst_settingsmodel.moc"
