#include "settings/settingsblocks.h"

#include "link/encodings.h"
#include "link/unitcontract.h"

#include <algorithm>

namespace {
constexpr QChar kDigitFill = QLatin1Char('?');
constexpr QChar kErasedFill = QChar(0xFF);
constexpr int kBlockLength = UnitContract::kBlockDataLength;

// A digit field as read: digits up to the first "?", shown up to any NUL.
QString decodeDigitField(const QString &line, FieldSpan span) { return CutAtNul(DecodeDigits(FieldOfLine(line, span))); }
} // namespace

QString FieldOfLine(const QString &line, FieldSpan span)
{
    return FFToNul(line.mid(UnitContract::kDataOffset + span.position, span.width), span.width);
}

bool FieldArrived(const QString &line, FieldSpan span)
{
    return line.size() >= UnitContract::kDataOffset + span.position + span.width;
}

// --- relay codes ---

QString EncodeRelayCodes(const RelayCodes &codes)
{
    QString block;
    for (const QString &code : codes)
        block += DigitField8(code);
    return PadRight(block, kBlockLength, kDigitFill);
}

RelayCodes DecodeRelayCodes(const QString &line)
{
    RelayCodes codes;
    for (int i = 0; i < RelayCodeBlock::kCodes; ++i)
        codes[i] = decodeDigitField(line, {i * RelayCodeBlock::kCodeWidth, RelayCodeBlock::kCodeWidth});
    return codes;
}

// --- speed dials ---

QString EncodeDialField(const QString &text, int width) { return PadRight(EncodeDigits(text, width), width, kDigitFill); }

QString DecodeDialField(const QString &line, FieldSpan span) { return decodeDigitField(line, span); }

QString EncodeSpeedDialBlock(const SpeedDials &numbers, int block)
{
    QString data;
    for (int i = 0; i < SpeedDialBlock::kPerBlock; ++i)
        data += EncodeDialField(numbers[block * SpeedDialBlock::kPerBlock + i], SpeedDialBlock::kWidth);
    return data;
}

void DecodeSpeedDialBlock(const QString &line, SpeedDials &numbers, int block)
{
    for (int i = 0; i < SpeedDialBlock::kPerBlock; ++i)
        numbers[block * SpeedDialBlock::kPerBlock + i] =
            DecodeDialField(line, {i * SpeedDialBlock::kWidth, SpeedDialBlock::kWidth});
}

// --- messages ---

QString EncodeMessageBlock(const Messages &messages, int block)
{
    QString data;
    for (int i = 0; i < MessageBlock::kMessages; ++i) {
        const MessageBlock::Message &m = MessageBlock::kMessageFields[i];
        if (m.block == block)
            data += PadRight(messages[i].left(m.span.width), m.span.width, kErasedFill);
    }
    return PadRight(data, MessageBlock::kBlockLength, kErasedFill);
}

void DecodeMessageBlock(const QString &line, Messages &messages, int block)
{
    for (int i = 0; i < MessageBlock::kMessages; ++i) {
        const MessageBlock::Message &m = MessageBlock::kMessageFields[i];
        if (m.block == block)
            messages[i] = CutAtNul(FieldOfLine(line, m.span));
    }
}

bool isMessageControlCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

int MessageWithControlCharacter(const Messages &messages)
{
    for (int i = 0; i < MessageBlock::kMessages; ++i)
        if (std::any_of(messages[i].cbegin(), messages[i].cend(), isMessageControlCharacter))
            return i;
    return -1;
}

// --- diverts ---

QString EncodeDivertNumbers(const DivertNumbers &numbers)
{
    QString data;
    for (const QString &number : numbers)
        data += EncodeDialField(number, DivertBlock::kNumberWidth);
    return data;
}

DivertNumbers DecodeDivertNumbers(const QString &line)
{
    DivertNumbers numbers;
    for (int i = 0; i < DivertBlock::kNumbers; ++i)
        numbers[i] = DecodeDialField(line, {i * DivertBlock::kNumberWidth, DivertBlock::kNumberWidth});
    return numbers;
}

QString EncodeDivertTimes(const DivertTimes &times)
{
    QString data;
    for (const QString &time : times)
        data += PadRight(EncodeDigits(time, DivertBlock::kTimeWidth), DivertBlock::kTimeWidth, kDigitFill);
    return data;
}

QString DivertTimeCharacters(const QString &line)
{
    return line.mid(UnitContract::kDataOffset, DivertBlock::kTimesLength);
}

FieldSpan DivertTimeSpan(int time) { return {time * DivertBlock::kTimeWidth, DivertBlock::kTimeWidth}; }

QString FormatHourMinute(const QString &hhmm) { return hhmm.mid(0, 2) + QLatin1Char(':') + hhmm.mid(2, 2); }

QString SpacesToZeros(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char(' '), QLatin1Char('0'));
    return result;
}

// --- access PINs and emergency codes ---

QString EncodeAccessCodes(const AccessCodes &codes)
{
    QString data;
    for (const QString &code : codes)
        data += DigitField8(code);
    return PadRight(data, kBlockLength, kDigitFill);
}

AccessCodes DecodeAccessCodes(const QString &line)
{
    AccessCodes codes;
    for (int i = 0; i < PinBlock::kCodes; ++i)
        codes[i] = decodeDigitField(line, {i * PinBlock::kWidth, PinBlock::kWidth});
    return codes;
}
