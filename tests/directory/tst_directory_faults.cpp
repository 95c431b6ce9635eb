#include "app/mainwindow.h"
#include "app/statuspanels.h"
#include "app/transferwindow.h"
#include "directory/directorytable.h"
#include "directory/directorytransfer.h"
#include "link/commandchannel.h"
#include "link/delay.h"
#include "link/logon.h"
#include "link/receivelog.h"
#include "messagerecorder.h"
#include "ptypeer.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

// Download and upload against a unit that fails them: refused records, a
// dump that stops, an erase never confirmed, a log-off in the middle.
namespace {
const QString kPort = QStringLiteral("SIM0");
QString L1(const char *text) { return QString::fromLatin1(text); }

struct Rig {
    explicit Rig(SimOptions options) : sim(options)
    {
        if (!form.DirectoryTable.isOpen()) {
            DefineDirectoryTable(form.DirectoryTable);
            form.DirectoryTable.open();
        }
        transfer = form.findChild<DirectoryTransfer *>();
        if (!transfer)
            transfer = new DirectoryTransfer(form);
    }
    bool logOn()
    {
        UiDriver::logOn(form, kPort, UiDriver::LogOnAnswer{.pin = QStringLiteral("1234")});
        sim.clearCommands();
        return form.Link->LoggedOn;
    }
    QList<QByteArray> commands(char letter = 0) const
    {
        QList<QByteArray> texts;
        for (const ReceivedCommand &c : sim.commands())
            if (letter == 0 || c.bytes.startsWith(letter))
                texts << c.bytes;
        return texts;
    }
    void add(const QString &name, const QString &room)
    {
        form.DirectoryTable.append();
        form.DirectoryTable.setValue(DirectoryFields::Name, name);
        form.DirectoryTable.setValue(DirectoryFields::RoomNumber, room);
        form.DirectoryTable.store();
    }

    Simulator sim;
    bool started = false;
    std::unique_ptr<TostiForm> window = [this] {
        QFile::remove(QStringLiteral("Ostidata.ini"));
        started = sim.startSerial(kPort);
        return std::make_unique<TostiForm>();
    }();
    TostiForm &form = *window;
    DirectoryTransfer *transfer = nullptr;
};

void verifyNothingStuck(Rig &rig)
{
    QVERIFY(rig.form.TransferF->isHidden());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(!rig.form.BulkBusy);
    QVERIFY(!rig.form.Channel.BulkTransfer);
    QVERIFY(rig.form.FollowCursor);
    QVERIFY(!rig.form.DirectoryTable.controlsDisabled());
    QVERIFY(!rig.transfer->busy());
}
} // namespace

class TestDirectoryFaults : public QObject {
    Q_OBJECT
private slots:
    void uploadEndsAfterSixRefusedRecords()
    {
        MessageRecorder messages;
        Rig rig(SimOptions{});
        QVERIFY(rig.started && rig.logOn());
        // The unit refuses every record whose name begins with X.
        connect(&rig.sim, &Simulator::commandReceived, &rig.sim, [&rig](const ReceivedCommand &c) {
            rig.sim.unit().options().dropCommands = c.bytes.startsWith('b') && c.bytes.contains(",X") ? "b" : "";
        });
        // In name order: A1 ... A7, X1 ... X7, Z.
        for (int i = 1; i <= 7; ++i) {
            rig.add(QStringLiteral("A%1").arg(i), QString::number(i));
            rig.add(QStringLiteral("X%1").arg(i), QString::number(10 + i));
        }
        rig.add(L1("Z"), L1("99"));
        messages.answerNext(true);
        rig.transfer->WriteDataClick();

        QCOMPARE(messages.texts().mid(1), QStringList{L1("There was 6 error(s)")});
        QCOMPARE(rig.transfer->lastUploadErrors(), 6);
        // Up to X6, the thirteenth record; each refused one was tried twice;
        // X7 and Z were not tried.
        QCOMPARE(rig.transfer->lastUploadCount(), 13);
        QCOMPARE(rig.commands('b').size(), 7 + 2 * 6);
        QCOMPARE(rig.sim.unit().memory().directory.size(), 7);
        QVERIFY(!rig.commands('b').join().contains("X7"));
        QVERIFY(!rig.sim.unit().memory().directory.contains(0x1000 + 14 * 0x20));
        QVERIFY(rig.form.DirectoryInSync);
        QCOMPARE(rig.form.StatusBar->panel(0), L1("Done"));
        verifyNothingStuck(rig);
    }

