#include "link/logon.h"

#include "common/hint.h"
#include "common/messages.h"
#include "link/commandchannel.h"
#include "link/delay.h"
#include "link/enterpin.h"
#include "link/lamp.h"
#include "link/portselector.h"
#include "link/ports.h"
#include "link/receivelog.h"
#include "link/unitcontract.h"

#include <QAction>
#include <QElapsedTimer>
#include <QHostInfo>
#include <QMenu>
#include <QTimer>
#include <QUdpSocket>

namespace {
constexpr int LedGreen = Lamp::Green;
constexpr int LedGrey = Lamp::Grey;
constexpr int LedRed = Lamp::Red;

constexpr int kKeepAliveSeconds = 15;
constexpr int kModemAttempts = 6;
constexpr int kModemPasses = 6;
constexpr int kDialWaits = 100;
constexpr int kIdentifyAttempts = 6;

const QString kLogOn = QStringLiteral("Log On");
const QString kLogOff = QStringLiteral("Log Off");
constexpr int kHostLookupMs = 5000;

// The IPv4 address of a unit configured by name.  The lookup runs while the
// window stays live; a name that does not resolve in time gives no address,
// and the unit then simply does not answer.
QHostAddress ResolveHostName(const QString &name)
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

LinkController::LinkController(CommandChannel &channel, PortSelector &ports, TEnterPin &dialog,
                               LinkControls controls, QObject *parent)
    : QObject(parent), DirectoryEndAddress(UnitContract::kDefaultDirectoryEndAddress), m_channel(channel),
      m_ports(ports), m_dialog(dialog), m_ui(std::move(controls))
{
    connect(&m_ports, &PortSelector::portChosen, this, &LinkController::PortChosen);
    connect(&m_channel, &CommandChannel::linkLost, this, &LinkController::linkLost);
}

void LinkController::linkLost()
{
    // The port is closed already.  Whatever was running notices by
    // LogOnAborted, or is abandoned by its wait.
    LogOnAborted = true;
    // Hidden first: hiding says "Done", which is not what happened.
    m_ui.hideTransfer();
    SetOffline();
    EnablePortSelection();
}

bool LinkController::ledMarked() const { return m_ui.ledAction->isChecked(); }

void LinkController::addFirstGroup(QObject *control)
{
    m_firstGroup.append(control);
    control->setProperty("enabled", LoggedOn);
}

void LinkController::addSecondGroup(QObject *control)
{
    m_secondGroup.append(control);
    control->setProperty("enabled", LoggedOn);
}

void LinkController::setGroupEnabled(const QList<QPointer<QObject>> &group, bool enabled)
{
    for (const QPointer<QObject> &control : group)
        if (control)
            control->setProperty("enabled", enabled);
}

bool LinkController::OpenLink()
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
        port.setPortName(SerialPortLocation(m_ports.selectedSerialName()));
        m_channel.setSerialPortLabel(m_ports.selectedSerialName());
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

void LinkController::OpenUdpLink()
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
        destination = ResolveHostName(m_channel.unitAddress());
        m_channel.setResolvedUnitAddress(destination);
    }
    m_channel.UdpSocket = std::move(socket);
    m_channel.UdpDestination = destination;
    m_channel.UdpLinkOpen = true;
}

bool LinkController::ModemInit()
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

void LinkController::LogOff()
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

bool LinkController::KeepAlive()
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

void LinkController::Timer2Timer()
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
        OnLine1Click();
        // No message box for this: the status bar says why.
        m_ui.setStatus(QStringLiteral("Link lost - OFF Line"));
    }
}

void LinkController::SetOffline()
{
    LogOff();
    m_ui.OnLine1->setText(kLogOn);
    SetHint(m_ui.OnLine1, kLogOn);
    SetHint(m_ui.ledAction, kLogOn);
    m_ui.Timer1->stop();
    LoggedOn = false;
    m_ui.setDirectoryInSync(false);
    m_ui.ledAction->setChecked(false);
    m_ui.setAnimationHint(QStringLiteral("OFF Line"));
    setGroupEnabled(m_firstGroup, false);
    m_ui.Timer2->stop();
    m_ui.playAnimation(false);
    m_ui.setLedPicture(LedGrey);
    setGroupEnabled(m_secondGroup, false);
    // Never "Connected" for a link that is gone.
    m_ui.setStatus(QStringLiteral("OFF Line"));
}

void LinkController::EnableUnitCommands() { setGroupEnabled(m_secondGroup, true); }

void LinkController::enableLogOn(const QString &hint)
{
    m_ui.ledAction->setEnabled(true);
    SetHint(m_ui.ledAction, hint);
    m_ui.ConnectMenu->menuAction()->setEnabled(true);
}

void LinkController::EnablePortSelection()
{
    m_ui.UpdatePorts1->setEnabled(true);
    m_ui.PortsMenu->menuAction()->setEnabled(true);
    enableLogOn(kLogOn);
}

void LinkController::PortChosen()
{
    enableLogOn(kLogOn);
    m_ui.OnLine1->setEnabled(true);
    SetHint(m_ui.OnLine1, kLogOn);
}

