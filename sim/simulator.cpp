#include "simulator.h"

#include "ptyport.h"
#include "simmodem.h"
#include "udpport.h"

#include <QFile>
#include <QSaveFile>
#include <QTimer>

namespace {
const QString kModemLink = QStringLiteral("serial (modem)");

// What a line at other settings makes of the bytes: never a letter, never a
// line end.
QByteArray Garbled(QByteArray bytes)
{
    for (char &c : bytes)
        c = char((quint8(c) ^ 0x55) | 0x80);
    return bytes;
}
}

Simulator::Simulator(SimOptions options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_unit(m_options.unit)
{
    m_unit.setRefusalSink([this](const QString &link, const QString &why) { refuse(link, why); });
}

void Simulator::refuse(const QString &link, const QString &why)
{
    const QString text = link + QStringLiteral(" refused: ") + why;
    m_refusals.append(text);
    m_log.note(text);
}

Simulator::~Simulator() = default;

bool Simulator::loadState(QString *error)
{
    if (m_options.statePath.isEmpty())
        return true;
    QFile file(m_options.statePath);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(m_options.statePath, file.errorString());
        return false;
    }
    QString why;
    std::optional<UnitMemory> memory = UnitMemory::fromJson(file.readAll(), &why);
    if (!memory) {
        *error = QStringLiteral("%1: %2").arg(m_options.statePath, why);
        return false;
    }
    m_unit.memory() = std::move(*memory);
    return true;
}

bool Simulator::saveState(QString *error) const
{
    if (m_options.statePath.isEmpty())
        return true;
    QSaveFile file(m_options.statePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_unit.memory().toJson()) < 0 || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(m_options.statePath, file.errorString());
        return false;
    }
    return true;
}

bool Simulator::openLog(QString *error)
{
    return m_options.logPath.isEmpty() || m_log.open(m_options.logPath, error);
}

bool Simulator::startSerial(const QString &name, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    auto *pty = new PtyPort(this);
    if (!pty->open(error) || (!name.isEmpty() && !pty->publish(name, error))) {
        delete pty;
        return false;
    }
    delete m_pty;
    m_pty = pty;
    // Ten bits a byte: start, eight data bits, stop.
    const int baud = m_options.baud == SimOptions::kLineSpeed ? lineBaud() : m_options.baud;
    m_pty->setByteRate(baud / 10);
    connect(m_pty, &PtyPort::received, this, &Simulator::serialInput);
    connect(m_pty, &PtyPort::hungUp, this, &Simulator::hangUp);
    if (m_options.modem && !m_modem) {
        m_modem = new SimModem(m_options.connectDelayMs, m_options.unit.sessionTimeoutMs, this);
        connect(m_modem, &SimModem::output, this, [this](const QByteArray &text) { sendNow(kModemLink, text); });
    }
    m_log.note(QStringLiteral("serial port %1 (%2)").arg(name, m_pty->slavePath()));
    return true;
}

bool Simulator::startUdp(const QHostAddress &address, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    auto *udp = new UdpPort(this);
    if (!udp->bind(address, error)) {
        delete udp;
        return false;
    }
    delete m_udp;
    m_udp = udp;
    connect(m_udp, &UdpPort::received, this, &Simulator::udpInput);
    m_log.note(QStringLiteral("UDP %1:%2").arg(address.toString()).arg(UdpPort::kPort));
    return true;
}

qsizetype Simulator::serialOutputPending() const { return m_pty ? m_pty->pendingOutput() : 0; }

bool Simulator::serialQuiet() const
{
    if (!m_pty)
        return true;
    return m_delayedReplies == 0 && m_pty->pendingOutput() == 0 && m_pty->unreadByUnit() == 0
        && m_pty->unreadByProgram() == 0;
}

QString Simulator::serialDevice() const { return m_pty ? m_pty->slavePath() : QString(); }
QString Simulator::publishedPort() const { return m_pty ? m_pty->publishedPath() : QString(); }

void Simulator::record(const QString &link, const QByteArray &command)
{
    m_log.received(link, command + '\r');
    const ReceivedCommand received{link, command};
    m_commands.append(received);
    emit commandReceived(received);
}