    void eraseNeverConfirmed()
    {
        MessageRecorder messages;
        SimOptions options;
        options.unit.dropCommands = "f";
        Rig rig(options);
        QVERIFY(rig.logOn());
        rig.add(L1("B"), L1("1"));
        rig.add(L1("A"), L1("2"));
        messages.answerNext(true);
        rig.transfer->WriteDataClick();
        QCOMPARE(messages.texts().mid(1), QStringList{L1("Could not clear All,\r\nSave your files and\r\nRecheck connection")});
        QCOMPARE(rig.commands(), (QList<QByteArray>{"", "f5a", "", "f5a"}));
        // Renumbered all the same, in step as before.
        QCOMPARE(rig.form.DirectoryTable.storedValue(0, 7), L1("1000"));
        QCOMPARE(rig.form.DirectoryTable.storedValue(1, 7), L1("1020"));
        QVERIFY(!rig.form.DirectoryInSync);
        QCOMPARE(rig.form.StatusBar->panel(0), L1("Done"));
        verifyNothingStuck(rig);
    }

    void logOffDuringTheUpload()
    {
        MessageRecorder messages;
        Rig rig(SimOptions{});
        QVERIFY(rig.logOn());
        for (int i = 0; i < 20; ++i)
            rig.add(QStringLiteral("N%1").arg(i, 2, 10, QLatin1Char('0')), QString::number(i + 1));
        UiDriver::whenTrue([&rig] { return rig.commands('b').size() >= 3; }, [&rig] { rig.form.ledAction->trigger(); });
        messages.answerNext(true);
        rig.transfer->WriteDataClick();
        QVERIFY(!rig.form.Link->LoggedOn);
        QVERIFY(rig.transfer->lastUploadCount() < 20);
        // Off line: not in step, the lamp grey, no keep-alive.
        QVERIFY(!rig.form.DirectoryInSync);
        QCOMPARE(rig.form.ledPicture(), 22);
        QVERIFY(!rig.form.Timer2.isActive());
        verifyNothingStuck(rig);
    }

    void dumpThatStopsHalfWay()
    {
        MessageRecorder messages;
        SimOptions options;
        options.unit.stallAfter = 5; // the first line and four slots, then silence
        Rig rig(options);
        for (int i = 0; i < 6; ++i)
            rig.sim.unit().memory().directory.insert(0x1000 + i * 0x20, QStringLiteral("%1,,,,,R%1").arg(i + 1).toLatin1());
        QVERIFY(rig.logOn());
        rig.add(L1("OLD"), L1("1"));
        QElapsedTimer timer;
        timer.start();
        const DelayTally before = DelaysSoFar();
        rig.transfer->GetDataClick();
        const qint64 elapsed = timer.elapsed();
        const long long waits = DelaysSoFar().waits - before.waits;
        QCOMPARE(messages.texts(), QStringList{L1("communication error")});
        QCOMPARE(rig.transfer->lastDumpEnd(), DirectoryTransfer::DumpEnd::Stall);
        // About 3.9 s of silence, then the pause for late text: the stall
        // rule's passes (two waits each) and a few with text, no more.
        QVERIFY2(elapsed > 4000, qPrintable(QString::number(elapsed)));
        QVERIFY2(waits <= 2 * (DirectoryTransferRules::StallPasses + 1 + 5) + 2, qPrintable(QString::number(waits)));
        // The complete slot lines before the last one are loaded; the table
        // is not taken as the unit's directory.
        QCOMPARE(rig.form.DirectoryTable.recordCount(), 3);
        QCOMPARE(rig.form.DirectoryTable.storedValue(2, 0), L1("R3"));
        QVERIFY(!rig.form.DirectoryInSync);
        QVERIFY(rig.form.Link->LoggedOn);
        QCOMPARE(rig.form.ledPicture(), 21);
        QVERIFY(rig.form.Timer2.isActive());
        verifyNothingStuck(rig);
    }

