#include "rfidtestsupport.h"
#include "fullarea.h"

#include "window/mainwindow.h"
#include "events/eventspage.h"
#include "link/delay.h"
#include "common/filedialogs.h"
#include "common/messages.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "rfid/rfidpage.h"
#include "rfid/tagtransfer.h"
#include "uidriver.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

using namespace RfidTest;
using UiDriver::LogOnAnswer;

namespace {
QString latin1(const char *text) { return QString::fromLatin1(text); }
QByteArray emptyTagBlock() { return QByteArray(64, '?'); }
} // namespace

// The tag page in the real main window against the simulated unit: what
// reaches the unit, what the directory holds afterwards, and what the user
// is told.
class TestRfidPage : public QObject {
    Q_OBJECT

    // One unit and one window for all cases, logged on once; each case
    // starts from an empty directory, an empty tag area and a faultless unit.
    std::unique_ptr<Simulator> sim;
    std::unique_ptr<TostiForm> form;
    std::unique_ptr<MessageRecorder> messages;

    RfidPage &page() { return *form->rfidPage; }
    RecordTable &table() { return form->DirectoryTable; }

    bool start(const UnitOptions &faults = unitOptions().unit)
    {
        sim->unit().options() = faults;
        return form->Link->LoggedOn;
    }

private slots:
    void initTestCase()
    {
        QFile::remove(QStringLiteral("Ostidata.ini"));
        messages = std::make_unique<MessageRecorder>();
        sim = std::make_unique<Simulator>(unitOptions());
        QVERIFY(sim->startSerial(kPort));
        form = std::make_unique<TostiForm>();
        for (QPushButton *b : {page().download_id, page().writeall_id, page().Get_ID})
            QVERIFY(!b->isEnabled());
        QVERIFY(page().Button1->isEnabled() && page().Button2->isEnabled());
        QVERIFY(form->DBGrid3 == page().DBGrid3);
        UiDriver::logOn(*form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form->Link->LoggedOn);
        QVERIFY(messages->texts().isEmpty());
        for (QPushButton *b : {page().download_id, page().writeall_id, page().Get_ID})
            QVERIFY(b->isEnabled());
    }
    void init()
    {
        // Replies the last case did not wait for (a re-programming) land now,
        // not in the middle of this one: the line is quiet both ways.
        QTRY_VERIFY(sim->serialQuiet() && form->Channel.ComPort1.bytesToWrite() == 0
                    && form->Channel.ComPort1.bytesAvailable() == 0);
        sim->unit().options() = unitOptions().unit;
        sim->unit().memory().eraseTags();
        emptyDirectory(*form);
        form->setDirectoryInSync(false);
        form->Channel.KeepAliveTicks = 0;
        sim->clearCommands();
        messages->clear();
    }
    void cleanupTestCase()
    {
        form.reset();
        sim.reset();
        messages.reset();
    }

