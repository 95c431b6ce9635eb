// A phone-list file's bytes loaded into the directory table: never a crash,
// values cut to their widths, and what is saved again loads to the same
// records.
#include "fuzzsupport.h"

#include "common/errors.h"
#include "directory/directoryfile.h"
#include "directory/directorytable.h"
#include "records/csvtext.h"
#include "records/recordtable.h"

#include <cstdlib>

namespace {
QList<QStringList> rows(const RecordTable &table)
{
    QList<QStringList> all;
    for (int i = 0; i < table.recordCount(); ++i)
        all << table.recordValues(i);
    return all;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    RecordTable table;
    DefineDirectoryTable(table);
    table.open();
    try {
        FillDirectoryTable(table, fuzzBytes(data, size));
    } catch (const AppError &) {
        return 0;
    }
    const QByteArray saved = SaveCsvText(table);
    RecordTable again;
    DefineDirectoryTable(again);
    again.open();
    FillDirectoryTable(again, saved);
    if (rows(again) != rows(table))
        std::abort();
    return 0;
}