    void logOffDuringTheDownload()
    {
        MessageRecorder messages;
        SimOptions options;
        options.unit.model = 1000;
        options.baud = 57600; // about 9 s for the whole dump
        Rig rig(options);
        for (int i = 0; i < 1024; ++i)
            rig.sim.unit().memory().directory.insert(
                0x1000 + i * 0x20, QStringLiteral("%1,1234,5678,12,0123456789012345,NAME %1").arg(100000 + i).toLatin1());
        QVERIFY(rig.logOn());
        rig.add(L1("OLD"), L1("1"));
        rig.form.setDirectoryInSync(true);
        UiDriver::whenTrue([&rig] { return rig.form.Channel.LineCount >= 50; }, [&rig] { rig.form.ledAction->trigger(); });
        rig.transfer->GetDataClick();
        // Ended by the log-off, long before the rest of the dump came.
        QCOMPARE(rig.transfer->lastDumpEnd(), DirectoryTransfer::DumpEnd::LoggedOff);
        QVERIFY(rig.form.Channel.LineCount < 1024);
        QCOMPARE(messages.texts(), QStringList{});
        // The log-off dropped what had arrived: the table is left as it was,
        // no longer in step.
        QCOMPARE(rig.form.DirectoryTable.recordCount(), 1);
        QCOMPARE(rig.form.DirectoryTable.storedValue(0, 0), L1("OLD"));
        QVERIFY(!rig.form.DirectoryInSync);
        QCOMPARE(rig.form.ledPicture(), 22);
        QVERIFY(!rig.form.Timer2.isActive());
        QVERIFY(!rig.form.Timer1.isActive());
        verifyNothingStuck(rig);
    }

    void dumpThatNeverEnds()
    {
        // A unit that keeps sending slot lines and never its OK: the pass
        // limit ends the wait with the same message as a silent unit.
        MessageRecorder messages;
        PtyPeer unit;
        QVERIFY(unit.publish(kPort));
        int slot = 0;
        QTimer trickle;
        trickle.setInterval(30);
        QObject::connect(&trickle, &QTimer::timeout, &unit, [&] {
            unit.write(QStringLiteral("%1,%2,,,,,N%2\r\n").arg(0x1000 + 0x20 * (slot % 1000), 4, 16).arg(slot + 1).toUpper().toLatin1());
            ++slot;
        });
        unit.setResponder([&trickle](const QByteArray &command) -> QByteArray {
            if (command.isEmpty())
                return "RVX\r\nGN4\r\nFW\r\nOstiarin_500_Gn4\r\nEnter PIN\r\n";
            if (command == "a1234")
                return "Programme Mode\r\nOK\r\n";
            if (command == "d01281152") {
                trickle.start();
                return "d01281152\r\n";
            }
            return {};
        });
        QFile::remove(QStringLiteral("Ostidata.ini"));
        TostiForm form;
        if (!form.DirectoryTable.isOpen()) {
            DefineDirectoryTable(form.DirectoryTable);
            form.DirectoryTable.open();
        }
        auto *transfer = form.findChild<DirectoryTransfer *>();
        if (!transfer)
            transfer = new DirectoryTransfer(form);
        UiDriver::logOn(form, kPort, UiDriver::LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form.Link->LoggedOn);
        transfer->setPassLimits(20, 40);
        const DelayTally before = DelaysSoFar();
        transfer->GetDataClick();
        trickle.stop();
        const long long waits = DelaysSoFar().waits - before.waits;
        QCOMPARE(messages.texts(), QStringList{L1("communication error")});
        QCOMPARE(transfer->lastDumpEnd(), DirectoryTransfer::DumpEnd::PassLimit);
        // Two waits a pass: the 20 passes of the limit, not the 40 over a modem.
        QVERIFY2(waits > 2 * 20 && waits < 2 * 40, qPrintable(QString::number(waits)));
        // What arrived is loaded, but it is not taken as the unit's directory.
        QVERIFY(form.DirectoryTable.recordCount() > 10);
        QCOMPARE(form.DirectoryTable.storedValue(0, 0), L1("N1"));
        QVERIFY(!form.DirectoryInSync);
        QVERIFY(form.Link->LoggedOn);
        form.Link->LogOff();
    }