    // Five tags fill block 1408 and one slot of 1409; reading them back into
    // an empty directory gives a record per tag.
    void writeAllFiveTagsThenDownload()
    {
        QVERIFY(start());
        // Block 1410 held a tag from before: the erase removes it.
        QVERIFY(sim->unit().memory().programBlock(1410, "99????0000000099"));
        addRecord(table(), latin1("ONE"), latin1("1"), latin1("00000000A1"), latin1("1000"));
        addRecord(table(), latin1("NOROOM"), QString(), latin1("FFFFFFFFFF"), latin1("1020"));
        addRecord(table(), latin1("TWO"), latin1("2"), latin1("0000000002"), latin1("1040"));
        addRecord(table(), latin1("NOTAG"), latin1("8"), QString(), latin1("1060"));
        addRecord(table(), latin1("THREE"), latin1("123456"), latin1("ABCDEF0123"), latin1("1080"));
        // Put into the table behind the page's back: the unit still gets
        // the letters as letters.
        addRecord(table(), latin1("FOUR"), latin1("7"), latin1("abcdef0123"), latin1("10A0"));
        addRecord(table(), latin1("FIVE"), latin1("5"), latin1("5555555555"), latin1("10C0"));
        table().moveTo(1);

        page().writeall_id->click();

        QVERIFY2(messages->texts().isEmpty(), qPrintable(messages->texts().join(QLatin1Char('|'))));
        QVERIFY(settled(*form));
        QVERIFY(form->Timer2.isActive());
        QCOMPARE(form->ledPicture(), 21);
        const UnitMemory &memory = sim->unit().memory();
        QCOMPARE(memory.block(1408), QByteArray("1?????00000000:12?????0000000002123456:;<=>?01237?????:;<=>?0123"));
        QCOMPARE(memory.block(1409), QByteArray("5?????5555555555") + QByteArray(48, '?'));
        QCOMPARE(memory.block(1410), emptyTagBlock());
        const QList<QByteArray> commands = commandTexts(*sim);
        QCOMPARE(commands.first(), QByteArray("c1418"));
        QCOMPARE(countStartingWith(commands, "g1408"), 1);
        QCOMPARE(countStartingWith(commands, "g1409"), 1);
        QCOMPARE(countStartingWith(commands, "g1410"), 0);
        QCOMPARE(countStartingWith(commands, "p"), 0);
        QVERIFY(commands.contains(QByteArray("g1409") + QByteArray("5?????5555555555") + QByteArray(48, '?')));
        // The write-all changes nothing in the directory; the cursor stands
        // on the last record walked.
        QCOMPARE(table().recordCount(), 7);
        QCOMPARE(table().recNo(), 7);
        QCOMPARE(page().rfName->text(), latin1("FIVE"));

        table().empty();
        form->setDirectoryInSync(false);
        page().download_id->click();
        QVERIFY2(messages->texts().isEmpty(), qPrintable(messages->texts().join(QLatin1Char('|'))));
        QVERIFY(settled(*form));
        QCOMPARE(records(table()), (QStringList{latin1("|1|00000000A1|p2"), latin1("|2|0000000002|p3"),
                                                latin1("|123456|ABCDEF0123|p4"), latin1("|7|ABCDEF0123|p5"),
                                                latin1("|5|5555555555|p6")}));
        // The tags say nothing of the directory's records on the unit.
        QVERIFY(!form->DirectoryInSync);
        QCOMPARE(table().recNo(), 1);
        QCOMPARE(page().rfRoom->text(), latin1("1"));
        QCOMPARE(page().rfID->text(), latin1("00000000A1"));
        QVERIFY(form->FileSaveItem->isEnabled());
        QVERIFY(commandTexts(*sim).contains(QByteArray("s14081535")));
    }

    // Several tags of one room go to the records of that room in table order,
    // one each; the rest make new records.  Codes typed before are replaced.
    void downloadMergesByRoom()
    {
        QVERIFY(start());
        QVERIFY(sim->unit().memory().programBlock(1408, "12????111111111112????222222222212????33333333337?????::::::::::"));
        QVERIFY(sim->unit().memory().programBlock(1410, "9?????9999999999"));
        addRecord(table(), latin1("ANNA"), latin1("12"), QString(), latin1("1000"));
        addRecord(table(), latin1("BERT"), latin1("7"), latin1("0000000007"), latin1("1020"));
        addRecord(table(), latin1("CARL"), latin1("12"), latin1("1234"), latin1("1040"));
        addRecord(table(), latin1("DORA"), latin1("12"), QString(), QString());
        addRecord(table(), latin1("EMIL"), latin1("3"), latin1("3333333333"), latin1("1060"));
        table().moveTo(3);
        form->setDirectoryInSync(true);

        page().download_id->click();

        QVERIFY2(messages->texts().isEmpty(), qPrintable(messages->texts().join(QLatin1Char('|'))));
        QVERIFY(settled(*form));
        QCOMPARE(records(table()), (QStringList{latin1("ANNA|12|1111111111|1000"), latin1("BERT|7|AAAAAAAAAA|1020"),
                                                latin1("CARL|12|2222222222|1040"), latin1("DORA|12||"),
                                                latin1("EMIL|3||1060"), latin1("|12|3333333333|p4"),
                                                latin1("|9|9999999999|p6")}));
        // Downloaded into a directory that was in step: it still is, and the
        // merge wrote no directory record.
        QVERIFY(form->DirectoryInSync);
        QCOMPARE(commandTexts(*sim), QList<QByteArray>{QByteArray("s14081535")});
        QCOMPARE(table().recNo(), 1);
        QCOMPARE(page().rfName->text(), latin1("ANNA"));
    }

