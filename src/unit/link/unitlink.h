#pragma once

#include <QObject>
#include <QString>

#include <functional>

class CommandChannel;
class QTimer;
class UnitGate;

// What the link shows the person while it logs on, stays on line and logs
// off: the window's lamp, status bar and menus, the command-line tool's
// lines on stderr.  Every step is optional; each runs at the point of the
// sequence where the window has always changed that look.
struct LinkLook {
    std::function<void(const QString &)> setStatus; // status bar panel 0
    std::function<void(int)> setLamp;               // a Lamp::Look
    std::function<void(const QString &)> setTitle;  // the model's window title
    std::function<void(int)> showDirectoryEndAddress;
    std::function<void()> hideTransfer;
    // The log-on has begun (its menu item now offers "Log Off").
    std::function<void()> loggingOn;
    // The ports may not change while a log-on runs; it can still be cancelled.
    std::function<void()> portsLocked;
    // The unit took the PIN: every control that needs it comes alive.
    std::function<void()> onLine;
    // The link is down: every control that needs it goes dead.
    std::function<void()> offLine;
    // A port may be chosen again and a log-on asked for.
    std::function<void()> portsFree;
};

// How a log-on ended.
enum class LogOnResult {
    Done,        // on line: the unit took the PIN
    Busy,        // another operation holds the unit; nothing was done
    Cancelled,   // the person gave up (the PIN dialog, a log-off during the attempt)
    PortFailed,  // the serial port or the UDP endpoint did not open
    NoModem,     // the modem never answered its reset
    NoConnection, // the modem did not connect to the unit
    NoResponse,  // the unit did not answer the identification
    PinRefused,  // the unit did not take the PIN
};

// What a log-on needs to know besides the channel's selected port.
struct LogOnRequest {
    QString pin;
    QString modemNumber;
    bool remote = false;    // through a dial-up modem (never over WiFi)
    QString serialName;     // the serial port as the Ports menu names it (a device path will do)
};

// Log-on, keep-alive and log-off over a serial cable, a dial-up modem or UDP,
// and the link's state.  It knows no window: what the person sees goes
// through LinkLook, and the PIN comes with the request.
class UnitLink : public QObject {
    Q_OBJECT
public:
    UnitLink(CommandChannel &channel, QTimer &keepAliveTimer, QObject *parent = nullptr);

    // --- link state ---
    bool LoggedOn = false;
    bool LogOnAborted = false;
    QString Pin;
    QString ModemNumber;
    // The highest directory record address of the connected model; 0 when the
    // model was not recognised; the largest model's until the first log-on
    // reaches the identification.
    int DirectoryEndAddress;
    // The serial port a log-on opens, as the Ports menu names it.
    QString SerialName;
    // The model line of the last identification ("" before one).
    QString ModelLine;

    void setLook(LinkLook look) { m_look = std::move(look); }
    // The one-operation gate of the channel the link runs over.
    UnitGate &gate();

    // --- operations ---
    // The whole log-on: takes the unit gate (Busy while another operation
    // holds it), then logOnHeld.
    LogOnResult logOn(const LogOnRequest &request);
    // The log-on for a caller that already holds the unit gate (the window
    // takes it before it asks for the PIN).
    LogOnResult logOnHeld(const LogOnRequest &request);
    // The person asked to log off, also in the middle of an operation: that
    // operation notices by LogOnAborted and stops.
    void logOffRequested();
    // The person gave up before the attempt began (the PIN dialog was
    // closed): everything goes back off line.
    void logOnCancelled();

    bool OpenLink();
    void OpenUdpLink();
    bool ModemInit();
    void LogOff();
    bool KeepAlive();
    // One second of the keep-alive timer: every 15 seconds on line, a
    // keep-alive; a unit that does not answer is logged off.
    void Timer2Timer();
    void SetOffline();

    // The window title for a recognised model text, empty for any other.
    static QString ModelTitle(const QString &modelLine);

signals:
    // Whatever the program holds of the unit's directory can no longer be
    // taken for what the unit holds (a log-on begins, the link goes down).
    void directoryOutOfStep();
    // The link went off line because it was lost or the unit stopped
    // answering the keep-alive (not for a log-off asked for).
    void linkDropped();

private:
    void linkLost();
    void identifyModel();
    void finishLogOn();
    // Runs a step of the look, if the front end gave one.
    template <class F, class... A>
    static void look(const F &step, A &&...args)
    {
        if (step)
            step(std::forward<A>(args)...);
    }

    CommandChannel &m_channel;
    QTimer &m_keepAlive;
    LinkLook m_look;
    bool m_offRequested = false; // a log-off was asked for during the log-on
};
