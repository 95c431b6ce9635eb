#include "link/linkdetails.h"

#include "common/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr int kPinOffset = 0;
constexpr int kPhoneOffset = 17;
constexpr int kRememberOffset = 34;
constexpr int kRemoteOffset = 35;
constexpr int kWifiOffset = 36;
constexpr int kPortOffset = 37;
constexpr int kAddressOffset = 44;

// A length byte followed by `capacity` positions, zero-filled.
void PutField(QByteArray &record, int offset, int capacity, const QString &text)
{
    const QByteArray bytes = text.left(capacity).toLatin1();
    record[offset] = char(bytes.size());
    for (int i = 0; i < bytes.size(); ++i)
        record[offset + 1 + i] = bytes[i];
}

QString GetField(const QByteArray &record, int offset, int capacity)
{
    const int length = qMin(int(quint8(record[offset])), capacity);
    return QString::fromLatin1(record.constData() + offset + 1, length);
}

} // namespace

QByteArray EncodeLinkDetails(const LinkDetails &details)
{
    QByteArray record(kLinkDetailsSize, '\0');
    PutField(record, kPinOffset, kLinkPinCapacity, details.pin);
    PutField(record, kPhoneOffset, kLinkPhoneCapacity, details.phoneNumber);
    record[kRememberOffset] = details.remember ? 1 : 0;
    record[kRemoteOffset] = details.remote ? 1 : 0;
    record[kWifiOffset] = details.wifi ? 1 : 0;
    PutField(record, kPortOffset, kLinkPortCapacity, details.portName);
    PutField(record, kAddressOffset, kLinkAddressCapacity, details.ipAddress);
    return record;
}

std::optional<LinkDetails> DecodeLinkDetails(const QByteArray &bytes)
{
    if (bytes.size() < kLinkDetailsSize)
        return std::nullopt;
    LinkDetails details;
    details.pin = GetField(bytes, kPinOffset, kLinkPinCapacity);
    details.phoneNumber = GetField(bytes, kPhoneOffset, kLinkPhoneCapacity);
    details.remember = bytes[kRememberOffset] != 0;
    details.remote = bytes[kRemoteOffset] != 0;
    details.wifi = bytes[kWifiOffset] != 0;
    details.portName = GetField(bytes, kPortOffset, kLinkPortCapacity);
    details.ipAddress = GetField(bytes, kAddressOffset, kLinkAddressCapacity);
    return details;
}

std::optional<LinkDetails> ReadLinkDetails(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return DecodeLinkDetails(file.read(kLinkDetailsSize));
}

void WriteLinkDetails(const QString &path, const LinkDetails &details)
{
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    // Written beside the old file and then put in its place, so that a failed
    // write never leaves half a record behind.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    auto fail = [&](const QString &reason) {
        file.cancelWriting();
        return AppError(QStringLiteral("The link details could not be saved to %1:\r\n%2")
                            .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw fail(file.errorString());
    // Before the PIN goes in: the new file is the owner's alone.
    if (!file.setPermissions(ownerOnly))
        throw fail(file.errorString());
    const QByteArray record = EncodeLinkDetails(details);
    if (file.write(record) != record.size())
        throw fail(file.errorString());
    // The write only fills the file's buffer; a full disk shows itself when
    // the buffer goes out, and the old record must then stay in its place.
    if (!file.flush())
        throw fail(file.errorString());
    if (!file.commit())
        throw fail(file.errorString());
}
