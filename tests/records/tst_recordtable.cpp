#include "common/errors.h"
#include "records/recordtable.h"

#include <QSignalSpy>
#include <QTest>

namespace {
QString L(const char *text) { return QString::fromLatin1(text); }

QStringList list(std::initializer_list<const char *> texts)
{
    QStringList result;
    for (const char *t : texts)
        result.append(L(t));
    return result;
}

void defineDirectory(RecordTable &t)
{
    t.define({RecordField::text(L("Name"), 16), RecordField::text(L("RoomNumber"), 6),
              RecordField::text(L("PHnumber"), 16), RecordField::text(L("Addr"), 4)});
    t.open();
    t.empty();
}

void add(RecordTable &t, const char *name, const char *room = "")
{
    t.append();
    t.setValue(L("Name"), L(name));
    t.setValue(L("RoomNumber"), L(room));
    t.store();
}

// One field's values over all records, in current order.
QStringList column(const RecordTable &t, const char *field)
{
    QStringList result;
    for (int row = 0; row < t.recordCount(); ++row)
        result.append(t.storedValue(row, t.fieldIndex(L(field))));
    return result;
}

template <class F>
QString errorText(F &&f)
{
    try {
        f();
    } catch (const AppError &e) {
        return e.text();
    }
    return {};
}
} // namespace

class TestRecordTable : public QObject {
    Q_OBJECT
private slots:
    void definitionAndValues()
    {
        RecordTable t;
        defineDirectory(t);
        QVERIFY(t.fieldIndex(L("Roomnumber")) == 1 && t.fieldIndex(L("Phnumber")) == 2 && t.fieldIndex(L("addr")) == 3);
        QVERIFY(errorText([&] { t.setValue(L("Room"), L("1")); }).contains(L("'Room'")));
        QVERIFY(errorText([&] { t.sortOn(L("Room"), Qt::CaseSensitive); }).contains(L("'Room'")));
        QVERIFY(!errorText([&] { t.define({RecordField::text(L("a"), 2), RecordField::text(L("A"), 2)}); }).isEmpty());
        QVERIFY(!errorText([&] { t.define({RecordField::text(L("a"), 0)}); }).isEmpty());
        QVERIFY(t.isOpen() && t.fieldCount() == 4); // a bad definition changes nothing

        t.setValue(L("Name"), L("ABCDEFGHIJKLMNOPQRST")); // starts a record in the empty table
        t.setValue(L("RoomNumber"), L("1234567"));
        t.setValue(L("PHnumber"), QString(QChar(0x20AC)) + L("\xff"));
        t.store();
        QCOMPARE(t.recordValues(0), list({"ABCDEFGHIJKLMNOP", "123456", "?\xff", ""}));
        QVERIFY(t.find(L("Addr"), L("")));

        add(t, "A");
        t.sortOn(L("Name"), Qt::CaseSensitive);
        defineDirectory(t); // a redefinition drops records and sort
        QVERIFY(t.recordCount() == 0 && t.recNo() == -1);
        add(t, "B");
        add(t, "A");
        QCOMPARE(column(t, "Name"), list({"B", "A"}));
        t.close();
        QVERIFY(!errorText([&] { t.append(); }).isEmpty());
        t.next(); // harmless
        QCOMPARE(t.value(L("Name")), QString());
    }

    void integerField()
    {
        RecordTable t;
        t.define({RecordField::int16(L("Event")), RecordField::text(L("Client"), 16)});
        t.open();
        t.setValue(L("event"), L(" +017"));
        QCOMPARE(t.intValue(L("Event")), std::optional<qint16>(17));
        QCOMPARE(errorText([&] { t.setValue(L("Event"), L("12a")); }), L("'12a' is not a valid integer value"));
        QVERIFY(!errorText([&] { t.setInt(L("Event"), 32768); }).isEmpty());
        QVERIFY(!errorText([&] { t.intValue(L("Client")); }).isEmpty());
        t.store();
        for (const char *n : {"-32768", "", "2", "-3"}) {
            t.append();
            t.setValue(L("Event"), L(n));
            t.store();
        }
        t.sortOn(L("Event"), Qt::CaseSensitive);
        QCOMPARE(column(t, "Event"), list({"", "-32768", "-3", "2", "17"}));
        QVERIFY(t.find(L("Event"), L("0x11")) && t.recNo() == 5);
    }

    void walkAndMove()
    {
        RecordTable t;
        defineDirectory(t);
        t.first();
        QVERIFY(t.bof() && t.eof());
        for (const char *n : {"a", "b", "c"})
            add(t, n);
        QStringList seen;
        for (t.first(); !t.eof(); t.next())
            seen.append(t.value(L("Name")));
        for (t.last(); !t.bof(); t.prior())
            seen.append(t.value(L("Name")));
        QCOMPARE(seen, list({"a", "b", "c", "c", "b", "a"}));
        QVERIFY(t.moveTo(2) && !t.moveTo(4) && !t.moveTo(0));
        QCOMPARE(t.value(L("Name")), L("b"));
        QVERIFY(!t.find(L("Name"), L("B")));
        QCOMPARE(t.recNo(), 2);
        QVERIFY(t.find(L("name"), L("c")) && t.recNo() == 3);
    }

