#include "settings/settingsimage.h"

#include "common/errors.h"
#include "common/messages.h"
#include "link/encodings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

using namespace SettingsImageLayout;

SettingsImage::SettingsImage() : m_bytes(kSize, '\0') {}

void SettingsImage::putText(TextField field, const QString &text)
{
    const QByteArray bytes = text.left(field.capacity).toLatin1();
    m_bytes[field.offset] = char(bytes.size());
    m_bytes.replace(field.offset + 1, bytes.size(), bytes);
}

QString SettingsImage::text(TextField field) const
{
    // A damaged length byte must not reach into the next field.
    const int length = std::min<int>(quint8(m_bytes.at(field.offset)), field.capacity);
    return QString::fromLatin1(m_bytes.constData() + field.offset + 1, length);
}

QString SettingsImage::numberText(const QString &text, SystemBlock::Field field)
{
    if (text.size() <= kNumberCapacity)
        return text;
    const SystemBlock::NumericField &f = SystemBlock::kNumericFields[field];
    try {
        return QString::number(std::clamp(ClampText(text, f.low, f.high).toInt(), f.low, f.high));
    } catch (const AppError &) {
        return text.left(kNumberCapacity);
    }
}

void SettingsImage::build(const SettingsValues &values)
{
    for (int i = 0; i < RelayCodeBlock::kCodes; ++i)
        putText(kCodes[i], values.codes[i]);
    for (int i = 0; i < MessageBlock::kMessages; ++i)
        putText(kMessages[i], values.messages[i]);
    for (const NumberField &n : kNumbers)
        putText({n.offset, kNumberCapacity}, numberText(values.system.numbers[n.field], n.field));
    putText(kRelay2, EncodeRelay2(values.system.relay2));
    for (const Flag &flag : kFlags) {
        const int byte = flag.ps2 ? values.system.ps2 : values.system.ps1;
        m_bytes[flag.offset] = (byte & flag.bit) ? 1 : 0;
    }
    for (int i = 0; i < SpeedDialBlock::kNumbers; ++i)
        putText(kSpeedDials[i], values.speedDials[i]);
}

void SettingsImage::apply(SettingsValues &values) const
{
    for (int i = 0; i < RelayCodeBlock::kCodes; ++i)
        values.codes[i] = text(kCodes[i]);
    for (int i = 0; i < MessageBlock::kMessages; ++i)
        values.messages[i] = text(kMessages[i]);
    for (const NumberField &n : kNumbers)
        values.system.numbers[n.field] = text({n.offset, kNumberCapacity});
    // An empty or damaged value counts its missing nibbles as 0.
    values.system.relay2 = NibblePairToByte(text(kRelay2)) & SystemBlock::kRelay2Mask;
    for (const Flag &flag : kFlags) {
        int &byte = flag.ps2 ? values.system.ps2 : values.system.ps1;
        byte = m_bytes.at(flag.offset) != 0 ? (byte | flag.bit) : (byte & ~flag.bit);
    }
    if (m_bytes.at(kPulsingMsgs.offset) != 0)
        values.system.ps2 &= ~SystemBlock::kPs2ScrollLine2;
    for (int i = 0; i < SpeedDialBlock::kNumbers; ++i)
        values.speedDials[i] = text(kSpeedDials[i]);
}

bool SettingsImage::save(const QString &fileName) const
{
    // Written beside the old file and renamed over it only when whole: a
    // failed save leaves the file saved before as it was.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Cannot create file \"%1\". %2")
                           .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    // The bytes reach the disk only when the file's buffer is written out: a
    // full disk shows itself there, not in the write.
    if (file.write(m_bytes) < kSize || !file.flush() || !file.commit()) {
        MessageService::inform(QStringLiteral("Could not save"));
        return false;
    }
    return true;
}

QString SettingsImage::controlCharacterNote(int message)
{
    return QStringLiteral("The %1 message holds a control character")
        .arg(QLatin1String(MessageBlock::kMessageFields[message].label));
}

bool SettingsImage::load(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2")
                           .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    const QByteArray read = file.read(kSize);
    file.close();
    const QByteArray before = m_bytes;
    m_bytes.replace(0, read.size(), read);
    const QString refused = QStringLiteral("Could not Load from file\r\n") + fileName;
    if (read.size() < kSize) {
        MessageService::inform(refused);
        return false;
    }
    // The messages go to the unit as they stand, past the boxes that refuse
    // such characters from the keyboard: a CR in one would end its program
    // command and run the rest as a command of its own.
    for (int i = 0; i < MessageBlock::kMessages; ++i) {
        const QString message = text(kMessages[i]);
        if (std::any_of(message.cbegin(), message.cend(), isMessageControlCharacter)) {
            m_bytes = before;
            MessageService::inform(refused + QStringLiteral("\r\n") + controlCharacterNote(i));
            return false;
        }
    }
    return true;
}
