#include "simunit.h"

#include "unitformats.h"

#include <QList>

namespace {

const QByteArray kOk = QByteArrayLiteral("OK");
const QByteArray kError = QByteArrayLiteral("Error");

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Four decimal digits at `pos`, or nothing.
std::optional<int> fourDigits(const QByteArray &text, qsizetype pos)
{
    if (pos < 0 || pos + 4 > text.size())
        return std::nullopt;
    int value = 0;
    for (qsizetype i = pos; i < pos + 4; ++i) {
        if (!isDigit(text.at(i)))
            return std::nullopt;
        value = value * 10 + (text.at(i) - '0');
    }
    return value;
}

// The range of a dump command: letter, first and last block, four digits each.
std::optional<std::pair<int, int>> blockRange(const QByteArray &command)
{
    const auto first = fourDigits(command, 1);
    const auto last = fourDigits(command, 5);
    if (!first || !last || command.size() != 9 || *first > *last)
        return std::nullopt;
    return std::pair{*first, *last};
}

QByteArray blockText(int block) { return QByteArray::number(block).rightJustified(4, '0'); }

bool digitsAtMost(const QByteArray &text, int width)
{
    if (text.size() > width)
        return false;
    for (const char c : text)
        if (!isDigit(c))
            return false;
    return true;
}

// A record text the unit can keep in a slot: room (6 digits), two codes
// (4 each), spare (2), phone (16 dial digits), name (16 characters).
bool isRecordText(const QByteArray &text)
{
    QList<QByteArray> fields;
    qsizetype start = 0;
    for (int i = 0; i < 5; ++i) {
        const qsizetype comma = text.indexOf(',', start);
        if (comma < 0)
            return false;
        fields.append(text.mid(start, comma - start));
        start = comma + 1;
    }
    const QByteArray name = text.mid(start);
    if (!digitsAtMost(fields[0], 6) || !digitsAtMost(fields[1], 4) || !digitsAtMost(fields[2], 4)
        || !digitsAtMost(fields[3], 2))
        return false;
    if (fields[4].size() > 16)
        return false;
    for (const char c : fields[4])
        if (!isDigit(c) && c != ':' && c != ';' && c != '<')
            return false;
    return name.size() <= 16;
}

QDateTime plain(const QDateTime &local) { return QDateTime(local.date(), local.time(), Qt::UTC); }

} // namespace

SimUnit::SimUnit(UnitOptions options, UnitMemory memory)
    : m_options(std::move(options)), m_memory(std::move(memory)), m_now([] { return QDateTime::currentDateTime(); })
{
}

int SimUnit::directoryEndAddress(int model)
{
    switch (model) {
    case 100: return 0x1D00;
    case 200: return 0x2A00;
    case 1000: return 0x9000;
    default: return 0x5100;
    }
}

int SimUnit::directoryEndAddress() const { return directoryEndAddress(m_options.model); }

QByteArray SimUnit::modelLine() const
{
    if (!m_options.modelText.isEmpty())
        return m_options.modelText;
    return "Ostiarin_" + QByteArray::number(m_options.model) + "_Gn4";
}

qint64 SimUnit::nowMs() const { return m_now().toMSecsSinceEpoch(); }

bool SimUnit::loggedOn(const QString &link) const
{
    const auto it = m_sessions.constFind(link);
    return it != m_sessions.constEnd() && nowMs() - it.value() <= m_options.sessionTimeoutMs;
}

bool SimUnit::loggedOn() const
{
    for (auto it = m_sessions.cbegin(); it != m_sessions.cend(); ++it)
        if (loggedOn(it.key()))
            return true;
    return false;
}

void SimUnit::logOff(const QString &link) { m_sessions.remove(link); }

QDateTime SimUnit::clock() const { return plain(m_now()).addSecs(m_memory.clockOffsetSeconds); }

QByteArray SimUnit::lines(const QList<QByteArray> &list, bool dump) const
{
    qsizetype count = list.size();
    if (dump && m_options.stallAfter >= 0)
        count = qMin<qsizetype>(count, m_options.stallAfter);
    QByteArray text;
    for (qsizetype i = 0; i < count; ++i)
        text += list.at(i) + kLineEnd;
    return text;
}

QByteArray SimUnit::identification() const
{
    return lines({"RVX Door Entry", "GN4 Controller", "Firmware 4.12", modelLine(), "Enter PIN"}, false);
}

void SimUnit::refuse(const QString &why) const
{
    if (m_refused)
        m_refused(m_link, why);
}