    // No answer to the dump: the directory keeps its codes and is not
    // marked as in step with the unit.
    void downloadWithoutReply()
    {
        UnitOptions faults = unitOptions().unit;
        faults.dropCommands = "s";
        QVERIFY(start(faults));
        addRecord(table(), latin1("ANNA"), latin1("12"), latin1("0123456789"), latin1("1000"));
        QVERIFY(!form->DirectoryInSync);

        page().download_id->click();

        QCOMPARE(messages->texts(), QStringList{latin1("communication error")});
        QVERIFY(settled(*form));
        QVERIFY(!form->DirectoryInSync);
        QCOMPARE(records(table()), QStringList{latin1("ANNA|12|0123456789|1000")});
        QVERIFY(form->Link->LoggedOn);
        QVERIFY(form->Timer2.isActive());
    }

    void badCodeStopsBeforeAnyCommand()
    {
        QVERIFY(start());
        addRecord(table(), latin1("ANNA"), latin1("1"), latin1("0123456789"));
        addRecord(table(), latin1("BERT"), latin1("2"), latin1("012345678"));
        addRecord(table(), latin1("CARL"), latin1("3"), latin1("1"));
        table().moveTo(1);
        QVERIFY(sim->unit().memory().programBlock(1408, "1?????0123456789"));

        page().writeall_id->click();

        QCOMPARE(messages->texts(), QStringList{latin1("Note, the current record has\r\nincorrect RFID data format.\r\nrescan or erase the code.")});
        QCOMPARE(table().recNo(), 2);
        QCOMPARE(page().rfName->text(), latin1("BERT"));
        QTest::qWait(200);
        QVERIFY(sim->commands().isEmpty());
        QCOMPARE(sim->unit().memory().block(1408).left(16), QByteArray("1?????0123456789"));
        QVERIFY(settled(*form));
    }

    // A unit that refuses "g": three attempts per block, then the read-back
    // finds the block missing and programs it with "p".  When that is lost
    // too, the user is told.
    void refusedBlockWrites_data()
    {
        QTest::addColumn<bool>("programmingLost");
        QTest::newRow("programmed after the refusals") << false;
        QTest::newRow("programming lost as well") << true;
    }
    void refusedBlockWrites()
    {
        QFETCH(bool, programmingLost);
        UnitOptions faults = unitOptions().unit;
        faults.refuseG = true;
        if (programmingLost)
            faults.dropCommands = "p";
        QVERIFY(start(faults));
        addRecord(table(), latin1("ANNA"), latin1("1"), latin1("0123456789"));
        addRecord(table(), latin1("BERT"), latin1("2"), latin1("9876543210"));

        page().writeall_id->click();

        const QByteArray expected = QByteArray("1?????01234567892?????9876543210") + QByteArray(32, '?');
        const QList<QByteArray> commands = commandTexts(*sim);
        QCOMPARE(countStartingWith(commands, "g1408"), 3);
        QVERIFY(settled(*form));
        if (programmingLost) {
            QCOMPARE(messages->texts(), QStringList{latin1("there was an error saving the codes,\r\nPlease try again")});
            QCOMPARE(sim->unit().memory().block(1408), emptyTagBlock());
            QTRY_COMPARE(countStartingWith(commandTexts(*sim), "p1408"), 2);
        } else {
            QVERIFY2(messages->texts().isEmpty(), qPrintable(messages->texts().join(QLatin1Char('|'))));
            QCOMPARE(sim->unit().memory().block(1408), expected);
            QCOMPARE(countStartingWith(commands, "p1408"), 1);
        }
    }

