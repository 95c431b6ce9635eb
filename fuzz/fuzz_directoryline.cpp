// One line of the directory dump: parsed into a record or nothing; a parsed
// record's fields never exceed their widths, and the record text the upload
// builds from it, read back as a dump line, gives the same record again (the
// room, codes and spare as their leading digits, as the upload sends them).
#include "fuzzsupport.h"

#include "directory/directoryrecord.h"

#include <cstdlib>

namespace {
bool withinWidths(const DirectoryRecord &r)
{
    using namespace DirectoryLayout;
    return r.room.size() <= RoomWidth && r.name.size() <= NameWidth && r.phone.size() <= PhoneWidth
           && r.code1.size() <= CodeWidth && r.code2.size() <= CodeWidth && r.spare.size() <= SpareWidth
           && r.addr.size() <= AddressLength;
}

QString recordText(const DirectoryRecord &r)
{
    return DirectoryRecordText(r.room, r.code1, r.code2, r.spare, r.phone, r.name);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace DirectoryLayout;
    const QString line = fuzzText(data, size);
    qsizetype pos = 0;
    (void)ReadCommaField(line, pos, 6);
    if (pos > line.size() + 1)
        std::abort();
    (void)DirectoryCrc(line);
    const std::optional<DirectoryRecord> record = ParseDirectoryLine(line);
    if (!record)
        return 0;
    if (!withinWidths(*record) || record->addr != line.left(AddressLength))
        std::abort();

    // The upload sends nothing for a room without leading digits.
    if (LeadingDigits(record->room, RoomWidth).isEmpty())
        return 0;
    const QString text = recordText(*record);
    const std::optional<DirectoryRecord> again = ParseDirectoryLine(record->addr + line.at(AddressLength) + text);
    if (!again)
        std::abort();
    if (again->addr != record->addr || again->name != record->name
        || again->room != LeadingDigits(record->room, RoomWidth)
        || again->code1 != LeadingDigits(record->code1, CodeWidth)
        || again->code2 != LeadingDigits(record->code2, CodeWidth)
        || again->spare != LeadingDigits(record->spare, SpareWidth) || recordText(*again) != text)
        std::abort();
    return 0;
}
