#include "settings/settingspage.h"

#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "widgets/transferwindow.h"
#include "common/errors.h"
#include "common/filedialogs.h"
#include "common/handler.h"
#include "common/messages.h"
#include "link/blockaccess.h"
#include "link/commandchannel.h"
#include "link/delay.h"
#include "link/encodings.h"
#include "link/logon.h"
#include "link/receivelog.h"
#include "link/unitcontract.h"
#include "link/unitgate.h"

#include <QAction>
#include <algorithm>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

using namespace SystemBlock;
namespace Blocks = SettingsBlockNumbers;

const QString SettingsPage::kSettingsFilter = QStringLiteral("OstiarinParameters(*.sys)|*.sys|All Files (*.*)|*.*");

namespace {
const QColor kOlive(128, 128, 0);
const QString kError = QStringLiteral("There was an error\r\n");

// Waits of the reads, in delay units.
constexpr int kLongRead = 1000; // 864 ms
constexpr int kShortRead = 500; // 432 ms
constexpr int kTimesWriteGap = 300;
constexpr int kUpLoadWait = 200;

// Shows a text the unit sent, which may be longer than a person may type
// into the box (a code of eight digits, "ERROR"): the box must not cut it,
// or the next write would send something else than what was read.
void showText(QLineEdit *box, const QString &text)
{
    if (text.size() > box->maxLength())
        box->setMaxLength(int(text.size()));
    box->setText(text);
}

// The texts of a row of boxes, and the other way round.
template <std::size_t N>
std::array<QString, N> textsOf(const std::array<QLineEdit *, N> &boxes)
{
    std::array<QString, N> texts;
    for (std::size_t i = 0; i < N; ++i)
        texts[i] = boxes[i]->text();
    return texts;
}

template <std::size_t N>
void showTexts(const std::array<QLineEdit *, N> &boxes, const std::array<QString, N> &texts)
{
    for (std::size_t i = 0; i < N; ++i)
        showText(boxes[i], texts[i]);
}

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette palette = w->palette();
    palette.setColor(QPalette::Text, colour.isValid() ? colour : QApplication::palette(w).color(QPalette::Text));
    w->setPalette(palette);
}

// Shows the transfer window and the busy pointer while a read runs; hides
// them however the read ends.
class TransferShown {
public:
    TransferShown(TostiForm &form, bool busyPointer) : m_form(form), m_busy(busyPointer)
    {
        if (m_busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        m_form.TransferF->show();
    }
    ~TransferShown()
    {
        m_form.TransferF->hide();
        if (m_busy)
            QApplication::restoreOverrideCursor();
    }
    TransferShown(const TransferShown &) = delete;
    TransferShown &operator=(const TransferShown &) = delete;

private:
    TostiForm &m_form;
    bool m_busy;
};
} // namespace

SettingsPage::SettingsPage(TostiForm &form) : QObject(&form), m_form(form)
{
    setObjectName(QStringLiteral("SettingsPage"));
    buildControls();
    connectHandlers();
    installHooks();
}

// --- wiring ---

