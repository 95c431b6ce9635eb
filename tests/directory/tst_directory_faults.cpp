#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "widgets/transferwindow.h"
#include "common/filedialogs.h"
#include "directory/directorypage.h"
#include "directory/directorytable.h"
#include "directory/directorytransfer.h"
#include "directory/recordeditor.h"
#include "link/commandchannel.h"
#include "link/delay.h"
#include "rfid/rfidpage.h"
#include "link/logon.h"
#include "link/receivelog.h"
#include "link/unitcontract.h"
#include "messagerecorder.h"
#include "ptypeer.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QDir>
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
        // Records are missing on the unit: single edits must not be written
        // as if the table were the unit's.
        QVERIFY(!rig.form.DirectoryInSync);
        QVERIFY(!rig.form.directoryPage->editor()->WrtChg->isEnabled());
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

    void failedEraseAfterADownloadIsNotInStep()
    {
        // The table came from the unit; the upload renumbers it in name order
        // and then cannot erase: the addresses no longer name the unit's slots.
        MessageRecorder messages;
        Rig rig(SimOptions{});
        rig.sim.unit().memory().directory = {{0x1000, "2,,,,,ZED"}, {0x1020, "1,,,,,ANN"}};
        QVERIFY(rig.logOn());
        rig.transfer->GetDataClick();
        QVERIFY(rig.form.DirectoryInSync);
        rig.sim.unit().options().dropCommands = "f";
        messages.answerNext(true);
        rig.transfer->WriteDataClick();
        QCOMPARE(messages.texts().mid(1), QStringList{L1("Could not clear All,\r\nSave your files and\r\nRecheck connection")});
        QCOMPARE(rig.form.DirectoryTable.storedValue(0, 0), L1("ANN"));
        QCOMPARE(rig.form.DirectoryTable.storedValue(0, 7), L1("1000"));
        QVERIFY(!rig.form.DirectoryInSync);
        QVERIFY(!rig.form.directoryPage->editor()->WrtChg->isEnabled());
        // An edit is now kept in the table only: ZED's slot on the unit is untouched.
        rig.sim.clearCommands();
        rig.sim.unit().options().dropCommands.clear();
        RecordEditor &e = *rig.form.directoryPage->editor();
        rig.form.DirectoryTable.first();
        e.PHnumber->setText(L1("555"));
        e.NavOk->click();
        QVERIFY(rig.commands('b').isEmpty());
        QCOMPARE(rig.sim.unit().memory().directory.value(0x1000), QByteArray("2,,,,,ZED"));
        verifyNothingStuck(rig);
        // A later upload that every record passes brings the table back in step.
        messages.answerNext(true);
        rig.transfer->WriteDataClick();
        QCOMPARE(rig.transfer->lastUploadErrors(), 0);
        QVERIFY(rig.form.DirectoryInSync);
    }

    void refusedRecordsAreNotSentAndCounted()
    {
        MessageRecorder messages;
        Rig rig(SimOptions{});
        QVERIFY(rig.logOn());
        rig.add(L1("A"), L1("1"));
        rig.add(L1("B"), QString());             // no room: the unit would keep an empty one
        rig.add(L1("C\rf5a"), L1("3"));          // a CR would end the command early
        rig.add(L1("D"), L1("4"));
        messages.answerNext(true);
        rig.transfer->WriteDataClick();
        // Only whole commands: no erase from inside a name.
        QCOMPARE(rig.commands(), (QList<QByteArray>{"", "f5a", "b0128,1,,,,,A6>", "b0131,4,,,,,D:?"}));
        QCOMPARE(rig.transfer->lastUploadErrors(), 2);
        QCOMPARE(messages.count(), 4);
        QCOMPARE(messages.texts().at(1), L1("Must use Numeric digits in\r\nRoomNumber & Codes fields"));
        QVERIFY2(messages.texts().at(2).contains(L1("record 3")), qPrintable(messages.texts().at(2)));
        QCOMPARE(messages.texts().at(3), L1("There was 2 error(s)"));
        QVERIFY(!rig.form.DirectoryInSync);
    }

    void lateAnswerToTheBareCrIsNoErase()
    {
        // The unit answers each CR late (so an answer to the log-on's CR may
        // still be on its way too) and never confirms the erase: no late
        // "OK" may count as the erase's.
        MessageRecorder messages;
        PtyPeer unit;
        QVERIFY(unit.publish(kPort));
        bool on = false;
        unit.setResponder([&unit, &on](const QByteArray &command) -> QByteArray {
            if (command.isEmpty() && !on)
                return "RVX\r\nGN4\r\nFW\r\nOstiarin_500_Gn4\r\nEnter PIN\r\n";
            if (command.isEmpty()) {
                QTimer::singleShot(150, &unit, [&unit] { unit.write("OK\r\n"); });
                return {};
            }
            if (command == "a1234") {
                on = true;
                return "Programme Mode\r\nOK\r\n";
            }
            if (command.startsWith('b'))
                return command.left(5) + "\r\nOK\r\n";
            return {};
        });
        QFile::remove(QStringLiteral("Ostidata.ini"));
        TostiForm form;
        UiDriver::logOn(form, kPort, UiDriver::LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form.Link->LoggedOn);
        form.DirectoryTable.append();
        form.DirectoryTable.setValue(DirectoryFields::Name, L1("A"));
        form.DirectoryTable.setValue(DirectoryFields::RoomNumber, L1("1"));
        form.DirectoryTable.store();
        unit.clearReceived();
        QVERIFY2(!form.Channel.Gate.busy(), qPrintable(form.Channel.Gate.operation()));
        QVERIFY(form.DirectoryTable.isOpen());
        messages.answerNext(true);
        form.directoryPage->transfer()->WriteDataClick();
        QCOMPARE(messages.texts().mid(1), QStringList{L1("Could not clear All,\r\nSave your files and\r\nRecheck connection")});
        for (const QByteArray &command : unit.commands())
            QVERIFY2(!command.startsWith('b'), command.constData());
        form.Link->LogOff();
    }

    void uploadHoldsTheTable()
    {
        // Between two record writes the user clicks everything that would
        // change the table or move its cursor: none of it may act.
        MessageRecorder messages;
        SimOptions options;
        options.replyDelayMs = 30;
        Rig rig(options);
        QVERIFY(rig.logOn());
        for (int i = 0; i < 12; ++i)
            rig.add(QStringLiteral("N%1").arg(i, 2, 10, QLatin1Char('0')), QString::number(i + 1));
        RecordEditor &e = *rig.form.directoryPage->editor();
        RfidPage &tags = *rig.form.rfidPage;
        const QString csv = QDir::current().absoluteFilePath(QStringLiteral("other.csv"));
        {
            QFile file(csv);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Name,RoomNumber\r\nOTHER,9\r\n");
        }
        int opens = 0;
        FileDialogService::setHandler([&](const FileDialogService::Request &) { ++opens; return csv; });
        bool clicked = false;
        UiDriver::whenTrue([&rig] { return rig.commands('b').size() >= 3; }, [&] {
            using Nav = RecordNavigator::Button;
            QVERIFY(rig.form.BulkBusy);
            e.DBNavigator1->click(Nav::Last);
            e.DBNavigator1->click(Nav::First);
            e.DBNavigator1->click(Nav::Next);
            messages.answerNext(true);
            e.DBNavigator1->click(Nav::Delete);
            e.DBNavigator1->click(Nav::Insert);
            e.Namef->setText(L1("NEW"));
            e.RoomNumber->setText(L1("77"));
            e.NavOk->click();
            e.NavInst->click();
            tags.Button1->click();
            messages.answerNext(true);
            tags.Button2->click();
            rig.form.FileOpen1->trigger();
            clicked = true;
        });
        messages.answerNext(true);
        rig.transfer->WriteDataClick();
        FileDialogService::resetHandler();
        QVERIFY(clicked);
        QCOMPARE(opens, 0);
        QCOMPARE(rig.transfer->lastUploadErrors(), 0);
        QCOMPARE(rig.transfer->lastUploadCount(), 12);
        QCOMPARE(rig.form.DirectoryTable.recordCount(), 12);
        QCOMPARE(rig.sim.unit().memory().directory.size(), 12);
        QCOMPARE(rig.commands('b').size(), 12);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(rig.form.DirectoryTable.storedValue(i, 0), QStringLiteral("N%1").arg(i, 2, 10, QLatin1Char('0')));
        QVERIFY(rig.form.DirectoryInSync);
        verifyNothingStuck(rig);
    }

    void nothingTalksToTheUnitWhileAnotherOperationRuns()
    {
        MessageRecorder messages;
        Rig rig(SimOptions{});
        rig.sim.unit().memory().directory = {{0x1000, "1,,,,,ANN"}, {0x1020, "2,,,,,BOB"}};
        QVERIFY(rig.logOn());
        rig.transfer->GetDataClick();
        QVERIFY(rig.form.DirectoryInSync);
        rig.sim.clearCommands();
        DirectoryPage &page = *rig.form.directoryPage;
        RecordEditor &e = *page.editor();
        {
            // Another page's operation holds the unit.
            const UnitOperation other(rig.form.Channel.Gate, QStringLiteral("Read"));
            QVERIFY(other);
            page.GetData->setEnabled(true);
            page.WriteData->setEnabled(true);
            page.GetData->click();
            messages.answerNext(true);
            page.WriteData->click();
            rig.form.DirectoryTable.first();
            e.PHnumber->setText(L1("555"));
            e.NavOk->click();
            messages.answerNext(true);
            e.DBNavigator1->click(RecordNavigator::Button::Delete);
            QTest::qWait(300);
        }
        QCOMPARE(rig.commands(), QList<QByteArray>{});
        QCOMPARE(rig.form.DirectoryTable.recordCount(), 2);
        QCOMPARE(rig.form.DirectoryTable.storedValue(0, 2), QString());
        QCOMPARE(rig.form.DirectoryTable.storedValue(0, 7), L1("1000"));
        QVERIFY(rig.form.DirectoryInSync);
        // Free again: OK writes its record.
        messages.clear();
        rig.form.DirectoryTable.first();
        e.PHnumber->setText(L1("555"));
        e.NavOk->click();
        QCOMPARE(rig.commands('b').size(), 1);
        QVERIFY(!rig.form.Channel.Gate.busy());
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
        // Every complete slot line is loaded, the last one too; the table
        // is not taken as the unit's directory.
        QCOMPARE(rig.form.DirectoryTable.recordCount(), 4);
        QCOMPARE(rig.form.DirectoryTable.storedValue(3, 0), L1("R4"));
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
        QString dump = UnitContract::DirectoryDumpCommand() + L1("\n");
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
            QStringList got;
            for (const DirectoryRecord &r : ParseDirectoryDump(channel.RxBuffer))
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
