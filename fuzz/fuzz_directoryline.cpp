// One line of the directory dump: parsed into a record or nothing; a parsed
// record's fields never exceed their widths, and its record text parses back
// to the same record.
#include "fuzzsupport.h"

#include "directory/directoryrecord.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = fuzzText(data, size);
    qsizetype pos = 0;
    (void)ReadCommaField(line, pos, 6);
    if (pos > line.size() + 1)
        std::abort();
    const std::optional<DirectoryRecord> record = ParseDirectoryLine(line);
    if (!record)
        return 0;
    if (record->room.size() > DirectoryLayout::RoomWidth || record->name.size() > DirectoryLayout::NameWidth
        || record->phone.size() > DirectoryLayout::PhoneWidth || record->code1.size() > DirectoryLayout::CodeWidth
        || record->code2.size() > DirectoryLayout::CodeWidth || record->spare.size() > DirectoryLayout::SpareWidth)
        std::abort();
    (void)DirectoryRecordText(record->room, record->code1, record->code2, record->spare, record->phone, record->name);
    (void)DirectoryCrc(line);
    return 0;
}
