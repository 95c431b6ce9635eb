#include "link/commandchannel.h"

#include "common/errors.h"
#include "common/messages.h"
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
    connect(&ComPort1, &QSerialPort::errorOccurred, this, &CommandChannel::portError);
    connect(&ComPort1, &QIODevice::aboutToClose, this, [this] { ++m_portSession; });
}

void CommandChannel::portError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError: // the device went away (a pulled adapter, a closed far end)
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::UnknownError:
        break;
    default:
        // Opening errors are the opener's; a pseudo-terminal refusing DTR and
        // RTS is harmless; a time-out is the waiter's.
        return;
    }
    if (!ComPort1.isOpen())
        return;
    // Not closed inside the port's own signal: once control is back in an
    // event loop.  Until then the port stays as it is, unless it was closed
    // (and maybe opened again) in between.
    const char *what = error == QSerialPort::ResourceError ? "the device is no longer available"
                       : error == QSerialPort::WriteError  ? "writing failed"
                       : error == QSerialPort::ReadError   ? "reading failed"
                                                           : "the port failed";
    const QString reason = QStringLiteral("%1 (%2)").arg(QLatin1String(what), ComPort1.errorString());
    const quint64 session = m_portSession;
    QTimer::singleShot(0, this, [this, reason, session] {
        if (session != m_portSession || !ComPort1.isOpen())
            return;
        const OnceReportedError lost = loseSerialLink(reason);
        if (!InterruptWaits([lost] { throw lost; }) && lost.takeReport())
            MessageService::error(lost.text());
    });
}

OnceReportedError CommandChannel::loseSerialLink(const QString &reason)
{
    const QString text = QStringLiteral("Lost the serial port %1: %2")
                             .arg(m_serialPortLabel.isEmpty() ? ComPort1.portName() : m_serialPortLabel, reason);
    ComPort1.close();
    emit linkLost(text);
    return OnceReportedError(text, std::make_shared<bool>(false));
}

CommandChannel::~CommandChannel() = default;

void CommandChannel::setUnitAddress(const QString &text)
{
    m_unitAddress = text;
    m_resolvedUnitAddress.clear();
}

// The last guard: a CR or LF before the command's own closing CR would end
// it early and run the rest as a command of its own.  Shows the error and
// says so when the text must not be sent.  A raw text (the log-on's "a" +
// PIN) is not shown in the message.
static bool refusedForLineEndInside(const QString &text, bool showText)
{
    const QStringView body = text.endsWith(QLatin1Char('\r')) ? QStringView(text).chopped(1) : QStringView(text);
    if (!body.contains(QLatin1Char('\r')) && !body.contains(QLatin1Char('\n')))
        return false;
    if (!showText) {
        MessageService::error(QStringLiteral("A command holding a line end inside it was not sent."));
        return true;
    }
    QString shown = body.toString();
    shown.replace(QLatin1Char('\r'), QLatin1String("<CR>")).replace(QLatin1Char('\n'), QLatin1String("<LF>"));
    MessageService::error(QStringLiteral("The command \"%1\" holds a line end inside it and was not sent.").arg(shown));
    return true;
}

void CommandChannel::SendRaw(const QString &text)
{
    if (refusedForLineEndInside(text, false))
        return;
    const QByteArray bytes = text.toLatin1();
    if (WiFiSelected && UdpLinkOpen && UdpSocket) {
        UdpSocket->writeDatagram(bytes, UdpDestination, UnitContract::kUdpPort);
        emit bytesSent(bytes);
    }
    if (ComPort1.isOpen()) {
        const qint64 written = ComPort1.write(bytes);
        bool sent = written == bytes.size();
        // The write has completed when this returns.
        while (sent && ComPort1.bytesToWrite() > 0)
            sent = ComPort1.waitForBytesWritten(kSerialWriteTimeoutMs);
        if (!sent) {
            const OnceReportedError lost =
                loseSerialLink(QStringLiteral("writing failed (%1)").arg(ComPort1.errorString()));
            // Handlers waiting further out are abandoned too; this one by the throw.
            InterruptWaits([lost] { throw lost; });
            throw lost;
        }
        emit bytesSent(bytes);
    }
}

void CommandChannel::SendCommand(const QString &text)
{
    if (refusedForLineEndInside(text, true))
        return;
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
        // What follows the last line end is the start of the next line: kept,
        // so that an "OK" split right after a line end is still recognised.
        LineBuffer.remove(0, LineBuffer.lastIndexOf(kReplyLineEnd) + 2);
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
    // The address as typed may be spelt otherwise than the system writes it
    // ("FE80::1", groups written out): compare addresses, not texts.
    const QHostAddress typed(m_unitAddress);
    if (!typed.isNull() && QHostAddress(dotted) == typed)
        return true;
    // A unit configured by host name: compare with what the name resolved to.
    return !m_resolvedUnitAddress.isNull() && QHostAddress(dotted) == m_resolvedUnitAddress;
}

void CommandChannel::gatherDatagram(const QHostAddress &sender, const QByteArray &data, QString &received)
{
    if (fromUnit(sender))
        received += QString::fromLatin1(data);
    else
        ++m_discarded;
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
        gatherDatagram(datagram.senderAddress(), datagram.data(), received);
    }
    if (!received.isEmpty())
        ReceiveText(received);

    if (m_ledBlinkTimer)
        m_ledBlinkTimer->start();
}
