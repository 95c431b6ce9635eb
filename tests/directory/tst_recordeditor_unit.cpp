#include "window/mainwindow.h"
#include "directory/directorypage.h"
#include "directory/directorytable.h"
#include "directory/recordeditor.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "simulator.h"
#include "uidriver.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace DirectoryFields;
using Nav = RecordNavigator::Button;

namespace {
const QString kPort = QStringLiteral("SIM0");
const QString kNumericRule = QStringLiteral("Must use Numeric digits in\r\nRoomNumber & Codes fields");
} // namespace

// The record editor writing single records to the simulated unit, through
// the real main window logged on over a serial link.
class TestRecordEditorUnit : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Simulator> m_sim;
    std::unique_ptr<TostiForm> m_form;

    RecordEditor &editor() { return *m_form->directoryPage->editor(); }
    RecordTable &table() { return m_form->DirectoryTable; }

    QList<QByteArray> slotWrites() const
    {
        QList<QByteArray> writes;
        for (const ReceivedCommand &c : m_sim->commands())
            if (c.bytes.startsWith('b'))
                writes << c.bytes;
        return writes;
    }

    // The table and the unit both hold SMITH J at 1000 and BROWN at 1020.
    void startFrom(bool inSync, bool writeEach)
    {
        m_sim->unit().options().dropCommands.clear();
        m_sim->unit().memory().directory = {{0x1000, "101,1234,,,5551<22,SMITH J"}, {0x1020, "102,,,,9,BROWN"}};
        m_form->Hooks.defineDirectoryTable();
        m_form->Hooks.layoutDirectoryGrids();
        const QStringList rows[] = {
            {QStringLiteral("SMITH J"), QStringLiteral("101"), QStringLiteral("5551p22"), QStringLiteral("1234"), {}, {}, {}, QStringLiteral("1000")},
            {QStringLiteral("BROWN"), QStringLiteral("102"), QStringLiteral("9"), {}, {}, {}, {}, QStringLiteral("1020")}};
        for (const QStringList &values : rows) {
            table().append();
            for (int f = 0; f < values.size(); ++f)
                table().setValue(f, values.at(f));
            table().store();
        }
        table().first();
        m_form->setDirectoryInSync(inSync);
        editor().WrtChg->setChecked(writeEach);
        m_sim->clearCommands();
    }

