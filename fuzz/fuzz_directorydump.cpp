// The whole directory dump into the table, as the download does it: the
// received text parsed into records and appended.  The records are exactly
// those of the whole lines after the unit's first one, less a closing line
// (one that holds "OK" and is no slot line) when the text ends with a line
// end; a line cut off at the end never gives a record.  Every record lands in
// the table, in order, with every field as parsed.
#include "fuzzsupport.h"

#include "directory/directoryrecord.h"
#include "directory/directorytable.h"
#include "directory/directorytransferrules.h"
#include "records/recordtable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    const QString received = fuzzText(data, size);
    const QList<DirectoryRecord> records = ParseDirectoryDump(received);

    // The reference: walk the whole lines (those a CR LF ends) one by one.
    QStringList whole;
    for (qsizetype from = 0;;) {
        const qsizetype end = received.indexOf(QLatin1String("\r\n"), from);
        if (end < 0)
            break;
        whole.append(received.mid(from, end - from));
        from = end + 2;
    }
    const bool cutOff = !received.isEmpty() && !received.endsWith(QLatin1String("\r\n"));
    if (!whole.isEmpty())
        whole.removeFirst();
    if (!cutOff && !whole.isEmpty() && whole.last().contains(QLatin1String("OK"))
        && !IsDirectorySlotLine(whole.last()))
        whole.removeLast();
    QList<DirectoryRecord> expected;
    for (const QString &line : std::as_const(whole)) {
        if (auto r = ParseDirectoryLine(line))
            expected.append(*r);
    }
    if (records.size() != expected.size())
        std::abort();

    RecordTable table;
    DefineDirectoryTable(table);
    table.open();
    if (AppendDirectoryRecords(table, records) != records.size() || table.recordCount() != records.size())
        std::abort();
    using namespace DirectoryFields;
    for (int row = 0; row < table.recordCount(); ++row) {
        const DirectoryRecord &r = expected.at(row);
        auto v = [&](const QString &field) { return table.storedValue(row, table.fieldIndex(field)); };
        if (v(Name) != r.name || v(RoomNumber) != r.room || v(PHnumber) != r.phone || v(Code1) != r.code1
            || v(Code2) != r.code2 || v(Spare) != r.spare || v(Addr) != r.addr || !v(RFID).isEmpty())
            std::abort();
    }
    return 0;
}
