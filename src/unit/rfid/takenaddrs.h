#pragma once

#include <QHash>
#include <QString>

// The record addresses that have received a tag during one download, so
// that each directory record takes at most one tag.  Entries 2 to 1001 are
// filled in turn; the counter names the next one.  An address is taken when
// it equals any of those entries, filled or not: while some remain unfilled,
// an empty address counts as taken, so a record without an address never
// receives a tag.
class TakenAddrs {
public:
    static constexpr int kFirstEntry = 2;
    static constexpr int kLastEntry = 1001;
    // Entries hold at most this many characters of an address.
    static constexpr int kEntryWidth = 4;

    TakenAddrs() { ResetTakenAddrs(); }

    // Empties every entry; the counter starts at 2 again.
    void ResetTakenAddrs();
    bool IsAddrTaken(const QString &addr) const;
    // Takes the address of a record that received a tag (nothing once the
    // counter has reached the last entry).
    void TakeAddr(const QString &addr);
    // The address of a record the download creates, "p" and the counter; it
    // is taken like any other and the counter moves on.
    QString TakeNewAddr();

    int counter() const { return m_counter; }

private:
    void fill(const QString &addr);

    int m_counter = kFirstEntry;
    QHash<QString, int> m_filled; // entry text -> how many entries hold it
};
