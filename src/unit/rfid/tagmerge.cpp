#include "rfid/tagmerge.h"

#include "directory/directorytable.h"
#include "records/recordtable.h"
#include "rfid/takenaddrs.h"

#include <QHash>

#include <vector>

void ClearTagCodes(RecordTable &table)
{
    const int rfid = table.fieldIndex(DirectoryFields::RFID);
    table.storePending();
    // By row, not by a walk: should the table be sorted on the tag code, a
    // cleared record moves, and a walk would meet some records twice and
    // others never.  Rows before `row` are all clear, so a record moving
    // anywhere leaves only cleared records behind it.
    int row = 0;
    while (row < table.recordCount()) {
        if (table.storedValue(row, rfid).isEmpty()) {
            ++row;
            continue;
        }
        table.moveTo(row + 1);
        table.setValue(rfid, QString());
        table.store();
    }
}

namespace {
// Where the records that were in the table when the merge began stand now.
// Storing a record moves it in a sorted table, and a new record may land
// between the others; the rest keep their order.
class RowTracker {
public:
    explicit RowTracker(int rows) : m_rowOf(size_t(rows))
    {
        for (int i = 0; i < rows; ++i)
            m_rowOf[size_t(i)] = i;
    }
    int rowOf(int record) const { return m_rowOf[size_t(record)]; }

    // The record at `from` now stands at `to`.
    void moved(int record, int from, int to)
    {
        if (from == to)
            return;
        for (int &row : m_rowOf) {
            if (from < to && row > from && row <= to)
                --row;
            else if (to < from && row >= to && row < from)
                ++row;
        }
        m_rowOf[size_t(record)] = to;
    }
    // A new record was stored at `at`.
    void inserted(int at, int rowsBefore)
    {
        if (at >= rowsBefore)
            return; // at the end: nothing moved
        for (int &row : m_rowOf)
            if (row >= at)
                ++row;
    }

private:
    std::vector<int> m_rowOf;
};
} // namespace

int MergeTags(RecordTable &table, const QList<TagEntry> &tags, TakenAddrs &taken)
{
    const int roomField = table.fieldIndex(DirectoryFields::RoomNumber);
    const int rfidField = table.fieldIndex(DirectoryFields::RFID);
    const int addrField = table.fieldIndex(DirectoryFields::Addr);
    table.storePending();

    // The records of each room in table order, found once instead of
    // walking the whole table for every slot.  Which record takes a tag
    // depends only on the order of the records not yet taken, and that
    // order never changes: only a record taking a tag (then taken) or a new
    // record (taken from the start) can move.
    const int existing = table.recordCount();
    std::vector<QString> addrOf(static_cast<size_t>(existing));
    QHash<QString, QList<int>> byRoom;
    for (int row = 0; row < existing; ++row) {
        addrOf[size_t(row)] = table.storedValue(row, addrField);
        byRoom[table.storedValue(row, roomField)].append(row);
    }
    // Per room, how many leading records are surely taken (a taken address
    // stays taken; only an empty one may be free again once every entry is
    // filled).
    QHash<QString, int> skip;
    RowTracker rows(existing);
    int created = 0;

    for (const TagEntry &tag : tags) {
        int receiver = -1;
        const auto candidates = byRoom.constFind(tag.room);
        if (candidates != byRoom.constEnd()) {
            int &first = skip[tag.room];
            for (int i = first; i < candidates->size(); ++i) {
                const int record = candidates->at(i);
                const QString &addr = addrOf[size_t(record)];
                if (!taken.IsAddrTaken(addr)) {
                    receiver = record;
                    break;
                }
                if (i == first && !addr.isEmpty())
                    ++first;
            }
        }

        if (receiver >= 0) {
            const int from = rows.rowOf(receiver);
            table.moveTo(from + 1);
            table.setValue(rfidField, tag.code);
            table.store();
            rows.moved(receiver, from, table.recNo() - 1);
            taken.TakeAddr(addrOf[size_t(receiver)]);
        } else {
            const int before = table.recordCount();
            table.append();
            table.setValue(rfidField, tag.code);
            table.setValue(roomField, tag.room);
            table.setValue(addrField, taken.TakeNewAddr());
            table.store();
            rows.inserted(table.recNo() - 1, before);
            ++created;
        }
    }
    return created;
}

int FindTagHolder(const RecordTable &table, const QString &code)
{
    const int rfid = table.findField(DirectoryFields::RFID);
    if (rfid < 0)
        return -1;
    for (int row = 0; row < table.recordCount(); ++row) {
        if (table.storedValue(row, rfid) == code)
            return row;
    }
    return -1;
}
