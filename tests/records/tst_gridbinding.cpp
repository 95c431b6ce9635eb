#include "records/gridbinding.h"
#include "records/recordtable.h"

#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {
QString L(const char *text) { return QString::fromLatin1(text); }

void add(RecordTable &t, const char *name)
{
    t.append();
    t.setValue(L("Name"), L(name));
    t.store();
}

int selectedRow(const QTableView &view)
{
    const QModelIndexList rows = view.selectionModel()->selectedRows();
    return rows.size() == 1 && rows.first().row() == view.currentIndex().row() ? rows.first().row() : -1;
}

void click(QTableView &view, int row)
{
    const QRect cell = view.visualRect(view.model()->index(row, 0));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

struct Grid {
    Grid()
    {
        table.define({RecordField::text(L("Name"), 16)});
        table.open();
        for (const char *n : {"a", "b", "c", "d"})
            add(table, n);
        table.first();
        BindGrid(&view, table);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
    RecordTable table;
    QTableView view;
};
} // namespace

class TestGridBinding : public QObject {
    Q_OBJECT
private slots:
    void rowAndCursorFollowEachOther()
    {
        Grid g;
        QCOMPARE(selectedRow(g.view), 0);
        QSignalSpy scrolls(&g.table, &RecordTable::afterScroll);
        click(g.view, 2);
        QCOMPARE(g.table.recNo(), 3);
        QCOMPARE(scrolls.count(), 1); // no echo back from the view
        g.table.last();
        QCOMPARE(selectedRow(g.view), 3);
        QTest::keyClick(&g.view, Qt::Key_Up);
        QCOMPARE(g.table.recNo(), 3);

        g.table.append(); // a new record has no row; a click leaves it
        QCOMPARE(selectedRow(g.view), -1);
        click(g.view, 3);
        QCOMPARE(g.table.recordCount(), 4);
        QCOMPARE(g.table.recNo(), 4);
        g.table.deleteRecord();
        QCOMPARE(selectedRow(g.view), 2);
    }

    void clickWhileRowsMoveReachesTheClickedRecord()
    {
        Grid g;
        g.table.sortOn(L("Name"), Qt::CaseSensitive);
        g.table.first();
        g.table.setValue(L("Name"), L("z")); // stored by the click: "a" moves to the end
        click(g.view, 2);
        QCOMPARE(g.table.value(L("Name")), L("c"));
        QTRY_COMPARE(selectedRow(g.view), 1);
    }

    void pausedTableIsNotFollowed()
    {
        Grid g;
        g.table.disableControls();
        g.table.last();
        add(g.table, "e");
        click(g.view, 1);
        QCOMPARE(g.table.recNo(), 5);
        g.table.enableControls();
        QCOMPARE(selectedRow(g.view), 4);
        g.table.disableControls();
        g.table.first();
        g.table.enableControls(); // no change, no reset: the view still catches up
        QCOMPARE(selectedRow(g.view), 0);
    }
};

QTEST_MAIN(TestGridBinding)
#include "tst_gridbinding.moc"