    void dumpEndFoundWhereverTheDumpBreaks()
    {
        // The paced dump below breaks into pieces wherever the line's timing
        // puts the breaks; here every break is tried: the text in two pieces
        // split at each position, and one character at a time.  No piece but
        // the last ends the dump, and every record comes through.
        QString dump = DirectoryTransferRules::DumpCommand + L1("\r\n");
        const QStringList names{L1("BROOK OK1"), L1("OK"), L1("OKAFOR"), L1("BROOKS"), L1("O"), L1("K OK"),
                                L1("SMITH J"), L1("OK OK"), L1("NOOK")};
        for (int i = 0; i < names.size(); ++i)
            dump += QStringLiteral("%1,%2,,,,,%3\r\n").arg(0x1000 + i * 0x20, 4, 16).arg(i + 1).arg(names.at(i)).toUpper();
        dump += L1("OK\r\n");

        auto load = [&](const QList<QString> &pieces) -> QString {
            ReceiveLog log;
            CommandChannel channel(log);
            channel.BulkTransfer = true;
            for (int i = 0; i < pieces.size(); ++i) {
                channel.ReceiveText(pieces.at(i));
                const bool last = i + 1 == pieces.size();
                if (DirectoryDumpEnded(channel.RxBuffer) != last)
                    return QStringLiteral("piece %1 of %2 (\"%3\"): ended %4").arg(i + 1).arg(pieces.size())
                        .arg(pieces.at(i)).arg(!last);
            }
            log.setText(channel.RxBuffer);
            QStringList got;
            for (const DirectoryRecord &r : ParseDirectoryDump(log.lines()))
                got << r.name;
            return got == names ? QString() : got.join(QLatin1Char('|'));
        };
        for (qsizetype at = 1; at < dump.size(); ++at) {
            const QString fault = load({dump.left(at), dump.mid(at)});
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("split at %1: %2").arg(at).arg(fault)));
        }
        QList<QString> characters;
        for (const QChar c : std::as_const(dump))
            characters << QString(c);
        const QString fault = load(characters);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void namesHoldingOkDoNotEndTheDump()
    {
        MessageRecorder messages;
        SimOptions options;
        options.baud = 57600; // the dump arrives in pieces, as from a real line
        Rig rig(options);
        for (int i = 0; i < 200; ++i)
            rig.sim.unit().memory().directory.insert(0x1000 + i * 0x20,
                                                     QStringLiteral("%1,,,,,BROOK OK%1").arg(i + 1).toLatin1());
        QVERIFY(rig.logOn());
        rig.transfer->GetDataClick();
        QCOMPARE(messages.texts().join(QLatin1Char('|')), QString());
        QCOMPARE(rig.transfer->lastDumpEnd(), DirectoryTransfer::DumpEnd::Ok);
        QCOMPARE(rig.form.DirectoryTable.recordCount(), 200);
        QVERIFY(rig.form.DirectoryInSync);
    }
};

QTEST_MAIN(TestDirectoryFaults)
#include "tst_directory_faults.moc"
