#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

// A dial-up modem in front of the unit's serial port.  In command mode it
// echoes what it receives (until "ate0"), answers "at" commands with OK and
// anything else with ERROR; "atd" + number rings for a while and then
// answers CONNECT, after which every byte passes between the line and the
// unit unchanged.  The unit hangs up after its log-off, and so does a line
// that stays silent for long.
class SimModem : public QObject {
    Q_OBJECT
public:
    enum class State { Command, Dialling, Connected };

    explicit SimModem(int connectDelayMs, int idleHangUpMs, QObject *parent = nullptr);

    State state() const { return m_state; }
    bool connected() const { return m_state == State::Connected; }
    bool echoOn() const { return m_echo; }

    // Bytes from the line while not connected.  Returns what the modem sends
    // back at once (the echo); a byte while dialling abandons the call.
    QByteArray lineInput(const QByteArray &bytes);
    // A whole command (CR removed) in command mode: the result text.
    QByteArray command(const QByteArray &line);
    // Data passed while connected keeps the line from hanging up.
    void dataPassed();
    void hangUp();
    // Milliseconds left before a silent line hangs up (-1: no call).
    int msUntilHangUp() const { return m_idle.isActive() ? m_idle.remainingTime() : -1; }

signals:
    // Text the modem sends by itself: the CONNECT result after the ring.
    void output(const QByteArray &text);

private:
    QTimer m_ring;
    QTimer m_idle;
    State m_state = State::Command;
    bool m_echo = true;
};
