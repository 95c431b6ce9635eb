#include "link/unitlink.h"

#include "common/messages.h"
#include "link/commandchannel.h"
#include "link/delay.h"
#include "link/lamp.h"
#include "link/ports.h"
#include "link/receivelog.h"
#include "link/unitcontract.h"

#include <QElapsedTimer>
#include <QHostInfo>
#include <QTimer>
#include <QUdpSocket>

namespace {
constexpr int kKeepAliveSeconds = 15;
constexpr int kModemAttempts = 6;
constexpr int kModemPasses = 6;
constexpr int kDialWaits = 100;
constexpr int kIdentifyAttempts = 6;
constexpr int kHostLookupMs = 5000;

// The IPv4 address of a unit configured by name.  The lookup runs while the
// event loop stays live; a name that does not resolve in time gives no
// address, and the unit then simply does not answer.
QHostAddress resolveHostName(const QString &name)
{
    QObject context;
    bool done = false;
    QHostAddress found;
    const int lookup = QHostInfo::lookupHost(name, &context, [&](const QHostInfo &info) {
        for (const QHostAddress &address : info.addresses()) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                found = address;
                break;
            }
        }
        done = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < kHostLookupMs)
        Delay(10);
    if (!done)
        QHostInfo::abortHostLookup(lookup);
    return found;
}
} // namespace

UnitLink::UnitLink(CommandChannel &channel, QTimer &keepAliveTimer, QObject *parent)
    : QObject(parent), DirectoryEndAddress(UnitContract::kDefaultDirectoryEndAddress), m_channel(channel),
      m_keepAlive(keepAliveTimer)
{
    connect(&m_channel, &CommandChannel::linkLost, this, &UnitLink::linkLost);
}

void UnitLink::linkLost()
{
    // The port is closed already.  Whatever was running notices by
    // LogOnAborted, or is abandoned by its wait.
    LogOnAborted = true;
    // Hidden first: hiding says "Done", which is not what happened.
    look(m_look.hideTransfer);
    SetOffline();
    look(m_look.portsFree);
    emit linkDropped();
}

UnitGate &UnitLink::gate() { return m_channel.Gate; }

bool UnitLink::OpenLink()
{
    bool opened;
    if (m_channel.WiFiSelected) {
        OpenUdpLink();
        opened = m_channel.UdpLinkOpen;
    } else if (m_channel.ComPort1.isOpen()) {
        m_channel.ComPort1.close();
        opened = false;
    } else {
        QSerialPort &port = m_channel.ComPort1;
        port.setPortName(SerialPortLocation(SerialName));
        m_channel.setSerialPortLabel(SerialName);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
        opened = port.open(QIODevice::ReadWrite);
        if (opened) {
            // A pseudo-terminal (a simulated unit, a bridge) has no modem lines:
            // refusing DTR and RTS there is no failure of the port.
            port.setDataTerminalReady(true);
            port.setRequestToSend(true);
            port.clearError();
        }
    }
    Delay(1000);
    return opened;
}