    // Every read-back differs: each block is programmed again twice, the
    // other blocks are still written, and the error is reported once.
    void readBackDiffers()
    {
        UnitOptions faults = unitOptions().unit;
        faults.corruptReadback = true;
        QVERIFY(start(faults));
        for (int i = 1; i <= 5; ++i)
            addRecord(table(), QStringLiteral("R%1").arg(i), QString::number(i), QStringLiteral("000000000%1").arg(i));

        page().writeall_id->click();

        QCOMPARE(messages->texts(), QStringList{latin1("there was an error saving the codes,\r\nPlease try again")});
        const QList<QByteArray> commands = commandTexts(*sim);
        QCOMPARE(countStartingWith(commands, "g1408"), 1);
        QCOMPARE(countStartingWith(commands, "g1409"), 1);
        QCOMPARE(countStartingWith(commands, "p1408"), 2);
        QTRY_COMPARE(countStartingWith(commandTexts(*sim), "p1409"), 2);
        QCOMPARE(sim->unit().memory().block(1409), QByteArray("5?????0000000005") + QByteArray(48, '?'));
        QVERIFY(settled(*form));
    }

    // A tag held to the reader during a capture.
    void capture_data()
    {
        QTest::addColumn<bool>("wrongCheck");
        QTest::newRow("good check byte") << false;
        QTest::newRow("wrong check byte") << true;
    }
    void capture()
    {
        QFETCH(bool, wrongCheck);
        QVERIFY(start());
        addRecord(table(), latin1("ANNA"), latin1("1"), QString());
        table().moveTo(1);

        page().Get_ID->click();
        QCOMPARE(page().iderror->text(), latin1("Ready"));
        QCOMPARE(page().ProgressBar1->value(), 20);
        QVERIFY(page().rfID->text().isEmpty());
        QVERIFY(form->Timer3.isActive());
        QCOMPARE(sim->presentTag("00FFa5c3E1", wrongCheck), 1);
        // Another operation on the unit waits for the end of the capture.
        form->eventsPage->Set_time->click();

        QTRY_VERIFY_WITH_TIMEOUT(!form->Timer3.isActive(), 3000);
        QCOMPARE(page().ProgressBar1->value(), 0);
        if (wrongCheck) {
            QCOMPARE(page().iderror->text(), latin1("Read Error, Try Again"));
            QVERIFY(page().rfID->text().isEmpty());
        } else {
            QCOMPARE(page().iderror->text(), latin1("Ready"));
            // Letters in the form the unit keeps them.
            QCOMPARE(page().rfID->text(), latin1("00FFA5C3E1"));
        }
        QVERIFY(!page().Lc_exist->isVisibleTo(form->RFid_SU));
        // Only Up Date puts the code into the record.
        QVERIFY(table().value(DirectoryFields::RFID).isEmpty());
        page().Button1->click();
        QCOMPARE(records(table()), QStringList{latin1("ANNA|1|") + (wrongCheck ? QString() : latin1("00FFA5C3E1")) + latin1("|")});
        QVERIFY(messages->texts().isEmpty());
        QVERIFY(commandTexts(*sim).isEmpty());
        // Over: the gate is free again.
        form->eventsPage->Set_time->click();
        QCOMPARE(countStartingWith(commandTexts(*sim), "t"), 1);
    }

    // A captured code that another record holds is pointed out; the cursor
    // stays where the user left it.  Moving to another row hides the note.
    void captureOfATagHeldElsewhere()
    {
        QVERIFY(start());
        addRecord(table(), latin1("ANNA"), latin1("12"), latin1("0123456789"));
        addRecord(table(), latin1("BERT"), latin1("34"), QString());
        addRecord(table(), latin1("CARL"), latin1("56"), QString());
        table().moveTo(2);
        form->RFbuttClick();
        QVERIFY(page().iderror->text().isEmpty());

        page().Get_ID->click();
        sim->presentTag("0123456789", false);
        QTRY_VERIFY_WITH_TIMEOUT(!form->Timer3.isActive(), 3000);

        QCOMPARE(page().rfID->text(), latin1("0123456789"));
        QVERIFY(page().Lc_exist->isVisibleTo(form->RFid_SU));
        QCOMPARE(page().Lc_exist->text(), latin1("Note, This record matches room 12"));
        QCOMPARE(table().recNo(), 2);
        QCOMPARE(page().rfName->text(), latin1("BERT"));
        table().moveTo(3);
        QVERIFY(!page().Lc_exist->isVisibleTo(form->RFid_SU));
    }

