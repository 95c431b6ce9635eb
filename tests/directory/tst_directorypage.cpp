#include "window/mainwindow.h"
#include "common/hint.h"
#include "directory/directorypage.h"
#include "directory/directorytable.h"
#include "directory/recordeditor.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "records/gridbinding.h"
#include "records/recordnavigator.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace DirectoryFields;
using Nav = RecordNavigator::Button;

namespace {
struct Row {
    QString name;
    QString room;
    QString addr;
};

void fill(TostiForm &form, const QList<Row> &rows)
{
    RecordTable &table = form.DirectoryTable;
    for (const Row &row : rows) {
        table.append();
        table.setValue(Name, row.name);
        table.setValue(RoomNumber, row.room);
        table.setValue(Addr, row.addr);
        table.store();
    }
    table.first();
}

QStringList column(const RecordTable &table, const QString &field)
{
    QStringList values;
    for (int row = 0; row < table.recordCount(); ++row)
        values << table.storedValue(row, table.fieldIndex(field));
    return values;
}

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

void type(RecordEditor &e, const QString &name, const QString &room, const QString &phone = {})
{
    e.Namef->setText(name);
    e.RoomNumber->setText(room);
    e.PHnumber->setText(phone);
}

const QString kNameRule = QStringLiteral("must enter a name or number\r\nwithout a space as a first character\r\n"
                                         "start characters may be:\r\n A-Z or a-z or 0-9");
} // namespace

// The phone-list page in the real main window, off line.
class TestDirectoryPage : public QObject {
    Q_OBJECT
private slots:
    void layoutOfBothGrids()
    {
        MessageRecorder messages;
        TostiForm form;
        QTableView *grid = form.DBGrid1;
        QVERIFY(grid);
        QCOMPARE(grid->parentWidget(), form.phdir);
        QCOMPARE(grid->width(), 494);
        QCOMPARE(grid->toolTip(), QStringLiteral("Phone List"));
        const RecordTable &table = form.DirectoryTable;
        const QList<std::pair<QString, int>> widths{{Name, 130}, {RoomNumber, 95}, {PHnumber, 130}, {Code1, 50},
                                                    {Code2, 50}};
        for (const auto &[field, width] : widths) {
            QCOMPARE(grid->columnWidth(table.fieldIndex(field)), width);
            QVERIFY(!grid->isColumnHidden(table.fieldIndex(field)));
        }
        for (const QString &field : {Addr, Spare, RFID})
            QVERIFY(grid->isColumnHidden(table.fieldIndex(field)));
        QCOMPARE(grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        QVERIFY(!grid->horizontalHeader()->sectionsMovable());
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), Name);

