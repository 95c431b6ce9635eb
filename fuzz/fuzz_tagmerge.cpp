// The tag merge into the directory: a directory (rooms and addresses that
// repeat, some records without an address, maybe sorted) and the unit's tags,
// both drawn from the input.  The quick merge must leave the table exactly as
// the rule written out literally leaves it: for every tag, walk the table
// from its first record (the walk the differential unit test uses).
#include "fuzzsupport.h"
#include "plaintagmerge.h"

#include "directory/directorytable.h"
#include "records/recordtable.h"
#include "rfid/tagarea.h"
#include "rfid/tagmerge.h"
#include "rfid/takenaddrs.h"

#include <cstdlib>

namespace {
namespace F = DirectoryFields;

QStringList describe(const RecordTable &table)
{
    QStringList out;
    for (int row = 0; row < table.recordCount(); ++row) {
        QStringList values;
        for (int field = 0; field < table.fieldCount(); ++field)
            values << table.storedValue(row, field);
        out << values.join(QLatin1Char('|'));
    }
    return out;
}

// Reads the input a byte at a time; zeros once it is used up.
struct Bytes {
    const uint8_t *data;
    size_t size, at = 0;
    int next() { return at < size ? data[at++] : 0; }
    bool done() const { return at >= size; }
};

// Short texts from a small alphabet, so that rooms and addresses repeat.
QString smallText(Bytes &in, const char *alphabet, int maxLength)
{
    const int length = in.next() % (maxLength + 1);
    const int letters = int(qstrlen(alphabet));
    QString text;
    for (int i = 0; i < length; ++i)
        text += QLatin1Char(alphabet[in.next() % letters]);
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    Bytes in{data, size};
    const int shape = in.next();
    const int recordCount = in.next() % 64;
    RecordTable quick, plain;
    DefineDirectoryTable(quick);
    DefineDirectoryTable(plain);
    quick.open();
    plain.open();
    for (int i = 0; i < recordCount && !in.done(); ++i) {
        const QString name = smallText(in, "ABN", 2);
        const QString room = smallText(in, "0129 ", 2);
        const QString rfid = smallText(in, "05A", 3);
        const int kind = in.next() % 4;
        const QString addr = kind == 0 ? QString()
                             : kind == 1 ? QLatin1Char('p') + QString::number(in.next() % 40)
                                         : QStringLiteral("%1").arg(0x1000 + 32 * (in.next() % 16), 4, 16, QLatin1Char('0')).toUpper();
        for (RecordTable *table : {&quick, &plain}) {
            table->append();
            table->setValue(F::Name, name);
            table->setValue(F::RoomNumber, room);
            table->setValue(F::RFID, rfid);
            table->setValue(F::Addr, addr);
            table->store();
        }
    }
    static const QString sortFields[] = {F::RoomNumber, F::Addr, F::Name, F::RFID};
    if (shape & 4) {
        quick.sortOn(sortFields[shape & 3], Qt::CaseSensitive);
        plain.sortOn(sortFields[shape & 3], Qt::CaseSensitive);
    }
    if (shape & 8) {
        ClearTagCodes(quick);
        ClearTagCodes(plain);
    }
    // The literal walk keeps a thousand entries; stay well inside them.
    QList<TagEntry> tags;
    while (!in.done() && tags.size() < 300) {
        const QString room = smallText(in, "0129 ", 2);
        tags.append({room, smallText(in, "0123456789", 10)});
    }
    if (describe(quick) != describe(plain))
        std::abort();
    TakenAddrs taken;
    const int before = quick.recordCount();
    const int created = MergeTags(quick, tags, taken);
    plainMerge(plain, tags);
    if (describe(quick) != describe(plain) || quick.recordCount() != before + created)
        std::abort();
    return 0;
}