void SettingsPage::connectHandlers()
{
    const auto on = [this](QPushButton *button, auto handler) {
        connectHandler(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    on(ReadPara0, &SettingsPage::ReadPara1Click);
    on(ReadPara1, &SettingsPage::ReadPara1Click);
    on(WritePara0, &SettingsPage::WritePara1Click);
    on(WritePara1, &SettingsPage::WritePara1Click);
    on(ReadCode, &SettingsPage::ReadCodeClick);
    on(WriteCode, &SettingsPage::WriteCodeClick);
    on(ReadSpd, &SettingsPage::ReadSpdClick);
    on(WriteSpd, &SettingsPage::WriteSpdClick);
    on(ReadMsgs, &SettingsPage::ReadMsgsClick);
    on(SaveParam, &SettingsPage::SaveParamClick);
    on(divertRead, &SettingsPage::divertReadClick);
    on(divertWrite, &SettingsPage::divertWriteClick);
    on(ReadPins, &SettingsPage::ReadPinsClick);
    on(UpDatePIN, &SettingsPage::UpDatePINClick);
    on(UpLoad, &SettingsPage::UpLoadClick);

    // The line-2 choice decides whether the clock can be shown, however it
    // is made (a click, a read, a file).
    for (QRadioButton *choice : {RadioButton1, PS2_srl2, PS1_pmsg})
        connect(choice, &QRadioButton::toggled, this, [this] { PS1_sclk->setEnabled(RadioButton1->isChecked()); });
    connect(PS2_klmsg, &QCheckBox::toggled, this, [this] { keylessChanged(); });
    connectHandler(PS2_gcod, &QCheckBox::toggled, this, [this] { RefreshGlobalCodes(); });

    // Operated by the mouse or the keyboard, the box has toggled already;
    // the rules then give "Normal" its meaning (a click never clears it).
    connectHandler(rly2off, &QCheckBox::clicked, this, [this] { rly2offMouseDown(); });
    for (QCheckBox *box : {rly2key, rly2line, rly2ring})
        connectHandler(box, &QCheckBox::clicked, this, [this] { rly2boxMouseDown(); });

    connect(PhParam, &QTabWidget::currentChanged, this, [this](int index) { guarded([this, index] { PhParamChange(index); }); });

    for (int i = 0; i < DivertBlock::kTimes; ++i)
        connectHandler(MaskEdits[i], &QLineEdit::textChanged, this, [this, i] { timeBoxChanged(i); });

    // What the user types is what the user means: a box a failed read left
    // may be written again once it has been edited.
    const auto userEdits = [this](const auto &boxes) {
        for (QLineEdit *box : boxes)
            connect(box, &QLineEdit::textEdited, this, [this, box] { m_failedRead.remove(box); });
    };
    userEdits(codeBoxes);
    userEdits(spd);
    userEdits(msg);
    userEdits(divertBoxes);
    userEdits(MaskEdits);
    userEdits(pinBoxes);

    TabSheet3->installEventFilter(this);
    UpLoad->installEventFilter(this);
}

void SettingsPage::installHooks()
{
    // All unit buttons follow the log-on; "Up Date" last, so that the
    // messages "Write" button can take its state from it.
    for (QObject *control : std::initializer_list<QObject *>{
             ReadPara0, ReadPara1, WritePara0, WritePara1, ReadCode, WriteCode, ReadSpd, WriteSpd, ReadMsgs, SaveParam,
             divertRead, divertWrite, ReadPins, UpDatePIN, TabSheet3, UpLoad})
        m_form.Link->addSecondGroup(control);

    m_form.Hooks.readSettingsFirstTime = [this] { return readSettingsFirstTime(); };
    m_form.Hooks.openSettingsFile = [this] { openSettingsFile(); };
    m_form.Hooks.saveSettingsFileAs = [this] { saveSettingsFileAs(); };
    m_form.Hooks.refreshGlobalCodes = [this] { RefreshGlobalCodes(); };
}

bool SettingsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (watched == TabSheet3)
            PhParam->setTabEnabled(PhParam->indexOf(TabSheet3), TabSheet3->isEnabled());
        else if (watched == UpLoad)
            PhParamChange(PhParam->currentIndex());
    } else if ((event->type() == QEvent::Move || event->type() == QEvent::Resize)
               && (watched == code_g2 || watched == code_sd2)) {
        Bevel2->setGeometry(code_g2->geometry().united(code_sd2->geometry()).adjusted(-8, -8, 8, 8));
        Bevel2->lower();
    }
    return QObject::eventFilter(watched, event);
}

bool SettingsPage::onLine() const { return m_form.Link->LoggedOn; }

void SettingsPage::whileHeld(const QString &operation, const std::function<void()> &body)
{
    const UnitOperation op(m_form.Channel.Gate, operation);
    if (op)
        body();
}

void SettingsPage::noteRead(QLineEdit *box, bool arrived)
{
    if (arrived)
        m_failedRead.remove(box);
    else
        m_failedRead.insert(box);
}

template <std::size_t N>
bool SettingsPage::anyReadFailed(const std::array<QLineEdit *, N> &boxes, int first, int count) const
{
    for (int i = first; i < first + count; ++i)
        if (readFailed(boxes[i]))
            return true;
    return false;
}

bool SettingsPage::refuseFailedBlock(bool failed, const QString &failure)
{
    if (failed)
        MessageService::inform(kError + failure);
    return failed;
}

// --- values on the page ---

