#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "widgets/transferwindow.h"
#include "directory/directoryrecord.h"
#include "directory/directorytable.h"
#include "directory/directorytransfer.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTest>

// The whole directory through the real main window and the simulated unit:
// upload, download, compare field by field.
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
    void add(const QStringList &values)
    {
        RecordTable &t = form.DirectoryTable;
        t.append();
        for (qsizetype i = 0; i < values.size(); ++i)
            t.setValue(int(i), values.at(i));
        t.store();
    }
    QList<QStringList> rows() const
    {
        QList<QStringList> all;
        for (int row = 0; row < form.DirectoryTable.recordCount(); ++row)
            all << form.DirectoryTable.recordValues(row);
        return all;
    }

    Simulator sim;
    bool started = false;
    // The window lists the ports when it starts: the unit's port comes first.
    std::unique_ptr<TostiForm> window = [this] {
        QFile::remove(QStringLiteral("Ostidata.ini"));
        started = sim.startSerial(kPort);
        return std::make_unique<TostiForm>();
    }();
    TostiForm &form = *window;
    DirectoryTransfer *transfer = nullptr;
};

SimOptions unit(int model = 500)
{
    SimOptions options;
    options.unit.model = model;
    return options;
}

QStringList sl(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *t : texts)
        list.append(QString::fromLatin1(t));
    return list;
}
} // namespace

class TestDirectoryRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void uploadThenDownload()
    {
        MessageRecorder messages;
        Rig rig(unit());
        QVERIFY(rig.started);
        QVERIFY(rig.logOn());
        // Name, RoomNumber, PHnumber, Code1, Code2, spare, RFID, Addr
        const QList<QStringList> records{
            sl({"SMITH J", "101", "5551p22", "1234", "", "", "0123456789", "9000"}),
            sl({"ABCDEFGHIJKLMNOP", "123456", "0#12*34p5678901", "9999", "0000", "12", "", ""}),
            sl({"SMITH, J", "7", "*#p", "", "1", "", "", ""}),
            QStringList{QString::fromLatin1("M\xdcLLER"), L1("0042"), L1("12"), {}, {}, L1("01"), {}, {}},
            sl({"b", "2", "", "", "", "", "", ""}),
            sl({"A", "3", "", "", "", "", "", ""}),
            sl({"C", "4", "", "", "", "", "", ""}),
            sl({"BROOKS", "5", "", "", "", "", "", ""}),
        };
        for (const QStringList &r : records)
            rig.add(r);

        messages.answerNext(true);
        rig.transfer->WriteDataClick();
        QCOMPARE(messages.texts(), sl({"This will replace ALL numbers currently\r\nstored in the Ostiarin, Continue?"}));
        QCOMPARE(rig.transfer->lastUploadErrors(), 0);
        QCOMPARE(rig.transfer->lastUploadCount(), int(records.size()));
        QVERIFY(rig.form.DirectoryInSync);
        QCOMPARE(rig.form.StatusBar->panel(0), L1("Done"));
        QVERIFY(rig.form.TransferF->isHidden());
        QVERIFY(rig.form.FollowCursor);
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // The erase, then one write per record in name order (letters before
        // their case), numbered from 1000.
        const QList<QByteArray> sent = rig.commands();
        QCOMPARE(sent.mid(0, 2), (QList<QByteArray>{"", "f5a"}));
        QCOMPARE(rig.commands('b').size(), records.size());
        const QStringList names = [&] {
            QStringList n;
            for (const QStringList &row : rig.rows())
                n << row.at(0) + L1("@") + row.at(7);
            return n;
        }();
        QCOMPARE(names, QStringList({L1("A@1000"), L1("ABCDEFGHIJKLMNOP@1020"), L1("b@1040"), L1("BROOKS@1060"),
                                     L1("C@1080"), QString::fromLatin1("M\xdcLLER@10A0"), L1("SMITH J@10C0"),
                                     L1("SMITH, J@10E0")}));
        QCOMPARE(rig.sim.unit().memory().directory.value(0x10C0), QByteArray("101,1234,,,5551<22,SMITH J"));
        QCOMPARE(rig.sim.unit().memory().directory.value(0x1020),
                 QByteArray("123456,9999,0000,12,0;12:34<5678901,ABCDEFGHIJKLMNOP"));
        const QList<QStringList> uploaded = rig.rows();

        // Download into an emptied table: the same records, field by field
        // (the RFID is not kept by the unit's directory).
        DefineDirectoryTable(rig.form.DirectoryTable);
        rig.form.DirectoryTable.open();
        rig.form.setDirectoryInSync(false);
        rig.sim.clearCommands();
        messages.clear();
        rig.transfer->GetDataClick();
        QCOMPARE(messages.texts(), QStringList{});
        QCOMPARE(rig.commands(), QList<QByteArray>{"d01281152"});
        QCOMPARE(rig.transfer->lastDumpEnd(), DirectoryTransfer::DumpEnd::Ok);
        const QList<QStringList> downloaded = rig.rows();
        QCOMPARE(downloaded.size(), uploaded.size());
        for (qsizetype i = 0; i < uploaded.size(); ++i) {
            QStringList expected = uploaded.at(i);
            expected[6].clear();
            for (int field = 0; field < 8; ++field)
                QCOMPARE(downloaded.at(i).at(field), expected.at(field));
        }
        QVERIFY(rig.form.DirectoryInSync);
        QCOMPARE(rig.form.DirectoryTable.recNo(), 1);
        QVERIFY(!rig.form.BulkBusy);
        QVERIFY(!rig.form.Channel.BulkTransfer);
        QVERIFY(rig.form.Timer2.isActive());
        QVERIFY(!rig.form.Timer1.isActive());
        QCOMPARE(rig.form.ledPicture(), 21);
        QVERIFY(rig.form.TransferF->isHidden());
        QVERIFY(rig.form.FileSaveItem->isEnabled() && rig.form.SaveAs->isEnabled());
        // The whole reply is in the receive log afterwards.
        QCOMPARE(rig.form.RxLog.line(0), L1("d01281152"));
        QCOMPARE(rig.form.RxLog.lines().size(), 2 + 521);
    }

    void roomsThatAreNoNumbers()
    {
        MessageRecorder messages;
        Rig rig(unit());
        QVERIFY(rig.logOn());
        rig.add(sl({"A", "12a", "", "", "", "", "", ""}));
        rig.add(sl({"B", "", "", "", "", "", "", ""}));
        messages.answerNext(true);
        rig.transfer->WriteDataClick();
        // B has no room: the unit would keep it with an empty one and the
        // next download would drop it, so it is not sent and counts as failed.
        QCOMPARE(messages.texts().mid(1), sl({"Must use Numeric digits in\r\nRoomNumber & Codes fields",
                                              "Must use Numeric digits in\r\nRoomNumber & Codes fields",
                                              "There was 1 error(s)"}));
        QCOMPARE(rig.sim.unit().memory().directory.value(0x1000), QByteArray("0,,,,,A"));
        QVERIFY(!rig.sim.unit().memory().directory.contains(0x1020));
        QVERIFY(!rig.form.DirectoryInSync);
        // The table keeps what the user typed.
        QCOMPARE(rig.rows().at(0).at(1), L1("12a"));
    }

    void modelLimits()
    {
        MessageRecorder messages;
        Rig rig(unit(100));
        QVERIFY(rig.logOn());
        QCOMPARE(rig.form.Link->DirectoryEndAddress, 7424);
        for (int i = 0; i < 105; ++i)
            rig.add(QStringList{QStringLiteral("N%1").arg(i, 3, 10, QLatin1Char('0')), QString::number(100 + i)});
        rig.transfer->WriteDataClick();
        QCOMPARE(messages.texts(),
                 sl({"There are to many records to store\r\nto this Ostiarin version.\r\n104 is the limit."}));
        QVERIFY(rig.commands().isEmpty());
        QCOMPARE(rig.rows().at(0).at(7), QString()); // nothing renumbered

        // 104 go; the last one lands in the model's last slot but one.
        rig.form.DeleteAllowed = true;
        rig.form.DirectoryTable.last();
        QVERIFY(rig.form.DirectoryTable.deleteRecord());
        QCOMPARE(rig.form.DirectoryTable.recordCount(), 104);
        messages.clear();
        messages.answerNext(true);
        rig.transfer->WriteDataClick();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(rig.transfer->lastUploadErrors(), 0);
        QCOMPARE(rig.rows().last().at(7), L1("1CE0"));
        QCOMPARE(rig.sim.unit().memory().directory.size(), 104);
        QCOMPARE(rig.sim.unit().memory().directory.lastKey(), 0x1CE0);
    }

    void unknownModelRefusesEveryUpload()
    {
        MessageRecorder messages;
        SimOptions options = unit();
        options.unit.modelText = "Portier_9";
        Rig rig(options);
        QVERIFY(rig.logOn());
        QCOMPARE(rig.form.Link->DirectoryEndAddress, 0);
        rig.add(sl({"A", "1"}));
        rig.transfer->WriteDataClick();
        QCOMPARE(messages.texts(),
                 sl({"There are to many records to store\r\nto this Ostiarin version.\r\n-128 is the limit."}));
        QVERIFY(rig.commands().isEmpty());
    }

    void notConfirmedOrEmpty()
    {
        MessageRecorder messages;
        Rig rig(unit());
        QVERIFY(rig.logOn());
        rig.form.StatusBar->setPanel(0, L1("before"));
        // An empty table: sorted, then nothing is sent.
        messages.answerNext(true);
        rig.transfer->WriteDataClick();
        QCOMPARE(rig.form.StatusBar->panel(0), L1("Sorting Addresses"));
        QVERIFY(rig.commands().isEmpty());
        // Not confirmed: nothing changes.
        rig.add(sl({"B", "1", "", "", "", "", "", "7777"}));
        rig.add(sl({"A", "2", "", "", "", "", "", "9999"}));
        rig.form.StatusBar->setPanel(0, L1("before"));
        messages.answerNext(false);
        rig.transfer->WriteDataClick();
        QCOMPARE(rig.form.StatusBar->panel(0), L1("before"));
        QCOMPARE(rig.rows().at(1).at(7), L1("7777"));
        QVERIFY(rig.commands().isEmpty());
    }
};

QTEST_MAIN(TestDirectoryRoundTrip)
#include "tst_directory_roundtrip.moc"
