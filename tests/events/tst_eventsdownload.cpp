#include "eventsrig.h"

#include "window/mainwindow.h"
#include "widgets/transferwindow.h"
#include "common/filedialogs.h"
#include "controllines.h"
#include "events/eventspage.h"
#include "link/logon.h"
#include "link/receivelog.h"
#include "messagerecorder.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using UiDriver::LogOnAnswer;

using namespace EventsRig;


// The Events page in the real main window against the simulated unit.
class TestEventsDownload : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(QStringLiteral("Ostidata.ini")); }
    void cleanup() { FileDialogService::resetHandler(); }

    void downloadDecodesTheUnitsLog()
    {
        Rig rig;
        QVERIFY(!rig.page.dnLoad->isEnabled() && !rig.page.Set_time->isEnabled());
        QVERIFY(rig.logOn());
        QVERIFY(rig.page.dnLoad->isEnabled() && rig.page.Set_time->isEnabled());
        rig.control("event 101 local 1 SMITH J");
        rig.control("event 7 remote 2 O'NEIL, ANN 100%");
        rig.control("event incall local 1");
        rig.control("event button3 local 1");
        rig.control("event error local 1");
        rig.control("event 123456 rfid 2");
        // The unit's own odd lines: an erased room pair, a source it does not
        // name, a line cut after the relay.
        rig.rawEvent(B("X9999") + B("3432") + QByteArray(8, '\xff') + B("1F0C09173B00 1 7    \xe9TAGE"));
        rig.rawEvent(B("\xff\xff 12393939FFFFFF1F0C09173B00 2"));
        rig.sim.clearCommands();

        rig.form.EbuttClick();
        QVERIFY(!rig.form.SaveAs->isEnabled());
        rig.page.dnLoad->click();

        QVERIFY2(rig.messages.texts().isEmpty(), qPrintable(rig.messages.texts().join(L("|"))));
        QCOMPARE(sentCommands(rig.sim), (QStringList{QString(), L("t"), L("e")}));
        QCOMPARE(rig.form.EventTable.recordCount(), 8);
        const QString when = L("01/04/09");
        const QString at = L("23:30:12");
        const QList<QStringList> expected{
            {L("1"), L("101"), when, at, L("1"), L("local"), L("SMITH J")},
            {L("2"), L("7"), when, at, L("2"), L("Remote"), L("O'NEIL, ANN 100%")},
            {L("3"), L("InCall"), when, at, L("1"), L("local"), L("InCall")},
            {L("4"), L("Butt.3"), when, at, L("1"), L("local"), L("Butt.3")},
            {L("5"), L("error"), when, at, L("1"), L("local"), L("error")},
            {L("6"), L("123456"), when, at, L("2"), L("RF-ID"), QString()},
            {L("7"), L("42"), L("31/12/09"), L("23:59:00"), L("1"), L("Error"), L("\xe9TAGE")},
            {L("8"), L("999"), L("31/12/09"), L("23:59:00"), L("2"), L("Error"), QString()},
        };
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(rig.row(i), expected.at(i));

        QCOMPARE(rig.page.Stime->text(), at);
        QCOMPARE(rig.page.Sdate->text(), when);
        QVERIFY(!rig.page.Ctime->text().isEmpty() && rig.page.Ctime->text() != L("00:00:00"));
        QVERIFY(!rig.page.Cdate->text().isEmpty() && rig.page.Cdate->text() != L("00/00/00"));
        QCOMPARE(rig.form.EventTable.recNo(), 1);
        QCOMPARE(rig.details(), (QStringList{L("1"), L("101"), L("SMITH J"), L("1"), L("local"), at, when}));
        QVERIFY(rig.form.RxLog.text().startsWith(L("e0008\r\n")));
        QVERIFY(rig.form.RxLog.text().endsWith(L("OK\r\n")));
        QVERIFY(rig.form.EventsSaveAsEnabled);
        QVERIFY(rig.form.SaveAs->isEnabled());
        rig.verifyCleanedUp();
        QHeaderView *titles = rig.page.DBGrid2->horizontalHeader();
        QCOMPARE(titles->sectionSize(0), 42);
        int six = 0;
        for (int c = 0; c < 6; ++c)
            six += titles->sectionSize(c);
        QCOMPARE(rig.page.DBGrid2->width(), six + 39);
        // A record indicator, as the other grids have, of one width whatever
        // the number of events, inside the grid's edge beside the scroll bar.
        QHeaderView *indicator = rig.page.DBGrid2->verticalHeader();
        QVERIFY(!indicator->isHidden());
        QCOMPARE(indicator->minimumWidth(), indicator->maximumWidth());
        QVERIFY(indicator->maximumWidth() + rig.page.DBGrid2->verticalScrollBar()->sizeHint().width() < 39);
        QVERIFY(!rig.page.DBGrid2->verticalHeader()->accessibleName().isEmpty());

        // Other pages and back: Save As follows the flag.
        rig.form.PHButClick();
        rig.form.RFbuttClick();
        QVERIFY(!rig.form.SaveAs->isEnabled());
        rig.form.EbuttClick();
        QVERIFY(rig.form.SaveAs->isEnabled());
    }

    void sortsAndDetailsFollowTheCursor()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        for (const char *line : {"event 30 local 1 C", "event incall local 1", "event 100 remote 2 A",
                                 "event button2 local 1", "event 2 local 1 B"})
            rig.control(line);
        rig.page.dnLoad->click();
        QCOMPARE(rig.form.EventTable.recordCount(), 5);

        // A title click before any download would do nothing; now it sorts.
        rig.page.DBGrid2TitleClick(1); // RoomNumber: by text, kinds among the rooms
        QCOMPARE(rig.column(1), (QStringList{L("100"), L("2"), L("30"), L("Butt.2"), L("InCall")}));
        QCOMPARE(rig.details().mid(0, 3), (QStringList{L("1"), L("100"), L("A")}));
        QCOMPARE(rig.row(0).at(0), L("3"));

        // Choosing a row in the grid shows it; E_Numb is its place in this order.
        QTableView *grid = rig.page.DBGrid2;
        grid->selectionModel()->setCurrentIndex(grid->model()->index(2, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(rig.details(), (QStringList{L("3"), L("30"), L("C"), L("1"), L("local"), L("23:30:12"), L("01/04/09")}));

        for (int column : {3, 2}) { // Time, then Date: event order
            rig.page.DBGrid2TitleClick(column);
            QCOMPARE(rig.column(0), (QStringList{L("1"), L("2"), L("3"), L("4"), L("5")}));
            QCOMPARE(rig.form.EventTable.recNo(), 1);
        }
        rig.page.DBGrid2->horizontalHeader()->sectionClicked(5); // Source, through the grid's own title
        QCOMPARE(rig.column(5), (QStringList{L("local"), L("local"), L("local"), L("local"), L("Remote")}));

        // Typing into an editable details box changes nothing that is kept.
        rig.page.E_source->setText(L("typed"));
        QCOMPARE(rig.form.EventTable.value(L("Source")), L("local"));

        // The next download starts afresh in dump order.
        rig.page.dnLoad->click();
        QCOMPARE(rig.column(0), (QStringList{L("1"), L("2"), L("3"), L("4"), L("5")}));
        QVERIFY(!rig.form.EventTable.isSorted());
    }

    // At the line's own pace the dump comes in pieces; residents whose names
    // hold "OK" do not end it early.
    void pacedLogWithOkInNamesComesWhole()
    {
        SimOptions options = unitOptions();
        options.baud = 57600;
        Rig rig(options);
        QVERIFY(rig.logOn());
        for (int i = 0; i < 150; ++i)
            rig.control(QStringLiteral("event %1 local 1 BROOK OK%1").arg(100 + i).toLatin1().constData());
        rig.page.dnLoad->click();
        QVERIFY(rig.messages.texts().isEmpty());
        QCOMPARE(rig.form.EventTable.recordCount(), 150);
        QCOMPARE(rig.row(149).at(6), L("BROOK OK249"));
        QVERIFY(rig.form.EventsSaveAsEnabled);
    }

    // Clicks that would put a second conversation into the dump wait their
    // turn.  The dump comes at the line's pace, so that it lasts long enough
    // for the clicks to land inside it.
    void clicksDuringTheDownloadDoNotInterleave()
    {
        SimOptions options = unitOptions();
        options.baud = 57600;
        Rig rig(options);
        QVERIFY(rig.logOn());
        for (int i = 0; i < 60; ++i)
            rig.control("event 101 local 1 SMITH J");
        rig.sim.clearCommands();
        bool clicked = false;
        QTimer clicker;
        clicker.setInterval(5);
        connect(&clicker, &QTimer::timeout, this, [&] {
            if (!rig.form.Channel.BulkTransfer)
                return;
            clicker.stop();
            rig.page.Set_time->click();
            rig.page.dnLoad->click();
            clicked = true;
        });
        clicker.start();
        rig.page.dnLoad->click();
        clicker.stop();
        QVERIFY(clicked);
        QCOMPARE(sentCommands(rig.sim), (QStringList{QString(), L("t"), L("e")}));
        QCOMPARE(rig.form.EventTable.recordCount(), 60);
        QVERIFY(rig.messages.texts().isEmpty());
    }

    void emptyLogIsASuccessAndSavesAsFile()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        rig.form.EbuttClick();
        rig.page.dnLoad->click();
        QVERIFY(rig.messages.texts().isEmpty());
        QCOMPARE(rig.form.EventTable.recordCount(), 0);
        QVERIFY(rig.form.EventsSaveAsEnabled);
        rig.verifyCleanedUp();

        FileDialogService::Request asked{};
        FileDialogService::setHandler([&](const FileDialogService::Request &request) {
            asked = request;
            return QStringLiteral("empty.Evt");
        });
        rig.form.SaveAs->trigger();
        QCOMPARE(asked.kind, FileDialogService::Kind::Save);
        QCOMPARE(asked.defaultExtension, L("Evt"));
        QCOMPARE(asked.proposedName, L("Events"));
        QCOMPARE(asked.filter, L("OstiarinEvents(*.Evt)|*.Evt|All Files (*.*)|*.*"));
        QFile file(QStringLiteral("empty.Evt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray expected = B("Ostiarin time when saved was: 23:30:12  01/04/09\r\n"
                                      "Current time when Loaded was: ")
                                    + rig.page.Ctime->text().toLatin1() + "  " + rig.page.Cdate->text().toLatin1()
                                    + B("\r\nEvent,RoomNumber,Date,Time,RlyNo,Source,Client\r\n");
        QCOMPARE(file.readAll(), expected);
    }

    void savedFileHoldsTheTableInItsOrder()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        rig.control("event 20 local 1 SMITH, J");
        rig.control("event 10 rfid 2 50% OFF");
        rig.page.dnLoad->click();
        rig.form.EbuttClick();
        rig.page.DBGrid2TitleClick(1);
        rig.form.EventTable.moveTo(2);
        FileDialogService::setHandler([](const FileDialogService::Request &) { return QStringLiteral("log"); });
        rig.form.SaveAsClick();
        QFile file(QStringLiteral("log.Evt")); // the default extension is added
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.at(3), B("2,10,01/04/09,23:30:12,2,RF-ID,50%% OFF\r"));
        // Values as they stand, a comma included.
        QCOMPARE(lines.at(4), B("1,20,01/04/09,23:30:12,1,local,SMITH, J\r"));
        QCOMPARE(rig.form.EventTable.recNo(), 2);

        // A cancelled dialog writes nothing; a folder that is not there is reported.
        FileDialogService::setHandler([](const FileDialogService::Request &) { return QString(); });
        rig.form.SaveAsClick();
        QVERIFY(rig.messages.texts().isEmpty());
        FileDialogService::setHandler([](const FileDialogService::Request &) { return QStringLiteral("no/such/x.Evt"); });
        rig.form.SaveAs->trigger();
        QCOMPARE(rig.messages.count(), 1);
        QVERIFY2(rig.messages.last().startsWith(L("Cannot create file \"no/such/x.Evt\". ")), qPrintable(rig.messages.last()));
    }

    void badPairPartWayKeepsEarlierEvents()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        rig.control("event 101 local 1 FIRST");
        rig.control("event 102 local 1 SECOND");
        rig.rawEvent(B("E0003313033FFFFFF1F0CZ9173B00 1 0    THIRD"));
        rig.control("event 104 local 1 FOURTH");
        rig.form.EbuttClick();
        rig.page.dnLoad->click();
        QCOMPARE(rig.messages.texts(), QStringList{L("'$Z9' is not a valid integer value")});
        QCOMPARE(rig.column(6), (QStringList{L("FIRST"), L("SECOND")}));
        QCOMPARE(rig.details().mid(0, 3), (QStringList{L("1"), L("101"), L("FIRST")}));
        rig.verifyCleanedUp();
        // The log did not come whole: it is not offered for saving.
        QVERIFY(!rig.form.EventsSaveAsEnabled);
        QVERIFY(!rig.form.SaveAs->isEnabled());
        QVERIFY(rig.form.Link->LoggedOn);
    }

    void clockSetIsReadBackByTheNextDownload()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        rig.sim.clearCommands();
        const QDateTime before = QDateTime::currentDateTime();
        rig.page.Set_time->click();
        const QDateTime after = QDateTime::currentDateTime();
        QTRY_COMPARE(rig.sim.commands().size(), 1);
        const QString command = QString::fromLatin1(rig.sim.commands().constFirst().bytes);
        QCOMPARE(command.size(), 13);
        QCOMPARE(command.at(0), QLatin1Char('t'));
        // The PC's time at the click, to the second.
        const QDateTime sent = QDateTime::fromString(command.mid(1), L("ssmmHHddMMyy")).addYears(100);
        QVERIFY2(sent.isValid() && sent >= before.addSecs(-1) && sent <= after, qPrintable(command));

        rig.page.dnLoad->click();
        QCOMPARE(rig.page.Stime->text(), command.mid(5, 2) + L(":") + command.mid(3, 2) + L(":") + command.mid(1, 2));
        QCOMPARE(rig.page.Sdate->text(), command.mid(7, 2) + L("/") + command.mid(9, 2) + L("/") + command.mid(11, 2));
    }

    // Set_time waits for the unit's answer: a slow answer then cannot land
    // at the top of whatever the user reads next.
    void clockSetWaitsForItsAnswer()
    {
        SimOptions options = unitOptions();
        options.replyDelayMs = 300;
        Rig rig(options);
        QVERIFY(rig.logOn());
        rig.form.RxLog.clear();
        rig.sim.clearCommands();
        rig.page.Set_time->click();
        QCOMPARE(rig.sim.commands().size(), 1);
        QVERIFY2(rig.form.RxLog.text().contains(L("OK")), qPrintable(rig.form.RxLog.text()));
        rig.form.Channel.DataReceived = false;
        QTest::qWait(600);
        QVERIFY(!rig.form.Channel.DataReceived);
        QVERIFY(rig.messages.texts().isEmpty());
        QVERIFY(!rig.form.Channel.Gate.busy());
    }

    // The user logs off while the unit is half-way through its log: the wait
    // ends at once, nothing is kept of the half log, the program is off line.
    void logOffDuringTheDumpEndsItAtOnce()
    {
        Rig rig;
        QVERIFY(rig.logOn());
        rig.control("event 101 local 1 KEPT");
        rig.page.dnLoad->click();
        rig.control("event 102 local 1 NEW");
        rig.sim.unit().options().stallAfter = 2; // head line and one event, no OK
        QElapsedTimer clock;
        clock.start();
        QTimer logOff;
        logOff.setInterval(5);
        connect(&logOff, &QTimer::timeout, this, [&] {
            if (rig.form.Channel.BulkTransfer && rig.form.Channel.LineCount >= 1) {
                logOff.stop();
                rig.form.ledAction->trigger();
            }
        });
        logOff.start();
        rig.page.dnLoad->click();
        logOff.stop();
        QVERIFY(!rig.form.Link->LoggedOn);
        QCOMPARE(rig.form.RxLog.text(), L("Failed to get all data"));
        QCOMPARE(rig.column(6), QStringList{L("KEPT")});
        QVERIFY(!rig.form.Channel.BulkTransfer);
        QVERIFY(!rig.form.TransferF->isVisible());
        QVERIFY(!rig.form.Timer1.isActive());
        QCOMPARE(rig.form.ledPicture(), 22);
        QVERIFY(!rig.page.dnLoad->isEnabled());
    }
};

QTEST_MAIN(TestEventsDownload)
#include "tst_eventsdownload.moc"
