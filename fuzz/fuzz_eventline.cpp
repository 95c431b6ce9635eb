// Event dump text: each line through AppendEventRecord into the event table.
// A bad line may refuse with an error, never crash, and never leaves a
// half-made record behind.
#include "fuzzsupport.h"

#include "common/errors.h"
#include "events/eventdecoding.h"
#include "events/eventtable.h"
#include "records/recordtable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    static RecordTable table;
    DefineEventTable(table);
    table.open();
    const QStringList lines = EventDumpLines(fuzzText(data, size));
    int number = 0;
    for (const QString &line : lines) {
        const int before = table.recordCount();
        try {
            AppendEventRecord(table, line, ++number);
        } catch (const AppError &) {
            if (table.recordCount() != before)
                std::abort();
        }
    }
    // The clock reply: bad digits refuse with the conversion error.
    for (const QString &line : lines) {
        (void)DecodeEventKind(line.left(12));
        try {
            (void)ClockReplyTime(line);
            (void)ClockReplyDate(line);
        } catch (const AppError &) {
        }
    }
    return 0;
}
