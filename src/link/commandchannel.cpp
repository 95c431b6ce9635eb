#include "link/commandchannel.h"

#include "common/errors.h"
#include "link/delay.h"
#include "link/receivelog.h"
#include "link/unitcontract.h"

#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

namespace {
constexpr int kSerialWriteTimeoutMs = 5000;
using UnitContract::kReplyLineEnd;
using UnitContract::kOkMarker;
using UnitContract::kModemConnectMarker;
} // namespace

CommandChannel::CommandChannel(ReceiveLog &log, QObject *parent) : QObject(parent), m_log(log)
{
    ComPort1.setObjectName(QStringLiteral("ComPort1"));
    connect(&ComPort1, &QSerialPort::readyRead, this, [this] { ComPort1RxChar(ComPort1.bytesAvailable()); });
}

CommandChannel::~CommandChannel() = default;

void CommandChannel::setUnitAddress(const QString &text)
{
    m_unitAddress = text;
    m_resolvedUnitAddress.clear();
}

void CommandChannel::SendRaw(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    if (WiFiSelected && UdpLinkOpen && UdpSocket) {
        UdpSocket->writeDatagram(bytes, UdpDestination, UnitContract::kUdpPort);
        emit bytesSent(bytes);
    }
    if (ComPort1.isOpen()) {
        qint64 written = ComPort1.write(bytes);
        if (written != bytes.size())
            throw AppError(ComPort1.errorString());
        // The write has completed when this returns.
        while (ComPort1.bytesToWrite() > 0) {
            if (!ComPort1.waitForBytesWritten(kSerialWriteTimeoutMs))
                throw AppError(QStringLiteral("Serial write failed on %1: %2")
                                   .arg(ComPort1.portName(), ComPort1.errorString()));
        }
        emit bytesSent(bytes);
    }
}

void CommandChannel::SendCommand(const QString &text)
{
    LastReply.clear();
    KeepAliveTicks = 0;
    emit commandShown(text);
    Delay(1);
    SendRaw(text);
}

bool CommandChannel::WaitReply(int steps)
{
    ReplyReady = false;
    RxBuffer.clear();
    LastReply.clear();
    for (int step = 0; step < steps && !ReplyReady; ++step)
        Delay(100);
    LastReply = m_log.line(1);
    return ReplyReady;
}

void CommandChannel::ReceiveText(QString text)
{
    text.remove(QChar(0));
    DataReceived = true;
    RxBuffer += text;
    LineBuffer += text;
    if (!BulkTransfer)
        m_log.append(text);
    if (LineBuffer.startsWith(kReplyLineEnd))
        LineBuffer.remove(0, 2);
    if (LineBuffer.isEmpty())
        return;
    ReplyReady = LineBuffer.contains(kOkMarker);
    LineComplete = LineBuffer.contains(kReplyLineEnd);
    if (LineComplete) {
        if (BulkTransfer) {
            ++LineCount;
            m_log.setText(QString::number(LineCount));
        }
        if (RemoteMode && LineBuffer.contains(kModemConnectMarker))
            ModemConnected = true;
        LineBuffer.clear();
    }
}

void CommandChannel::ComPort1RxChar(qint64 count)
{
    if (count <= 0)
        return;
    const QByteArray bytes = ComPort1.read(count);
    if (!bytes.isEmpty())
        ReceiveText(QString::fromLatin1(bytes));
}

bool CommandChannel::fromUnit(const QHostAddress &sender) const
{
    // A sender on an IPv4 socket may come as an IPv4-mapped IPv6 address.
    bool isV4 = false;
    const quint32 v4 = sender.toIPv4Address(&isV4);
    const QString dotted = isV4 ? QHostAddress(v4).toString() : sender.toString();
    if (dotted == m_unitAddress)
        return true;
    // A unit configured by host name: compare with what the name resolved to.
    return !m_resolvedUnitAddress.isNull() && QHostAddress(dotted) == m_resolvedUnitAddress;
}

void CommandChannel::Timer4Timer()
{
    if (!UdpLinkOpen || !UdpSocket)
        return;
    if (m_ledBlinkTimer)
        m_ledBlinkTimer->stop();

    QString received;
    // Every datagram waiting now is read; none is waited for, so the poll
    // never holds up the user interface.
    while (UdpSocket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = UdpSocket->receiveDatagram();
        if (!datagram.isValid())
            break;
        if (fromUnit(datagram.senderAddress()))
            received += QString::fromLatin1(datagram.data());
        else
            ++m_discarded;
    }
    if (!received.isEmpty())
        ReceiveText(received);

    if (m_ledBlinkTimer)
        m_ledBlinkTimer->start();
}
