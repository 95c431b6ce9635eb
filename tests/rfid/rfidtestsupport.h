#pragma once

// Shared by the tag page's tests against the simulated unit (header only:
// every tests/<area>/tst_*.cpp is a program of its own).

#include "window/mainwindow.h"
#include "widgets/transferwindow.h"
#include "directory/directorytable.h"
#include "records/recordtable.h"
#include "simulator.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace RfidTest {

inline const QString kPort = QStringLiteral("SIM0");

inline SimOptions unitOptions()
{
    SimOptions options;
    options.unit.model = 500;
    options.unit.pin = "1234";
    return options;
}

// The directory as a user would have it after the start: defined, open, empty.
inline void emptyDirectory(TostiForm &form)
{
    RecordTable &table = form.DirectoryTable;
    if (!table.isOpen() || table.fieldCount() == 0) {
        DefineDirectoryTable(table);
        table.open();
    }
    table.empty();
}

inline void addRecord(RecordTable &table, const QString &name, const QString &room, const QString &rfid,
                      const QString &addr = QString())
{
    table.append();
    table.setValue(DirectoryFields::Name, name);
    table.setValue(DirectoryFields::RoomNumber, room);
    table.setValue(DirectoryFields::RFID, rfid);
    table.setValue(DirectoryFields::Addr, addr);
    table.store();
}

// Each stored record as "Name|RoomNumber|RFID|Addr", in table order.
inline QStringList records(const RecordTable &table)
{
    QStringList out;
    for (int row = 0; row < table.recordCount(); ++row) {
        auto v = [&](const QString &field) { return table.storedValue(row, table.fieldIndex(field)); };
        out << QStringList{v(DirectoryFields::Name), v(DirectoryFields::RoomNumber), v(DirectoryFields::RFID),
                           v(DirectoryFields::Addr)}
                   .join(QLatin1Char('|'));
    }
    return out;
}

inline QList<QByteArray> commandTexts(const Simulator &sim)
{
    QList<QByteArray> texts;
    for (const ReceivedCommand &c : sim.commands())
        texts << c.bytes;
    return texts;
}

inline int countStartingWith(const QList<QByteArray> &commands, const QByteArray &start)
{
    int n = 0;
    for (const QByteArray &c : commands)
        n += c.startsWith(start) ? 1 : 0;
    return n;
}

// After any transfer: nothing is left busy.
inline bool settled(const TostiForm &form)
{
    return !form.BulkBusy && !form.Channel.BulkTransfer && !form.TransferF->isVisible() && form.FollowCursor;
}

} // namespace RfidTest