void UnitLink::OpenUdpLink()
{
    if (m_channel.UdpLinkOpen) {
        m_channel.UdpSocket.reset();
        m_channel.UdpLinkOpen = false;
        return;
    }
    auto socket = std::make_unique<QUdpSocket>();
    // A simulated unit on a loopback address may hold the same port: share it.
    if (!socket->bind(QHostAddress(QStringLiteral("0.0.0.0")), UnitContract::kUdpPort,
                      QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        m_channel.UdpLinkOpen = false;
        MessageService::inform(QStringLiteral("Failed to connect\r\nWiFi port"));
        return;
    }
    QHostAddress destination(m_channel.unitAddress());
    if (destination.isNull()) {
        destination = resolveHostName(m_channel.unitAddress());
        m_channel.setResolvedUnitAddress(destination);
    }
    m_channel.UdpSocket = std::move(socket);
    m_channel.UdpDestination = destination;
    m_channel.UdpLinkOpen = true;
}

bool UnitLink::ModemInit()
{
    m_channel.ReplyReady = false;
    m_channel.RxLog().clear();
    for (int pass = 0; pass < kModemPasses; ++pass) {
        for (int attempt = 0; attempt < kModemAttempts && !m_channel.ReplyReady && !LogOnAborted; ++attempt) {
            if (!m_channel.ComPort1.isOpen()) {
                OpenLink();
                Delay(3000);
            }
            m_channel.SendCommand(UnitContract::ModemResetCommand());
            m_channel.WaitReply(10);
        }
        if (m_channel.ReplyReady) {
            m_channel.SendCommand(UnitContract::ModemEchoOffCommand());
            m_channel.WaitReply(10);
        }
        if (m_channel.ReplyReady)
            return true;
        LogOff();
        Delay(500);
        if (LogOnAborted)
            break;
    }
    return false;
}

void UnitLink::LogOff()
{
    if (m_channel.UdpLinkOpen) {
        m_channel.SendCommand(UnitContract::LogOffCommand());
        m_channel.UdpLinkOpen = false;
        m_channel.UdpSocket.reset();
    }
    if (m_channel.ComPort1.isOpen()) {
        try {
            m_channel.SendCommand(UnitContract::LogOffCommand());
        } catch (const OnceReportedError &lost) {
            // The port is gone (and closed with it): the log-off is done all
            // the same.  Waits that run are abandoned and tell the user;
            // otherwise it is told here.
            if (WaitDepth() == 0 && lost.takeReport())
                MessageService::error(lost.text());
        }
        m_channel.ComPort1.close();
        LoggedOn = false;
    }
}

bool UnitLink::KeepAlive()
{
    m_channel.RxLog().clear();
    m_channel.SendCommand(UnitContract::KeepAliveCommand());
    m_channel.WaitReply(5);
    if (m_channel.ReplyReady) {
        m_channel.RxLog().clear();
        return true;
    }
    return false;
}

void UnitLink::Timer2Timer()
{
    if (!LoggedOn || m_channel.BulkTransfer)
        return;
    if (++m_channel.KeepAliveTicks < kKeepAliveSeconds)
        return;
    // A running operation keeps the line busy itself; a keep-alive inside it
    // would clear its log and answer in its place.  It is sent at the first
    // tick after the operation ends.
    UnitOperation keepAlive(m_channel.Gate, QStringLiteral("KeepAlive"));
    if (!keepAlive)
        return;
    m_channel.KeepAliveTicks = 0;
    const bool answered = KeepAlive();
    keepAlive.release();
    if (!answered) {
        logOffRequested();
        // No message box for this: the status bar says why.
        look(m_look.setStatus, QStringLiteral("Link lost - OFF Line"));
        emit linkDropped();
    }
}

void UnitLink::SetOffline()
{
    LogOff();
    LoggedOn = false;
    m_keepAlive.stop();
    emit directoryOutOfStep();
    look(m_look.offLine);
    // Never "Connected" for a link that is gone.
    look(m_look.setStatus, QStringLiteral("OFF Line"));
}

QString UnitLink::ModelTitle(const QString &modelLine)
{
    for (const UnitContract::Model &model : UnitContract::kModels) {
        if (modelLine == model.text) {
            const QString number = QString(model.text).section(QLatin1Char('_'), 1, 1);
            return QStringLiteral("RVX Ostiarin GN4_%1    Programmer   =Osti-Kit=  V8.8").arg(number);
        }
    }
    return {};
}

void UnitLink::identifyModel()
{
    ModelLine = m_channel.RxLog().line(UnitContract::kModelLine).left(UnitContract::kModelTextLength);
    DirectoryEndAddress = 0;
    for (const UnitContract::Model &known : UnitContract::kModels) {
        if (ModelLine == known.text) {
            DirectoryEndAddress = known.directoryEndAddress;
            look(m_look.setTitle, ModelTitle(ModelLine));
        }
    }
    look(m_look.showDirectoryEndAddress, DirectoryEndAddress);
}

void UnitLink::logOffRequested()
{
    LogOnAborted = true;
    m_offRequested = true;
    look(m_look.setLamp, int(Lamp::Red));
    m_channel.RxLog().clear();
    m_channel.ReplyReady = false;
    m_channel.RxBuffer.clear();
    look(m_look.hideTransfer);
    Delay(100);
    SetOffline();
    look(m_look.portsFree);
}

void UnitLink::finishLogOn()
{
    if (LogOnAborted) {
        SetOffline();
        look(m_look.hideTransfer);
        look(m_look.portsFree);
    }
}

void UnitLink::logOnCancelled()
{
    LogOnAborted = true;
    finishLogOn();
}

LogOnResult UnitLink::logOn(const LogOnRequest &request)
{
    const UnitOperation operation(m_channel.Gate, QStringLiteral("LogOn"));
    if (!operation)
        return LogOnResult::Busy;
    LogOnAborted = false;
    return logOnHeld(request);
}

LogOnResult UnitLink::logOnHeld(const LogOnRequest &request)
{
    CommandChannel &ch = m_channel;
    m_offRequested = false;
    // Every way out of a failed attempt goes through here.
    auto fail = [this](LogOnResult result) {
        LogOnAborted = true;
        if (m_offRequested)
            result = LogOnResult::Cancelled;
        finishLogOn();
        return result;
    };

    Pin = request.pin;
    ModemNumber = request.modemNumber;
    SerialName = request.serialName;
    // A tick remembered from an earlier serial log-on must not send the
    // modem commands over UDP.
    ch.RemoteMode = request.remote && !ch.WiFiSelected;
    ch.ComPort1.setBaudRate(ch.RemoteMode ? UnitContract::kModemBaud : UnitContract::kDirectBaud);

    emit directoryOutOfStep();
    look(m_look.setStatus, QStringLiteral("Loging on Please Wait"));
    look(m_look.loggingOn);
    m_keepAlive.stop();
    LogOff();
    look(m_look.portsLocked); // the attempt can still be cancelled

    if (!OpenLink()) {
        MessageService::inform(QStringLiteral("Serial Communication Error"));
        return fail(LogOnResult::PortFailed);
    }

    if (ch.RemoteMode) {
        if (!ModemInit())
            return fail(LogOnResult::NoModem);
        Delay(100);
        ch.SendCommand(UnitContract::ModemDialCommand(ModemNumber));
        Delay(100);
        ch.RxLog().clear();
        ch.LineCount = 0;
        look(m_look.setStatus, QStringLiteral("waiting for Connection"));
        ch.ModemConnected = false;
        Delay(500);
        int waits = 0;
        do {
            Delay(600);
            ++waits;
        } while (!LogOnAborted && !ch.ModemConnected && waits <= kDialWaits);
        Delay(500);
        if (LogOnAborted || waits > kDialWaits) {
            MessageService::inform(QStringLiteral("Failed to connect"));
            return fail(LogOnResult::NoConnection);
        }
    }

    look(m_look.setStatus, QStringLiteral("waiting for Model Number"));
    ch.DataReceived = false;
    Delay(100);
    for (int i = 0; i < kIdentifyAttempts && !LogOnAborted && !ch.DataReceived; ++i) {
        ch.RxLog().clear();
        Delay(10);
        ch.SendCommand(UnitContract::IdentifyCommand());
        Delay(500);
    }
    Delay(200);
    if (!ch.DataReceived) {
        if (!LogOnAborted)
            MessageService::inform(QStringLiteral("No Reponse from Ostiarin"));
        return fail(LogOnResult::NoResponse);
    }

    look(m_look.setStatus, QStringLiteral("OK Connected"));
    identifyModel();

    ch.RxLog().clear();
    Delay(10);
    ch.RxBuffer.clear();
    ch.SendRaw(UnitContract::LogOnCommand(Pin));
    ch.WaitReply(80);

    if (!ch.ReplyReady) {
        LogOnAborted = true;
        MessageService::inform(QStringLiteral("Failed to Connect\r\nCheck PIN"));
        return fail(LogOnResult::PinRefused);
    }
    LoggedOn = true;
    look(m_look.setLamp, int(Lamp::Green));
    look(m_look.setStatus, QStringLiteral("Connected"));
    m_keepAlive.start();
    look(m_look.onLine);
    finishLogOn();
    return LogOnResult::Done;
}
