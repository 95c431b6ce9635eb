#pragma once

#include <QHostAddress>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include "common/errors.h"
#include "link/unitgate.h"

#include <memory>

class QTimer;
class QUdpSocket;
class ReceiveLog;

// The one road between the program and a unit: writes whole command texts to
// the open link (serial port, UDP endpoint or both), assembles the replies
// into lines and tells waiting callers when a line holding "OK" has arrived.
// Everything runs on the user-interface thread; waits keep the event loop
// running, so received text, timers and clicks are handled inside them.
//
// Text is single-byte: each character of a QString here is one byte
// (U+0000-U+00FF), converted with Latin-1 at the link.
class CommandChannel : public QObject {
    Q_OBJECT
public:
    explicit CommandChannel(ReceiveLog &log, QObject *parent = nullptr);
    ~CommandChannel() override;

    // One operation on the unit at a time: every handler that talks to the
    // unit holds this while it runs (see UnitGate).
    UnitGate Gate;

    // --- channel state (one instance for the life of the program) ---
    QString RxBuffer;    // everything received (NULs removed) since last cleared
    QString LineBuffer;  // the line being assembled
    QString LastReply;   // line 1 of the receive log as taken by the last WaitReply
    bool ReplyReady = false;     // the current line contains "OK"
    bool LineComplete = false;   // the last received text completed a line
    bool DataReceived = false;   // text arrived since a caller last cleared this
    bool ModemConnected = false; // a completed line held "CONNECT" in remote mode
    bool BulkTransfer = false;   // a bulk read is under way: the log shows a line count
    int LineCount = 0;           // lines completed during a bulk transfer
    int KeepAliveTicks = 0;      // seconds since the last command
    bool WiFiSelected = false;   // the WiFi entry is the selected port
    bool UdpLinkOpen = false;    // UdpSocket exists and is usable
    bool RemoteMode = false;     // the log-on goes through a modem

    // The serial port; its name is set by port selection, it is opened by the log-on.
    QSerialPort ComPort1;
    // The name the user chose the serial port by (it may be opened by the
    // device it leads to), for messages about it.
    void setSerialPortLabel(const QString &name) { m_serialPortLabel = name; }
    // The UDP endpoint, present while a UDP link is being opened or is open.
    std::unique_ptr<QUdpSocket> UdpSocket;
    // Where UDP datagrams go: the unit address, port 8000.
    QHostAddress UdpDestination;

    // The receive log that every reply is parsed from (shown by RxMemo).
    ReceiveLog &RxLog() { return m_log; }

    // The unit address text loaded at start-up (dotted decimal or a host name).
    // Replies are accepted from it only.
    void setUnitAddress(const QString &text);
    const QString &unitAddress() const { return m_unitAddress; }
    // The address a host-name unit address resolved to when the link opened.
    void setResolvedUnitAddress(const QHostAddress &address) { m_resolvedUnitAddress = address; }
    const QHostAddress &resolvedUnitAddress() const { return m_resolvedUnitAddress; }

    // The main window's LED blink timer, stopped while a UDP poll runs.
    void setLedBlinkTimer(QTimer *timer) { m_ledBlinkTimer = timer; }

    // --- operations ---
    // Writes text to every open link; with none open nothing is sent, and
    // neither is a text holding a CR or LF before its closing CR (the error
    // is shown).  A serial write failure loses the link (see linkLost) and throws
    // OnceReportedError: it abandons the calling handler.
    void SendRaw(const QString &text);
    // Shows the command, restarts the keep-alive count, then sends it.  A
    // command holding a CR or LF before its closing CR is not sent at all:
    // the error is shown and the caller's wait then finds no reply.
    void SendCommand(const QString &text);
    // Waits in steps of 86.4 ms, at most `steps`, for a line with "OK".
    bool WaitReply(int steps);
    // The single entry for received text from either link.
    void ReceiveText(QString text);
    // The serial port's characters-received event.
    void ComPort1RxChar(qint64 count);
    // The UDP poll, every 50 ms.
    void Timer4Timer();

    // Datagrams from other senders that the polls discarded.
    int discardedDatagrams() const { return m_discarded; }
    // One datagram of a poll: its text joins `received` when the unit sent
    // it; a datagram from any other sender is counted as discarded.
    void gatherDatagram(const QHostAddress &sender, const QByteArray &data, QString &received);

signals:
    // The serial link failed while open: the device went away, or a read or
    // write failed.  The port is closed already; `reason` names the port and
    // what the system said.  The user is told once: by the waits this
    // interrupts (every running wait throws), or at once when none runs.
    void linkLost(const QString &reason);
    // The text of the last command sent (status bar panel 1).
    void commandShown(const QString &text);
    // Bytes handed to a link (for the optional traffic log and for tests).
    void bytesSent(const QByteArray &bytes);

private:
    bool fromUnit(const QHostAddress &sender) const;
    void portError(QSerialPort::SerialPortError error);
    // Closes the failed port and takes the program off line; the error to
    // throw, shared by every wait it interrupts.
    OnceReportedError loseSerialLink(const QString &reason);

    QString m_serialPortLabel;
    quint64 m_portSession = 0; // counts closes, so a late error finds its port gone

    ReceiveLog &m_log;
    QString m_unitAddress;
    QHostAddress m_resolvedUnitAddress;
    QTimer *m_ledBlinkTimer = nullptr;
    int m_discarded = 0;
};