QList<SettingsPage::BitControl> SettingsPage::ps1Controls() const
{
    return {{kPs1KeylessMsg, PS2_klmsg},
            {kPs1DivertAllNoAnswer, Divert4AllNA},
            {kPs1GateAccess, PS1_gacc},
            {kPs1PulsingMsgs, PS1_pmsg},
            {kPs1ShowClock, PS1_sclk}};
}

QList<SettingsPage::BitControl> SettingsPage::ps2Controls() const
{
    return {{kPs2Gn1Compat, PS2_gn1c},     {kPs2GlobalCodes, PS2_gcod},  {kPs2OffAfterRelease, PS2_grls},
            {kPs2DivertAll, Divert4All},   {kPs2ScrollLine1, PS2_srl1},  {kPs2ScrollLine2, PS2_srl2},
            {kPs2ModemEnable, PS2_mden}};
}

int SettingsPage::relay2() const
{
    return (rly2key->isChecked() ? kRelay2Key : 0) | (rly2line->isChecked() ? kRelay2Line : 0)
           | (rly2ring->isChecked() ? kRelay2Ring : 0) | (rly2tim->isChecked() ? kRelay2NoTimer : 0);
}

SystemParameters SettingsPage::systemParameters() const
{
    SystemParameters value;
    for (int f = 0; f < FieldCount; ++f)
        value.numbers[f] = numberBoxes[f]->text();
    value.relay2 = relay2();
    const auto byteOf = [](const QList<BitControl> &controls) {
        int byte = 0;
        for (const BitControl &c : controls)
            if (c.button->isChecked())
                byte |= c.bit;
        return byte;
    };
    value.ps1 = byteOf(ps1Controls());
    value.ps2 = byteOf(ps2Controls());
    return value;
}

void SettingsPage::applyOptionByte(const QList<BitControl> &controls, int byte)
{
    for (const BitControl &c : controls) {
        const bool set = (byte & c.bit) != 0;
        if (set) {
            c.button->setChecked(true);
        } else if (c.button == Divert4AllNA) {
            Divert4ButtsNA->setChecked(true);
        } else if (c.button == Divert4All) {
            Divert4Butts->setChecked(true);
        } else if (!c.button->autoExclusive()) {
            c.button->setChecked(false);
        }
        // A line-2 choice whose bit is clear is settled by the choice made last.
    }
}

void SettingsPage::setLine2Choice(QRadioButton *choice) { choice->setChecked(true); }

void SettingsPage::showSystemParameters(const SystemParameters &value)
{
    for (int f = 0; f < FieldCount; ++f)
        showText(numberBoxes[f], value.numbers[f]);
    applyRelay2Value(value.relay2);
    applyOptionByte(ps1Controls(), value.ps1);
    applyOptionByte(ps2Controls(), value.ps2);
    setLine2Choice((value.ps2 & kPs2ScrollLine2) ? PS2_srl2 : (value.ps1 & kPs1PulsingMsgs) ? PS1_pmsg : RadioButton1);
    RefreshRelay2Override();
}

RelayCodes SettingsPage::relayCodes() const { return textsOf(codeBoxes); }

void SettingsPage::showRelayCodes(const RelayCodes &codes) { showTexts(codeBoxes, codes); }

SpeedDials SettingsPage::speedDials() const { return textsOf(spd); }

void SettingsPage::showSpeedDials(const SpeedDials &numbers) { showTexts(spd, numbers); }

Messages SettingsPage::messages() const { return textsOf(msg); }

void SettingsPage::showMessages(const Messages &texts) { showTexts(msg, texts); }

DivertNumbers SettingsPage::divertNumbers() const { return textsOf(divertBoxes); }

void SettingsPage::showDivertNumbers(const DivertNumbers &numbers) { showTexts(divertBoxes, numbers); }

DivertTimes SettingsPage::divertTimes() const { return textsOf(hiddenTimes); }

AccessCodes SettingsPage::accessCodes() const { return textsOf(pinBoxes); }

void SettingsPage::showAccessCodes(const AccessCodes &codes) { showTexts(pinBoxes, codes); }

SettingsValues SettingsPage::values() const
{
    SettingsValues v;
    v.system = systemParameters();
    v.codes = relayCodes();
    v.messages = messages();
    v.speedDials = speedDials();
    return v;
}

