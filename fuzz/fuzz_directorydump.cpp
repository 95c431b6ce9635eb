// The whole directory dump into the table, as the download does it: the
// received text split into lines, the records parsed and appended.  Every
// record that one of the dump's slot lines gives (on its own) lands in the
// table, in order, with every field as parsed.
#include "fuzzsupport.h"

#include "directory/directoryrecord.h"
#include "directory/directorytable.h"
#include "directory/directorytransfer.h"
#include "link/receivelog.h"
#include "records/recordtable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    ReceiveLog log;
    log.setText(fuzzText(data, size));
    const QStringList lines = log.lines();
    const QList<DirectoryRecord> records = ParseDirectoryDump(lines);

    // The reference: each line between the first and the last on its own.
    QList<DirectoryRecord> expected;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        if (auto r = ParseDirectoryLine(lines.at(i)))
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
