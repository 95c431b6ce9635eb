#include "rfid/takenaddrs.h"

void TakenAddrs::ResetTakenAddrs()
{
    m_filled.clear();
    m_counter = kFirstEntry;
}

bool TakenAddrs::IsAddrTaken(const QString &addr) const
{
    const QString entry = addr.left(kEntryWidth);
    if (entry.isEmpty() && m_counter <= kLastEntry)
        return true; // equals an entry not yet filled
    return m_filled.contains(entry);
}

void TakenAddrs::fill(const QString &addr)
{
    // Past the last entry there is no room: the address is not kept.
    if (m_counter <= kLastEntry)
        ++m_filled[addr.left(kEntryWidth)];
    ++m_counter;
}

void TakenAddrs::TakeAddr(const QString &addr)
{
    if (m_counter >= kLastEntry)
        return;
    fill(addr);
}

QString TakenAddrs::TakeNewAddr()
{
    const QString addr = QLatin1Char('p') + QString::number(m_counter);
    fill(addr);
    return addr;
}
