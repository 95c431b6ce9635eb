#pragma once

// A simulated unit, a unit session logged on to it through the real log-on,
// and a recorder of the messages it shows: no window.  Header only, for the
// tests under tests/session.

#include "link/unitlink.h"
#include "messagerecorder.h"
#include "session/unitsession.h"
#include "simulator.h"

#include <QList>
#include <QTest>

#include <memory>

class SessionRig {
public:
    static inline const QString kPort = QStringLiteral("SIMS");
    static inline const QString kPin = QStringLiteral("1234");

    explicit SessionRig(SimOptions options = defaultOptions()) : sim(std::make_unique<Simulator>(options)) {}

    static SimOptions defaultOptions()
    {
        SimOptions options;
        options.unit.model = 500;
        options.unit.pin = kPin.toLatin1();
        options.connectDelayMs = 100;
        return options;
    }

    // Starts the unit on its pseudo-terminal and logs the session on.
    bool logOn()
    {
        if (!sim->startSerial(kPort))
            return false;
        LogOnRequest request;
        request.pin = kPin;
        request.serialName = kPort;
        return session.Link.logOn(request) == LogOnResult::Done && messages.texts().isEmpty();
    }

    // The unit vanishes: its pseudo-terminal closes.
    void pullThePlug() { sim.reset(); }

    QList<QByteArray> commandTexts() const { return commandTexts(*sim); }
    static QList<QByteArray> commandTexts(const Simulator &unit)
    {
        QList<QByteArray> texts;
        for (const ReceivedCommand &c : unit.commands())
            texts << c.bytes;
        return texts;
    }

    // Nothing is left busy after an operation, whatever way it ended.
    bool settled() const
    {
        return !session.Channel.Gate.busy() && !session.BulkBusy && !session.Channel.BulkTransfer;
    }

    MessageRecorder messages;
    std::unique_ptr<Simulator> sim;
    UnitSession session;
};
