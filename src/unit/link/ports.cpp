#include "link/ports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#ifdef _MSC_VER
#pragma comment(lib, "advapi32")
#endif
#else
#include <QSerialPortInfo>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <iterator>

namespace {

// An identity is stored as single bytes and turned back into a file name, so
// it may only hold plain printable characters and never a path separator.
bool IsPortIdentity(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxPortIdentityLength)
        return false;
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() > 0x20 && c.unicode() < 0x7F && c != QLatin1Char('/') && c != QLatin1Char('\\');
    });
}

#ifndef Q_OS_WIN
QString &DevicePrefix()
{
    static QString prefix = QStringLiteral("/dev/tty");
    return prefix;
}

QString DevicePath(const QString &identity) { return DevicePrefix() + identity; }

bool DeviceExists(const QString &identity) { return QFileInfo::exists(DevicePath(identity)); }

// A program that publishes a port keeps the file ".NAME.lock" beside its link
// locked while it lives (the simulated unit does).  A lock that nobody holds
// any longer marks the link as left behind by a program that was killed: the
// terminal it led to may belong to another program by now.  A link without
// such a file is judged by where it leads alone.
bool PublisherGone(const QString &identity)
{
#ifdef F_OFD_GETLK
    const QString lock = QDir(RuntimePortsFolder()).filePath(QLatin1Char('.') + identity + QLatin1String(".lock"));
    const int fd = ::open(QFile::encodeName(lock).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    const bool gone = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type == F_UNLCK;
    ::close(fd);
    return gone;
#else
    Q_UNUSED(identity);
    return false;
#endif
}

// Where the link for an identity in the runtime folder leads, if anywhere.
// The port is opened by the device's own path: the serial port locks a
// device under the name it is opened by, and two names for one terminal
// would let two programs hold it at once.
QString LivePublishedLink(const QString &identity)
{
    const QFileInfo link(QDir(RuntimePortsFolder()).filePath(identity));
    return link.isSymLink() && link.exists() && !PublisherGone(identity) ? link.canonicalFilePath() : QString();
}
#endif

} // namespace

#ifndef Q_OS_WIN
void SetSerialDevicePrefix(const QString &prefix) { DevicePrefix() = prefix.isEmpty() ? QStringLiteral("/dev/tty") : prefix; }
#endif

QString RuntimePortsFolder()
{
#ifdef Q_OS_WIN
    return QDir::tempPath() + QLatin1String("/ostikit/ports");
#else
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime + QLatin1String("/ostikit/ports");
    return QStringLiteral("/tmp/ostikit-%1/ports").arg(uint(getuid()));
#endif
}

QStringList VirtualSerialPorts()
{
    QStringList names;
#ifndef Q_OS_WIN
    const QDir folder(RuntimePortsFolder());
    const QFileInfoList entries = folder.entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden
                                                       | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        // exists() follows the link: a dangling one is a port nobody serves.
        if (entry.isSymLink() && entry.exists() && IsPortIdentity(name) && !DeviceExists(name)
            && !PublisherGone(name))
            names.append(name);
    }
    // Plain character order, the same in every locale.
    std::sort(names.begin(), names.end());
#endif
    return names;
}

#ifdef Q_OS_WIN
QStringList SystemSerialPorts()
{
    QStringList names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameLength = DWORD(std::size(valueName));
        wchar_t data[256];
        DWORD dataBytes = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG rc = RegEnumValueW(key, index, valueName, &valueNameLength, nullptr, &type,
                                      reinterpret_cast<LPBYTE>(data), &dataBytes);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS || type != REG_SZ)
            continue;
        // The stored string may or may not carry its terminating zero.
        data[dataBytes / sizeof(wchar_t)] = L'\0';
        const QString name = QString::fromWCharArray(data);
        if (!name.isEmpty())
            names.append(name);
    }
    RegCloseKey(key);
    return names;
}

QString SerialPortLocation(const QString &identity)
{
    return IsPortIdentity(identity) ? identity : QString();
}
#else
QStringList SystemSerialPorts()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        const QString device = port.portName();
        if (!device.startsWith(QLatin1String("tty")))
            continue; // no identity would lead back to it
        const QString identity = device.mid(3);
        if (IsPortIdentity(identity) && !names.contains(identity))
            names.append(identity);
    }
    for (const QString &name : VirtualSerialPorts()) {
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

QString SerialPortLocation(const QString &identity)
{
    if (!IsPortIdentity(identity))
        return QString();
    if (!DeviceExists(identity)) {
        const QString link = LivePublishedLink(identity);
        if (!link.isEmpty())
            return link;
    }
    // A missing device fails to open with a clear error.
    return DevicePath(identity);
}
#endif