void LinkController::UpdatePorts1Click()
{
    m_ports.ListSerialPorts();
    m_ui.ledAction->setEnabled(false);
    SetHint(m_ui.ledAction, QStringLiteral("Set port First"));
    m_ui.ConnectMenu->menuAction()->setEnabled(false);
}

void LinkController::PreselectPort(const QString &identity)
{
    if (identity.isEmpty() || !m_ports.Preselect(identity))
        return;
    PortChosen();
}

QString LinkController::ModelTitle(const QString &modelLine)
{
    for (const UnitContract::Model &model : UnitContract::kModels) {
        if (modelLine == model.text) {
            const QString number = QString(model.text).section(QLatin1Char('_'), 1, 1);
            return QStringLiteral("RVX Ostiarin GN4_%1    Programmer   =Osti-Kit=  V8.8").arg(number);
        }
    }
    return {};
}

void LinkController::identifyModel()
{
    const QString model = m_channel.RxLog().line(UnitContract::kModelLine).left(UnitContract::kModelTextLength);
    DirectoryEndAddress = 0;
    for (const UnitContract::Model &known : UnitContract::kModels) {
        if (model == known.text) {
            DirectoryEndAddress = known.directoryEndAddress;
            m_ui.setTitle(ModelTitle(model));
        }
    }
    m_ui.showDirectoryEndAddress(DirectoryEndAddress);
}

void LinkController::OnLine1Click()
{
    if (LoggedOn || ledMarked())
        logOffClicked();
    else
        logOn();
}

void LinkController::logOffClicked()
{
    LogOnAborted = true;
    m_ui.setLedPicture(LedRed);
    m_channel.RxLog().clear();
    m_channel.ReplyReady = false;
    m_channel.RxBuffer.clear();
    m_ui.hideTransfer();
    Delay(100);
    SetOffline();
    EnablePortSelection();
}

void LinkController::logOn()
{
    CommandChannel &ch = m_channel;
    const UnitOperation operation(ch.Gate, QStringLiteral("LogOn"));
    if (!operation)
        return;
    m_ui.ledAction->setChecked(true);
    LogOnAborted = false;

    // Every way out of the attempt goes through here.
    auto finish = [this] {
        if (LogOnAborted) {
            SetOffline();
            m_ui.hideTransfer();
            EnablePortSelection();
        }
    };

    if (m_dialog.exec() != QDialog::Accepted) {
        LogOnAborted = true;
        return finish();
    }
    Pin = m_dialog.pin();
    ModemNumber = m_dialog.phoneNumber();
    // The Remote box is hidden while WiFi is selected: a tick remembered
    // from an earlier serial log-on must not send the modem commands over UDP.
    ch.RemoteMode = m_dialog.remote() && !ch.WiFiSelected;
    ch.ComPort1.setBaudRate(ch.RemoteMode ? UnitContract::kModemBaud : UnitContract::kDirectBaud);

    m_ui.setDirectoryInSync(false);
    m_ui.setStatus(QStringLiteral("Loging on Please Wait"));
    m_ui.OnLine1->setText(kLogOff);
    m_ui.Timer2->stop();
    LogOff();
    m_ui.UpdatePorts1->setEnabled(false);
    m_ui.PortsMenu->menuAction()->setEnabled(false);
    enableLogOn(kLogOn); // so that the attempt can be cancelled

    if (!OpenLink()) {
        MessageService::inform(QStringLiteral("Serial Communication Error"));
        LogOnAborted = true;
        return finish();
    }

    if (ch.RemoteMode) {
        if (!ModemInit()) {
            LogOnAborted = true;
            return finish();
        }
        Delay(100);
        ch.SendCommand(UnitContract::ModemDialCommand(ModemNumber));
        Delay(100);
        ch.RxLog().clear();
        ch.LineCount = 0;
        m_ui.setStatus(QStringLiteral("waiting for Connection"));
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
            LogOnAborted = true;
            return finish();
        }
    }

    m_ui.setStatus(QStringLiteral("waiting for Model Number"));
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
        LogOnAborted = true;
        return finish();
    }

    m_ui.setStatus(QStringLiteral("OK Connected"));
    identifyModel();

    ch.RxLog().clear();
    Delay(10);
    ch.RxBuffer.clear();
    ch.SendRaw(UnitContract::LogOnCommand(Pin));
    ch.WaitReply(80);

    if (ch.ReplyReady) {
        LoggedOn = true;
        setGroupEnabled(m_firstGroup, true);
        m_ui.setLedPicture(LedGreen);
        SetHint(m_ui.ledAction, kLogOff);
        m_ui.setStatus(QStringLiteral("Connected"));
        m_ui.Timer2->start();
        m_ui.setAnimationHint(QStringLiteral("On Line"));
        m_ui.playAnimation(true);
        m_ui.ledAction->setChecked(false);
        EnableUnitCommands();
    } else {
        LogOnAborted = true;
        MessageService::inform(QStringLiteral("Failed to Connect\r\nCheck PIN"));
    }
    finish();
}
