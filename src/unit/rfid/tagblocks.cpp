#include "rfid/tagblocks.h"

#include "directory/directorytable.h"
#include "link/encodings.h"
#include "link/unitcontract.h"
#include "records/recordtable.h"
#include "rfid/tagarea.h"
#include "rfid/tagcode.h"

int FirstBadTagCode(const RecordTable &table)
{
    const int rfid = table.findField(DirectoryFields::RFID);
    if (rfid < 0)
        return -1;
    for (int row = 0; row < table.recordCount(); ++row) {
        const QString code = table.storedValue(row, rfid);
        if (!code.isEmpty() && code.size() != TagCode::kLength)
            return row;
    }
    return -1;
}

QString TagSlotText(const QString &room, const QString &code, bool *codeOk)
{
    const QString unitCode = EncodeTagCode(code);
    if (codeOk)
        *codeOk = unitCode.size() == TagSlotLayout::kCodeWidth;
    return PadRight(room, TagSlotLayout::kRoomWidth, kTagFill).left(TagSlotLayout::kRoomWidth)
           + PadRight(unitCode, TagSlotLayout::kCodeWidth, kTagFill).left(TagSlotLayout::kCodeWidth);
}

TagWritePlan PlanTagBlocks(const RecordTable &table)
{
    TagWritePlan plan;
    const int roomField = table.findField(DirectoryFields::RoomNumber);
    const int rfidField = table.findField(DirectoryFields::RFID);
    if (roomField < 0 || rfidField < 0)
        return plan;
    const int rows = table.recordCount();
    auto isTag = [&](int row) {
        return !table.storedValue(row, rfidField).isEmpty() && !table.storedValue(row, roomField).isEmpty();
    };

    int row = 0;
    for (int block = TagAreaLayout::kFirstBlock; row < rows; ++block) {
        if (block > TagAreaLayout::kLastBlock) {
            // The area is full: does a tag remain?
            for (; row < rows; ++row) {
                plan.lastRow = row;
                if (isTag(row)) {
                    plan.overflow = true;
                    break;
                }
            }
            return plan;
        }
        TagBlock next;
        next.number = UnitContract::BlockNumber(block);
        int filled = 0;
        for (; row < rows && filled < TagAreaLayout::kSlotsPerBlock; ++row) {
            plan.lastRow = row;
            if (!isTag(row))
                continue;
            bool codeOk = true;
            const QString room = table.storedValue(row, roomField);
            next.text += TagSlotText(room, table.storedValue(row, rfidField), &codeOk);
            if (!codeOk)
                next.badCodeRooms.append(PadRight(room, TagSlotLayout::kRoomWidth, kTagFill).left(TagSlotLayout::kRoomWidth));
            next.lastRow = row;
            ++filled;
        }
        if (filled == 0)
            break; // only records without a tag were left
        next.text = PadRight(next.text, TagAreaLayout::kBlockLength, kTagFill);
        plan.blocks.append(next);
    }
    return plan;
}
