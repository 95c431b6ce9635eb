#include "records/recordtable.h"
#include "records/recordtablemodel.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QTest>

namespace {
QString L(const char *text) { return QString::fromLatin1(text); }

// The rows rebuilt from the model's signals alone, as a view keeps them, so
// that a signal naming the wrong row shows as a difference from the table.
class Mirror : public QObject {
public:
    explicit Mirror(QAbstractItemModel &model) : m(model)
    {
        connect(&m, &QAbstractItemModel::modelReset, this, [this] {
            rows.clear();
            for (int row = 0; row < m.rowCount(); ++row)
                rows.append(read(row));
        });
        connect(&m, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex &, int first) { rows.insert(first, read(first)); });
        connect(&m, &QAbstractItemModel::rowsRemoved, this,
                [this](const QModelIndex &, int first) { rows.remove(first); });
        connect(&m, &QAbstractItemModel::rowsMoved, this,
                [this](const QModelIndex &, int first, int, const QModelIndex &, int to) {
                    rows.move(first, to > first ? to - 1 : to);
                });
        connect(&m, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &topLeft) { rows[topLeft.row()] = read(topLeft.row()); });
    }
    QStringList read(int row) const
    {
        QStringList values;
        for (int column = 0; column < m.columnCount(); ++column)
            values.append(m.index(row, column).data().toString());
        return values;
    }
    QList<QStringList> rows;
    QAbstractItemModel &m;
};

QList<QStringList> tableRows(const RecordTable &t)
{
    QList<QStringList> rows;
    for (int row = 0; row < t.recordCount(); ++row)
        rows.append(t.recordValues(row));
    return rows;
}

void add(RecordTable &t, int event, const QString &room)
{
    t.append();
    t.setInt(L("Event"), event);
    t.setValue(L("RoomNumber"), room);
    t.store();
}
} // namespace

class TestRecordTableModel : public QObject {
    Q_OBJECT
private slots:
    void showsStoredRecordsOnly()
    {
        RecordTable t;
        RecordTableModel model(t);
        t.define({RecordField::int16(L("Event")), RecordField::text(L("RoomNumber"), 6)});
        t.open();
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), L("RoomNumber"));
        add(t, -7, L("12"));
        QCOMPARE(model.index(0, 0).data().toString(), L("-7"));
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
        t.setValue(L("RoomNumber"), L("13"));
        t.insert(); // stores 13; the new record is no row
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0, 1).data().toString(), L("13"));
    }

    void signalsTrackEveryChange()
    {
        RecordTable t;
        RecordTableModel model(t);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        Mirror mirror(model);
        t.define({RecordField::int16(L("Event")), RecordField::text(L("RoomNumber"), 6),
                  RecordField::text(L("Client"), 16)});
        t.open();
        QRandomGenerator random(20240611);
        const QStringList rooms{L(""), L("1"), L("10"), L("2"), L("b"), L("A"), L("C")};
        for (int step = 0; step < 800; ++step) {
            const QString room = rooms.at(random.bounded(int(rooms.size())));
            switch (random.bounded(12)) {
            case 0: case 1: add(t, step, room); break;
            case 2: t.moveTo(random.bounded(t.recordCount() + 1) + 1); t.setValue(L("RoomNumber"), room); break;
            case 3: t.setValue(L("Client"), room); t.store(); break;
            case 4: t.next(); break;
            case 5: t.insert(); if (random.bounded(2)) t.setValue(L("RoomNumber"), room); break;
            case 6: t.deleteRecord(); break;
            case 7: t.cancel(); break;
            case 8: if (random.bounded(6) == 0) t.sortOn(L("RoomNumber"), Qt::CaseSensitivity(random.bounded(2))); break;
            case 9: if (random.bounded(20) == 0) t.empty(); break;
            case 10: t.find(L("RoomNumber"), room); break;
            case 11:
                t.disableControls();
                add(t, -step, room);
                t.first();
                t.deleteRecord();
                t.enableControls();
                break;
            }
            QCOMPARE(mirror.rows, tableRows(t));
        }
        t.define({RecordField::text(L("Only"), 3)});
        QCOMPARE(model.columnCount(), 1);
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRecordTableModel)
#include "tst_recordtablemodel.moc"