private slots:
    void initTestCase()
    {
        QFile::remove(QStringLiteral("Ostidata.ini"));
        SimOptions options;
        options.unit.model = 500;
        options.unit.pin = "1234";
        m_sim = std::make_unique<Simulator>(options);
        QVERIFY(m_sim->startSerial(kPort));
        m_form = std::make_unique<TostiForm>();
        MessageRecorder messages;
        UiDriver::logOn(*m_form, kPort, UiDriver::LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(m_form->Link->LoggedOn);
        QVERIFY(messages.texts().isEmpty());
    }

    void cleanupTestCase()
    {
        if (m_form)
            m_form->Link->LogOff();
        m_form.reset();
        m_sim.reset();
    }

    void okWritesOnlyInStepWithWriteEachChange_data()
    {
        QTest::addColumn<bool>("newRecord");
        QTest::addColumn<bool>("writeEach");
        QTest::addColumn<bool>("inSync");
        for (bool newRecord : {false, true})
            for (bool writeEach : {false, true})
                for (bool inSync : {false, true})
                    QTest::addRow("%s, write each change %s, %s", newRecord ? "new" : "existing", writeEach ? "on" : "off",
                                  inSync ? "in step" : "not in step")
                        << newRecord << writeEach << inSync;
    }
    void okWritesOnlyInStepWithWriteEachChange()
    {
        QFETCH(bool, newRecord);
        QFETCH(bool, writeEach);
        QFETCH(bool, inSync);
        MessageRecorder messages;
        startFrom(inSync, writeEach);
        RecordEditor &e = editor();
        QCOMPARE(e.WrtChg->isEnabled(), inSync);
        const bool writes = writeEach && inSync;

        if (newRecord) {
            table().last();
            table().append();
            e.Namef->setText(QStringLiteral("ANN, 2"));
            e.RoomNumber->setText(QStringLiteral("103"));
            e.PHnumber->setText(QStringLiteral("#9*p"));
            e.Code2->setText(QStringLiteral("77"));
        } else {
            // Room 12a: the table keeps "0", the unit gets the digits typed.
            e.RoomNumber->setText(QStringLiteral("12a"));
            e.PHnumber->setText(QStringLiteral("12#P"));
        }
        e.NavOk->click();

        const QString address = newRecord ? QStringLiteral("1040") : QStringLiteral("1000");
        QVERIFY(table().find(Addr, address));
        if (newRecord) {
            QVERIFY(messages.texts().isEmpty());
            QCOMPARE(table().value(Name), QStringLiteral("ANN, 2"));
            QCOMPARE(table().value(Code2), QStringLiteral("77"));
        } else {
            QCOMPARE(messages.texts(), QStringList{kNumericRule});
            QCOMPARE(table().value(RoomNumber), QStringLiteral("0"));
            QCOMPARE(table().value(PHnumber), QStringLiteral("12#P"));
        }
        const int slot = newRecord ? 0x1040 : 0x1000;
        const QByteArray expected = newRecord ? QByteArray("103,,77,,;9:<,ANN, 2") : QByteArray("12,1234,,,12;<,SMITH J");
        if (writes) {
            QCOMPARE(slotWrites().size(), 1);
            QCOMPARE(m_sim->unit().memory().directory.value(slot), expected);
        } else {
            QVERIFY(slotWrites().isEmpty());
            QCOMPARE(m_sim->unit().memory().directory.value(slot),
                     newRecord ? QByteArray() : QByteArray("101,1234,,,5551<22,SMITH J"));
        }
        QCOMPARE(m_sim->unit().memory().directory.value(0x1020), QByteArray("102,,,,9,BROWN"));
    }

    void okSendsWhatTheTableShows_data()
    {
        QTest::addColumn<QString>("room");
        QTest::addColumn<QString>("code1");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("reported");
        QTest::addColumn<QStringList>("stored"); // Name, RoomNumber, Code1 in the table afterwards
        QTest::addColumn<QByteArray>("sent");    // the unit's slot 1000 afterwards
        const QByteArray unchanged("101,1234,,,5551<22,SMITH J");
        const QStringList old{QStringLiteral("SMITH J"), QStringLiteral("101"), QStringLiteral("1234")};
        QTest::newRow("room with blanks around") << QStringLiteral(" 12") << QStringLiteral("1234") << QStringLiteral("SMITH J")
                                                 << QStringList{} << QStringList{QStringLiteral("SMITH J"), QStringLiteral("12"), QStringLiteral("1234")}
                                                 << QByteArray("12,1234,,,5551<22,SMITH J");
        // The room is kept as "0" and nothing reaches the unit: it would
        // store an empty room and lose the resident at the next download.
        QTest::newRow("hexadecimal room") << QStringLiteral("$1F") << QStringLiteral("1234") << QStringLiteral("SMITH J")
                                          << QStringList{kNumericRule}
                                          << QStringList{QStringLiteral("SMITH J"), QStringLiteral("0"), QStringLiteral("1234")}
                                          << unchanged;
        QTest::newRow("code with a letter") << QStringLiteral("101") << QStringLiteral("12ab") << QStringLiteral("SMITH J")
                                            << QStringList{kNumericRule} << old << unchanged;
        QTest::newRow("code with blanks around") << QStringLiteral("101") << QStringLiteral(" 99 ") << QStringLiteral("SMITH J")
                                                 << QStringList{} << QStringList{QStringLiteral("SMITH J"), QStringLiteral("101"), QStringLiteral("99")}
                                                 << QByteArray("101,99,,,5551<22,SMITH J");
        QTest::newRow("CR in the name") << QStringLiteral("101") << QStringLiteral("1234") << QStringLiteral("X\rf5a")
                                        << QStringList{QStringLiteral("control character")} << old << unchanged;
    }
    void okSendsWhatTheTableShows()
    {
        QFETCH(QString, room);
        QFETCH(QString, code1);
        QFETCH(QString, name);
        QFETCH(QStringList, reported);
        QFETCH(QStringList, stored);
        QFETCH(QByteArray, sent);
        MessageRecorder messages;
        startFrom(true, true);
        RecordEditor &e = editor();
        e.Namef->setText(name);
        e.RoomNumber->setText(room);
        e.Code1->setText(code1);
        e.NavOk->click();
        QCOMPARE(messages.count(), reported.size());
        for (qsizetype i = 0; i < reported.size(); ++i)
            QVERIFY2(messages.texts().at(i).contains(reported.at(i)), qPrintable(messages.texts().at(i)));
        QCOMPARE((QStringList{table().storedValue(0, 0), table().storedValue(0, 1), table().storedValue(0, 3)}), stored);
        QCOMPARE(m_sim->unit().memory().directory.value(0x1000), sent);
        QCOMPARE(m_sim->unit().memory().directory.size(), 2);
        for (const QByteArray &write : slotWrites())
            QVERIFY2(!write.contains('\r'), write.constData());
        QVERIFY(m_form->FollowCursor);
        QVERIFY(!m_form->Channel.Gate.busy());
    }

    void okReportsAUnitThatDoesNotConfirm()
    {
        MessageRecorder messages;
        startFrom(true, true);
        m_sim->unit().options().dropCommands = "b";
        RecordEditor &e = editor();
        table().moveTo(2);
        e.PHnumber->setText(QStringLiteral("555"));
        e.NavOk->click();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Failed to Write")});
        QCOMPARE(slotWrites().size(), 2); // tried twice
        QCOMPARE(table().storedValue(1, table().fieldIndex(PHnumber)), QStringLiteral("555"));
        QVERIFY(m_form->FollowCursor);
    }

    void deleteEmptiesTheSlot_data()
    {
        QTest::addColumn<bool>("inSync");
        QTest::addColumn<bool>("writeEach");
        QTest::addColumn<bool>("unitAnswers");
        QTest::addColumn<bool>("emptied");
        QTest::addColumn<QStringList>("reported");
        const QStringList question{QStringLiteral("Erase Current record")};
        QTest::newRow("in step") << true << true << true << true << question;
        QTest::newRow("unit does not confirm") << true << true << false << false
                                               << (question + QStringList{QStringLiteral("Failed to Write")});
        QTest::newRow("write each change off") << true << false << true << false << question;
        // A table from a file may hold another resident at that address.
        QTest::newRow("not in step") << false << true << true << false << question;
    }
    void deleteEmptiesTheSlot()
    {
        QFETCH(bool, inSync);
        QFETCH(bool, writeEach);
        QFETCH(bool, unitAnswers);
        QFETCH(bool, emptied);
        QFETCH(QStringList, reported);
        MessageRecorder messages;
        startFrom(inSync, writeEach);
        if (!unitAnswers)
            m_sim->unit().options().dropCommands = "b";
        messages.answerNext(true);
        editor().DBNavigator1->button(Nav::Delete)->click();
        QCOMPARE(messages.texts(), reported);
        QCOMPARE(table().recordCount(), 1);
        QCOMPARE(table().value(Name), QStringLiteral("BROWN"));
        QCOMPARE(editor().Namef->text(), QStringLiteral("BROWN"));
        QVERIFY(!m_form->DeleteAllowed);
        QCOMPARE(m_sim->unit().memory().directory.contains(0x1000), !emptied);
        if (emptied)
            QCOMPARE(slotWrites(), QList<QByteArray>{QByteArray("b0128,:4")});
        if (!unitAnswers)
            QCOMPARE(slotWrites().size(), 1); // a deletion tries once
    }

    void recordWithoutAnAddressIsNotSent()
    {
        MessageRecorder messages;
        startFrom(true, true);
        // A record made by the tag download carries no slot address.
        table().first();
        table().setValue(Addr, QStringLiteral("T001"));
        table().store();
        editor().Namef->setText(QStringLiteral("SMITH JOHN"));
        editor().NavOk->click();
        QCOMPARE(messages.count(), 1); // the conversion error, through the general report
        QVERIFY(slotWrites().isEmpty());
        QVERIFY(m_form->FollowCursor);
        QCOMPARE(table().value(Name), QStringLiteral("SMITH JOHN"));
    }
};

QTEST_MAIN(TestRecordEditorUnit)
#include "tst_recordeditor_unit.moc"
