#include "unitmemory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QLatin1String kFormat("ostiarin-sim-state");
constexpr int kVersion = 1;

// Bytes travel through JSON as the characters U+0000-U+00FF, one each.
QString bytesToJson(const QByteArray &bytes) { return QString::fromLatin1(bytes); }

std::optional<QByteArray> bytesFromJson(const QJsonValue &value, const QString &where, QString *error)
{
    if (!value.isString()) {
        *error = QStringLiteral("%1: a text was expected").arg(where);
        return std::nullopt;
    }
    const QString text = value.toString();
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            *error = QStringLiteral("%1: the character U+%2 is not a byte")
                         .arg(where)
                         .arg(c.unicode(), 4, 16, QLatin1Char('0'));
            return std::nullopt;
        }
    }
    return text.toLatin1();
}

QString blockKey(int block) { return QStringLiteral("%1").arg(block, 4, 10, QLatin1Char('0')); }

std::optional<int> decimalKey(const QString &key)
{
    bool ok = false;
    const int value = key.toInt(&ok, 10);
    if (!ok || key.size() != 4)
        return std::nullopt;
    return value;
}

const char *kindName(SimEvent::Kind kind)
{
    switch (kind) {
    case SimEvent::Kind::Room: return "room";
    case SimEvent::Kind::InCall: return "incall";
    case SimEvent::Kind::Button: return "button";
    case SimEvent::Kind::Error: return "error";
    }
    return "room";
}

std::optional<SimEvent::Kind> kindFromName(const QString &name)
{
    if (name == QLatin1String("room")) return SimEvent::Kind::Room;
    if (name == QLatin1String("incall")) return SimEvent::Kind::InCall;
    if (name == QLatin1String("button")) return SimEvent::Kind::Button;
    if (name == QLatin1String("error")) return SimEvent::Kind::Error;
    return std::nullopt;
}

const char *sourceName(char source)
{
    switch (source) {
    case '0': return "local";
    case '1': return "remote";
    case '2': return "rfid";
    default: return nullptr;
    }
}

std::optional<char> sourceFromName(const QString &name)
{
    if (name == QLatin1String("local") || name == QLatin1String("0")) return '0';
    if (name == QLatin1String("remote") || name == QLatin1String("1")) return '1';
    if (name == QLatin1String("rfid") || name == QLatin1String("2")) return '2';
    if (name.size() == 1 && name.at(0).unicode() < 0x80) return char(name.at(0).unicode());
    return std::nullopt;
}

QJsonObject eventToJson(const SimEvent &event)
{
    QJsonObject o;
    if (!event.rawLine.isEmpty()) {
        o[QLatin1String("line")] = bytesToJson(event.rawLine);
        return o;
    }
    o[QLatin1String("kind")] = QLatin1String(kindName(event.kind));
    if (event.kind == SimEvent::Kind::Room)
        o[QLatin1String("room")] = bytesToJson(event.room);
    if (event.kind == SimEvent::Kind::Button)
        o[QLatin1String("button")] = QString(QLatin1Char(event.button));
    o[QLatin1String("time")] = event.time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    o[QLatin1String("relay")] = QString(QLatin1Char(event.relay));
    if (const char *name = sourceName(event.source))
        o[QLatin1String("source")] = QLatin1String(name);
    else
        o[QLatin1String("source")] = QString(QLatin1Char(event.source));
    if (!event.client.isEmpty())
        o[QLatin1String("client")] = bytesToJson(event.client);
    return o;
}

std::optional<char> oneByte(const QJsonObject &o, const char *field, char fallback, const QString &where,
                            QString *error)
{
    const QJsonValue v = o.value(QLatin1String(field));
    if (v.isUndefined())
        return fallback;
    const auto bytes = bytesFromJson(v, where + QLatin1Char('.') + QLatin1String(field), error);
    if (!bytes)
        return std::nullopt;
    if (bytes->size() != 1) {
        *error = QStringLiteral("%1.%2: one character was expected").arg(where, QLatin1String(field));
        return std::nullopt;
    }
    return bytes->at(0);
}

