#pragma once

#include "simunit.h"
#include "trafficlog.h"

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class PtyPort;
class SimModem;
class UdpPort;

struct SimOptions {
    UnitOptions unit;
    bool modem = false;          // a dial-up modem in front of the serial port
    int connectDelayMs = 2000;   // how long the modem rings before CONNECT
    // Serial replies leave at this line speed.  kLineSpeed: the line's own
    // (57600 baud, 9600 behind the modem), as a real cable delivers them;
    // 0: at once, for tests that need speed.
    static constexpr int kLineSpeed = -1;
    int baud = kLineSpeed;
    int replyDelayMs = 0;        // every reply waits this long
    QString statePath{};         // the unit's memory, loaded and saved as JSON
    QString logPath{};           // the conversation, one line a command or reply
};

// A command as the unit's side of a link received it (CR removed).
struct ReceivedCommand {
    QString link; // "serial", or "udp:" and the sender's address
    QByteArray bytes;
};

// A simulated Ostiarin: the unit's logic behind a real pseudo-terminal
// (optionally with a modem in front) and a real UDP port on loopback.  Used
// by the program ostiarin-sim and, in-process, by the program's tests.
class Simulator : public QObject {
    Q_OBJECT
public:
    static inline const QString kSerialLink = QStringLiteral("serial");

    explicit Simulator(SimOptions options = {}, QObject *parent = nullptr);
    ~Simulator() override;

    // The state file: a missing file is a new unit; a file that cannot be
    // read as a state is an error (and is never overwritten).
    bool loadState(QString *error);
    bool saveState(QString *error) const;

    // Opens the pseudo-terminal and publishes it as the port `name` (no
    // publishing for an empty name).
    bool startSerial(const QString &name, QString *error = nullptr);
    bool startUdp(const QHostAddress &address, QString *error = nullptr);

    QString serialDevice() const;    // /dev/pts/N
    QString publishedPort() const;   // the link in the ports folder
    bool openLog(QString *error);

    SimUnit &unit() { return m_unit; }
    const SimUnit &unit() const { return m_unit; }
    SimModem *modem() const { return m_modem; }
    const SimOptions &options() const { return m_options; }

    const QList<ReceivedCommand> &commands() const { return m_commands; }
    void clearCommands() { m_commands.clear(); }

    // Why the unit kept quiet, answered "Error" or garbled its answer where
    // a real unit is strict; each also goes to the traffic log.
    const QStringList &refusals() const { return m_refusals; }

    // Reply bytes held back to keep the line's pace, not yet on the line.
    qsizetype serialOutputPending() const;
    // Nothing on its way on the serial line: every byte the program wrote
    // was taken and answered, and every reply was read by the program.
    bool serialQuiet() const;

    // The line speed a serial client must set: 57600, or 9600 behind the modem.
    int lineBaud() const { return m_options.modem ? 9600 : 57600; }

    // A tag held to the reader: its line goes to every link in programming
    // mode.  Returns how many links it went to.
    int presentTag(const QByteArray &code, bool wrongCheck);

signals:
    void commandReceived(const ReceivedCommand &command);

private:
    void serialInput(const QByteArray &bytes);
    void udpInput(const QHostAddress &sender, const QByteArray &datagram);
    void answer(const QString &link, const QByteArray &command);
    void deliver(const QString &link, const QByteArray &reply);
    void sendNow(const QString &link, const QByteArray &reply);
    void record(const QString &link, const QByteArray &command);
    void refuse(const QString &link, const QString &why);
    bool lineMatches();
    void hangUp();

    SimOptions m_options;
    SimUnit m_unit;
    PtyPort *m_pty = nullptr;
    SimModem *m_modem = nullptr;
    UdpPort *m_udp = nullptr;
    QByteArray m_serialLine;
    QHash<QString, QHostAddress> m_udpPeers; // link -> sender address
    QList<ReceivedCommand> m_commands;
    TrafficLog m_log;
    QStringList m_refusals;
    int m_delayedReplies = 0;   // replies waiting out replyDelayMs
    bool m_lineGarbled = false; // the program's side runs other line settings
};
