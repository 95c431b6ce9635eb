#pragma once

#include <QObject>
#include <QString>

// Admits one operation on the unit at a time, whatever page, menu or timer
// asks.  The waits of an operation keep the event loop running, so a click on
// another unit button lands inside it; without this gate its commands and
// replies would interleave with the running operation's on the one channel.
//
// Every handler that talks to the unit takes the gate first and does nothing
// when another operation holds it.  The log-off never takes it: it always
// passes and ends the running operation (its waits notice the link is down).
// The gate is not re-entrant: a routine that runs others inside one
// operation calls them below their handlers.
class UnitGate : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool busy() const { return !m_operation.isEmpty(); }
    // The name of the running operation (for messages and tests), empty when idle.
    const QString &operation() const { return m_operation; }

    // Takes the gate for `name`; false, and nothing taken, while another
    // operation holds it.
    bool tryBegin(const QString &name);
    // Gives the gate back.  Idle already: nothing happens.
    void end();

signals:
    // The gate was taken (true) or given back (false): controls that would
    // replace or save the tables mid-transfer follow it.
    void busyChanged(bool busy);

private:
    QString m_operation;
};

// Holds the gate for the lifetime of a handler:
//     const UnitOperation op(channel.Gate, QStringLiteral("GetData"));
//     if (!op) return;
class UnitOperation {
public:
    UnitOperation(UnitGate &gate, const QString &name) : m_gate(gate), m_held(gate.tryBegin(name)) {}
    ~UnitOperation() { release(); }
    UnitOperation(const UnitOperation &) = delete;
    UnitOperation &operator=(const UnitOperation &) = delete;

    explicit operator bool() const { return m_held; }
    void release()
    {
        if (m_held) {
            m_held = false;
            m_gate.end();
        }
    }

private:
    UnitGate &m_gate;
    bool m_held;
};
