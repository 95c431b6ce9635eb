#pragma once

#include <QLatin1String>
#include <QString>

// What the program relies on the unit to do, stated once.  Command texts,
// reply markers, line positions and fixed numbers of the unit protocol live
// here and nowhere else.
//
// Every command is ASCII ended by CR; the builders below return the whole
// text, terminator included, ready for SendCommand / SendRaw.  Every reply is
// one or more lines ended by CR LF.  Block numbers are four decimal digits.
namespace UnitContract {

// --- link ---
// UDP: port 8000 on both sides, one command per datagram, replies from the
// unit's own address.  Serial: 8 data bits, no parity, one stop bit.
constexpr quint16 kUdpPort = 8000;
constexpr qint32 kDirectBaud = 57600;
constexpr qint32 kModemBaud = 9600;

// --- framing ---
constexpr char kCommandEnd = '\r';
inline const QLatin1String kReplyLineEnd("\r\n");
// A reply line containing this (anywhere) marks success.
inline const QLatin1String kOkMarker("OK");
// The modem's line once the call is through.
inline const QLatin1String kModemConnectMarker("CONNECT");

// --- reply layout ---
// Data lines (block read and dump replies, event and tag lines) carry five
// characters of the unit's own, then the data from the sixth character on:
// the data starts at this index.
constexpr int kDataOffset = 5;
// A block reads back as 64 data characters.
constexpr int kBlockDataLength = 64;
// Line of the identification reply (answer to a bare CR) naming the model.
constexpr int kModelLine = 3;
// Line of the clock reply whose first twelve characters hold the clock.
constexpr int kClockLine = 1;
// A refused "g" (tag block write) answers with this text in this line.
constexpr int kTagWriteErrorLine = 1;
inline const QLatin1String kTagWriteError("Error");
// Lines of the tag dump before and after the tag lines.
constexpr int kTagDumpLeadingLines = 2;
constexpr int kTagDumpTrailingLines = 2;

// --- models: the model text the unit names in its identification, and the
// highest directory record address of that model ---
struct Model {
    QLatin1String text;
    int directoryEndAddress;
};
inline const Model kModels[] = {
    {QLatin1String("Ostiarin_100_Gn4"), 0x1D00},
    {QLatin1String("Ostiarin_200_Gn4"), 0x2A00},
    {QLatin1String("Ostiarin_500_Gn4"), 0x5100},
    {QLatin1String("Ostiarin_1000_Gn4"), 0x9000},
};
// The model line is compared on this many leading characters.
constexpr int kModelTextLength = 20;

// --- blocks ---
inline const QLatin1String kSystemParameterBlock("0000");
inline const QLatin1String kRelayCodeBlock("0001");
// The after-hours divert times, in its first 16 characters.
inline const QLatin1String kDivertTimeBlock("0002");
// Access PINs and emergency codes: never shown in the status bar.
inline const QLatin1String kPinBlock("0003");
inline const QLatin1String kDivertNumberBlock("0005");
inline const QLatin1String kSpeedDialBlock1("0008");
inline const QLatin1String kSpeedDialBlock2("0009");
inline const QLatin1String kFixedMessageBlock("0012");
inline const QLatin1String kScroll1MessageBlock("0013");
inline const QLatin1String kScroll2MessageBlock("0014");
inline const QLatin1String kPulsingMessageBlock("0015");

// Directory: 32-byte slots from byte address 0x1000; a slot's block number
// is its address / 32, so the directory is blocks 0128 to 1152.
constexpr int kDirectoryFirstAddress = 0x1000;
constexpr int kDirectorySlotSize = 0x20;
constexpr int kDirectoryFirstBlock = 128;
constexpr int kDirectoryLastBlock = 1152;
// The highest directory address before any model was identified.
constexpr int kDefaultDirectoryEndAddress = 0x9000;

// RFID area: blocks 1408 to 1535, four 16-character tag slots per block.
constexpr int kTagFirstBlock = 1408;
constexpr int kTagLastBlock = 1535;
constexpr int kTagSlotsPerBlock = 4;
constexpr int kTagSlotLength = 16;

// A block number as four decimal digits with leading zeros (only the last
// four remain of a longer number).
inline QString BlockNumber(int block)
{
    return QString::number(block).rightJustified(4, QLatin1Char('0')).right(4);
}

// --- commands ---
inline QString Terminated(const QString &text) { return text + QLatin1Char(kCommandEnd); }

// Modem: reset, echo off, dial.
inline QString ModemResetCommand() { return Terminated(QStringLiteral("atz")); }
inline QString ModemEchoOffCommand() { return Terminated(QStringLiteral("ate0")); }
inline QString ModemDialCommand(const QString &number) { return Terminated(QStringLiteral("atd") + number); }

// A bare CR: identification during log-on, keep-alive when on line.
inline QString IdentifyCommand() { return Terminated(QString()); }
inline QString KeepAliveCommand() { return IdentifyCommand(); }
// Log-on with the PIN (sent raw: the PIN is never shown).
inline QString LogOnCommand(const QString &pin) { return Terminated(QLatin1Char('a') + pin); }
inline QString LogOffCommand() { return Terminated(QStringLiteral("x")); }

// Blocks: read one, program one, dump a range.
inline QString ReadBlockCommand(const QString &block) { return Terminated(QLatin1Char('r') + block); }
inline QString ProgramBlockCommand(const QString &block, const QString &data)
{
    return Terminated(QLatin1Char('p') + block + data);
}
inline QString DumpBlocksCommand(const QString &first, const QString &last)
{
    return Terminated(QLatin1Char('d') + first + last);
}

// Directory: one slot write is "b" + block + "," + record text + CRC; the
// CRC covers this body, so the caller appends it and terminates the command.
inline QString DirectoryWriteBody(const QString &block, const QString &recordText)
{
    return QLatin1Char('b') + block + QLatin1Char(',') + recordText;
}
inline QString DirectoryDumpCommand()
{
    return DumpBlocksCommand(BlockNumber(kDirectoryFirstBlock), BlockNumber(kDirectoryLastBlock));
}
inline QString DirectoryEraseCommand() { return Terminated(QStringLiteral("f5a")); }

// Clock and events.  The clock is set as "t" + ssnnhhddmmyy in decimal; the
// query answers the same six fields as hexadecimal pairs.
inline QString ClockQueryCommand() { return Terminated(QStringLiteral("t")); }
inline QString ClockSetCommand(const QString &twelveDigits) { return Terminated(QLatin1Char('t') + twelveDigits); }
inline QString EventDumpCommand() { return Terminated(QStringLiteral("e")); }

// RFID tags: dump the area, erase it, write one block.
inline QString TagDumpCommand()
{
    return Terminated(QLatin1Char('s') + BlockNumber(kTagFirstBlock) + BlockNumber(kTagLastBlock));
}
inline QString TagEraseCommand() { return Terminated(QStringLiteral("c1418")); }
inline QString TagWriteCommand(const QString &block, const QString &data)
{
    return Terminated(QLatin1Char('g') + block + data);
}

} // namespace UnitContract
