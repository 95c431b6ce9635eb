#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class PtyPort;

// The far end of a real pseudo-terminal, for tests that need a serial port
// which answers exactly as they script it: nothing, garbage, short data, or
// replies in pieces.  The program opens slavePath() with its QSerialPort.
class PtyPeer : public QObject {
    Q_OBJECT
public:
    explicit PtyPeer(QObject *parent = nullptr);
    ~PtyPeer() override;

    bool isOpen() const;
    QString slavePath() const;

    // Every byte received from the program, in order.
    const QByteArray &received() const { return m_received; }
    // The commands received so far (texts up to each CR, CR removed).
    const QList<QByteArray> &commands() const { return m_commands; }
    void clearReceived();

    // Called for every complete command (CR removed); its result is written back.
    using Responder = std::function<QByteArray(const QByteArray &command)>;
    void setResponder(Responder responder) { m_responder = std::move(responder); }

    // Publishes the pseudo-terminal as a virtual serial port named `name` in
    // the per-user ports folder (removed again with this object).
    bool publish(const QString &name);

    // Writes bytes to the program (queued when the terminal is full).
    void write(const QByteArray &bytes);

    // Closes the far end: the program's port loses its device, as when a
    // USB adapter is pulled out.
    void hangUp();

signals:
    void commandReceived(const QByteArray &command);

private:
    void take(const QByteArray &bytes);

    PtyPort *m_port; // the simulated unit's own pseudo-terminal, without the unit
    QByteArray m_received;
    QByteArray m_pending;
    QList<QByteArray> m_commands;
    Responder m_responder;
};
