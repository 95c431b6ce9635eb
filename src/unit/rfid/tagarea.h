#pragma once

#include "link/unitcontract.h"

#include <QList>
#include <QString>

// The unit's tag area: blocks 1408 to 1535, each holding four tag slots of
// 16 characters, 512 slots in all.
struct TagAreaLayout {
    static constexpr int kFirstBlock = UnitContract::kTagFirstBlock;
    static constexpr int kLastBlock = UnitContract::kTagLastBlock;
    static constexpr int kSlotsPerBlock = UnitContract::kTagSlotsPerBlock;
    static constexpr int kSlotLength = UnitContract::kTagSlotLength;
    static constexpr int kBlockLength = kSlotsPerBlock * kSlotLength;
    static constexpr int kBlocks = kLastBlock - kFirstBlock + 1;
    static constexpr int kCapacity = kBlocks * kSlotsPerBlock;
};
static_assert(TagAreaLayout::kBlockLength == UnitContract::kBlockDataLength);
static_assert(TagAreaLayout::kCapacity == 512);

// One tag slot: the room number, ended by "?" or 0xFF, then the tag code as
// ten nibble characters ("?" first for no code).  Empty places are "?".
struct TagSlotLayout {
    static constexpr int kRoomOffset = 0;
    static constexpr int kRoomWidth = 6;
    static constexpr int kCodeOffset = 6;
    static constexpr int kCodeWidth = 10;
};
static_assert(TagSlotLayout::kCodeOffset + TagSlotLayout::kCodeWidth == TagAreaLayout::kSlotLength);

inline constexpr QChar kTagFill = QLatin1Char('?');

// A tag as the unit's table holds it: the room it opens and its code.
struct TagEntry {
    QString room;
    QString code;
    friend bool operator==(const TagEntry &, const TagEntry &) = default;
};

// The tags of the reply to the tag dump, in slot order.  The first two and
// the last two lines carry no tags; every other line that is not empty holds
// five characters of the unit's own and then one block's four slots.  A slot
// whose room is empty or "??????", or whose code is empty, holds no tag; a
// short line gives short fields, and a field that comes out empty skips its
// slot.
QList<TagEntry> ParseTagDump(const QString &reply);

// The tag of one slot's text (up to 16 characters); nothing when it holds none.
bool ParseTagSlot(const QString &slot, TagEntry *tag);