    // Nothing arrives: the bar runs down over 20 ticks and the capture ends
    // quietly.
    void captureTimesOut()
    {
        QVERIFY(start());
        page().Get_ID->click();
        for (int tick = 1; tick < 20; ++tick)
            page().Timer3Timer();
        QCOMPARE(page().ProgressBar1->value(), 1);
        QVERIFY(form->Timer3.isActive());
        page().Timer3Timer();
        QCOMPARE(page().ProgressBar1->value(), 0);
        QVERIFY(!form->Timer3.isActive());
        QCOMPARE(page().iderror->text(), latin1("Ready"));
        QVERIFY(page().rfID->text().isEmpty());
        QVERIFY(messages->texts().isEmpty());
    }

    void eraseButtonSendsTheEraseCommand()
    {
        QVERIFY(start());
        QVERIFY(sim->unit().memory().programBlock(1408, "12????0123456789"));
        QVERIFY(page().Button3->isHidden());
        page().Button3->click();
        QTRY_COMPARE(commandTexts(*sim), QList<QByteArray>{QByteArray("c1418")});
        QCOMPARE(sim->unit().memory().block(1408), emptyTagBlock());
    }

    void upDateStoresTheBoxInTheRecord()
    {
        // On an empty directory it makes a record that holds only the code.
        page().rfID->setText(latin1("0123456789"));
        page().Button1->click();
        QCOMPARE(records(table()), QStringList{latin1("||0123456789|")});
        addRecord(table(), latin1("ANNA"), latin1("12"), QString(), latin1("1000"));
        table().moveTo(2);
        page().rfID->setText(latin1("012345678"));
        page().Button1->click();
        QCOMPARE(records(table()).last(), latin1("ANNA|12|012345678|1000"));
        QVERIFY(form->FollowCursor);

        // Not while a transfer walks the directory.
        form->BulkBusy = true;
        page().rfID->setText(latin1("9999999999"));
        page().Button1->click();
        page().Button2->click();
        form->BulkBusy = false;
        QCOMPARE(records(table()).size(), 2);
        QCOMPARE(records(table()).last(), latin1("ANNA|12|012345678|1000"));
        QVERIFY(sim->commands().isEmpty());
    }

    void delRemovesTheWholeRecord()
    {
        addRecord(table(), latin1("ANNA"), latin1("12"), latin1("1111111111"), latin1("1000"));
        addRecord(table(), latin1("BERT"), latin1("34"), latin1("2222222222"), latin1("1020"));
        addRecord(table(), latin1("CARL"), latin1("56"), latin1("3333333333"), latin1("1040"));
        table().moveTo(2);
        QCOMPARE(page().rfName->text(), latin1("BERT"));
        page().Button2->click();
        QCOMPARE(records(table()), (QStringList{latin1("ANNA|12|1111111111|1000"), latin1("CARL|56|3333333333|1040")}));
        QVERIFY(!form->DeleteAllowed);
        QVERIFY(form->FollowCursor);
        // The boxes show the record now under the cursor, not the deleted one.
        QCOMPARE(page().rfName->text(), table().value(DirectoryFields::Name));
        QCOMPARE(page().rfID->text(), table().value(DirectoryFields::RFID));
        QVERIFY(messages->texts().isEmpty());
        QTest::qWait(100);
        QVERIFY(sim->commands().isEmpty());

        // The last one: the boxes empty.
        table().empty();
        addRecord(table(), latin1("DORA"), latin1("78"), latin1("4444444444"));
        page().Button2->click();
        QCOMPARE(table().recordCount(), 0);
        QVERIFY(page().rfName->text().isEmpty() && page().rfID->text().isEmpty());
        QVERIFY(!form->DeleteAllowed);
    }