std::optional<SimEvent> eventFromJson(const QJsonValue &value, const QString &where, QString *error)
{
    if (!value.isObject()) {
        *error = QStringLiteral("%1: an object was expected").arg(where);
        return std::nullopt;
    }
    const QJsonObject o = value.toObject();
    SimEvent event;
    if (o.contains(QLatin1String("line"))) {
        const auto line = bytesFromJson(o.value(QLatin1String("line")), where + QLatin1String(".line"), error);
        if (!line)
            return std::nullopt;
        event.rawLine = *line;
        return event;
    }
    const auto kind = kindFromName(o.value(QLatin1String("kind")).toString(QStringLiteral("room")));
    if (!kind) {
        *error = QStringLiteral("%1.kind: one of room, incall, button, error was expected").arg(where);
        return std::nullopt;
    }
    event.kind = *kind;
    if (event.kind == SimEvent::Kind::Room) {
        const auto room = bytesFromJson(o.value(QLatin1String("room")), where + QLatin1String(".room"), error);
        if (!room)
            return std::nullopt;
        event.room = *room;
    }
    const auto button = oneByte(o, "button", '1', where, error);
    const auto relay = oneByte(o, "relay", '1', where, error);
    if (!button || !relay)
        return std::nullopt;
    event.button = *button;
    event.relay = *relay;
    const auto source = sourceFromName(o.value(QLatin1String("source")).toString(QStringLiteral("local")));
    if (!source) {
        *error = QStringLiteral("%1.source: local, remote or rfid was expected").arg(where);
        return std::nullopt;
    }
    event.source = *source;
    const QDateTime time = QDateTime::fromString(o.value(QLatin1String("time")).toString(), Qt::ISODate);
    // The unit's clock knows no time zone or summer time: a plain date and time.
    event.time = QDateTime(time.date(), time.time(), Qt::UTC);
    if (!time.isValid()) {
        *error = QStringLiteral("%1.time: a date and time such as 2009-04-01T23:30:12 was expected").arg(where);
        return std::nullopt;
    }
    if (o.contains(QLatin1String("client"))) {
        const auto client = bytesFromJson(o.value(QLatin1String("client")), where + QLatin1String(".client"), error);
        if (!client)
            return std::nullopt;
        event.client = *client;
    }
    return event;
}

} // namespace

UnitMemory::UnitMemory()
{
    for (int b = 0; b < kSettingsBlocks; ++b)
        m_blocks.insert(b, QByteArray(kBlockLength, kErased));
    eraseTags();
}

QByteArray UnitMemory::block(int block) const { return m_blocks.value(block); }

bool UnitMemory::programBlock(int block, const QByteArray &data)
{
    if (!isSettingsBlock(block) && !isTagBlock(block))
        return false;
    if (data.size() > kBlockLength)
        return false;
    QByteArray &stored = m_blocks[block];
    stored.replace(0, data.size(), data);
    return true;
}

void UnitMemory::eraseTags()
{
    for (int b = kTagFirstBlock; b <= kTagLastBlock; ++b)
        m_blocks.insert(b, QByteArray(kBlockLength, kTagFill));
}

