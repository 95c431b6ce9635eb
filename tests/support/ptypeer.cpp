#include "ptypeer.h"

#include "ptyport.h"

PtyPeer::PtyPeer(QObject *parent) : QObject(parent), m_port(new PtyPort(this))
{
    QString error;
    if (!m_port->open(&error))
        return;
    connect(m_port, &PtyPort::received, this, &PtyPeer::take);
}

PtyPeer::~PtyPeer() = default;

bool PtyPeer::isOpen() const { return m_port->isOpen(); }

QString PtyPeer::slavePath() const { return m_port->slavePath(); }

bool PtyPeer::publish(const QString &name)
{
    QString error;
    return m_port->publish(name, &error);
}

void PtyPeer::clearReceived()
{
    m_received.clear();
    m_commands.clear();
    m_pending.clear();
}

void PtyPeer::write(const QByteArray &bytes) { m_port->write(bytes); }

void PtyPeer::hangUp() { m_port->close(); }

void PtyPeer::take(const QByteArray &bytes)
{
    m_received.append(bytes);
    m_pending.append(bytes);
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
