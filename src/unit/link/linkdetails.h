#pragma once

#include <QByteArray>
#include <QLatin1String>
#include <QString>

#include <optional>

// The remembered link details ("Ostidata.ini" in the working directory):
// despite the name a fixed record of 77 bytes, written whole and read whole.
//
//   offset  0  17  PIN: length byte (0-16) + 16 positions
//   offset 17  17  modem telephone number: length byte (0-16) + 16 positions
//   offset 34   1  Remember Details (1/0)
//   offset 35   1  Remote (1/0)
//   offset 36   1  WiFi selected (1/0)
//   offset 37   7  serial port identity: length byte (0-6) + 6 positions
//   offset 44  33  unit IP address: length byte (0-32) + 32 positions
//
// Text is single bytes (Latin-1 here); positions after a field's length are
// written as zero bytes and ignored on reading.  A length byte above the
// field's capacity is read as the capacity.
struct LinkDetails {
    QString pin;
    QString phoneNumber;
    bool remember = false;
    bool remote = false;
    bool wifi = false;
    QString portName;
    QString ipAddress;

    friend bool operator==(const LinkDetails &, const LinkDetails &) = default;
};

inline const QLatin1String kLinkDetailsFileName("Ostidata.ini");
constexpr int kLinkDetailsSize = 77;
constexpr int kLinkPinCapacity = 16;
constexpr int kLinkPhoneCapacity = 16;
constexpr int kLinkPortCapacity = 6;
constexpr int kLinkAddressCapacity = 32;

// The 77 bytes of a record; texts longer than their field are cut.
QByteArray EncodeLinkDetails(const LinkDetails &details);
// A record from its bytes; fewer than 77 bytes are no record.  Bytes after
// the 77th are ignored.
std::optional<LinkDetails> DecodeLinkDetails(const QByteArray &bytes);

// Reads the file; nothing when it is missing, unreadable or short.
std::optional<LinkDetails> ReadLinkDetails(const QString &path);
// Creates or replaces the file.  It holds the PIN in plain text, so it is
// left readable and writable by its owner only, also when it existed with
// wider permissions.  A failure throws AppError.
void WriteLinkDetails(const QString &path, const LinkDetails &details);