QByteArray UnitMemory::toJson() const
{
    QJsonObject root;
    root[QLatin1String("format")] = kFormat;
    root[QLatin1String("version")] = kVersion;
    root[QLatin1String("clockOffsetSeconds")] = double(clockOffsetSeconds);

    QJsonObject blocks;
    for (int b = 0; b < kSettingsBlocks; ++b)
        blocks[blockKey(b)] = bytesToJson(block(b));
    root[QLatin1String("blocks")] = blocks;

    QJsonObject slotTexts;
    for (auto it = directory.cbegin(); it != directory.cend(); ++it)
        slotTexts[QStringLiteral("%1").arg(it.key(), 4, 16, QLatin1Char('0')).toUpper()] = bytesToJson(it.value());
    root[QLatin1String("directory")] = slotTexts;

    // Only tag blocks that hold something: an empty area is an empty object.
    QJsonObject tags;
    const QByteArray emptyTagBlock(kBlockLength, kTagFill);
    for (int b = kTagFirstBlock; b <= kTagLastBlock; ++b)
        if (block(b) != emptyTagBlock)
            tags[blockKey(b)] = bytesToJson(block(b));
    root[QLatin1String("tags")] = tags;

    QJsonArray list;
    for (const SimEvent &event : events)
        list.append(eventToJson(event));
    root[QLatin1String("events")] = list;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool UnitMemory::readBlocks(const QJsonObject &blocks, const QString &section, const QString &range,
                            bool (*isBlock)(int), char fill, QString *error)
{
    for (auto it = blocks.constBegin(); it != blocks.constEnd(); ++it) {
        const QString where = section + QLatin1Char('.') + it.key();
        const auto number = decimalKey(it.key());
        if (!number || !isBlock(*number)) {
            *error = QStringLiteral("%1: %2").arg(where, range);
            return false;
        }
        const auto data = bytesFromJson(it.value(), where, error);
        if (!data)
            return false;
        if (data->size() > kBlockLength) {
            *error = QStringLiteral("%1: a block holds at most 64 characters").arg(where);
            return false;
        }
        m_blocks[*number] = *data + QByteArray(kBlockLength - data->size(), fill);
    }
    return true;
}

std::optional<UnitMemory> UnitMemory::fromJson(const QByteArray &json, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull()) {
        *error = QStringLiteral("not JSON (%1 at offset %2)").arg(parseError.errorString()).arg(parseError.offset);
        return std::nullopt;
    }
    if (!doc.isObject()) {
        *error = QStringLiteral("the state must be a JSON object");
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    if (root.contains(QLatin1String("format")) && root.value(QLatin1String("format")).toString() != kFormat) {
        *error = QStringLiteral("format: \"%1\" was expected").arg(kFormat);
        return std::nullopt;
    }

    UnitMemory memory;
    memory.clockOffsetSeconds = qint64(root.value(QLatin1String("clockOffsetSeconds")).toDouble(0));

    // A block written shorter by hand is erased after its text; a tag block
    // is filled with "?" as the unit's own empty slots are.
    if (!memory.readBlocks(root.value(QLatin1String("blocks")).toObject(), QStringLiteral("blocks"),
                           QStringLiteral("blocks are 0000 to 0015"), &isSettingsBlock, kErased, error))
        return std::nullopt;

    const QJsonObject slotTexts = root.value(QLatin1String("directory")).toObject();
    for (auto it = slotTexts.constBegin(); it != slotTexts.constEnd(); ++it) {
        const QString where = QStringLiteral("directory.%1").arg(it.key());
        bool ok = false;
        const int address = it.key().toInt(&ok, 16);
        if (!ok || it.key().size() != 4 || address < kDirectoryFirstAddress || address % kDirectorySlotSize != 0) {
            *error = QStringLiteral("%1: a slot address such as 1000 or 1020 was expected").arg(where);
            return std::nullopt;
        }
        const auto text = bytesFromJson(it.value(), where, error);
        if (!text)
            return std::nullopt;
        if (!text->isEmpty())
            memory.directory.insert(address, *text);
    }

    if (!memory.readBlocks(root.value(QLatin1String("tags")).toObject(), QStringLiteral("tags"),
                           QStringLiteral("tag blocks are 1408 to 1535"), &isTagBlock, kTagFill, error))
        return std::nullopt;

    const QJsonArray list = root.value(QLatin1String("events")).toArray();
    for (int i = 0; i < list.size(); ++i) {
        const auto event = eventFromJson(list.at(i), QStringLiteral("events[%1]").arg(i), error);
        if (!event)
            return std::nullopt;
        memory.events.append(*event);
    }
    return memory;
}
