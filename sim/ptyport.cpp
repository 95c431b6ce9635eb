#include "ptyport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int kPaceTickMs = 4;

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

void makeRaw(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }
}

// A folder that only its owner may use: created with mode 0700, or, when it
// is there already, a real folder (not a link) of this user.
bool ownFolder(const QString &path, QString *error)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        *error = QStringLiteral("cannot create %1: %2").arg(path, systemError());
        return false;
    }
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        *error = QStringLiteral("%1 is not a folder of this user").arg(path);
        return false;
    }
    return true;
}
// Takes the lock of a published name: an open-file-description lock, which
// the system releases however the unit ends, and which also holds against
// another unit inside the same process.  -1 when a living unit holds it.
int takeLock(const QString &path, QString *error)
{
    const QByteArray native = QFile::encodeName(path);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            *error = QStringLiteral("cannot create %1: %2").arg(path, systemError());
            return -1;
        }
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
            const bool held = errno == EAGAIN || errno == EACCES;
            *error = held ? QStringLiteral("is held by a running unit")
                          : QStringLiteral("cannot lock %1: %2").arg(path, systemError());
            ::close(fd);
            return -1;
        }
        // A unit ending just now removes the file it held: a lock on a file
        // no longer there keeps nobody out, so take the new one.
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && ::stat(native.constData(), &named) == 0 && held.st_ino == named.st_ino
            && held.st_dev == named.st_dev) {
            const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
            if (::ftruncate(fd, 0) == 0 && ::write(fd, pid.constData(), size_t(pid.size())) < 0) {
                // the process number is only for a person looking: no matter
            }
            return fd;
        }
        ::close(fd);
    }
    *error = QStringLiteral("%1 keeps changing").arg(path);
    return -1;
}
} // namespace

PtyPort::PtyPort(QObject *parent) : QObject(parent)
{
    m_pace.setInterval(kPaceTickMs);
    m_pace.setTimerType(Qt::PreciseTimer);
    connect(&m_pace, &QTimer::timeout, this, &PtyPort::flushOutput);
}

PtyPort::~PtyPort() { close(); }

bool PtyPort::open(QString *error)
{
    int master = -1, slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("cannot open a pseudo-terminal: %1").arg(systemError());
        return false;
    }
    makeRaw(slave);
    makeRaw(master);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    m_master = master;
    m_slaveKeep = slave;
    m_slavePath = QFile::decodeName(name);
    m_readNotifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyPort::readMaster);
    m_writeNotifier = new QSocketNotifier(master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyPort::flushOutput);
    watchOpens();
    return true;
}

void PtyPort::watchOpens()
{
    // The unit's own descriptor was opened before the watch: every open and
    // close seen from now on is the program's.
    m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify < 0)
        return;
    if (::inotify_add_watch(m_inotify, QFile::encodeName(m_slavePath).constData(), IN_OPEN | IN_CLOSE) < 0) {
        ::close(m_inotify);
        m_inotify = -1;
        return;
    }
    m_openNotifier = new QSocketNotifier(m_inotify, QSocketNotifier::Read, this);
    connect(m_openNotifier, &QSocketNotifier::activated, this, &PtyPort::readOpens);
}

