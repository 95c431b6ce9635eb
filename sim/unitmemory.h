#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

class QJsonObject;

// One entry of the unit's event log.  The unit keeps what happened and when;
// the line it sends for an event is built from this when the log is dumped.
struct SimEvent {
    enum class Kind { Room, InCall, Button, Error };
    Kind kind = Kind::Room;
    QByteArray room;        // decimal digits, for a room event
    char button = '1';      // for a button event
    QDateTime time;         // on the unit's clock
    char relay = '1';
    char source = '0';      // '0' local, '1' remote, '2' RF-ID
    QByteArray client;      // the resident's name, for a room event
    // When not empty, the line is sent exactly as given (hand-written state
    // files use this to try odd or broken lines).
    QByteArray rawLine;

    friend bool operator==(const SimEvent &, const SimEvent &) = default;
};

// The whole memory of a simulated unit: the settings blocks, the phone
// directory slots, the RFID tag area, the event log and the clock offset.
// Bytes are bytes: every value 0x00-0xFF is kept as it came.
class UnitMemory {
public:
    static constexpr int kBlockLength = 64;
    static constexpr int kSettingsBlocks = 16;     // 0000-0015
    static constexpr int kTagFirstBlock = 1408;
    static constexpr int kTagLastBlock = 1535;
    static constexpr int kDirectoryFirstAddress = 0x1000;
    static constexpr int kDirectorySlotSize = 0x20;
    static constexpr char kErased = char(0xFF);
    static constexpr char kTagFill = '?';

    // A new unit: settings erased (0xFF), empty directory, empty tag area
    // (every tag block reads as 64 "?"), no events, clock offset 0.
    UnitMemory();

    static bool isSettingsBlock(int block) { return block >= 0 && block < kSettingsBlocks; }
    static bool isTagBlock(int block) { return block >= kTagFirstBlock && block <= kTagLastBlock; }

    // A settings or tag block, 64 bytes; empty for any other block number.
    QByteArray block(int block) const;
    // Stores data at the start of a settings or tag block (the rest of the
    // block keeps what it held).  False when the block is not one of those
    // or the data is longer than a block.
    bool programBlock(int block, const QByteArray &data);
    void eraseTags();

    // Directory slots by record address (0x1000, 0x1020, ...): the record
    // text as the unit received it ("room,code1,code2,spare,phone,name").
    // A slot that is not in the map is empty.
    QMap<int, QByteArray> directory;
    void eraseDirectory() { directory.clear(); }

    QList<SimEvent> events;
    // The unit's clock runs this many seconds ahead of the PC's.
    qint64 clockOffsetSeconds = 0;

    // The state file: JSON that a person can read and write by hand.
    QByteArray toJson() const;
    static std::optional<UnitMemory> fromJson(const QByteArray &json, QString *error);

    friend bool operator==(const UnitMemory &, const UnitMemory &) = default;

private:
    bool readBlocks(const QJsonObject &blocks, const QString &section, const QString &range, bool (*isBlock)(int),
                    char fill, QString *error);

    QMap<int, QByteArray> m_blocks; // settings and tag blocks, always 64 bytes each
};