    void pendingChanges()
    {
        RecordTable t;
        defineDirectory(t);
        add(t, "a");
        add(t, "c");
        t.first();
        t.edit();
        t.setValue(L("Name"), L("x"));
        QCOMPARE(t.storedValue(0, 0), L("a"));
        t.cancel();
        QCOMPARE(t.value(L("Name")), L("a"));

        t.setValue(L("Name"), L("a2")); // a move keeps the change
        t.next();
        QCOMPARE(column(t, "Name"), list({"a2", "c"}));

        t.insert(); // before "c"
        QCOMPARE(t.recNo(), -1);
        QCOMPARE(t.recordCount(), 2);
        t.setValue(L("Name"), L("b"));
        t.last();
        QCOMPARE(column(t, "Name"), list({"a2", "b", "c"}));

        t.append(); // untouched, dropped by a move
        t.first();
        t.append(); // cancelled: gone, the cursor back where it was
        t.setValue(L("Name"), L("gone"));
        t.cancel();
        QCOMPARE(t.recordCount(), 3);
        QCOMPARE(t.recNo(), 1);
    }

    void deletionAndItsGuard()
    {
        RecordTable t;
        defineDirectory(t);
        for (const char *n : {"a", "b", "c"})
            add(t, n);
        bool allow = false;
        t.setBeforeDelete([&] { return std::exchange(allow, false); });
        t.moveTo(2);
        t.setValue(L("Name"), L("pending"));
        QVERIFY(!t.deleteRecord());
        QCOMPARE(t.recordCount(), 3);
        QCOMPARE(t.value(L("Name")), L("pending"));

        allow = true;
        QVERIFY(t.deleteRecord());
        QCOMPARE(column(t, "Name"), list({"a", "c"}));
        QCOMPARE(t.value(L("Name")), L("c"));
        allow = true;
        QVERIFY(t.deleteRecord()); // the last: the cursor goes to the new last
        QCOMPARE(t.value(L("Name")), L("a"));
        t.append();
        allow = true;
        QVERIFY(!t.deleteRecord()); // a new record is discarded, not asked about
        QVERIFY(allow);
        QCOMPARE(t.recordCount(), 1);
    }

    void sortOrder_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("rooms as text") << list({"9", "2", "10"}) << true << list({"10", "2", "9"});
        QTest::newRow("case significant") << list({"b", "A", "C", "a"}) << false << list({"a", "A", "b", "C"});
        QTest::newRow("case ignored, stable") << list({"b", "a", "A", "a"}) << true << list({"a", "A", "a", "b"});
        QTest::newRow("empty first") << list({"b", "", "\xe9", "f"}) << false << list({"", "b", "\xe9", "f"});
    }
    void sortOrder()
    {
        QFETCH(QStringList, values);
        QFETCH(bool, ignoreCase);
        QFETCH(QStringList, sorted);
        for (const QLocale &locale : {QLocale::system(), QLocale::c()}) {
            QLocale::setDefault(locale); // no locale still sorts as a dictionary does
            RecordTable t;
            defineDirectory(t);
            for (const QString &v : values) {
                t.append();
                t.setValue(L("Name"), v);
                t.store();
            }
            t.sortOn(L("Name"), ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
            QLocale::setDefault(QLocale::system());
            QCOMPARE(column(t, "Name"), sorted);
        }
    }

    void sortStaysInForce()
    {
        RecordTable t;
        defineDirectory(t);
        for (const char *n : {"d", "b", "f"})
            add(t, n);
        t.moveTo(3);
        t.sortOn(L("Name"), Qt::CaseSensitive);
        QCOMPARE(t.value(L("Name")), L("f")); // the cursor stays on its record
        add(t, "c");
        QCOMPARE(column(t, "Name"), list({"b", "c", "d", "f"}));
        QCOMPARE(t.recNo(), 2);

        t.first();
        t.setValue(L("Name"), L("e")); // a changed key moves the record, the cursor follows
        t.store();
        QCOMPARE(column(t, "Name"), list({"c", "d", "e", "f"}));
        QCOMPARE(t.recNo(), 3);
        add(t, "e", "2"); // after its equal
        t.moveTo(3);
        t.setValue(L("RoomNumber"), L("1")); // another field: it stays
        t.next();
        QCOMPARE(column(t, "RoomNumber"), list({"", "", "1", "2", ""}));

        t.empty();
        add(t, "y");
        add(t, "x");
        QCOMPARE(column(t, "Name"), list({"x", "y"}));
    }

    void notifications()
    {
        RecordTable t;
        defineDirectory(t);
        QList<int> positions;
        connect(&t, &RecordTable::afterScroll, this, [&] { positions.append(t.recNo()); });
        add(t, "b");                            // -1 new, 1 stored
        add(t, "a");                            // -1, 2
        t.setValue(L("Name"), L("c"));          // no move
        t.sortOn(L("Name"), Qt::CaseSensitive); // 2: c sorts last
        t.first();                              // 1
        t.moveTo(9);                            // nothing
        t.deleteRecord();                       // 1: c
        QCOMPARE(positions, (QList<int>{-1, 1, -1, 2, 2, 1, 1}));

        QSignalSpy inserted(&t, &RecordTable::rowInserted);
        QSignalSpy resets(&t, &RecordTable::wasReset);
        t.disableControls();
        t.disableControls();
        add(t, "d");
        t.enableControls();
        t.enableControls();
        t.enableControls(); // one too many: harmless
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(positions.size(), 9);
        t.disableControls();
        t.first();
        t.enableControls(); // nothing changed: no reset
        QCOMPARE(resets.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRecordTable)
#include "tst_recordtable.moc"
