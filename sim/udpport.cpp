#include "udpport.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

UdpPort::UdpPort(QObject *parent) : QObject(parent) {}

UdpPort::~UdpPort() = default;

bool UdpPort::bind(const QHostAddress &address, QString *error)
{
    if (!address.isLoopback()) {
        *error = QStringLiteral("%1 is not a loopback address (such as 127.0.0.2)").arg(address.toString());
        return false;
    }
    delete m_socket;
    m_socket = new QUdpSocket(this);
    if (!m_socket->bind(address, kPort, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3").arg(address.toString()).arg(kPort).arg(m_socket->errorString());
        delete m_socket;
        m_socket = nullptr;
        return false;
    }
    m_address = address;
    connect(m_socket, &QUdpSocket::readyRead, this, &UdpPort::readPending);
    return true;
}

void UdpPort::send(const QByteArray &reply, const QHostAddress &to)
{
    if (!m_socket || reply.isEmpty())
        return;
    qsizetype start = 0;
    while (start < reply.size()) {
        qsizetype end = reply.size();
        if (end - start > kMaxDatagram) {
            // The last line end that still fits; a line longer than a whole
            // datagram is cut where the datagram is full.
            const qsizetype cut = reply.lastIndexOf("\r\n", start + kMaxDatagram - 2);
            end = cut >= start ? cut + 2 : start + kMaxDatagram;
        }
        m_socket->writeDatagram(reply.mid(start, end - start), to, kPort);
        start = end;
    }
}

void UdpPort::readPending()
{
    while (m_socket && m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        if (!datagram.isValid())
            break;
        emit received(datagram.senderAddress(), datagram.data());
    }
}