// --- block 0000 ---

bool SettingsPage::ReadSystemParameters()
{
    CommandChannel &channel = m_form.Channel;
    // Whatever became of the decoding, the image follows the pages.
    const auto finish = [this] {
        BuildSettingsImage();
        m_form.SaveAs->setEnabled(true);
    };
    bool read = false;
    try {
        TransferShown transfer(m_form, false);
        channel.RxLog().clear();
        channel.RxBuffer.clear();
        channel.SendCommand(UnitContract::ReadBlockCommand(Blocks::kSystem));
        Delay(kLongRead);
        if (onLine()) {
            const QString line = channel.RxLog().line(0);
            // Without the whole block the decoding would put zeros and
            // empty texts over what the boxes hold; they stay as they were,
            // and the read stops as the empty override value stops it.
            if (!FieldArrived(line, {0, kLength}))
                throw ConversionError(QString());
            const QString data = line.mid(UnitContract::kDataOffset, kLength);
            ApplySystemParameters(FFToNul(data, kLength));
            read = true;
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return read;
}

void SettingsPage::ApplySystemParameters(const QString &data)
{
    const SystemParametersReading reading = DecodeSystemParameters(data);
    // 1. The fields before the relay-2 override value.
    for (const NumericField &f : kNumericFields)
        if (f.position < kRelay2Position)
            showText(numberBoxes[f.field], reading.numbers[f.field]);
    // 2. "Normal", from the override value.
    if (!reading.relay2)
        throw ConversionError(QString());
    rly2off->setChecked((*reading.relay2 & kRelay2Mask) == 0);
    // 3. The fields after it.
    for (const NumericField &f : kNumericFields)
        if (f.position > kRelay2Position)
            showText(numberBoxes[f.field], reading.numbers[f.field]);
    // 4. The four override boxes.
    applyRelay2Value(*reading.relay2);
    // 5, 6. The option bytes in bit order: the keyless box before the
    // pulsing messages, whose interlock it fires.
    if (!reading.ps1)
        throw ConversionError(QString());
    applyOptionByte(ps1Controls(), *reading.ps1);
    if (!reading.ps2)
        throw ConversionError(QString());
    applyOptionByte(ps2Controls(), *reading.ps2);
    // 7. The line-2 choice: "Sroll Line 2" wins when both bits are set.
    setLine2Choice((*reading.ps2 & kPs2ScrollLine2) ? PS2_srl2
                   : (*reading.ps1 & kPs1PulsingMsgs) ? PS1_pmsg
                                                       : RadioButton1);
    // 8. The code colours; the relay-2 note too, so the page tells what the
    // unit now holds.
    RefreshRelay2Override();
}

QString SettingsPage::EncodeSystemParameters()
{
    SystemParameters value = systemParameters();
    const auto showClamped = [this, &value] {
        for (int f = 0; f < FieldCount; ++f)
            if (numberBoxes[f]->text() != value.numbers[f])
                numberBoxes[f]->setText(value.numbers[f]);
    };
    QString data;
    try {
        data = ::EncodeSystemParameters(value);
    } catch (...) {
        showClamped();
        throw;
    }
    showClamped();
    rly2off->setChecked(value.relay2 == 0);
    return data;
}

void SettingsPage::WriteSystemParameters()
{
    const QString data = EncodeSystemParameters();
    if (!ProgramBlock(m_form.Channel, Blocks::kSystem, data))
        MessageService::inform(kError + QStringLiteral("in writing the System Parameters"));
}

QString SettingsPage::EncodeRelay2()
{
    const int value = relay2();
    rly2off->setChecked(value == 0);
    return ::EncodeRelay2(value);
}

void SettingsPage::ApplyRelay2(const QString &pair)
{
    const std::optional<int> value = DecodeNibbleByte(pair);
    if (!value)
        throw ConversionError(pair);
    applyRelay2Value(*value);
}

void SettingsPage::applyRelay2Value(int value)
{
    rly2tim->setChecked(value & kRelay2NoTimer);
    rly2key->setChecked(value & kRelay2Key);
    rly2line->setChecked(value & kRelay2Line);
    rly2ring->setChecked(value & kRelay2Ring);
    rly2off->setChecked((value & kRelay2Mask) == 0);
    // A read or a load sets the boxes without the interlocks of a click:
    // "Don't use timer" stays enabled or not as the user's clicks left it.
}

// --- relay codes ---

bool SettingsPage::ReadRelayCodes()
{
    CommandChannel &channel = m_form.Channel;
    const auto finish = [this] {
        BuildSettingsImage();
        m_form.SaveAs->setEnabled(true);
    };
    bool read = false;
    try {
        TransferShown transfer(m_form, true);
        channel.RxBuffer.clear();
        channel.RxLog().clear();
        channel.SendCommand(UnitContract::ReadBlockCommand(Blocks::kRelayCodes));
        Delay(kShortRead);
        if (onLine()) {
            const QString line = channel.RxLog().line(0);
            showRelayCodes(DecodeRelayCodes(line));
            for (int i = 0; i < RelayCodeBlock::kCodes; ++i)
                noteRead(codeBoxes[i], FieldArrived(line, {i * RelayCodeBlock::kCodeWidth, RelayCodeBlock::kCodeWidth}));
            RefreshGlobalCodes();
            read = true;
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return read;
}

void SettingsPage::WriteRelayCodes()
{
    if (refuseFailedBlock(anyReadFailed(codeBoxes), QStringLiteral("in writing the Codes")))
        return;
    if (!ProgramBlock(m_form.Channel, Blocks::kRelayCodes, EncodeRelayCodes(relayCodes())))
        MessageService::inform(kError + QStringLiteral("in writing the Codes"));
}

// --- speed dials ---

bool SettingsPage::ReadSpeedDials()
{
    CommandChannel &channel = m_form.Channel;
    channel.RxLog().clear();
    channel.SendCommand(UnitContract::DumpBlocksCommand(Blocks::kSpeedDial1, QStringLiteral("0010")));
    Delay(kLongRead);
    if (!onLine())
        return false;
    SpeedDials numbers = speedDials();
    for (int block = 0; block < 2; ++block) {
        const QString line = channel.RxLog().line(1 + block);
        DecodeSpeedDialBlock(line, numbers, block);
        for (int i = 0; i < SpeedDialBlock::kPerBlock; ++i)
            noteRead(spd[block * SpeedDialBlock::kPerBlock + i],
                     FieldArrived(line, {i * SpeedDialBlock::kWidth, SpeedDialBlock::kWidth}));
    }
    showSpeedDials(numbers);
    return true;
}

void SettingsPage::WriteSpeedDials()
{
    const SpeedDials numbers = speedDials();
    const QLatin1String blocks[2] = {Blocks::kSpeedDial1, Blocks::kSpeedDial2};
    const QString failures[2] = {QStringLiteral("in writing speed Dial 1 & 2"),
                                 QStringLiteral("in writing speed Dial 3 & 4")};
    for (int block = 0; block < 2; ++block) {
        if (refuseFailedBlock(anyReadFailed(spd, block * SpeedDialBlock::kPerBlock, SpeedDialBlock::kPerBlock),
                              failures[block]))
            continue;
        if (!ProgramBlock(m_form.Channel, blocks[block], EncodeSpeedDialBlock(numbers, block)))
            MessageService::inform(kError + failures[block]);
    }
}

// --- messages ---

bool SettingsPage::ReadMessages()
{
    CommandChannel &channel = m_form.Channel;
    TransferShown transfer(m_form, false);
    channel.RxLog().clear();
    channel.SendCommand(UnitContract::DumpBlocksCommand(Blocks::kMessages[0], Blocks::kMessages[3]));
    Delay(kLongRead);
    if (!onLine())
        return false;
    Messages texts = messages();
    for (int block = 0; block < 4; ++block) {
        const QString line = channel.RxLog().line(1 + block);
        DecodeMessageBlock(line, texts, block);
        for (int i = 0; i < MessageBlock::kMessages; ++i)
            if (MessageBlock::kMessageFields[i].block == block)
                noteRead(msg[i], FieldArrived(line, MessageBlock::kMessageFields[i].span));
    }
    showMessages(texts);
    return true;
}

void SettingsPage::WriteMessages()
{
    const Messages texts = messages();
    const QString failures[4] = {QStringLiteral("in writing fixed message 1 & 2"),
                                 QStringLiteral("in writing Scroll message 1"),
                                 QStringLiteral("in writing Scroll message 2"), QStringLiteral("in writing message 1 & 2")};
    for (int block = 0; block < 4; ++block) {
        QString failure = kError + failures[block];
        bool failed = false;
        for (int i = 0; i < MessageBlock::kMessages; ++i) {
            if (MessageBlock::kMessageFields[i].block != block)
                continue;
            if (readFailed(msg[i])) {
                failed = true;
            } else if (std::any_of(texts[i].cbegin(), texts[i].cend(), isMessageControlCharacter)) {
                // A text read from the unit may hold what the box refuses
                // from the keyboard; it never goes into a command.
                failure += QStringLiteral("\r\n") + SettingsImage::controlCharacterNote(i);
                failed = true;
            }
        }
        if (failed || !ProgramBlock(m_form.Channel, Blocks::kMessages[block], EncodeMessageBlock(texts, block)))
            MessageService::inform(failure);
    }
}

// --- diverts ---

bool SettingsPage::ReadDivertNumbers()
{
    CommandChannel &channel = m_form.Channel;
    channel.RxLog().clear();
    channel.SendCommand(UnitContract::DumpBlocksCommand(Blocks::kDivertNumbers, QStringLiteral("0006")));
    Delay(kLongRead);
    if (!onLine())
        return false;
    const QString line = channel.RxLog().line(1);
    showDivertNumbers(DecodeDivertNumbers(line));
    for (int i = 0; i < DivertBlock::kNumbers; ++i)
        noteRead(divertBoxes[i], FieldArrived(line, {i * DivertBlock::kNumberWidth, DivertBlock::kNumberWidth}));
    return true;
}

bool SettingsPage::ReadDivertTimes()
{
    CommandChannel &channel = m_form.Channel;
    channel.RxLog().clear();
    channel.SendCommand(UnitContract::ReadBlockCommand(Blocks::kDivertTimes));
    Delay(kShortRead);
    if (!onLine())
        return false;
    const QString line = channel.RxLog().line(0);
    const QString raw = DivertTimeCharacters(line);
    Edit4->setText(raw);
    for (int i = 0; i < DivertBlock::kTimes; ++i) {
        // A time that did not come would show as 00:00, which looks real:
        // the box keeps what it showed, and is not written back.
        const bool arrived = FieldArrived(line, DivertTimeSpan(i));
        noteRead(MaskEdits[i], arrived);
        if (!arrived)
            continue;
        MaskEdits[i]->setText(FormatHourMinute(raw.mid(i * DivertBlock::kTimeWidth, DivertBlock::kTimeWidth)));
        // Also when the box's text stayed the same (blanks before and after).
        timeBoxChanged(i);
    }
    return true;
}

void SettingsPage::timeBoxChanged(int index)
{
    QLineEdit *box = MaskEdits[index];
    // The mask shows an unfilled place as '_'; it stands for a blank.
    QString text = box->displayText();
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    const QString zeros = SpacesToZeros(text);
    if (zeros != box->displayText()) {
        const int cursor = box->cursorPosition();
        box->setText(zeros); // runs this handler again, with nothing left to change
        box->setCursorPosition(cursor);
        return;
    }
    hiddenTimes[index]->setText(QString(zeros).remove(2, 1));
}

void SettingsPage::WriteDiverts()
{
    const QString numbersFailure = QStringLiteral("in writing the new numbers");
    if (!refuseFailedBlock(anyReadFailed(divertBoxes), numbersFailure)
        && !ProgramBlock(m_form.Channel, Blocks::kDivertNumbers, EncodeDivertNumbers(divertNumbers())))
        MessageService::inform(kError + numbersFailure);
    const QString times = EncodeDivertTimes(divertTimes());
    Delay(kTimesWriteGap);
    const QString timesFailure = QStringLiteral("in writing the new Times");
    if (!refuseFailedBlock(anyReadFailed(MaskEdits), timesFailure)
        && !ProgramBlock(m_form.Channel, Blocks::kDivertTimes, times))
        MessageService::inform(kError + timesFailure);
}

// --- reads, writes, buttons ---

bool SettingsPage::ReadAllSettings()
{
    // Block 0000 that cannot be converted stops the rest by its error; a
    // link lost half-way stops it quietly (the link reports its loss).
    return ReadSystemParameters() && ReadRelayCodes() && ReadSpeedDials() && ReadDivertNumbers()
           && ReadDivertTimes();
}

bool SettingsPage::readSettingsFirstTime()
{
    // While another operation talks to the unit the first read waits for the
    // next showing of the page.
    const UnitOperation op(m_form.Channel.Gate, QStringLiteral("ReadSettingsFirstTime"));
    if (!op)
        return false;
    return ReadMessages() && ReadAllSettings() && readPins();
}

void SettingsPage::ShowReady() { m_form.StatusBar->setPanel(1, QStringLiteral("Ready")); }

// Each button's handler takes the unit for its whole operation; a click
// while another operation runs (a second click on the same Read among them)
// does nothing.
void SettingsPage::ReadPara1Click() { whileHeld(QStringLiteral("ReadAllSettings"), [this] { ReadAllSettings(); }); }

void SettingsPage::WritePara1Click()
{
    whileHeld(QStringLiteral("WriteSystemParameters"), [this] {
        WriteSystemParameters();
        ShowReady();
    });
}

void SettingsPage::ReadCodeClick() { whileHeld(QStringLiteral("ReadAllSettings"), [this] { ReadAllSettings(); }); }

void SettingsPage::WriteCodeClick()
{
    whileHeld(QStringLiteral("WriteRelayCodes"), [this] {
        WriteRelayCodes();
        ShowReady();
    });
}

void SettingsPage::ReadSpdClick() { whileHeld(QStringLiteral("ReadAllSettings"), [this] { ReadAllSettings(); }); }

void SettingsPage::WriteSpdClick()
{
    whileHeld(QStringLiteral("WriteSpeedDials"), [this] {
        WriteSpeedDials();
        ShowReady();
    });
}

void SettingsPage::ReadMsgsClick() { whileHeld(QStringLiteral("ReadMessages"), [this] { ReadMessages(); }); }

void SettingsPage::SaveParamClick()
{
    whileHeld(QStringLiteral("WriteMessages"), [this] {
        WriteMessages();
        ShowReady();
    });
}

void SettingsPage::divertReadClick() { whileHeld(QStringLiteral("ReadAllSettings"), [this] { ReadAllSettings(); }); }

void SettingsPage::divertWriteClick()
{
    whileHeld(QStringLiteral("WriteDiverts"), [this] {
        WriteDiverts();
        WriteSystemParameters(); // the two divert choices live in block 0000
        ShowReady();
    });
}

void SettingsPage::ReadPinsClick() { whileHeld(QStringLiteral("ReadPins"), [this] { readPins(); }); }

bool SettingsPage::readPins()
{
    CommandChannel &channel = m_form.Channel;
    channel.RxLog().clear();
    channel.SendCommand(UnitContract::ReadBlockCommand(Blocks::kPins));
    Delay(kShortRead);
    if (!onLine())
        return false;
    const QString line = channel.RxLog().line(0);
    showAccessCodes(DecodeAccessCodes(line));
    for (int i = 0; i < PinBlock::kCodes; ++i)
        noteRead(pinBoxes[i], FieldArrived(line, {i * PinBlock::kWidth, PinBlock::kWidth}));
    return true;
}

void SettingsPage::UpDatePINClick()
{
    whileHeld(QStringLiteral("UpDatePIN"), [this] {
        // After a missed read the other codes show "ERROR": writing them
        // would erase every PIN and emergency code but the one changed.
        if (refuseFailedBlock(anyReadFailed(pinBoxes), QStringLiteral("in writing the CODES")))
            return;
        if (ProgramBlock(m_form.Channel, Blocks::kPins, EncodeAccessCodes(accessCodes())))
            MessageService::inform(QStringLiteral("NEW CODES Programmed"));
        else
            MessageService::inform(kError + QStringLiteral("in writing the CODES"));
    });
}

void SettingsPage::UpLoadClick() { Delay(kUpLoadWait); }

// --- interlocks ---

void SettingsPage::keylessChanged()
{
    if (PS2_klmsg->isChecked()) {
        PS1_pmsg->setEnabled(false);
        if (PS1_pmsg->isChecked())
            RadioButton1->setChecked(true);
    } else {
        PS1_pmsg->setEnabled(true);
    }
}

void SettingsPage::RefreshGlobalCodes()
{
    const bool global = PS2_gcod->isChecked();
    if (m_form.DirectoryTable.isOpen() && m_form.Hooks.setCodeColumnsColour)
        m_form.Hooks.setCodeColumnsColour(global ? kOlive : QColor());
    for (QLineEdit *box : {code_g1, code_g2})
        setTextColour(box, global ? QColor() : kOlive);
    Label47->setVisible(!global);
}

void SettingsPage::RefreshRelay2Override()
{
    const bool overridden = rly2key->isChecked() || rly2line->isChecked();
    for (QLineEdit *box : {code_g2, code_ic2, code_sd2})
        setTextColour(box, overridden ? kOlive : QColor());
    Bevel2->setVisible(overridden);
    Label31->setVisible(overridden);
    RefreshGlobalCodes();
}

void SettingsPage::PhParamChange(int)
{
    // The messages are not on any sub-page: their Write follows the log-on
    // like every other unit button, whichever sub-page is shown.
    SaveParam->setEnabled(UpLoad->isEnabled());
}

void SettingsPage::rly2offMouseDown()
{
    for (QCheckBox *box : {rly2key, rly2line, rly2ring, rly2tim})
        box->setChecked(false);
    rly2tim->setEnabled(false);
    rly2off->setChecked(true);
    RefreshRelay2Override();
}

void SettingsPage::rly2boxMouseDown()
{
    rly2off->setChecked(false);
    rly2tim->setEnabled(true);
    RefreshRelay2Override();
}

// --- the settings file ---

void SettingsPage::BuildSettingsImage()
{
    SettingsValues v = values();
    rly2off->setChecked(v.system.relay2 == 0);
    m_image.build(v);
}

void SettingsPage::ApplySettingsImage()
{
    SettingsValues v = values();
    m_image.apply(v);
    // 1. Codes, messages, the numbers the file holds.
    showRelayCodes(v.codes);
    showMessages(v.messages);
    for (const SettingsImageLayout::NumberField &n : SettingsImageLayout::kNumbers)
        showText(numberBoxes[n.field], v.system.numbers[n.field]);
    // 2. The relay-2 override.
    applyRelay2Value(v.system.relay2);
    // 3. The flags other than the line-2 choice.
    for (const SettingsImageLayout::Flag &flag : SettingsImageLayout::kFlags) {
        if (flag.bit == kPs2ScrollLine2 || flag.bit == kPs1PulsingMsgs)
            continue;
        const QList<BitControl> controls = flag.ps2 ? ps2Controls() : ps1Controls();
        const int byte = flag.ps2 ? v.system.ps2 : v.system.ps1;
        for (const BitControl &c : controls)
            if (c.bit == flag.bit)
                c.button->setChecked(byte & flag.bit);
    }
    // 4. The line-2 choice (pulsing messages win).
    setLine2Choice((v.system.ps1 & kPs1PulsingMsgs) ? PS1_pmsg
                   : (v.system.ps2 & kPs2ScrollLine2) ? PS2_srl2
                                                       : RadioButton1);
    // 5. Speed dials.
    showSpeedDials(v.speedDials);
    // What the file set is no longer what a failed read left.
    for (QLineEdit *box : codeBoxes)
        m_failedRead.remove(box);
    for (QLineEdit *box : msg)
        m_failedRead.remove(box);
    for (QLineEdit *box : spd)
        m_failedRead.remove(box);
    // 6. The colours of the codes.
    RefreshRelay2Override();
}

void SettingsPage::SaveSettingsFile(const QString &fileName) { m_image.save(fileName); }

bool SettingsPage::LoadSettingsFile(const QString &fileName) { return m_image.load(fileName); }

void SettingsPage::openSettingsFile()
{
    const QString name = FileDialogService::askOpen(QStringLiteral("Sys"), QStringLiteral("SysPara"), kSettingsFilter);
    if (name.isEmpty())
        return;
    if (LoadSettingsFile(name))
        ApplySettingsImage();
}

void SettingsPage::saveSettingsFileAs()
{
    BuildSettingsImage();
    const QString name = FileDialogService::askSave(QStringLiteral("Sys"), QStringLiteral("SysPara"), kSettingsFilter);
    if (!name.isEmpty())
        SaveSettingsFile(name);
}
