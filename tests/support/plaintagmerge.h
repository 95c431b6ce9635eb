#pragma once

#include "directory/directorytable.h"
#include "records/recordtable.h"
#include "rfid/tagarea.h"

#include <QStringList>

// The merge of the unit's tags into the directory as the rule is written,
// walking the table from its first record for every tag: the reference the
// quick merge must agree with (in the unit tests and the fuzz target).
inline void plainMerge(RecordTable &table, const QList<TagEntry> &tags)
{
    QStringList entries(1002);
    int counter = 2;
    auto taken = [&](const QString &addr) {
        for (int i = 2; i <= 1001; ++i)
            if (entries[i] == addr)
                return true;
        return false;
    };
    for (const TagEntry &tag : tags) {
        bool given = false;
        table.first();
        while (!table.eof()) {
            if (table.value(DirectoryFields::RoomNumber) == tag.room && !taken(table.value(DirectoryFields::Addr))) {
                table.edit();
                table.setValue(DirectoryFields::RFID, tag.code);
                const QString addr = table.value(DirectoryFields::Addr).left(4);
                table.store();
                if (counter != 1001)
                    entries[counter++] = addr;
                given = true;
                break;
            }
            table.next();
        }
        if (!given) {
            const QString addr = QLatin1Char('p') + QString::number(counter);
            table.append();
            table.setValue(DirectoryFields::RFID, tag.code);
            table.setValue(DirectoryFields::RoomNumber, tag.room);
            table.setValue(DirectoryFields::Addr, addr);
            entries[counter++] = addr.left(4);
            table.store();
        }
    }
}
