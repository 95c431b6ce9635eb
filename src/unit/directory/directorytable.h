#pragma once

#include <QList>
#include <QString>

class RecordTable;
struct RecordField;

// The phone directory's fields, in order, with their widths in characters.
namespace DirectoryFields {
inline const QString Name = QStringLiteral("Name");             // 16: the name the unit shows
inline const QString RoomNumber = QStringLiteral("RoomNumber"); // 6: decimal digits
inline const QString PHnumber = QStringLiteral("PHnumber");     // 16: digits, '*', '#', 'p'
inline const QString Code1 = QStringLiteral("Code1");           // 4: relay 1 release code
inline const QString Code2 = QStringLiteral("Code2");           // 4: relay 2 release code
inline const QString Spare = QStringLiteral("spare");           // 2: two spare digits
inline const QString RFID = QStringLiteral("RFID");             // 10: tag code
inline const QString Addr = QStringLiteral("Addr");             // 4: record address in the unit

constexpr int NameWidth = 16;
constexpr int RoomNumberWidth = 6;
constexpr int PHnumberWidth = 16;
constexpr int CodeWidth = 4;
constexpr int SpareWidth = 2;
constexpr int RFIDWidth = 10;
constexpr int AddrWidth = 4;

QList<RecordField> all();
} // namespace DirectoryFields

// Closes the table and discards its records, fields and sort, then defines
// the directory's eight fields.  The table is left closed: callers open and
// empty it.
void DefineDirectoryTable(RecordTable &table);
