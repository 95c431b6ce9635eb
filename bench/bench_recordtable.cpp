// How long the record table takes for the bulk work of the phone directory:
// a download or file load appends up to about 2000 records (into a table
// that may be sorted), a title click sorts them, an upload walks and renumbers
// them, and the RFID merge looks records up one slot at a time.
#include "records/recordtable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

namespace {
QString L(const char *text) { return QString::fromLatin1(text); }

void defineDirectory(RecordTable &t)
{
    t.define({RecordField::text(L("Name"), 16), RecordField::text(L("RoomNumber"), 6),
              RecordField::text(L("PHnumber"), 16), RecordField::text(L("Code1"), 4),
              RecordField::text(L("Code2"), 4), RecordField::text(L("spare"), 2),
              RecordField::text(L("RFID"), 10), RecordField::text(L("Addr"), 4)});
    t.open();
    t.empty();
}

QString randomName(QRandomGenerator &random)
{
    QString name;
    const int length = 3 + random.bounded(12);
    for (int i = 0; i < length; ++i) {
        const int c = random.bounded(28);
        name.append(c == 26 ? QLatin1Char(' ') : c == 27 ? QLatin1Char('.') : QLatin1Char(char((i % 3 ? 'a' : 'A') + c)));
    }
    return name;
}

void fill(RecordTable &t, int count, QRandomGenerator &random)
{
    for (int i = 0; i < count; ++i) {
        t.append();
        t.setValue(L("Name"), randomName(random));
        t.setValue(L("RoomNumber"), QString::number(random.bounded(1, 100000)));
        t.setValue(L("PHnumber"), QString::number(random.bounded(1000000, 9999999)));
        t.setValue(L("Addr"), QString::number(0x1000 + 32 * i, 16).toUpper());
        t.store();
    }
}

void report(const char *label, QElapsedTimer &timer)
{
    std::printf("%-48s %9.2f ms\n", label, double(timer.nsecsElapsed()) / 1e6);
    timer.restart();
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = 2000;
    QRandomGenerator random(7);
    QElapsedTimer timer;

    RecordTable t;
    defineDirectory(t);
    timer.start();
    fill(t, count, random);
    report("append 2000 records, unsorted", timer);

    t.sortOn(L("Name"), Qt::CaseInsensitive);
    report("sort 2000 records on Name, case ignored", timer);
    t.sortOn(L("RoomNumber"), Qt::CaseSensitive);
    report("sort 2000 records on RoomNumber", timer);

    defineDirectory(t);
    t.sortOn(L("Name"), Qt::CaseSensitive);
    timer.restart();
    fill(t, count, random);
    report("append 2000 records into a table sorted on Name", timer);

    t.disableControls();
    for (t.first(); !t.eof(); t.next()) {
        t.setValue(L("Addr"), QString::number(t.recNo(), 16));
        t.store();
    }
    t.enableControls();
    report("walk and renumber 2000 records", timer);

    int found = 0;
    for (int i = 0; i < count; i += 4)
        found += t.find(L("RoomNumber"), t.storedValue(count - 1 - i, 1)) ? 1 : 0;
    report("500 finds of a room", timer);

    t.sortOn(L("Addr"), Qt::CaseSensitive);
    t.last();
    for (int i = 0; i < 200; ++i) {
        t.first();
        t.setValue(L("Addr"), QString::number(0xF000 + i, 16));
        t.store();
    }
    report("200 key changes that move a record to the end", timer);
    std::printf("(%d records, %d found)\n", t.recordCount(), found);
    return 0;
}
