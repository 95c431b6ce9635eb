#pragma once

#include "link/unitcontract.h"

#include <QString>
#include <QStringList>

#include <array>

// The settings blocks other than block 0000: where each field lies, how wide
// it is and how it is written and read.  Plain text functions; the page
// binds the values to its boxes.  Readers take a reply line as the receive
// log holds it (the block's data from the sixth character on).

// Where one field lies in a block.
struct FieldSpan {
    int position; // 0-based within the block's data
    int width;
};

// The numbers the unit's blocks and dumps use.
namespace SettingsBlockNumbers {
inline const QLatin1String kSystem = UnitContract::kSystemParameterBlock;
inline const QLatin1String kRelayCodes = UnitContract::kRelayCodeBlock;
inline const QLatin1String kDivertTimes = UnitContract::kDivertTimeBlock;
inline const QLatin1String kPins = UnitContract::kPinBlock;
inline const QLatin1String kDivertNumbers = UnitContract::kDivertNumberBlock;
inline const QLatin1String kSpeedDial1 = UnitContract::kSpeedDialBlock1;
inline const QLatin1String kSpeedDial2 = UnitContract::kSpeedDialBlock2;
inline const QLatin1String kMessages[4] = {UnitContract::kFixedMessageBlock, UnitContract::kScroll1MessageBlock,
                                           UnitContract::kScroll2MessageBlock, UnitContract::kPulsingMessageBlock};
} // namespace SettingsBlockNumbers

// The piece of a reply line that holds a field: `width` characters from the
// field's place in the data, 0xFF turned into NUL ("ERROR" when the line
// does not reach the field at all).
QString FieldOfLine(const QString &line, FieldSpan span);
// True when the reply line holds every character of the field.  A field the
// line does not wholly reach was not read: what it shows ("ERROR", or the
// digits that came) is not what the unit holds.
bool FieldArrived(const QString &line, FieldSpan span);

// --- Block 0001: six gate release codes, 8 characters each, digits then "?" ---
namespace RelayCodeBlock {
inline constexpr int kCodes = 6;
inline constexpr int kCodeWidth = 8;
inline constexpr int kTypedLength = 4; // the boxes take four digits as typed
inline constexpr const char *kControls[kCodes] = {"code_g1", "code_g2", "code_ic1", "code_ic2", "code_sd1", "code_sd2"};
} // namespace RelayCodeBlock
using RelayCodes = std::array<QString, RelayCodeBlock::kCodes>;
QString EncodeRelayCodes(const RelayCodes &codes);
RelayCodes DecodeRelayCodes(const QString &line);

// --- Blocks 0008 and 0009: eight speed-dial numbers, four a block, 16
// characters each in dial-digit form ---
namespace SpeedDialBlock {
inline constexpr int kNumbers = 8;
inline constexpr int kPerBlock = 4;
inline constexpr int kWidth = 16;
} // namespace SpeedDialBlock
using SpeedDials = std::array<QString, SpeedDialBlock::kNumbers>;
// The 64 characters of one block of four numbers (0 for 0008, 1 for 0009).
QString EncodeSpeedDialBlock(const SpeedDials &numbers, int block);
void DecodeSpeedDialBlock(const QString &line, SpeedDials &numbers, int block);
// A dial number field: EncodeDigits filled with "?" / the digits shown.
QString EncodeDialField(const QString &text, int width);
QString DecodeDialField(const QString &line, FieldSpan span);

// --- Blocks 0012 to 0015: six display texts, plain characters filled with
// 0xFF; each block is written as 32 characters ---
namespace MessageBlock {
inline constexpr int kMessages = 6;
inline constexpr int kBlockLength = 32;
struct Message {
    const char *control;
    const char *label;
    const char *hint;
    int block; // 0-3: 0012 to 0015
    FieldSpan span;
};
inline constexpr Message kMessageFields[kMessages] = {
    {"msg0", "Fixed1", "Fixed message for line1", 0, {0, 16}},
    {"msg1", "Fixed2", "Fixed message for line2", 0, {16, 16}},
    {"msg2", "Scroll1", "Scrolling message for line1", 1, {0, 32}},
    {"msg3", "Scroll2", "Scrolling message for line2", 2, {0, 32}},
    {"msg4", "Pulsing Msg1", "Alternating messages for line 2", 3, {0, 16}},
    {"msg5", "Pulsing Msg2", "Alternating messages for line 2", 3, {16, 16}},
};
} // namespace MessageBlock
using Messages = std::array<QString, MessageBlock::kMessages>;
// The 32 characters of message block 0-3.
QString EncodeMessageBlock(const Messages &messages, int block);
// Reads the messages of block 0-3 from its line of the dump.
void DecodeMessageBlock(const QString &line, Messages &messages, int block);
// A character the display cannot show and the command line must not carry
// (C0 and C1 controls, DEL): a CR inside a message would end the program
// command early and the rest would run as a command of its own.
bool isMessageControlCharacter(QChar c);
// The index of the first message holding a control character, or -1.
int MessageWithControlCharacter(const Messages &messages);

// --- Block 0005: four divert numbers, 16 characters each in dial-digit form;
// block 0002: the four after-hours times, HHMM each, in its first 16 ---
namespace DivertBlock {
inline constexpr int kNumbers = 4;
inline constexpr int kNumberWidth = 16;
inline constexpr const char *kNumberControls[kNumbers] = {"divert1", "divert2", "AftHrs1", "AftHrs2"};
inline constexpr int kTimes = 4;
inline constexpr int kTimeWidth = 4;
inline constexpr int kTimesLength = kTimes * kTimeWidth;
} // namespace DivertBlock
using DivertNumbers = std::array<QString, DivertBlock::kNumbers>;
using DivertTimes = std::array<QString, DivertBlock::kTimes>; // HHMM as held by the hidden boxes
QString EncodeDivertNumbers(const DivertNumbers &numbers);
DivertNumbers DecodeDivertNumbers(const QString &line);
QString EncodeDivertTimes(const DivertTimes &times);
// The 16 raw time characters of a read reply (characters 6-21 of line 0).
QString DivertTimeCharacters(const QString &line);
// Where time 0-3 lies in block 0002.
FieldSpan DivertTimeSpan(int time);
// "HHMM" -> "HH:MM".
QString FormatHourMinute(const QString &hhmm);
QString SpacesToZeros(const QString &text);

// --- Block 0003: four PINs and four emergency codes, 8 characters each ---
namespace PinBlock {
inline constexpr int kCodes = 8;
inline constexpr int kWidth = 8;
inline constexpr const char *kControls[kCodes] = {"NewPin",    "NewPin2",   "NewPin3",   "NewPin4",
                                                   "EmgyCode1", "EmgyCode2", "EmgyCode3", "EmgyCode4"};
} // namespace PinBlock
using AccessCodes = std::array<QString, PinBlock::kCodes>;
QString EncodeAccessCodes(const AccessCodes &codes);
AccessCodes DecodeAccessCodes(const QString &line);
