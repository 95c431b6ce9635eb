#include "settings/settingsmodel.h"

#include "common/errors.h"
#include "link/encodings.h"
#include "link/unitcontract.h"

#include <algorithm>

using namespace SystemBlock;
using namespace SettingsImageLayout;
namespace Blocks = SettingsBlockNumbers;

namespace {
const QString kError = QStringLiteral("There was an error\r\n");
const QLatin1String kCrLf("\r\n");

// The time boxes' edit mask, "99:99" with '_' for an unfilled place.
constexpr int kMaskLength = 5;
constexpr int kMaskSeparator = 2;
constexpr QChar kMaskBlank = QLatin1Char('_');

// What the mask lets into a digit place: any character Unicode counts as a
// number, so the superscripts and fractions of Latin-1 too, not only 0-9.
bool fitsDigitPlace(QChar c) { return c.isNumber(); }

// The text a time box shows after its text is set to `text`: characters
// that fit go into the digit places in turn, a ':' moves on to the place
// after the separator (leaving the places it skips unfilled), anything else
// is dropped.  Only the first five places exist; the rest is cut.
QString maskedTime(const QString &text)
{
    const QString blankMask = QString(kMaskBlank) + kMaskBlank + QLatin1Char(':') + kMaskBlank + kMaskBlank;
    QString shown;
    int place = 0;
    for (qsizetype i = 0; i < text.size() && place < kMaskLength; ++i) {
        const QChar c = text.at(i);
        if (place == kMaskSeparator) {
            shown += QLatin1Char(':');
            ++place;
            if (c != QLatin1Char(':'))
                --i; // the character is tried again on the next place
            continue;
        }
        if (fitsDigitPlace(c)) {
            shown += c;
            ++place;
        } else if (c == QLatin1Char(':') && place < kMaskSeparator) {
            shown += blankMask.mid(place, kMaskSeparator - place + 1);
            place = kMaskSeparator + 1;
        }
        // Any other character has no place in the mask and is dropped.
    }
    return shown + blankMask.mid(shown.size());
}

int bitIndex(SettingsModel::Row row) { return int(row); }
} // namespace

SettingsModel::SettingsModel() : m_image(kSize, '\0')
{
    for (int i = 0; i < SpeedDialBlock::kNumbers; ++i)
        m_speedDials[i] = QStringLiteral("3600%1").arg(i + 1);
    m_maskEdits.fill(maskedTime(QStringLiteral("  :  ")));
    m_times.fill(QStringLiteral("0000"));
    m_edit4 = QStringLiteral("testing");
}

// --- reads ---

QString SettingsModel::readCommand(Read read)
{
    switch (read) {
    case Read::SystemParameters:
        return UnitContract::ReadBlockCommand(Blocks::kSystem);
    case Read::RelayCodes:
        return UnitContract::ReadBlockCommand(Blocks::kRelayCodes);
    case Read::SpeedDials:
        return UnitContract::DumpBlocksCommand(Blocks::kSpeedDial1, QStringLiteral("0010"));
    case Read::Messages:
        return UnitContract::DumpBlocksCommand(Blocks::kMessages[0], Blocks::kMessages[3]);
    case Read::DivertNumbers:
        return UnitContract::DumpBlocksCommand(Blocks::kDivertNumbers, QStringLiteral("0006"));
    case Read::DivertTimes:
        return UnitContract::ReadBlockCommand(Blocks::kDivertTimes);
    case Read::Pins:
        return UnitContract::ReadBlockCommand(Blocks::kPins);
    }
    return {};
}

QString SettingsModel::receivedText(const QByteArray &bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.remove(QChar(0));
    return text;
}

