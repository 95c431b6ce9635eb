#include "ptypeer.h"

#include "link/ports.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPeer::PtyPeer(QObject *parent) : QObject(parent)
{
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    tcgetattr(master, &tio);
    cfmakeraw(&tio);
    tcsetattr(master, TCSANOW, &tio);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    m_master = master;
    m_slaveKeep = slave;
    m_slavePath = QString::fromLocal8Bit(name);
    m_notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyPeer::readMaster);
}

bool PtyPeer::publish(const QString &name)
{
    const QString folder = RuntimePortsFolder();
    if (!QDir().mkpath(folder))
        return false;
    const QString link = folder + QLatin1Char('/') + name;
    QFile::remove(link);
    if (!QFile::link(m_slavePath, link))
        return false;
    m_published = link;
    return true;
}

PtyPeer::~PtyPeer()
{
    if (!m_published.isEmpty())
        QFile::remove(m_published);
    delete m_notifier;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slaveKeep >= 0)
        ::close(m_slaveKeep);
}

void PtyPeer::clearReceived()
{
    m_received.clear();
    m_commands.clear();
    m_pending.clear();
}

void PtyPeer::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                usleep(1000);
                continue;
            }
            return;
        }
        done += n;
    }
}

void PtyPeer::readMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        m_received.append(buffer, n);
        m_pending.append(buffer, n);
    }
    qsizetype cr;
    while ((cr = m_pending.indexOf('\r')) >= 0) {
        const QByteArray command = m_pending.left(cr);
        m_pending.remove(0, cr + 1);
        m_commands.append(command);
        emit commandReceived(command);
        if (m_responder) {
            const QByteArray reply = m_responder(command);
            if (!reply.isEmpty())
                write(reply);
        }
    }
}
