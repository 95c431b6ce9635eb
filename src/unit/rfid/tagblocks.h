#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class RecordTable;

// Row (from 0, current order) of the first directory record whose tag code
// is not empty and not exactly ten characters long, or -1.
int FirstBadTagCode(const RecordTable &table);

// One slot as the unit stores it: the room filled with "?" or cut to six
// characters, then the code in the unit's form, filled with "?" or cut to
// ten.  `codeOk` tells whether the code had exactly ten characters.
QString TagSlotText(const QString &room, const QString &code, bool *codeOk = nullptr);

// One block of the write-all.
struct TagBlock {
    QString number;            // four digits, "1408" to "1535"
    QString text;              // 64 characters: up to four slots, then "?"
    QStringList badCodeRooms;  // the 6-character rooms of slots whose code was not ten characters
    int lastRow = -1;          // the last record this block took (row from 0)
};

// The blocks that replace the unit's tag table by the directory's tags.  A
// tag is a record whose code and room are both not empty; the tags fill
// the blocks four at a time, in table order.  The area holds 512 tags: a
// further tag sets `overflow` and is not written.
struct TagWritePlan {
    QList<TagBlock> blocks;
    bool overflow = false;
    int lastRow = -1; // the last record walked: the last one, or the first tag that did not fit
};
TagWritePlan PlanTagBlocks(const RecordTable &table);