QString SettingsModel::lineOf(const QString &text, int index)
{
    if (index < 0)
        return {};
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype end = text.indexOf(kCrLf, start);
        if (end < 0)
            return {};
        start = end + 2;
    }
    const qsizetype end = text.indexOf(kCrLf, start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

bool SettingsModel::applyReply(Read read, const QString &received)
{
    switch (read) {
    case Read::SystemParameters: {
        const QString line = lineOf(received, 0);
        // Without the whole block the decoding would put zeros and empty
        // texts over the values; they stay, and the read stops there.
        const bool whole = FieldArrived(line, {0, kLength});
        if (whole)
            decodeSystemParameters(line);
        BuildSettingsImage();
        return whole;
    }
    case Read::RelayCodes: {
        const QString line = lineOf(received, 0);
        m_codes = DecodeRelayCodes(line);
        for (int i = 0; i < RelayCodeBlock::kCodes; ++i)
            noteRead(Row::RelayCodes, i,
                     FieldArrived(line, {i * RelayCodeBlock::kCodeWidth, RelayCodeBlock::kCodeWidth}));
        BuildSettingsImage();
        return true;
    }
    case Read::SpeedDials:
        for (int block = 0; block < 2; ++block) {
            const QString line = lineOf(received, 1 + block);
            DecodeSpeedDialBlock(line, m_speedDials, block);
            for (int i = 0; i < SpeedDialBlock::kPerBlock; ++i)
                noteRead(Row::SpeedDials, block * SpeedDialBlock::kPerBlock + i,
                         FieldArrived(line, {i * SpeedDialBlock::kWidth, SpeedDialBlock::kWidth}));
        }
        return true;
    case Read::Messages:
        for (int block = 0; block < 4; ++block) {
            const QString line = lineOf(received, 1 + block);
            DecodeMessageBlock(line, m_messages, block);
            for (int i = 0; i < MessageBlock::kMessages; ++i)
                if (MessageBlock::kMessageFields[i].block == block)
                    noteRead(Row::Messages, i, FieldArrived(line, MessageBlock::kMessageFields[i].span));
        }
        return true;
    case Read::DivertNumbers: {
        const QString line = lineOf(received, 1);
        m_divertNumbers = DecodeDivertNumbers(line);
        for (int i = 0; i < DivertBlock::kNumbers; ++i)
            noteRead(Row::DivertNumbers, i,
                     FieldArrived(line, {i * DivertBlock::kNumberWidth, DivertBlock::kNumberWidth}));
        return true;
    }
    case Read::DivertTimes: {
        const QString line = lineOf(received, 0);
        const QString raw = DivertTimeCharacters(line);
        m_edit4 = raw;
        for (int i = 0; i < DivertBlock::kTimes; ++i) {
            // A time that did not come would show as 00:00, which looks
            // real: the box keeps what it showed, and is not written back.
            const bool arrived = FieldArrived(line, DivertTimeSpan(i));
            noteRead(Row::DivertTimes, i, arrived);
            if (arrived)
                timeBoxChanged(i, FormatHourMinute(raw.mid(i * DivertBlock::kTimeWidth, DivertBlock::kTimeWidth)));
        }
        return true;
    }
    case Read::Pins: {
        const QString line = lineOf(received, 0);
        m_access = DecodeAccessCodes(line);
        for (int i = 0; i < PinBlock::kCodes; ++i)
            noteRead(Row::Pins, i, FieldArrived(line, {i * PinBlock::kWidth, PinBlock::kWidth}));
        return true;
    }
    }
    return true;
}

void SettingsModel::decodeSystemParameters(const QString &line)
{
    const QString data = FFToNul(line.mid(UnitContract::kDataOffset, kLength), kLength);
    const SystemParametersReading reading = DecodeSystemParameters(data);
    m_system.numbers = reading.numbers;
    // A whole block always holds the three bytes.
    applyRelay2Value(*reading.relay2);
    const int ps1 = *reading.ps1;
    const int ps2 = *reading.ps2;
    // The keyless box is applied before the line-2 choice, so its rule runs
    // first and the choice read from the block has the last word.
    const bool keyless = ps1 & kPs1KeylessMsg;
    if (keyless != bool(m_system.ps1 & kPs1KeylessMsg)) {
        m_system.ps1 = keyless ? (m_system.ps1 | kPs1KeylessMsg) : (m_system.ps1 & ~kPs1KeylessMsg);
        keylessChanged(keyless);
    }
    const int line2Bits1 = m_system.ps1 & kPs1PulsingMsgs;
    const int line2Bits2 = m_system.ps2 & kPs2ScrollLine2;
    m_system.ps1 = (ps1 & kPs1Mask & ~kPs1PulsingMsgs) | line2Bits1;
    m_system.ps2 = (ps2 & kPs2Mask & ~kPs2ScrollLine2) | line2Bits2;
    // "Sroll Line 2" is applied last, so it wins when both bits are set.
    applyLine2((ps2 & kPs2ScrollLine2) ? Line2::PS2_srl2 : (ps1 & kPs1PulsingMsgs) ? Line2::PS1_pmsg : Line2::RadioButton1);
}

void SettingsModel::applyRelay2Value(int value)
{
    // A read or a load sets the boxes without the rules of a click: "Don't
    // use timer" stays enabled or not as the clicks left it.
    m_system.relay2 = value & kRelay2Mask;
    m_rly2off = (value & kRelay2Mask) == 0;
}

void SettingsModel::ApplyRelay2(const QString &pair)
{
    const std::optional<int> value = DecodeNibbleByte(pair);
    if (!value)
        throw ConversionError(pair);
    applyRelay2Value(*value);
}

QString SettingsModel::EncodeRelay2()
{
    m_rly2off = m_system.relay2 == 0;
    return ::EncodeRelay2(m_system.relay2);
}

void SettingsModel::noteRead(Row row, int index, bool arrived)
{
    quint32 &bits = m_failed[bitIndex(row)];
    if (arrived)
        bits &= ~(1u << index);
    else
        bits |= 1u << index;
}

bool SettingsModel::readFailed(Row row, int index) const { return m_failed[bitIndex(row)] & (1u << index); }

bool SettingsModel::anyReadFailed(Row row, int first, int count) const
{
    for (int i = first; i < first + count; ++i)
        if (readFailed(row, i))
            return true;
    return false;
}

void SettingsModel::timeBoxChanged(int index, const QString &text)
{
    // An unfilled place stands for a blank, and a blank is written as 0.
    QString shown = maskedTime(text);
    shown.replace(kMaskBlank, QLatin1Char(' '));
    shown = maskedTime(SpacesToZeros(shown));
    m_maskEdits[index] = shown;
    m_times[index] = QString(shown).remove(kMaskSeparator, 1);
}

// --- writes ---

QString SettingsModel::EncodeSystemParameters()
{
    SystemParameters value = m_system;
    QString data;
    try {
        data = ::EncodeSystemParameters(value);
    } catch (...) {
        // The numbers clamped before the one that is not a number stay so.
        m_system.numbers = value.numbers;
        throw;
    }
    m_system.numbers = value.numbers;
    m_rly2off = m_system.relay2 == 0;
    return data;
}

void SettingsModel::writeSystemParameters(WriteResult &result)
{
    try {
        result.commands << UnitContract::ProgramBlockCommand(Blocks::kSystem, EncodeSystemParameters());
    } catch (const AppError &e) {
        result.messages << e.text();
        result.stopped = true;
    }
}

SettingsModel::WriteResult SettingsModel::write(Write which)
{
    WriteResult result;
    switch (which) {
    case Write::SystemParameters:
        writeSystemParameters(result);
        break;
    case Write::RelayCodes:
        if (anyReadFailed(Row::RelayCodes, 0, RelayCodeBlock::kCodes))
            result.messages << kError + QStringLiteral("in writing the Codes");
        else
            result.commands << UnitContract::ProgramBlockCommand(Blocks::kRelayCodes, EncodeRelayCodes(m_codes));
        break;
    case Write::SpeedDials: {
        const QLatin1String blocks[2] = {Blocks::kSpeedDial1, Blocks::kSpeedDial2};
        const QString failures[2] = {QStringLiteral("in writing speed Dial 1 & 2"),
                                     QStringLiteral("in writing speed Dial 3 & 4")};
        for (int block = 0; block < 2; ++block) {
            if (anyReadFailed(Row::SpeedDials, block * SpeedDialBlock::kPerBlock, SpeedDialBlock::kPerBlock))
                result.messages << kError + failures[block];
            else
                result.commands << UnitContract::ProgramBlockCommand(blocks[block],
                                                                     EncodeSpeedDialBlock(m_speedDials, block));
        }
        break;
    }
    case Write::Messages: {
        const QString failures[4] = {QStringLiteral("in writing fixed message 1 & 2"),
                                     QStringLiteral("in writing Scroll message 1"),
                                     QStringLiteral("in writing Scroll message 2"),
                                     QStringLiteral("in writing message 1 & 2")};
        for (int block = 0; block < 4; ++block) {
            QString failure = kError + failures[block];
            bool failed = false;
            for (int i = 0; i < MessageBlock::kMessages; ++i) {
                if (MessageBlock::kMessageFields[i].block != block)
                    continue;
                if (readFailed(Row::Messages, i)) {
                    failed = true;
                } else if (std::any_of(m_messages[i].cbegin(), m_messages[i].cend(), isMessageControlCharacter)) {
                    // A CR inside a message would end its program command
                    // early and run the rest as a command of its own.
                    failure += kCrLf + SettingsImage::controlCharacterNote(i);
                    failed = true;
                }
            }
            if (failed)
                result.messages << failure;
            else
                result.commands << UnitContract::ProgramBlockCommand(Blocks::kMessages[block],
                                                                     EncodeMessageBlock(m_messages, block));
        }
        break;
    }
    case Write::Diverts:
        if (anyReadFailed(Row::DivertNumbers, 0, DivertBlock::kNumbers))
            result.messages << kError + QStringLiteral("in writing the new numbers");
        else
            result.commands << UnitContract::ProgramBlockCommand(Blocks::kDivertNumbers,
                                                                 EncodeDivertNumbers(m_divertNumbers));
        if (anyReadFailed(Row::DivertTimes, 0, DivertBlock::kTimes))
            result.messages << kError + QStringLiteral("in writing the new Times");
        else
            result.commands << UnitContract::ProgramBlockCommand(Blocks::kDivertTimes, EncodeDivertTimes(m_times));
        writeSystemParameters(result);
        break;
    case Write::Pins:
        // After a missed read the other codes are not the unit's: writing
        // them would erase every PIN and emergency code but the one changed.
        if (anyReadFailed(Row::Pins, 0, PinBlock::kCodes))
            result.messages << kError + QStringLiteral("in writing the CODES");
        else
            result.commands << UnitContract::ProgramBlockCommand(Blocks::kPins, EncodeAccessCodes(m_access));
        break;
    }
    return result;
}

// --- the settings file ---

void SettingsModel::putText(TextField field, const QString &text)
{
    // Only the length and the characters are written: what lay beyond them
    // in the field stays, as the file has always carried it.
    const QByteArray bytes = text.left(field.capacity).toLatin1();
    m_image[field.offset] = char(bytes.size());
    m_image.replace(field.offset + 1, bytes.size(), bytes);
}

QString SettingsModel::imageText(TextField field) const
{
    const int length = std::min<int>(quint8(m_image.at(field.offset)), field.capacity);
    return QString::fromLatin1(m_image.constData() + field.offset + 1, length);
}

void SettingsModel::BuildSettingsImage()
{
    m_rly2off = m_system.relay2 == 0;
    for (int i = 0; i < RelayCodeBlock::kCodes; ++i)
        putText(kCodes[i], m_codes[i]);
    for (int i = 0; i < MessageBlock::kMessages; ++i)
        putText(kMessages[i], m_messages[i]);
    for (const NumberField &n : kNumbers)
        putText({n.offset, kNumberCapacity}, SettingsImage::numberText(m_system.numbers[n.field], n.field));
    putText(kRelay2, ::EncodeRelay2(m_system.relay2));
    for (const Flag &flag : kFlags) {
        const int byte = flag.ps2 ? m_system.ps2 : m_system.ps1;
        m_image[flag.offset] = (byte & flag.bit) ? 1 : 0;
    }
    for (int i = 0; i < SpeedDialBlock::kNumbers; ++i)
        putText(kSpeedDials[i], m_speedDials[i]);
}

void SettingsModel::ApplySettingsImage()
{
    for (int i = 0; i < RelayCodeBlock::kCodes; ++i)
        m_codes[i] = imageText(kCodes[i]);
    for (int i = 0; i < MessageBlock::kMessages; ++i)
        m_messages[i] = imageText(kMessages[i]);
    for (const NumberField &n : kNumbers)
        m_system.numbers[n.field] = imageText({n.offset, kNumberCapacity});
    // An empty or damaged value counts its missing nibbles as 0.
    applyRelay2Value(NibblePairToByte(imageText(kRelay2)) & kRelay2Mask);
    for (const Flag &flag : kFlags) {
        if (flag.bit == kPs2ScrollLine2 || flag.bit == kPs1PulsingMsgs)
            continue;
        int &byte = flag.ps2 ? m_system.ps2 : m_system.ps1;
        byte = m_image.at(flag.offset) != 0 ? (byte | flag.bit) : (byte & ~flag.bit);
    }
    // The pulsing messages are applied after "Sroll Line 2" and win.
    applyLine2(m_image.at(kPulsingMsgs.offset) != 0    ? Line2::PS1_pmsg
               : m_image.at(kScrollLine2.offset) != 0 ? Line2::PS2_srl2
                                                       : Line2::RadioButton1);
    for (int i = 0; i < SpeedDialBlock::kNumbers; ++i)
        m_speedDials[i] = imageText(kSpeedDials[i]);
    // What the file set is no longer what a failed read left.
    m_failed[bitIndex(Row::RelayCodes)] = 0;
    m_failed[bitIndex(Row::Messages)] = 0;
    m_failed[bitIndex(Row::SpeedDials)] = 0;
}

QByteArray SettingsModel::settingsFileBytes()
{
    BuildSettingsImage();
    return m_image;
}

bool SettingsModel::loadSettingsFile(const QByteArray &fileBytes, const QString &fileName, QString *message)
{
    const QByteArray read = fileBytes.left(kSize);
    const QByteArray before = m_image;
    // A short file still leaves what it held in the image.
    m_image.replace(0, read.size(), read);
    const QString refused = QStringLiteral("Could not Load from file\r\n") + fileName;
    if (read.size() < kSize) {
        if (message)
            *message = refused;
        return false;
    }
    for (int i = 0; i < MessageBlock::kMessages; ++i) {
        const QString text = imageText(kMessages[i]);
        if (std::any_of(text.cbegin(), text.cend(), isMessageControlCharacter)) {
            m_image = before;
            if (message)
                *message = refused + kCrLf + SettingsImage::controlCharacterNote(i);
            return false;
        }
    }
    ApplySettingsImage();
    return true;
}

// --- values ---

SettingsValues SettingsModel::values() const
{
    SettingsValues v;
    v.system = m_system;
    v.codes = m_codes;
    v.messages = m_messages;
    v.speedDials = m_speedDials;
    return v;
}

SettingsModel::Line2 SettingsModel::line2Choice() const
{
    if (m_system.ps2 & kPs2ScrollLine2)
        return Line2::PS2_srl2;
    if (m_system.ps1 & kPs1PulsingMsgs)
        return Line2::PS1_pmsg;
    return Line2::RadioButton1;
}

void SettingsModel::applyLine2(Line2 choice)
{
    m_system.ps1 &= ~kPs1PulsingMsgs;
    m_system.ps2 &= ~kPs2ScrollLine2;
    if (choice == Line2::PS1_pmsg)
        m_system.ps1 |= kPs1PulsingMsgs;
    else if (choice == Line2::PS2_srl2)
        m_system.ps2 |= kPs2ScrollLine2;
}

void SettingsModel::setNumber(Field field, const QString &text) { m_system.numbers[field] = text; }

void SettingsModel::setRelayCode(int index, const QString &text)
{
    m_codes[index] = text;
    noteRead(Row::RelayCodes, index, true);
}

void SettingsModel::setSpeedDial(int index, const QString &text)
{
    m_speedDials[index] = text;
    noteRead(Row::SpeedDials, index, true);
}

void SettingsModel::setMessage(int index, const QString &text)
{
    m_messages[index] = text;
    noteRead(Row::Messages, index, true);
}

void SettingsModel::setDivertNumber(int index, const QString &text)
{
    m_divertNumbers[index] = text;
    noteRead(Row::DivertNumbers, index, true);
}

void SettingsModel::setDivertTime(int index, const QString &text)
{
    timeBoxChanged(index, text);
    noteRead(Row::DivertTimes, index, true);
}

void SettingsModel::setAccessCode(int index, const QString &text)
{
    m_access[index] = text;
    noteRead(Row::Pins, index, true);
}

void SettingsModel::setPs1Bit(int bit, bool on)
{
    bit &= kPs1Mask & ~(kPs1PulsingMsgs | kPs1KeylessMsg);
    m_system.ps1 = on ? (m_system.ps1 | bit) : (m_system.ps1 & ~bit);
}

void SettingsModel::setPs2Bit(int bit, bool on)
{
    bit &= kPs2Mask & ~(kPs2ScrollLine2 | kPs2GlobalCodes);
    m_system.ps2 = on ? (m_system.ps2 | bit) : (m_system.ps2 & ~bit);
}

// --- the rules between options ---

void SettingsModel::chooseLine2(Line2 choice)
{
    // A disabled "Enable pulsing msgs" cannot be chosen.
    if (choice == Line2::PS1_pmsg && !pulsingMsgsEnabled())
        return;
    applyLine2(choice);
}

void SettingsModel::keylessChanged(bool ticked)
{
    if (ticked && line2Choice() == Line2::PS1_pmsg)
        applyLine2(Line2::RadioButton1);
}

void SettingsModel::setKeylessMessage(bool ticked)
{
    if (ticked == bool(m_system.ps1 & kPs1KeylessMsg))
        return;
    m_system.ps1 = ticked ? (m_system.ps1 | kPs1KeylessMsg) : (m_system.ps1 & ~kPs1KeylessMsg);
    keylessChanged(ticked);
}

void SettingsModel::setGlobalCodes(bool ticked)
{
    m_system.ps2 = ticked ? (m_system.ps2 | kPs2GlobalCodes) : (m_system.ps2 & ~kPs2GlobalCodes);
}

void SettingsModel::clickRelay2(Relay2Box box)
{
    switch (box) {
    case Relay2Box::rly2off:
        // A click never clears "Normal": it clears the others.
        m_system.relay2 = 0;
        m_rly2timEnabled = false;
        m_rly2off = true;
        return;
    case Relay2Box::rly2key:
        m_system.relay2 ^= kRelay2Key;
        break;
    case Relay2Box::rly2line:
        m_system.relay2 ^= kRelay2Line;
        break;
    case Relay2Box::rly2ring:
        m_system.relay2 ^= kRelay2Ring;
        break;
    }
    m_rly2off = false;
    m_rly2timEnabled = true;
}

void SettingsModel::setRelay2NoTimer(bool ticked)
{
    // Only a box the user can reach changes by the user's hand.
    if (!m_rly2timEnabled)
        return;
    m_system.relay2 = ticked ? (m_system.relay2 | kRelay2NoTimer) : (m_system.relay2 & ~kRelay2NoTimer);
}

bool SettingsModel::messagesWriteEnabled(bool unitButtonsEnabled, int) { return unitButtonsEnabled; }
