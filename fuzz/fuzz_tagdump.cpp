// The reply to the tag dump: any text parses to tags whose rooms and codes
// fit their fields; every slot text decodes without reading past its end.
#include "fuzzsupport.h"

#include "rfid/tagarea.h"
#include "rfid/tagcode.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString reply = fuzzText(data, size);
    const QList<TagEntry> tags = ParseTagDump(reply);
    if (tags.size() > TagAreaLayout::kCapacity * 64)
        std::abort();
    for (const TagEntry &tag : tags)
        if (tag.room.size() > TagSlotLayout::kRoomWidth || tag.code.size() > TagSlotLayout::kCodeWidth)
            std::abort();
    // Every 16-character window as one slot, and its code field on its own.
    for (qsizetype at = 0; at < reply.size(); at += TagAreaLayout::kSlotLength) {
        TagEntry tag;
        (void)ParseTagSlot(reply.mid(at, TagAreaLayout::kSlotLength), &tag);
        const QString code = DecodeTagCode(reply.mid(at, TagSlotLayout::kCodeWidth));
        if (code.size() > TagSlotLayout::kCodeWidth)
            std::abort();
        (void)EncodeTagCode(code);
    }
    return 0;
}
