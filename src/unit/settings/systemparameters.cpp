#include "settings/systemparameters.h"

#include "link/encodings.h"

using namespace SystemBlock;

SystemParameters SystemParameters::defaults()
{
    SystemParameters value;
    for (const NumericField &f : kNumericFields)
        value.numbers[f.field] = QLatin1String(f.formDefault);
    return value;
}

QString EncodeRelay2(int relay2) { return ByteToNibblePair(relay2 & kRelay2Mask); }

QString EncodeSystemParameters(SystemParameters &value)
{
    for (const Field field : kClampOrder) {
        const NumericField &f = kNumericFields[field];
        value.numbers[field] = ClampText(value.numbers[field], f.low, f.high);
    }

    QString block(kLength, QLatin1Char('0'));
    const auto put = [&block](int position, const QString &text) { block.replace(position, text.size(), text); };
    for (const NumericField &f : kNumericFields)
        put(f.position, DecimalToNibblePair(value.numbers[f.field]));
    for (const FixedRun &run : kFixed)
        put(run.position, QLatin1String(run.text));
    put(kRelay2Position, EncodeRelay2(value.relay2));
    put(kPs1Position, ByteToNibblePair(value.ps1 & kPs1Mask));
    put(kPs2Position, ByteToNibblePair(value.ps2 & kPs2Mask));
    return block;
}

std::optional<int> DecodeNibbleByte(const QString &pair)
{
    if (pair.isEmpty())
        return std::nullopt;
    return NibblePairToByte(pair);
}

SystemParametersReading DecodeSystemParameters(const QString &data)
{
    SystemParametersReading reading;
    for (const NumericField &f : kNumericFields)
        reading.numbers[f.field] = NibblePairToDecimal(data.mid(f.position, 2));
    reading.relay2 = DecodeNibbleByte(data.mid(kRelay2Position, 2));
    reading.ps1 = DecodeNibbleByte(data.mid(kPs1Position, 2));
    reading.ps2 = DecodeNibbleByte(data.mid(kPs2Position, 2));
    return reading;
}
