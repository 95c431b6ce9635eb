#pragma once

// The real main window against the simulated unit with one of its faults,
// for the fault-injected runs: what a user meets when the unit misbehaves or
// goes away, and whether the window is left in a state the user can go on
// from.
#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "widgets/transferwindow.h"
#include "directory/directorypage.h"
#include "directory/directorytable.h"
#include "events/eventspage.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "settings/settingspage.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QTest>

#include <memory>

namespace Faults {
const QString kPort = QStringLiteral("SIM0");
inline QString L(const char *text) { return QString::fromLatin1(text); }

inline SimOptions options(void (*adjust)(SimOptions &) = nullptr)
{
    SimOptions o;
    o.unit.pin = "1234";
    o.baud = 0; // instant replies unless a test paces them
    if (adjust)
        adjust(o);
    return o;
}

struct Rig {
    explicit Rig(SimOptions o = options())
    {
        QFile::remove(QStringLiteral("Ostidata.ini"));
        sim = std::make_unique<Simulator>(std::move(o));
        if (!sim->options().logPath.isEmpty())
            sim->openLog(nullptr);
        started = sim->startSerial(kPort); // before the window lists the ports
        window = std::make_unique<TostiForm>();
    }

    bool logOn()
    {
        if (!started)
            return false;
        UiDriver::logOn(form(), kPort, UiDriver::LogOnAnswer{.pin = QStringLiteral("1234")});
        if (sim)
            sim->clearCommands();
        return form().Link->LoggedOn;
    }

    TostiForm &form() { return *window; }
    SimUnit &unit() { return sim->unit(); }

    // The unit goes away (its end of the line closes) as soon as `condition`
    // holds, in the middle of whatever runs then.
    void vanishWhen(std::function<bool()> condition)
    {
        UiDriver::whenTrue(std::move(condition), [this] { sim.reset(); });
    }
    // The unit goes away when it receives a command beginning with `prefix`
    // (before answering it).
    void vanishOn(const QByteArray &prefix)
    {
        QObject::connect(sim.get(), &Simulator::commandReceived, sim.get(), [this, prefix](const ReceivedCommand &c) {
            if (c.bytes.startsWith(prefix))
                vanishNow = true;
        });
        vanishWhen([this] { return vanishNow; });
    }

    int sent(const QByteArray &prefix) const
    {
        int n = 0;
        if (sim)
            for (const ReceivedCommand &c : sim->commands())
                n += c.bytes.startsWith(prefix) ? 1 : 0;
        return n;
    }

    QStringList tableColumn(const QString &field)
    {
        RecordTable &t = form().DirectoryTable;
        QStringList values;
        const int f = t.fieldIndex(field);
        for (int i = 0; i < t.recordCount(); ++i)
            values << t.storedValue(i, f);
        return values;
    }

    void addRecord(const QString &name, const QString &room, const QString &phone = QString())
    {
        RecordTable &t = form().DirectoryTable;
        t.append();
        t.setValue(DirectoryFields::Name, name);
        t.setValue(DirectoryFields::RoomNumber, room);
        t.setValue(DirectoryFields::PHnumber, phone);
        t.store();
    }

    MessageRecorder messages;
    std::unique_ptr<Simulator> sim;
    bool started = false;
    bool vanishNow = false;
    std::unique_ptr<TostiForm> window;
};

// Whatever ended the operation: nothing of it is left running or set.
inline void verifyNothingStuck(TostiForm &form)
{
    QVERIFY(!form.Channel.BulkTransfer);
    QVERIFY(!form.BulkBusy);
    QVERIFY(form.FollowCursor);
    QVERIFY(!form.TransferF->isVisible());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(!form.DirectoryTable.controlsDisabled());
    if (form.DBGrid1)
        QVERIFY(form.DBGrid1->isEnabled());
}

// The link and every control that depends on it agree.
inline void verifyOnLine(TostiForm &form)
{
    verifyNothingStuck(form);
    QVERIFY(form.Link->LoggedOn);
    QVERIFY(!form.Link->LogOnAborted);
    QVERIFY(form.Channel.ComPort1.isOpen() || form.Channel.UdpLinkOpen);
    if (form.Channel.UdpLinkOpen)
        QTRY_VERIFY(form.Timer1.isActive()); // the lamp blinks over WiFi (each poll restarts it)
    else
        QCOMPARE(form.ledPicture(), 21);
    QVERIFY(form.Timer2.isActive());
    QCOMPARE(form.OnLine1->text(), L("Log Off"));
    QVERIFY(!form.PortsMenu->menuAction()->isEnabled());
    for (QPushButton *b : {form.directoryPage->GetData, form.directoryPage->WriteData, form.eventsPage->dnLoad,
                           form.settingsPage->ReadPara0, form.settingsPage->WritePara0})
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
}

inline void verifyOffLine(TostiForm &form)
{
    verifyNothingStuck(form);
    QVERIFY(!form.Link->LoggedOn);
    QVERIFY(form.Link->LogOnAborted);
    QVERIFY(!form.Channel.ComPort1.isOpen());
    QVERIFY(!form.Channel.UdpLinkOpen);
    QCOMPARE(form.ledPicture(), 22);
    QVERIFY(!form.Timer1.isActive());
    QVERIFY(!form.Timer2.isActive());
    QCOMPARE(form.OnLine1->text(), L("Log On"));
    QVERIFY(form.ledAction->isEnabled());
    QVERIFY(!form.ledAction->isChecked());
    QVERIFY(form.PortsMenu->menuAction()->isEnabled());
    QVERIFY(!form.DirectoryInSync);
    for (QPushButton *b : {form.directoryPage->GetData, form.directoryPage->WriteData, form.eventsPage->dnLoad,
                           form.settingsPage->ReadPara0, form.settingsPage->WritePara0})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
}

// The unit went away: one message, which names the port, and off line.
inline void verifyLost(Rig &rig)
{
    QTRY_VERIFY(!rig.form().Link->LoggedOn);
    QCOMPARE(rig.messages.count(), 1);
    QCOMPARE(rig.messages.messages().first().kind, MessageService::Kind::Error);
    QVERIFY2(rig.messages.last().contains(kPort), qPrintable(rig.messages.last()));
    verifyOffLine(rig.form());
    QCOMPARE(rig.form().StatusBar->panel(0), L("OFF Line"));
}

// The window still closes, without another word.
inline void verifyCloses(Rig &rig)
{
    const int before = rig.messages.count();
    rig.form().show();
    rig.form().close();
    QVERIFY(!rig.form().isVisible());
    QCOMPARE(rig.messages.count(), before);
}
} // namespace Faults
