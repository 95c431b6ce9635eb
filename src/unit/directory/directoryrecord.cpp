#include "directory/directoryrecord.h"

#include "common/convert.h"
#include "common/errors.h"
#include "common/messages.h"
#include "link/commandchannel.h"
#include "link/delay.h"
#include "link/encodings.h"
#include "link/receivelog.h"

namespace {
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
// After a write that went unanswered: steps of 86.4 ms waited at most for
// the line to fall quiet (at least two).
constexpr int QuietSteps = 12;
} // namespace

QStringList DirectoryRecord::values() const { return {name, room, phone, code1, code2, spare, rfid, addr}; }

DirectoryRecord DirectoryRecord::fromValues(const QStringList &values)
{
    DirectoryRecord r;
    QString *fields[] = {&r.name, &r.room, &r.phone, &r.code1, &r.code2, &r.spare, &r.rfid, &r.addr};
    for (qsizetype i = 0; i < 8 && i < values.size(); ++i)
        *fields[i] = values.at(i);
    return r;
}

QString LeadingDigits(const QString &text, int n)
{
    qsizetype count = 0;
    while (count < n && count < text.size() && isDigit(text.at(count)))
        ++count;
    return text.left(count);
}

QString TrimBlanks(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

bool IsRoomNumberText(const QString &text)
{
    // Only what the unit will hold: a sign, a "$" or "0x" prefix or a blank
    // inside would reach it as an empty or a shorter room.
    const QString digits = TrimBlanks(text);
    return !digits.isEmpty() && LeadingDigits(digits, int(digits.size())).size() == digits.size();
}

bool IsCodeText(const QString &text)
{
    const QString digits = TrimBlanks(text);
    return LeadingDigits(digits, int(digits.size())).size() == digits.size();
}

QString NumericDigitsMessage() { return QStringLiteral("Must use Numeric digits in\r\nRoomNumber & Codes fields"); }

QString ValidateRoomNumber(const QString &text)
{
    if (IsRoomNumberText(text))
        return TrimBlanks(text);
    MessageService::inform(NumericDigitsMessage());
    return QStringLiteral("0");
}

int FirstControlField(const QStringList &values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        for (const QChar c : values.at(i))
            if (isControlCharacter(c))
                return int(i);
    }
    return -1;
}

QString ShownWithoutControls(const QString &text)
{
    QString shown = text;
    for (QChar &c : shown)
        if (isControlCharacter(c))
            c = QLatin1Char('?');
    return shown;
}

QString ControlCharacterMessage(const QString &record, const QString &field)
{
    return QStringLiteral("The %1 of %2 holds a control character.\r\n"
                          "The Ostiarin cannot take it: the record was not sent.")
        .arg(field, record);
}

quint8 Crc8Maxim(const QString &text)
{
    quint8 crc = 0;
    for (const QChar c : text) {
        quint8 byte = quint8(c.unicode() & 0xFF);
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = (crc ^ byte) & 0x01;
            crc >>= 1;
            if (mix)
                crc ^= 0x8C;
            byte >>= 1;
        }
    }
    return crc;
}

QString DirectoryCrc(const QString &text) { return ByteToNibblePair(Crc8Maxim(text)); }

QString DirectoryRecordText(const QString &room, const QString &code1, const QString &code2,
                            const QString &spare, const QString &phone, const QString &name)
{
    using namespace DirectoryLayout;
    const QChar comma = QLatin1Char(',');
    return LeadingDigits(room, RoomWidth) + comma + LeadingDigits(code1, CodeWidth) + comma
           + LeadingDigits(code2, CodeWidth) + comma + LeadingDigits(spare, SpareWidth) + comma
           + EncodeDigits(phone, PhoneWidth) + comma + name;
}

std::optional<int> AddressValue(const QString &address)
{
    if (address.isEmpty() || address.size() > 8)
        return std::nullopt;
    int value = 0;
    for (const QChar c : address) {
        const int digit = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (digit < 0 || c.unicode() > 0x7F)
            return std::nullopt;
        value = value * 16 + digit;
    }
    if (value < 0)
        return std::nullopt;
    return value;
}

int AddressToBlock(const QString &address)
{
    const auto value = AddressValue(address);
    if (!value)
        throw ConversionError(address);
    return *value / DirectoryLayout::SlotSize;
}

QString BlockText(int block) { return QString::number(block % 10000).rightJustified(4, QLatin1Char('0')); }

QString AddressText(int address)
{
    return QString::number(address, 16).toUpper().rightJustified(DirectoryLayout::AddressLength, QLatin1Char('0'));
}

QString DirectoryWriteCommand(const QString &address, const QString &recordText)
{
    const QString text = QLatin1Char('b') + BlockText(AddressToBlock(address)) + QLatin1Char(',') + recordText;
    return text + DirectoryCrc(text);
}

QString ReadCommaField(const QString &line, qsizetype &pos, int width)
{
    QString value;
    if (width <= 0)
        return value;
    while (pos < line.size()) {
        const QChar c = line.at(pos++);
        if (c == QLatin1Char(','))
            return value;
        value += c;
        if (value.size() == width) {
            if (pos < line.size())
                ++pos; // the separator after a full field
            return value;
        }
    }
    return value;
}

std::optional<DirectoryRecord> ParseDirectoryLine(const QString &line)
{
    using namespace DirectoryLayout;
    DirectoryRecord record;
    record.addr = line.left(AddressLength);
    qsizetype pos = TextStart;
    record.room = ReadCommaField(line, pos, RoomWidth);
    record.code1 = ReadCommaField(line, pos, CodeWidth);
    record.code2 = ReadCommaField(line, pos, CodeWidth);
    record.spare = ReadCommaField(line, pos, SpareWidth);
    const QString phone = ReadCommaField(line, pos, PhoneWidth);
    // The name is the last field: it runs to the end of the line, commas and
    // all, so a name the unit keeps as "SMITH, J" comes back whole.
    if (pos < line.size())
        record.name = line.mid(pos, NameWidth);
    if (record.room.isEmpty() || record.name.isEmpty())
        return std::nullopt;
    record.phone = DecodeDigits(phone);
    return record;
}

bool WriteDirectoryRecord(CommandChannel &channel, const QString &address, const QString &recordText)
{
    channel.KeepAliveTicks = 0;
    const QString command = DirectoryWriteCommand(address, recordText); // before anything is touched
    channel.RxLog().clear();
    channel.SendCommand(command + QLatin1Char('\r'));
    channel.RxBuffer.clear();
    // Only this command's reply line counts: an "OK" elsewhere in the log
    // may be the late answer to the command before.
    if (channel.WaitReply(channel.RemoteMode ? 12 : 6))
        return true;
    // The unit may still be answering: once the line is quiet, what it said
    // is thrown away, so that it cannot stand for the next command's reply.
    WaitForQuietLine(channel);
    return false;
}

void WaitForQuietLine(CommandChannel &channel)
{
    channel.DataReceived = false;
    for (int step = 0; step < QuietSteps; ++step) {
        Delay(100);
        if (step > 0 && !channel.DataReceived)
            break;
        channel.DataReceived = false;
    }
    channel.RxBuffer.clear();
    channel.RxLog().clear();
    channel.ReplyReady = false;
}
