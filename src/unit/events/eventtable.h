#pragma once

#include <QList>
#include <QString>

class RecordTable;
struct RecordField;

// The event log's fields, in table order, with their widths in characters.
namespace EventFields {
inline const QString Event = QStringLiteral("Event");           // 16-bit: the line's number in the dump, from 1
inline const QString RoomNumber = QStringLiteral("RoomNumber"); // 6: room, "InCall", "Butt.N" or "error"
inline const QString Date = QStringLiteral("Date");             // 8: dd/mm/yy
inline const QString Time = QStringLiteral("Time");             // 8: hh:mm:ss
inline const QString RlyNo = QStringLiteral("RlyNo");           // 1: the relay character
inline const QString Source = QStringLiteral("Source");         // 6: "local", "Remote", "RF-ID", "Error"
inline const QString Client = QStringLiteral("Client");         // 16: client name or the kind text

constexpr int RoomNumberWidth = 6;
constexpr int DateWidth = 8;
constexpr int TimeWidth = 8;
constexpr int RlyNoWidth = 1;
constexpr int SourceWidth = 6;
constexpr int ClientWidth = 16;

QList<RecordField> all();
} // namespace EventFields

// Closes the table and discards its records, fields and any sort, then
// defines the event log's seven fields.  The table is left closed: callers
// open and empty it.
void DefineEventTable(RecordTable &table);
