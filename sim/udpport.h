#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>

class QUdpSocket;

// The unit's WiFi side: UDP port 8000 on a loopback address.  Each datagram
// received is handed on with its sender; replies go to the sender's address,
// port 8000.  The program on the same machine binds port 8000 too, so the
// port is shared.
class UdpPort : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kPort = 8000;
    // Each reply goes out as one datagram; only one longer than a datagram
    // can carry is split, between lines.
    static constexpr int kMaxDatagram = 65507;

    explicit UdpPort(QObject *parent = nullptr);
    ~UdpPort() override;

    // Only loopback addresses: the simulated unit never reaches a network.
    bool bind(const QHostAddress &address, QString *error);
    QHostAddress address() const { return m_address; }
    void send(const QByteArray &reply, const QHostAddress &to);

signals:
    void received(const QHostAddress &sender, const QByteArray &datagram);

private:
    void readPending();

    QUdpSocket *m_socket = nullptr;
    QHostAddress m_address;
};