std::optional<QByteArray> SimUnit::handle(const QString &link, const QByteArray &command)
{
    m_link = link;
    // A dropped letter goes unanswered whatever it is, the PIN command too.
    if (!command.isEmpty() && m_options.dropCommands.contains(command.at(0))) {
        refuse(QStringLiteral("'%1' dropped (--drop)").arg(QLatin1Char(command.at(0))));
        return std::nullopt;
    }
    const bool on = loggedOn(link);
    if (!on)
        m_sessions.remove(link);

    if (command.isEmpty()) {
        if (!on)
            return identification();
        m_sessions[link] = nowMs();
        if (m_options.ignoreKeepAlive)
            return std::nullopt;
        return lines({kOk}, false);
    }

    const char op = command.at(0);
    if (op == 'a') {
        if (command.mid(1) != m_options.pin)
            return lines({"PIN Error"}, false);
        m_sessions[link] = nowMs();
        return lines({"Programme Mode", kOk}, false);
    }
    // Outside programming mode the unit keeps quiet.
    if (!on)
        return std::nullopt;
    m_sessions[link] = nowMs();

    switch (op) {
    case 'x':
        logOff(link);
        return std::nullopt;
    case 'r': return readBlock(command);
    case 'p': return programBlock(command);
    case 'd': return dumpBlocks(command);
    case 'b': return writeDirectorySlot(command);
    case 'f':
        if (command == "f5a") {
            m_memory.eraseDirectory();
            return lines({command, kOk}, false);
        }
        break;
    case 't': return clockCommand(command);
    case 'e':
        if (command == "e")
            return dumpEvents();
        break;
    case 's': return dumpTags(command);
    case 'c':
        if (command == "c1418") {
            m_memory.eraseTags();
            return lines({command, kOk}, false);
        }
        break;
    case 'g': return writeTagBlock(command);
    default:
        break;
    }
    return lines({command.left(5), kError}, false);
}

QByteArray SimUnit::readBlock(const QByteArray &command) const
{
    const auto block = fourDigits(command, 1);
    if (!block || command.size() != 5 || m_memory.block(*block).isEmpty())
        return lines({command.left(5), kError}, false);
    QByteArray data = m_memory.block(*block);
    if (m_options.corruptReadback)
        data[0] = data.at(0) == '0' ? '1' : '0';
    return lines({command + data, kOk}, false);
}

QByteArray SimUnit::programBlock(const QByteArray &command)
{
    const auto block = fourDigits(command, 1);
    if (command.size() - 5 > UnitMemory::kBlockLength) {
        refuse(QStringLiteral("p with %1 characters of data, more than a block's %2")
                   .arg(command.size() - 5).arg(UnitMemory::kBlockLength));
        return lines({command.left(5), kError}, false);
    }
    if (!block || !m_memory.programBlock(*block, command.mid(5)))
        return lines({command.left(5), kError}, false);
    return lines({command.left(5), kOk}, false);
}

bool SimUnit::isDirectoryBlock(int block) const
{
    const int address = block * UnitMemory::kDirectorySlotSize;
    return address >= UnitMemory::kDirectoryFirstAddress && address <= directoryEndAddress();
}

QByteArray SimUnit::directoryLine(int address) const
{
    const QByteArray addr = QByteArray::number(address, 16).rightJustified(4, '0').toUpper();
    const auto it = m_memory.directory.constFind(address);
    // An empty slot is sent with every field empty.
    return addr + ',' + (it == m_memory.directory.constEnd() ? QByteArray(",,,,,") : it.value());
}

QByteArray SimUnit::dumpBlocks(const QByteArray &command) const
{
    const auto range = blockRange(command);
    if (!range)
        return lines({command.left(9), kError}, false);
    QList<QByteArray> reply{command};
    for (int block = range->first; block <= range->second; ++block) {
        if (isDirectoryBlock(block))
            reply.append(directoryLine(block * UnitMemory::kDirectorySlotSize));
        else if (UnitMemory::isSettingsBlock(block))
            reply.append('B' + blockText(block) + m_memory.block(block));
        else if (UnitMemory::isTagBlock(block))
            reply.append('S' + blockText(block) + m_memory.block(block));
    }
    reply.append(kOk);
    return lines(reply, true);
}

