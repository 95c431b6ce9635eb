#pragma once

#include "common/convert.h"

#include <QString>
#include <QStringList>

#include <optional>

class CommandChannel;
class RecordTable;

// A directory record on the unit: slot addresses, the record text that a
// "b" command carries, its CRC-8 and the form of a slot in the directory
// dump.  Plain text functions apart from WriteDirectoryRecord, which talks to
// the unit.
namespace DirectoryLayout {
constexpr int FirstAddress = 0x1000;  // the first slot
constexpr int SlotSize = 0x20;        // bytes per slot
constexpr int FirstBlock = FirstAddress / SlotSize; // 0128
constexpr int LastBlock = 0x9000 / SlotSize;        // 1152, the largest model's last slot
// Widths of the fields of the record text and the dump line.
constexpr int RoomWidth = 6;
constexpr int CodeWidth = 4;
constexpr int SpareWidth = 2;
constexpr int PhoneWidth = 16;
constexpr int NameWidth = 16;
// A dump line: the record address, one separator, then the record text.
constexpr int AddressLength = 4;
constexpr int TextStart = 5; // index of the room's first character
} // namespace DirectoryLayout

// One directory record as the table holds it.
struct DirectoryRecord {
    QString name;
    QString room;
    QString phone; // as shown: digits, '*', '#', 'p'
    QString code1;
    QString code2;
    QString spare;
    QString rfid;
    QString addr; // four upper-case hexadecimal digits

    // The values in the directory table's field order.
    QStringList values() const;
    static DirectoryRecord fromValues(const QStringList &values);
    bool operator==(const DirectoryRecord &) const = default;
};

// The characters of text from its start while they are decimal digits, at
// most n of them ("12a4", 4 -> "12").
QString LeadingDigits(const QString &text, int n);

// text without the blanks around it.
QString TrimBlanks(const QString &text);

// A room reads as a number when, blanks around it dropped, it is decimal
// digits and not empty: exactly what the record text will carry.
bool IsRoomNumberText(const QString &text);
// A relay code is empty or decimal digits (blanks around it dropped).
bool IsCodeText(const QString &text);
// "Must use Numeric digits in" / "RoomNumber & Codes fields".
QString NumericDigitsMessage();
// text without its surrounding blanks when it reads as a number; otherwise
// shows the numeric-digits message and gives "0".
QString ValidateRoomNumber(const QString &text);

// The index of the first of values that holds a control character, or -1.
int FirstControlField(const QStringList &values);
// text with each control character shown as '?'.
QString ShownWithoutControls(const QString &text);
// The message refusing a record whose field holds a control character;
// `record` names the record ("record 3 (room 101)").
QString ControlCharacterMessage(const QString &record, const QString &field);

// CRC-8/MAXIM over every byte of text, as two nibble characters ("b0128," -> ":4").
QString DirectoryCrc(const QString &text);
// The bare CRC-8/MAXIM of Latin-1 bytes.
quint8 Crc8Maxim(const QString &text);

// The record text of six comma-separated fields: room, code 1, code 2,
// spare, phone in dial digits and the name unchanged.  `room` is taken as
// given apart from its leading digits (validate it first); the others go
// through LeadingDigits / EncodeDigits.
QString DirectoryRecordText(const QString &room, const QString &code1, const QString &code2,
                            const QString &spare, const QString &phone, const QString &name);

// Record address text -> block number (address / 32).  An address that is
// not hexadecimal text throws ConversionError.
int AddressToBlock(const QString &address);
// The block as the commands write it: four decimal digits ("0128").
QString BlockText(int block);
// A slot's byte address as its record address: four upper-case hex digits.
QString AddressText(int address);
// The byte address of a record address; nothing when it is not hexadecimal.
std::optional<int> AddressValue(const QString &address);

// The "b" command for one slot, CRC included, without its CR.
QString DirectoryWriteCommand(const QString &address, const QString &recordText);

// Reads one field of a dump line from `pos`: up to a comma (skipped) or
// `width` characters (then one separator is skipped), or to the line's end.
QString ReadCommaField(const QString &line, qsizetype &pos, int width);

// The record of one dump line; nothing for an empty slot (no room or no
// name).
std::optional<DirectoryRecord> ParseDirectoryLine(const QString &line);

// Writes one slot: "b" + block + "," + recordText + CRC, then waits for a
// line holding "OK" (about 1 s over a modem, 0.5 s otherwise).  An empty
// recordText empties the slot.  True when the unit confirmed it.  After an
// unconfirmed write it waits for the line to fall quiet and clears the
// receive buffer and log, so that a late answer confirms nothing.  An
// address that is not hexadecimal sends nothing and throws ConversionError.
bool WriteDirectoryRecord(CommandChannel &channel, const QString &address, const QString &recordText);

// Waits until no text has arrived for a whole step of 86.4 ms (two steps at
// least, about a second at most), then clears the receive buffer, the log
// and the reply flag: a late answer then stands for nothing.
void WaitForQuietLine(CommandChannel &channel);
