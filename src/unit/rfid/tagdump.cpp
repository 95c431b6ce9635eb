#include "rfid/tagarea.h"

#include "link/encodings.h"
#include "rfid/tagcode.h"

bool ParseTagSlot(const QString &slot, TagEntry *tag)
{
    const QString room = DecodeText(slot.mid(TagSlotLayout::kRoomOffset, TagSlotLayout::kRoomWidth));
    const QString code = DecodeTagCode(slot.mid(TagSlotLayout::kCodeOffset, TagSlotLayout::kCodeWidth));
    if (room.isEmpty() || room == QString(TagSlotLayout::kRoomWidth, kTagFill) || code.isEmpty())
        return false;
    *tag = TagEntry{room, code};
    return true;
}

QList<TagEntry> ParseTagDump(const QString &reply)
{
    // Lines as the receive log holds them: split at CR LF, an empty
    // remainder after the last one is no line.
    QStringList lines = reply.split(QLatin1String(UnitContract::kReplyLineEnd));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QList<TagEntry> tags;
    const int end = int(lines.size()) - UnitContract::kTagDumpTrailingLines;
    for (int i = UnitContract::kTagDumpLeadingLines; i < end; ++i) {
        if (lines.at(i).isEmpty())
            continue;
        const QString data = lines.at(i).mid(UnitContract::kDataOffset);
        for (int slot = 0; slot < TagAreaLayout::kSlotsPerBlock; ++slot) {
            TagEntry tag;
            if (ParseTagSlot(data.mid(slot * TagAreaLayout::kSlotLength, TagAreaLayout::kSlotLength), &tag))
                tags.append(tag);
        }
    }
    return tags;
}