void PtyPort::readOpens()
{
    alignas(inotify_event) char buffer[4096];
    bool closedAll = false;
    for (;;) {
        const ssize_t n = ::read(m_inotify, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            if (event->mask & IN_OPEN)
                ++m_programOpens;
            if ((event->mask & IN_CLOSE) && m_programOpens > 0 && --m_programOpens == 0)
                closedAll = true;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    if (closedAll && m_programOpens == 0)
        emit hungUp();
}

bool PtyPort::programSideOpen()
{
    if (m_inotify < 0)
        return true; // cannot tell: taken as open
    readOpens();
    return m_programOpens > 0;
}

PtyPort::LineSettings PtyPort::lineSettings() const
{
    LineSettings line;
    termios tio{};
    if (m_slaveKeep < 0 || ::tcgetattr(m_slaveKeep, &tio) != 0)
        return line;
    static const std::pair<speed_t, int> speeds[] = {
        {B300, 300},     {B1200, 1200},   {B2400, 2400},   {B4800, 4800},     {B9600, 9600},
        {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400}};
    const speed_t speed = ::cfgetospeed(&tio);
    for (const auto &[code, baud] : speeds)
        if (code == speed)
            line.baud = baud;
    switch (tio.c_cflag & CSIZE) {
    case CS5: line.dataBits = 5; break;
    case CS6: line.dataBits = 6; break;
    case CS7: line.dataBits = 7; break;
    default: line.dataBits = 8; break;
    }
    line.parity = (tio.c_cflag & PARENB) != 0;
    line.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
    return line;
}

int PtyPort::unreadByProgram() const
{
    int n = 0;
    return m_slaveKeep >= 0 && ::ioctl(m_slaveKeep, FIONREAD, &n) == 0 ? n : 0;
}

int PtyPort::unreadByUnit() const
{
    int n = 0;
    return m_master >= 0 && ::ioctl(m_master, FIONREAD, &n) == 0 ? n : 0;
}

QString PtyPort::describe(const LineSettings &line)
{
    return QStringLiteral("%1 baud, %2 data bits, %3 parity, %4 stop bit%5")
        .arg(line.baud)
        .arg(line.dataBits)
        .arg(line.parity ? QStringLiteral("with") : QStringLiteral("no"))
        .arg(line.stopBits)
        .arg(line.stopBits == 1 ? QString() : QStringLiteral("s"));
}

void PtyPort::close()
{
    if (!m_published.isEmpty()) {
        QFile::remove(m_published);
        QFile::remove(lockPath(m_published));
        m_published.clear();
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    m_lockFd = -1;
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    delete m_openNotifier;
    m_openNotifier = nullptr;
    if (m_inotify >= 0)
        ::close(m_inotify);
    m_inotify = -1;
    m_programOpens = 0;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slaveKeep >= 0)
        ::close(m_slaveKeep);
    m_master = m_slaveKeep = -1;
}

QString PtyPort::portsFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime + QLatin1String("/ostikit/ports");
    return QStringLiteral("/tmp/ostikit-%1/ports").arg(uint(::getuid()));
}

QString PtyPort::lockPath(const QString &link)
{
    // ".NAME.lock" is longer than any port name, so it is never taken for one.
    const QFileInfo info(link);
    return info.path() + QLatin1String("/.") + info.fileName() + QLatin1String(".lock");
}

bool PtyPort::isPortName(const QString &name)
{
    if (name.isEmpty() || name.size() > 6 || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F || c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return false;
    return true;
}

bool PtyPort::publish(const QString &name, QString *error)
{
    if (!isOpen()) {
        *error = QStringLiteral("the pseudo-terminal is not open");
        return false;
    }
    if (!isPortName(name)) {
        *error = QStringLiteral("\"%1\" is no port name: at most 6 plain characters, no /").arg(name);
        return false;
    }
    // Under /tmp these folders sit among every user's: they must be this
    // user's alone, or another user could slip a port of theirs in.
    const QString folder = portsFolder();
    if (!ownFolder(QFileInfo(folder).path(), error) || !ownFolder(folder, error))
        return false;
    const QString link = folder + QLatin1Char('/') + name;
    const QString lock = lockPath(link);
    const bool lockedBefore = QFileInfo::exists(lock);
    const int lockFd = takeLock(lock, error);
    if (lockFd < 0) {
        if (error->startsWith(QLatin1String("is held")))
            *error = QStringLiteral("the port %1 is published already (%2)").arg(name, link);
        return false;
    }
    const QFileInfo existing(link);
    if (existing.isSymLink() || existing.exists()) {
        // The lock was free: whoever published this link is gone, even when
        // it leads to a terminal (its number may serve another program now).
        // A link without any lock beside it that still leads to a terminal
        // was made by some other program, and is left alone.
        if (!lockedBefore && existing.exists()) {
            *error = QStringLiteral("the port %1 is published already (%2)").arg(name, link);
            QFile::remove(lock);
            ::close(lockFd);
            return false;
        }
        QFile::remove(link);
    }
    if (::symlink(QFile::encodeName(m_slavePath).constData(), QFile::encodeName(link).constData()) != 0) {
        *error = QStringLiteral("cannot publish %1: %2").arg(link, systemError());
        QFile::remove(lock);
        ::close(lockFd);
        return false;
    }
    m_lockFd = lockFd;
    m_published = link;
    return true;
}

void PtyPort::write(const QByteArray &bytes)
{
    if (!isOpen() || bytes.isEmpty())
        return;
    if (m_out.isEmpty()) {
        m_burst.start();
        m_burstSent = 0;
    }
    m_out += bytes;
    flushOutput();
}

void PtyPort::flushOutput()
{
    if (!isOpen())
        return;
    qsizetype allowed = m_out.size();
    if (m_byteRate > 0) {
        const qint64 due = m_burst.nsecsElapsed() * m_byteRate / 1000000000 - m_burstSent;
        allowed = qsizetype(qBound<qint64>(0, due, m_out.size()));
    }
    qsizetype done = 0;
    while (done < allowed) {
        const ssize_t n = ::write(m_master, m_out.constData() + done, size_t(allowed - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break; // EAGAIN: the terminal is full; the write notifier says when it has room
        }
        done += n;
    }
    m_out.remove(0, done);
    m_burstSent += done;

    const bool blocked = done < allowed;
    m_writeNotifier->setEnabled(blocked && !m_out.isEmpty());
    if (m_byteRate > 0 && !m_out.isEmpty() && !blocked) {
        if (!m_pace.isActive())
            m_pace.start();
    } else {
        m_pace.stop();
    }
}

void PtyPort::readMaster()
{
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (!bytes.isEmpty())
        emit received(bytes);
}