        // The tag page makes the tag list; the layout covers it too.
        QTableView *tags = form.DBGrid3;
        QVERIFY(tags);
        form.Hooks.defineDirectoryTable();
        form.Hooks.layoutDirectoryGrids();
        QCOMPARE(tags->columnWidth(table.fieldIndex(RFID)), 90);
        for (const QString &field : {PHnumber, Code1, Code2, Spare, Addr})
            QVERIFY(tags->isColumnHidden(table.fieldIndex(field)));
        for (const QString &field : {Name, RoomNumber, RFID})
            QVERIFY(!tags->isColumnHidden(table.fieldIndex(field)));
        QVERIFY(grid->isColumnHidden(table.fieldIndex(Addr)));
        QVERIFY(messages.texts().isEmpty());
    }

    void titleClickSorts_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("rooms compare as text") << RoomNumber
                                               << QStringList{QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("2")}
                                               << QStringList{QStringLiteral("10"), QStringLiteral("2"), QStringLiteral("9")};
        QTest::newRow("names ignore letter case") << Name
                                                  << QStringList{QStringLiteral("b"), QStringLiteral("C"), QStringLiteral("A")}
                                                  << QStringList{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("C")};
        QTest::newRow("empty table") << Name << QStringList{} << QStringList{};
    }
    void titleClickSorts()
    {
        QFETCH(QString, field);
        QFETCH(QStringList, values);
        QFETCH(QStringList, sorted);
        MessageRecorder messages;
        TostiForm form;
        QList<Row> rows;
        for (qsizetype i = 0; i < values.size(); ++i)
            rows.append(field == Name ? Row{values.at(i), QString::number(i + 1), {}}
                                      : Row{QStringLiteral("N%1").arg(i), values.at(i), {}});
        fill(form, rows);
        form.DirectoryTable.last();
        QHeaderView *titles = form.DBGrid1->horizontalHeader();
        const int section = form.DirectoryTable.fieldIndex(field);
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                          QPoint(titles->sectionViewportPosition(section) + 5, titles->height() / 2));
        QCOMPARE(column(form.DirectoryTable, field), sorted);
        QCOMPARE(form.DirectoryTable.recNo(), sorted.isEmpty() ? -1 : 1);
        if (!sorted.isEmpty())
            QCOMPARE(form.directoryPage->editor()->totrec->text(), QString::number(sorted.size()));
        QVERIFY(messages.texts().isEmpty());
    }

    void deletionGuard()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1000")},
                    {QStringLiteral("B"), QStringLiteral("2"), QStringLiteral("1020")}});
        RecordTable &table = form.DirectoryTable;
        QVERIFY(!form.DeleteAllowed);
        QVERIFY(!table.deleteRecord());
        QCOMPARE(table.recordCount(), 2);
        form.DeleteAllowed = true;
        QVERIFY(table.deleteRecord());
        QVERIFY(!form.DeleteAllowed); // once only
        QCOMPARE(table.recordCount(), 1);
        QVERIFY(!table.deleteRecord());
        QCOMPARE(table.recordCount(), 1);
        QVERIFY(messages.texts().isEmpty());
    }

    void navigatorDeleteAsksFirst()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1000")},
                    {QStringLiteral("B"), QStringLiteral("2"), QStringLiteral("1020")}});
        RecordEditor &e = *form.directoryPage->editor();
        messages.answerNext(false);
        e.DBNavigator1->button(Nav::Delete)->click();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Erase Current record")});
        QCOMPARE(form.DirectoryTable.recordCount(), 2);
        QVERIFY(!form.DeleteAllowed);
        messages.answerNext(true);
        e.DBNavigator1->button(Nav::Delete)->click();
        QCOMPARE(column(form.DirectoryTable, Name), QStringList{QStringLiteral("B")});
        QCOMPARE(e.Namef->text(), QStringLiteral("B"));
        QVERIFY(!form.DeleteAllowed);
        QCOMPARE(messages.count(), 2); // off line: nothing written, nothing to report
    }

    void navigatorMovesTheEditor()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("A"), QStringLiteral("1"), {}}, {QStringLiteral("B"), QStringLiteral("2"), {}},
                    {QStringLiteral("C"), QStringLiteral("3"), {}}});
        RecordEditor &e = *form.directoryPage->editor();
        QCOMPARE(e.Namef->text(), QStringLiteral("A"));
        QVERIFY(!e.DBNavigator1->button(Nav::Prior)->isEnabled());
        e.DBNavigator1->button(Nav::Last)->click();
        QCOMPARE(e.Namef->text(), QStringLiteral("C"));
        QCOMPARE(e.recordno->text(), QStringLiteral("3"));
        QCOMPARE(e.totrec->text(), QStringLiteral("3"));
        QVERIFY(!e.DBNavigator1->button(Nav::Next)->isEnabled());
        e.DBNavigator1->button(Nav::Prior)->click();
        QCOMPARE(e.RoomNumber->text(), QStringLiteral("2"));
        e.DBNavigator1->button(Nav::Insert)->click();
        QVERIFY(e.Namef->text().isEmpty());
        QCOMPARE(e.recordno->text(), QStringLiteral("-1"));
        e.DBNavigator1->button(Nav::First)->click();
        QCOMPARE(e.Namef->text(), QStringLiteral("A"));
        QCOMPARE(form.DirectoryTable.recordCount(), 3); // the untouched new record went away
        // Selecting a row in the grid moves the editor too.
        form.DBGrid1->selectRow(2);
        QCOMPARE(e.Namef->text(), QStringLiteral("C"));
        QVERIFY(messages.texts().isEmpty());
    }

    void okStoresNewAndExistingRecords()
    {
        MessageRecorder messages;
        TostiForm form;
        RecordEditor &e = *form.directoryPage->editor();
        RecordTable &table = form.DirectoryTable;
        QVERIFY(!e.NavOk->isEnabled());
        type(e, QStringLiteral("SMITH J"), QStringLiteral("101"), QStringLiteral("5551p22"));
        QVERIFY(e.NavOk->isEnabled() && e.NavInst->isEnabled() && e.Undo->isEnabled());
        e.NavOk->click();
        QCOMPARE(table.recordCount(), 1);
        QCOMPARE(table.recordValues(0),
                 (QStringList{QStringLiteral("SMITH J"), QStringLiteral("101"), QStringLiteral("5551p22"), {}, {}, {}, {},
                              QStringLiteral("1000")}));
        // The next entry is offered: an empty record at the end.
        QCOMPARE(table.recNo(), -1);
        QVERIFY(e.Namef->text().isEmpty());
        QVERIFY(!e.NavOk->isEnabled());

        type(e, QStringLiteral("ANN"), QStringLiteral("12a"));
        e.NavOk->click();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Must use Numeric digits in\r\nRoomNumber & Codes fields")});
        QCOMPARE(column(table, Addr), (QStringList{QStringLiteral("1000"), QStringLiteral("1020")}));
        QCOMPARE(column(table, RoomNumber), (QStringList{QStringLiteral("101"), QStringLiteral("0")}));

        // An existing record keeps its address.
        table.first();
        QCOMPARE(e.Namef->text(), QStringLiteral("SMITH J"));
        e.Code1->setText(QStringLiteral("1234"));
        e.NavOk->click();
        QCOMPARE(table.recordCount(), 2);
        QCOMPARE(table.storedValue(0, table.fieldIndex(Code1)), QStringLiteral("1234"));
        QCOMPARE(table.recNo(), 1); // not the last: no empty record offered
        QCOMPARE(e.Code1->text(), QStringLiteral("1234"));
        QVERIFY(!e.NavOk->isEnabled());
        QCOMPARE(column(table, Addr), (QStringList{QStringLiteral("1000"), QStringLiteral("1020")}));
    }

    void newRecordFillsTheFirstFreeSlot()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("B"), QStringLiteral("2"), QStringLiteral("1040")},
                    {QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1000")}});
        RecordEditor &e = *form.directoryPage->editor();
        form.DirectoryTable.append();
        type(e, QStringLiteral("C"), QStringLiteral("3"));
        e.NavOk->click();
        RecordTable &table = form.DirectoryTable;
        QCOMPARE(column(table, Addr), (QStringList{QStringLiteral("1000"), QStringLiteral("1020"), QStringLiteral("1040")}));
        QCOMPARE(column(table, Name), (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B")}));
        QCOMPARE(table.recNo(), 2); // on the stored record, which is not the last
        QCOMPARE(e.Namef->text(), QStringLiteral("C"));
    }

    void editInASortedTableStaysOnTheRecord()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1000")},
                    {QStringLiteral("B"), QStringLiteral("2"), QStringLiteral("1020")},
                    {QStringLiteral("C"), QStringLiteral("3"), QStringLiteral("1040")}});
        form.directoryPage->DBGrid1TitleClick(form.DirectoryTable.fieldIndex(Name));
        RecordEditor &e = *form.directoryPage->editor();
        QCOMPARE(e.Namef->text(), QStringLiteral("A"));
        e.Namef->setText(QStringLiteral("BB"));
        e.NavOk->click();
        // The record moved to its place in the name order; the editor shows it still.
        QCOMPARE(column(form.DirectoryTable, Name), (QStringList{QStringLiteral("B"), QStringLiteral("BB"), QStringLiteral("C")}));
        QCOMPARE(form.DirectoryTable.recNo(), 2);
        QCOMPARE(e.Namef->text(), QStringLiteral("BB"));
        QCOMPARE(form.DirectoryTable.value(Addr), QStringLiteral("1000"));
    }

    void duplicateRoomAsks()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("A"), QStringLiteral("101"), QStringLiteral("1000")}});
        RecordEditor &e = *form.directoryPage->editor();
        RecordTable &table = form.DirectoryTable;
        table.append();
        // Stored without its blanks, " 101" is the same room.
        type(e, QStringLiteral("B"), QStringLiteral(" 101"));
        messages.answerNext(false);
        e.NavOk->click();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("RoomNumber exist, Continue?")});
        QCOMPARE(table.recordCount(), 1);
        QCOMPARE(e.Namef->text(), QStringLiteral("B")); // the boxes keep their text
        QVERIFY(form.FollowCursor);
        messages.answerNext(true);
        e.NavOk->click();
        QCOMPARE(column(table, RoomNumber), (QStringList{QStringLiteral("101"), QStringLiteral("101")}));
        // Storing a record over itself asks nothing.
        messages.clear();
        table.first();
        e.Namef->setText(QStringLiteral("AA"));
        e.NavOk->click();
        QVERIFY(messages.texts().isEmpty());
    }

    void limitsOfNewRecords()
    {
        MessageRecorder messages;
        TostiForm form;
        RecordTable &table = form.DirectoryTable;
        RecordEditor &e = *form.directoryPage->editor();
        // After a log-on to an unknown model no address is free.
        form.Link->DirectoryEndAddress = 0;
        type(e, QStringLiteral("A"), QStringLiteral("1"));
        e.NavOk->click();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Could Not Assign a new addr")});
        QCOMPARE(table.recordCount(), 0);
        QVERIFY(form.FollowCursor);

        form.Link->DirectoryEndAddress = 0x9000;
        table.disableControls();
        for (int i = 0; i < 1000; ++i) {
            table.append();
            table.setValue(Name, QStringLiteral("N%1").arg(i));
            table.setValue(RoomNumber, QString::number(i));
            table.setValue(Addr, QString::number(0x1000 + 0x20 * i, 16).toUpper());
            table.store();
        }
        table.enableControls();
        table.append();
        messages.clear();
        type(e, QStringLiteral("X"), QStringLiteral("5000"));
        e.NavOk->click();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Phone list limit=1000 max.")});
        QCOMPARE(table.recordCount(), 1000);
        // The last of 1000 records stored: no empty record is offered.
        table.last();
        e.Namef->setText(QStringLiteral("LAST"));
        e.NavOk->click();
        QCOMPARE(table.recNo(), 1000);
        QCOMPARE(table.recordCount(), 1000);
    }

    void wideCharacterIsRefused()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("CAFE"), QStringLiteral("7"), QStringLiteral("1000")}});
        RecordEditor &e = *form.directoryPage->editor();
        e.Namef->setText(QStringLiteral("CAF\u20AC"));
        e.NavOk->click();
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.last().contains(QStringLiteral("\u20AC")));
        QCOMPARE(form.DirectoryTable.storedValue(0, 0), QStringLiteral("CAFE"));
        QCOMPARE(e.Namef->text(), QStringLiteral("CAF\u20AC")); // left for the user to mend
        e.NavInst->click();
        QCOMPARE(messages.count(), 2);
        QCOMPARE(form.DirectoryTable.recordCount(), 1);
        QCOMPARE(form.DirectoryTable.recNo(), 1);
    }

    void insertMakesANewRecordOfTheBoxes()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1000")},
                    {QStringLiteral("B"), QStringLiteral("2"), QStringLiteral("1020")}});
        RecordEditor &e = *form.directoryPage->editor();
        e.Namef->setText(QStringLiteral("A2"));
        e.RoomNumber->setText(QStringLiteral("11"));
        e.NavInst->click();
        RecordTable &table = form.DirectoryTable;
        QCOMPARE(column(table, Name), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A2")}));
        QCOMPARE(column(table, Addr), (QStringList{QStringLiteral("1000"), QStringLiteral("1020"), QStringLiteral("1040")}));
        // The new record was the last: an empty one is offered after it.
        QCOMPARE(table.recNo(), -1);
        QVERIFY(messages.texts().isEmpty());
    }

    void navigatorInsertThenOk()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1000")},
                    {QStringLiteral("B"), QStringLiteral("2"), QStringLiteral("1040")}});
        RecordEditor &e = *form.directoryPage->editor();
        e.DBNavigator1->button(Nav::Insert)->click();
        type(e, QStringLiteral("C"), QStringLiteral("3"));
        e.NavOk->click();
        RecordTable &table = form.DirectoryTable;
        QCOMPARE(column(table, Addr), (QStringList{QStringLiteral("1000"), QStringLiteral("1020"), QStringLiteral("1040")}));
        QCOMPARE(table.value(Name), QStringLiteral("C"));
        QVERIFY(messages.texts().isEmpty());
    }

    void okDoesNothingDuringABulkOperation()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1000")}});
        RecordEditor &e = *form.directoryPage->editor();
        e.Namef->setText(QStringLiteral("CHANGED"));
        form.BulkBusy = true;
        e.NavOk->click();
        e.NavInst->click();
        form.BulkBusy = false;
        QCOMPARE(form.DirectoryTable.recordCount(), 1);
        QCOMPARE(form.DirectoryTable.storedValue(0, 0), QStringLiteral("A"));
        QCOMPARE(form.DirectoryTable.recNo(), 1);
        QVERIFY(e.NavOk->isEnabled()); // the change is still there to store
        QVERIFY(messages.texts().isEmpty());
    }

    void undoShowsTheStoredRecord()
    {
        MessageRecorder messages;
        TostiForm form;
        fill(form, {{QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1000")}});
        RecordEditor &e = *form.directoryPage->editor();
        e.Namef->setText(QStringLiteral("CHANGED"));
        QVERIFY(e.Undo->isEnabled());
        e.Undo->click();
        QCOMPARE(e.Namef->text(), QStringLiteral("A"));
        QVERIFY(!e.Undo->isEnabled());
        QCOMPARE(form.DirectoryTable.storedValue(0, 0), QStringLiteral("A"));
    }

    void keyRules()
    {
        MessageRecorder messages;
        TostiForm form;
        form.show();
        QApplication::setActiveWindow(&form);
        RecordEditor &e = *form.directoryPage->editor();

        QTest::keyClick(e.Namef, Qt::Key_Return);
        QCOMPARE(messages.texts(), QStringList{kNameRule});
        messages.clear();
        e.Namef->setText(QStringLiteral("-SMITH"));
        QTest::keyClick(e.Namef, Qt::Key_Enter);
        QCOMPARE(messages.texts(), QStringList{kNameRule});
        QCOMPARE(e.Namef->selectedText(), QStringLiteral("-SMITH"));
        messages.clear();
        e.Namef->setFocus();
        e.Namef->setText(QStringLiteral("  SMITH"));
        QTest::keyClick(e.Namef, Qt::Key_Return);
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(e.Namef->text(), QStringLiteral("SMITH"));
        QTRY_COMPARE(QApplication::focusWidget(), e.RoomNumber);

        QTest::keyClick(e.RoomNumber, Qt::Key_Return);
        QCOMPARE(messages.texts(), (QStringList{QStringLiteral("Must enter a number"), QStringLiteral("Must enter a number")}));
        messages.clear();
        QTest::keyClicks(e.RoomNumber, QStringLiteral("12a"));
        QTest::keyClick(e.RoomNumber, Qt::Key_Return);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Must enter a number")});
        QTRY_COMPARE(QApplication::focusWidget(), e.PHnumber);
        QVERIFY(e.NavOk->isEnabled());

        QTest::keyClicks(e.PHnumber, QStringLiteral("12x#P"));
        QCOMPARE(e.PHnumber->text(), QStringLiteral("12#P"));
        QTest::keyClick(e.PHnumber, Qt::Key_Backspace);
        QCOMPARE(e.PHnumber->text(), QStringLiteral("12#"));
        // Pasted text keeps to the same characters.
        QApplication::clipboard()->setText(QStringLiteral("9 x*9"));
        e.PHnumber->paste();
        QCOMPARE(e.PHnumber->text(), QStringLiteral("12#9*9"));
        e.PHnumber->setText(QStringLiteral("12#"));
        QTest::keyClick(e.PHnumber, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), e.Code1);
        QTest::keyClicks(e.Code1, QStringLiteral("12ab"));
        QCOMPARE(e.Code1->text(), QStringLiteral("12ab"));
        QTest::keyClick(e.Code1, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), e.Code2);
        QTest::keyClick(e.Code2, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), e.NavOk);
        QCOMPARE(messages.count(), 1);
    }

    void tabOrderAndNames()
    {
        MessageRecorder messages;
        TostiForm form;
        DirectoryPage &page = *form.directoryPage;
        RecordEditor &e = *page.editor();
        QList<QWidget *> expected{e.NavInst, e.Undo};
        for (int i = 0; i < RecordNavigator::kButtonCount; ++i)
            expected << e.DBNavigator1->button(Nav(i));
        expected << e.WrtChg << page.GetData << page.WriteData << e.Namef << e.RoomNumber << e.PHnumber << e.Code1
                 << e.Code2 << e.NavOk;
        for (qsizetype i = 0; i + 1 < expected.size(); ++i)
            QCOMPARE(expected.at(i)->nextInFocusChain(), expected.at(i + 1));
        QVERIFY(!(form.DBFiles->focusPolicy() & Qt::TabFocus));

        QCOMPARE(accessibleName(e.Namef), QStringLiteral("Name"));
        QCOMPARE(accessibleName(e.RoomNumber), QStringLiteral("Room"));
        QCOMPARE(accessibleName(e.PHnumber), QStringLiteral("Phone"));
        QVERIFY(accessibleName(e.Code1).startsWith(QLatin1String("codes")));
        QVERIFY(accessibleName(e.Code2).startsWith(QLatin1String("codes")));
        QVERIFY(accessibleName(e.Code1) != accessibleName(e.Code2));
        QCOMPARE(e.NameLabel->buddy(), e.Namef);
        const QStringList navigatorNames{QStringLiteral("First"), QStringLiteral("Prior"), QStringLiteral("Next"),
                                         QStringLiteral("Last"), QStringLiteral("Insert"), QStringLiteral("Delete"),
                                         QStringLiteral("Refresh")};
        for (int i = 0; i < RecordNavigator::kButtonCount; ++i)
            QCOMPARE(accessibleName(e.DBNavigator1->button(Nav(i))), navigatorNames.at(i));
        QCOMPARE(accessibleName(e.WrtChg), QStringLiteral("Write Each Change"));
        QCOMPARE(accessibleName(page.GetData), QStringLiteral("GetData"));
        QCOMPARE(accessibleName(page.WriteData), QStringLiteral("WriteAllData"));
        QCOMPARE(e.Namef->toolTip(), QStringLiteral("Client's Name"));
        QCOMPARE(e.Namef->statusTip(), QStringLiteral("Client's Name (16 character max)"));
        QCOMPARE(page.GetData->statusTip(), QStringLiteral("Retrive All Ostiarin data"));
        QCOMPARE(e.Namef->maxLength(), 16);
        QCOMPARE(e.RoomNumber->maxLength(), 6);
        QCOMPARE(e.Code2->maxLength(), 4);
        QVERIFY(e.Spare->isHidden());
        // Off line at start: the unit buttons wait for the PIN, "Write Each Change" for a download.
        QVERIFY(!page.GetData->isEnabled() && !page.WriteData->isEnabled());
        QVERIFY(e.WrtChg->isChecked() && !e.WrtChg->isEnabled());
        form.setDirectoryInSync(true);
        QVERIFY(e.WrtChg->isEnabled());
        form.FileNew1Execute();
        QVERIFY(!e.WrtChg->isEnabled());
    }

    void liftNote()
    {
        MessageRecorder messages;
        TostiForm form;
        form.show();
        RecordEditor &e = *form.directoryPage->editor();
        // The settings page's lift relay time.
        QLineEdit *lift = form.system->findChild<QLineEdit *>(QStringLiteral("Phs_lt"));
        if (!lift) {
            lift = new QLineEdit(form.system);
            lift->setObjectName(QStringLiteral("Phs_lt"));
        }
        lift->setText(QStringLiteral("0"));
        QTest::mouseMove(e.PHnumber, QPoint(5, 5));
        QCOMPARE(e.PHnumber->toolTip(), QStringLiteral("Client's Phone No."));
        QVERIFY(e.PHnumber->text().isEmpty());
        lift->setText(QStringLiteral("2"));
        QTest::mouseMove(e.PHnumber, QPoint(8, 6));
        QTRY_COMPARE(e.PHnumber->toolTip(), QStringLiteral("NOTE! First 2 digits = Lift number"));
        QCOMPARE(e.PHnumber->statusTip(), QStringLiteral("Set the first 2 digits to the Lift number"));
        QCOMPARE(e.PHnumber->text(), QStringLiteral("xx"));
        // The reminder stays while the user types behind it; typed and
        // pasted characters still keep to the phone box's rule.
        e.PHnumber->setFocus();
        e.PHnumber->end(false);
        QTest::keyClicks(e.PHnumber, QStringLiteral("12x"));
        QCOMPARE(e.PHnumber->text(), QStringLiteral("xx12"));
        QApplication::clipboard()->setText(QStringLiteral("3 y4"));
        e.PHnumber->paste();
        QCOMPARE(e.PHnumber->text(), QStringLiteral("xx1234"));
        QVERIFY(messages.texts().isEmpty());
    }
};

QTEST_MAIN(TestDirectoryPage)
#include "tst_directorypage.moc"