    // A click on another unit button, on any page, while the tag dump comes
    // does nothing: its commands and replies would mix with the dump (an
    // event dump merged as tags, a clock answer ending the wait early).
    void clicksDuringTheTagDownloadDoNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("event Down Load") << latin1("dnLoad");
        QTest::newRow("Set_time") << latin1("Set_time");
        QTest::newRow("tag Write All") << latin1("writeall_id");
        QTest::newRow("Get_RFID") << latin1("Get_ID");
    }
    void clicksDuringTheTagDownloadDoNothing()
    {
        QFETCH(QString, button);
        QVERIFY(start());
        // The whole area: at the line's pace its dump lasts long enough for
        // the click to land inside it.
        for (int block = 0; block < 128; ++block) {
            QByteArray text;
            for (int slot = 0; slot < 4; ++slot)
                text += areaSlot(block * 4 + slot);
            QVERIFY(sim->unit().memory().programBlock(1408 + block, text));
        }
        QPushButton *target = form->findChild<QPushButton *>(button);
        QVERIFY(target && target->isEnabled());
        bool clicked = false;
        QTimer clicker;
        clicker.setInterval(5);
        connect(&clicker, &QTimer::timeout, this, [&] {
            if (!form->BulkBusy || !commandTexts(*sim).contains(QByteArray("s14081535")))
                return;
            clicker.stop();
            target->click();
            clicked = true;
        });
        clicker.start();
        page().download_id->click();
        clicker.stop();

        QVERIFY(clicked);
        QCOMPARE(commandTexts(*sim), QList<QByteArray>{QByteArray("s14081535")});
        QVERIFY2(messages->texts().isEmpty(), qPrintable(messages->texts().join(QLatin1Char('|'))));
        QCOMPARE(table().recordCount(), 512);
        for (int i : {0, 1, 255, 511})
            QCOMPARE(records(table()).at(i), QStringLiteral("|%1|%2|p%3").arg(areaRoom(i), areaCode(i)).arg(i + 2));
        QVERIFY(settled(*form));
        QVERIFY(!form->Timer3.isActive());
    }

    // The write-all holds the gate too: the events page's buttons do
    // nothing while it walks the blocks.
    void eventButtonsDuringTheWriteAllDoNothing()
    {
        QVERIFY(start());
        for (int i = 1; i <= 5; ++i)
            addRecord(table(), QStringLiteral("R%1").arg(i), QString::number(i), QStringLiteral("000000000%1").arg(i));
        bool clicked = false;
        QTimer clicker;
        clicker.setInterval(5);
        connect(&clicker, &QTimer::timeout, this, [&] {
            if (!form->BulkBusy || !commandTexts(*sim).contains(QByteArray("c1418")))
                return;
            clicker.stop();
            form->eventsPage->dnLoad->click();
            form->eventsPage->Set_time->click();
            page().Get_ID->click();
            clicked = true;
        });
        clicker.start();
        page().writeall_id->click();
        clicker.stop();

        QVERIFY(clicked);
        QVERIFY2(messages->texts().isEmpty(), qPrintable(messages->texts().join(QLatin1Char('|'))));
        const QList<QByteArray> commands = commandTexts(*sim);
        QCOMPARE(countStartingWith(commands, "t"), 0);
        QCOMPARE(countStartingWith(commands, "e"), 0);
        QVERIFY(!commands.contains(QByteArray()));
        QCOMPARE(sim->unit().memory().block(1409), QByteArray("5?????0000000005") + QByteArray(48, '?'));
        QVERIFY(!form->Timer3.isActive());
        QVERIFY(settled(*form));
    }

    // The user logs off while the download waits for the dump's last lines:
    // the log-off throws away what had come, and the directory keeps its
    // codes rather than losing them all to an empty merge.
    void logOffDuringTheClosingWaitKeepsTheCodes()
    {
        QVERIFY(start());
        QVERIFY(sim->unit().memory().programBlock(1408, "12????1111111111"));
        addRecord(table(), latin1("ANNA"), latin1("12"), latin1("0123456789"), latin1("1000"));
        bool loggedOff = false;
        page().setTransferPause([&](int units) {
            if (units == 1000 && !loggedOff) { // the closing wait
                loggedOff = true;
                form->ledAction->trigger();
            }
            Delay(units);
        });
        const auto restore = qScopeGuard([this] { page().setTransferPause([](int units) { Delay(units); }); });

        page().download_id->click();

        QVERIFY(loggedOff);
        QVERIFY(!form->Link->LoggedOn);
        QCOMPARE(records(table()), QStringList{latin1("ANNA|12|0123456789|1000")});
        QVERIFY(!form->DirectoryInSync);
        QVERIFY2(messages->texts().isEmpty(), qPrintable(messages->texts().join(QLatin1Char('|'))));
        QVERIFY(settled(*form));
        QVERIFY(!form->Timer2.isActive());
        QVERIFY(!form->Channel.Gate.busy());

        // On line again for the cases that follow.
        UiDriver::logOn(*form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form->Link->LoggedOn);
    }

    // The keep-alive falls due during a capture: it neither sends its bare
    // CR (whose answer would pass for a bad tag) nor clears the receive log
    // under the reader's line.
    void keepAliveStaysOutOfACapture()
    {
        QVERIFY(start());
        page().Get_ID->click();
        form->Channel.KeepAliveTicks = 14; // due at the next second
        QElapsedTimer since;
        since.start();
        bool presented = false;
        UiDriver::whenTrue([&] { return commandTexts(*sim).contains(QByteArray()) || since.elapsed() > 2500; },
                           [&] {
                               sim->presentTag("0123456789", false);
                               presented = true;
                           });
        QTRY_VERIFY_WITH_TIMEOUT(presented && !form->Timer3.isActive(), 30000);

        QCOMPARE(page().iderror->text(), latin1("Ready"));
        QCOMPARE(page().rfID->text(), latin1("0123456789"));
        QVERIFY(!commandTexts(*sim).contains(QByteArray()));
        // The keep-alive runs again after the capture.
        QVERIFY(form->Timer2.isActive());
        QVERIFY(!form->Channel.Gate.busy());
    }

    // A typed code is stored as the unit keeps it, letters in upper case; a
    // character that is no hexadecimal digit is refused before it reaches
    // the record (the unit would drop it).
    void upDateTakesHexadecimalCodesOnly()
    {
        addRecord(table(), latin1("ANNA"), latin1("12"), QString(), latin1("1000"));
        table().moveTo(1);
        page().rfID->setText(latin1("00ffa5c3e1"));
        page().Button1->click();
        QCOMPARE(records(table()), QStringList{latin1("ANNA|12|00FFA5C3E1|1000")});
        QCOMPARE(page().rfID->text(), latin1("00FFA5C3E1"));
        QVERIFY(messages->texts().isEmpty());

        page().rfID->setText(latin1("01234G6789"));
        page().Button1->click();
        QCOMPARE(messages->count(), 1);
        QVERIFY2(messages->last().contains(latin1("01234G6789")), qPrintable(messages->last()));
        QCOMPARE(records(table()), QStringList{latin1("ANNA|12|00FFA5C3E1|1000")});
        QVERIFY(form->FollowCursor);
    }

    // File > Open of a phone list: its codes enter as the unit keeps them.
    void openedPhoneListCodesAreHexInUpperCase()
    {
        const QString path = QStringLiteral("tags.csv");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("Name,RoomNumber,RFID,Addr\r\nANNA,12,abcdef0123,1000\r\nBERT,14,01234G6789,1020\r\n");
        }
        FileDialogService::setHandler([path](const FileDialogService::Request &) { return path; });
        const auto reset = qScopeGuard([] { FileDialogService::resetHandler(); });
        form->PHButClick();
        form->FileOpen1->trigger();
        QCOMPARE(records(table()), (QStringList{latin1("ANNA|12|ABCDEF0123|1000"), latin1("BERT|14||1020")}));
        QCOMPARE(messages->count(), 1);
        QVERIFY2(messages->last().contains(latin1("01234G6789")), qPrintable(messages->last()));
        form->RFbuttClick();
    }

    void unitButtonsFollowTheLink()
    {
        // A capture running at the log-off ends at its next tick and gives
        // the gate back, so that the next log-on is not refused.
        page().Get_ID->click();
        QVERIFY(form->Channel.Gate.busy());
        form->ledAction->trigger(); // log off
        page().Timer3Timer();
        QVERIFY(!form->Timer3.isActive());
        QVERIFY(!form->Channel.Gate.busy());
        QVERIFY(!form->Timer2.isActive());
        QVERIFY(!form->Link->LoggedOn);
        for (QPushButton *b : {page().download_id, page().writeall_id, page().Get_ID})
            QVERIFY(!b->isEnabled());
        QVERIFY(page().Button1->isEnabled() && page().Button2->isEnabled());
    }
};

QTEST_MAIN(TestRfidPage)
#include "tst_rfidpage.moc"
