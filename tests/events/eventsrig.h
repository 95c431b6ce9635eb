#pragma once

// The real main window logged on to a simulated unit whose clock stands
// still, for the Events page's integration tests.
#include "window/mainwindow.h"
#include "widgets/transferwindow.h"
#include "controllines.h"
#include "events/eventspage.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "simulator.h"
#include "uidriver.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace EventsRig {
const QString kPort = QStringLiteral("SIM0");
inline QString L(const char *text) { return QString::fromLatin1(text); }
inline QByteArray B(const char *text) { return QByteArray(text); }

// The unit's clock stands still at 23:30:12 on 1 April 2009 (plus whatever
// offset a clock-set gives it).
const QDateTime kUnitNow(QDate(2009, 4, 1), QTime(23, 30, 12));

inline SimOptions unitOptions()
{
    SimOptions options;
    options.unit.pin = "1234";
    options.baud = 0; // instant replies
    return options;
}

struct Rig {
    MessageRecorder messages;
    Simulator sim;
    bool started = sim.startSerial(kPort); // before the window lists the ports
    TostiForm form;
    EventsPage &page = *form.eventsPage;

    explicit Rig(SimOptions options = unitOptions()) : sim(options) { sim.unit().setNowSource([] { return kUnitNow; }); }

    bool logOn()
    {
        using UiDriver::LogOnAnswer;
        if (!started)
            return false;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        return form.Link->LoggedOn;
    }

    void control(const char *line) { RunControlLine(sim, QByteArray(line)); }

    void rawEvent(const QByteArray &line)
    {
        SimEvent event;
        event.rawLine = line;
        sim.unit().memory().events.append(event);
    }

    QStringList row(int index) const { return form.EventTable.recordValues(index); }
    QStringList column(int field) const
    {
        QStringList values;
        for (int i = 0; i < form.EventTable.recordCount(); ++i)
            values << form.EventTable.storedValue(i, field);
        return values;
    }
    QStringList details() const
    {
        return {page.E_Numb->text(), page.E_Room->text(), page.E_Client->text(), page.E_relay->text(),
                page.E_source->text(), page.E_time->text(), page.E_date->text()};
    }

    // After every download, whatever its end: nothing left running.
    void verifyCleanedUp() const
    {
        QVERIFY(!form.Channel.BulkTransfer);
        QVERIFY(!form.TransferF->isVisible());
        QVERIFY(!form.Timer1.isActive());
        QCOMPARE(form.ledPicture(), 21);
    }
};

inline QStringList sentCommands(const Simulator &sim)
{
    QStringList texts;
    for (const ReceivedCommand &c : sim.commands())
        texts << QString::fromLatin1(c.bytes);
    return texts;
}
} // namespace EventsRig