QByteArray SimUnit::writeDirectorySlot(const QByteArray &command)
{
    // "b" + block + "," + record text + two nibble characters of CRC-8.
    const QByteArray head = command.left(5);
    const auto block = fourDigits(command, 1);
    if (!block || command.size() < 8 || command.at(5) != ',')
        return lines({head, kError}, false);
    const QByteArray body = command.left(command.size() - 2);
    if (command.right(2) != UnitFormats::NibblePair(UnitFormats::Crc8Maxim(body)))
        return lines({head, "CRC Error"}, false);
    const QByteArray text = body.mid(6);
    if (!isDirectoryBlock(*block) || (!text.isEmpty() && !isRecordText(text)))
        return lines({head, kError}, false);
    const int address = *block * UnitMemory::kDirectorySlotSize;
    if (text.isEmpty())
        m_memory.directory.remove(address);
    else
        m_memory.directory.insert(address, text);
    return lines({head, kOk}, false);
}

QByteArray SimUnit::clockCommand(const QByteArray &command)
{
    if (command == "t")
        return lines({command, UnitFormats::ClockHex(clock()), kOk}, false);
    const QDateTime set = UnitFormats::ClockFromDigits(command.mid(1), clock());
    if (!set.isValid())
        return lines({"t", kError}, false);
    m_memory.clockOffsetSeconds = plain(m_now()).secsTo(set);
    return lines({"t", kOk}, false);
}

QByteArray SimUnit::dumpEvents() const
{
    QList<QByteArray> reply{"e" + QByteArray::number(m_memory.events.size()).rightJustified(4, '0')};
    int number = 0;
    for (const SimEvent &event : m_memory.events)
        reply.append(UnitFormats::EventLine(event, ++number));
    reply.append(kOk);
    return lines(reply, true);
}

QByteArray SimUnit::dumpTags(const QByteArray &command) const
{
    const auto range = blockRange(command);
    if (!range || !UnitMemory::isTagBlock(range->first) || !UnitMemory::isTagBlock(range->second))
        return lines({command.left(9), kError}, false);
    const auto [first, last] = *range;
    QList<QByteArray> reply{command, "RF-ID table " + blockText(first) + '-' + blockText(last)};
    for (int block = first; block <= last; ++block)
        reply.append('S' + blockText(block) + m_memory.block(block));
    reply.append("End of table");
    reply.append(kOk);
    return lines(reply, true);
}

QByteArray SimUnit::writeTagBlock(const QByteArray &command)
{
    const QByteArray head = command.left(5);
    const auto block = fourDigits(command, 1);
    const QByteArray data = command.mid(5);
    if (data.size() != UnitMemory::kBlockLength) {
        // A tag block is written whole: four slots of 16 characters.
        refuse(QStringLiteral("g with %1 characters of data, not %2").arg(data.size()).arg(UnitMemory::kBlockLength));
        return lines({head, kError}, false);
    }
    if (m_options.refuseG || !block || !UnitMemory::isTagBlock(*block))
        return lines({head, kError}, false);
    m_memory.programBlock(*block, data);
    return lines({head, kOk}, false);
}

QByteArray SimUnit::presentTag(const QByteArray &code, bool wrongCheck)
{
    if (!wrongCheck) {
        const QByteArray areaCode = UnitFormats::TagAreaCode(code);
        for (int block = UnitMemory::kTagFirstBlock; block <= UnitMemory::kTagLastBlock; ++block) {
            const QByteArray data = m_memory.block(block);
            for (int slot = 0; slot < 4; ++slot) {
                const QByteArray slotText = data.mid(slot * 16, 16);
                const QByteArray slotCode = slotText.mid(6, 10);
                const bool empty = slotCode.startsWith(UnitMemory::kTagFill)
                                   || slotText.startsWith(UnitMemory::kTagFill)
                                   || slotText.startsWith(UnitMemory::kErased);
                if (empty || (slotCode != areaCode && slotCode != code))
                    continue;
                SimEvent opened;
                for (const char c : slotText.left(6)) {
                    if (c == UnitMemory::kTagFill || c == UnitMemory::kErased)
                        break;
                    opened.room += c;
                }
                opened.source = '2';
                appendEvent(opened);
                return UnitFormats::TagLine(code, false) + kLineEnd;
            }
        }
    }
    return UnitFormats::TagLine(code, wrongCheck) + kLineEnd;
}

void SimUnit::appendEvent(SimEvent event)
{
    if (!event.time.isValid())
        event.time = clock();
    if (event.kind == SimEvent::Kind::Room && event.client.isEmpty()) {
        // The unit names the resident of the room, as its directory has it.
        for (const QByteArray &text : std::as_const(m_memory.directory)) {
            if (text.left(text.indexOf(',')) != event.room)
                continue;
            // The name is the sixth field, and the rest of the text.
            event.client = text.split(',').mid(5).join(',').left(16);
            break;
        }
    }
    m_memory.events.append(event);
}