bool Simulator::lineMatches()
{
    // Judged when the answer leaves: a port closed meanwhile has its old
    // settings back, and nobody to garble for.
    if (!m_pty->programSideOpen())
        return true;
    PtyPort::LineSettings expected;
    expected.baud = lineBaud();
    const PtyPort::LineSettings actual = m_pty->lineSettings();
    const bool garbled = !(actual == expected);
    if (garbled && !m_lineGarbled)
        refuse(kSerialLink, QStringLiteral("the port runs at %1, the line at %2: answers arrive garbled")
                                .arg(PtyPort::describe(actual), PtyPort::describe(expected)));
    m_lineGarbled = garbled;
    return !garbled;
}

void Simulator::hangUp()
{
    // The program let go of the port: whatever session it held ends, and a
    // modem drops its call, as a unit watching the line would see it.
    const bool wasOn = m_unit.loggedOn(kSerialLink);
    m_unit.logOff(kSerialLink);
    if (m_modem)
        m_modem->hangUp();
    m_serialLine.clear();
    m_lineGarbled = false;
    m_log.note(wasOn ? QStringLiteral("serial hang-up: the port was closed, log-on ended")
                     : QStringLiteral("serial hang-up: the port was closed"));
}

void Simulator::serialInput(const QByteArray &bytes)
{
    if (m_modem && !m_modem->connected()) {
        if (m_modem->state() == SimModem::State::Dialling) {
            m_modem->lineInput(bytes); // the call is abandoned; the key is not passed on
            return;
        }
        const QByteArray echo = m_modem->lineInput(bytes);
        if (!echo.isEmpty())
            sendNow(kModemLink, echo);
    }
    m_serialLine += bytes;
    qsizetype cr;
    while ((cr = m_serialLine.indexOf('\r')) >= 0) {
        QByteArray command = m_serialLine.left(cr);
        m_serialLine.remove(0, cr + 1);
        // A terminal program may end its lines with CR LF.
        if (command.startsWith('\n'))
            command.remove(0, 1);
        record(kSerialLink, command);
        if (m_modem && !m_modem->connected()) {
            const QByteArray result = m_modem->command(command);
            if (!result.isEmpty())
                sendNow(kModemLink, result);
            continue;
        }
        if (m_modem)
            m_modem->dataPassed();
        answer(kSerialLink, command);
    }
}

void Simulator::udpInput(const QHostAddress &sender, const QByteArray &datagram)
{
    const QString link = QStringLiteral("udp:") + sender.toString();
    m_udpPeers.insert(link, sender);
    // One command a datagram, ended by CR: the unit takes nothing else.
    const qsizetype cr = datagram.indexOf('\r');
    if (cr != datagram.size() - 1) {
        m_log.received(link, datagram);
        refuse(link, cr < 0 ? QStringLiteral("a datagram without its closing CR")
                            : QStringLiteral("a datagram holding more than one command"));
        return;
    }
    const QByteArray command = datagram.left(cr);
    record(link, command);
    answer(link, command);
}

void Simulator::answer(const QString &link, const QByteArray &command)
{
    const std::optional<QByteArray> reply = m_unit.handle(link, command);
    if (link == kSerialLink && m_modem && !m_unit.loggedOn(link) && command == "x")
        m_modem->hangUp(); // the unit ends the call after its log-off
    if (reply)
        deliver(link, *reply);
}

void Simulator::deliver(const QString &link, const QByteArray &reply)
{
    if (m_options.replyDelayMs <= 0) {
        sendNow(link, reply);
        return;
    }
    ++m_delayedReplies;
    QTimer::singleShot(m_options.replyDelayMs, this, [this, link, reply] {
        --m_delayedReplies;
        sendNow(link, reply);
    });
}

void Simulator::sendNow(const QString &link, const QByteArray &reply)
{
    if (reply.isEmpty())
        return;
    m_log.sent(link, reply);
    if (link == kSerialLink || link == kModemLink) {
        if (m_pty)
            m_pty->write(lineMatches() ? reply : Garbled(reply));
    } else if (m_udp && m_udpPeers.contains(link)) {
        m_udp->send(reply, m_udpPeers.value(link));
    }
}

int Simulator::presentTag(const QByteArray &code, bool wrongCheck)
{
    const QByteArray line = m_unit.presentTag(code, wrongCheck);
    QStringList targets;
    if (m_pty && m_unit.loggedOn(kSerialLink))
        targets << kSerialLink;
    for (auto it = m_udpPeers.cbegin(); it != m_udpPeers.cend(); ++it)
        if (m_unit.loggedOn(it.key()))
            targets << it.key();
    for (const QString &link : std::as_const(targets))
        sendNow(link, line);
    return int(targets.size());
}
