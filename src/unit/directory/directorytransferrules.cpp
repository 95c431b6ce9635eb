#include "directory/directorytransferrules.h"

#include "common/atexit.h"
#include "common/messages.h"
#include "directory/directorytable.h"
#include "records/recordtable.h"

#include <cmath>

namespace {

const QLatin1String kCrLf("\r\n");
const QLatin1String kOk("OK");

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
           || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

} // namespace


bool IsDirectorySlotLine(const QString &line)
{
    if (line.size() < DirectoryLayout::AddressLength)
        return false;
    for (int i = 0; i < DirectoryLayout::AddressLength; ++i) {
        if (!isHexDigit(line.at(i)))
            return false;
    }
    return true;
}

bool DirectoryDumpEnded(const QString &received)
{
    if (!received.endsWith(kCrLf))
        return false;
    const qsizetype end = received.size() - 2;
    const qsizetype start = received.lastIndexOf(kCrLf, end - 1);
    const QString last = received.mid(start < 0 ? 0 : start + 2, start < 0 ? end : end - start - 2);
    return last.contains(kOk) && !IsDirectorySlotLine(last);
}

QList<DirectoryRecord> ParseDirectoryDump(const QString &received)
{
    QStringList lines = received.split(kCrLf);
    // The text after the last line end is a line cut off, or nothing.
    const bool cutOff = !lines.last().isEmpty();
    if (!cutOff)
        lines.removeLast();
    // The unit's first line; and the last one when it is the closing "OK"
    // line or cut off.  A dump that stopped after a whole slot line keeps it.
    if (!lines.isEmpty())
        lines.removeFirst();
    if (!lines.isEmpty() && (cutOff || (lines.last().contains(kOk) && !IsDirectorySlotLine(lines.last()))))
        lines.removeLast();
    QList<DirectoryRecord> records;
    records.reserve(lines.size());
    for (const QString &line : std::as_const(lines)) {
        if (line.isEmpty())
            continue;
        if (auto record = ParseDirectoryLine(line))
            records.append(std::move(*record));
    }
    return records;
}

int AppendDirectoryRecords(RecordTable &table, const QList<DirectoryRecord> &records)
{
    using namespace DirectoryFields;
    const int name = table.fieldIndex(Name), room = table.fieldIndex(RoomNumber),
              phone = table.fieldIndex(PHnumber), code1 = table.fieldIndex(Code1), code2 = table.fieldIndex(Code2),
              spare = table.fieldIndex(Spare), addr = table.fieldIndex(Addr);
    table.disableControls();
    const AtExit resume([&table] { table.enableControls(); });
    for (const DirectoryRecord &r : records) {
        table.append();
        table.setValue(name, r.name);
        table.setValue(room, r.room);
        table.setValue(phone, r.phone);
        table.setValue(code1, r.code1);
        table.setValue(code2, r.code2);
        table.setValue(spare, r.spare);
        table.setValue(addr, r.addr);
        table.store();
    }
    return int(records.size());
}

int DirectoryRecordLimit(int endAddress)
{
    return int(std::lround((endAddress - DirectoryLayout::FirstAddress) / double(DirectoryLayout::SlotSize)));
}

QString DirectoryLimitMessage(int limit)
{
    return QStringLiteral("There are to many records to store\r\nto this Ostiarin version.\r\n%1 is the limit.").arg(limit);
}

int RenumberDirectory(RecordTable &table, int endAddress)
{
    const int addr = table.fieldIndex(DirectoryFields::Addr);
    int address = DirectoryLayout::FirstAddress;
    int numbered = 0;
    table.first();
    while (!table.eof() && address <= endAddress) {
        table.setValue(addr, AddressText(address));
        table.store();
        ++numbered;
        table.next();
        address += DirectoryLayout::SlotSize;
    }
    return numbered;
}

std::optional<QString> UploadRecordText(const QStringList &values, int recordNumber)
{
    const DirectoryRecord r = DirectoryRecord::fromValues(values);
    // The fields the record text is built from.
    const int control = FirstControlField(values.mid(0, 6));
    if (control >= 0) {
        static const char *const names[] = {"Name", "RoomNumber", "PHnumber", "Code1", "Code2", "spare"};
        const QString record = QStringLiteral("record %1 (\"%2\", room %3)")
                                   .arg(recordNumber)
                                   .arg(ShownWithoutControls(r.name), ShownWithoutControls(r.room));
        MessageService::inform(ControlCharacterMessage(record, QLatin1String(names[control])));
        return std::nullopt;
    }
    // An empty room would be kept by the unit and the resident lost at the
    // next download; a code with more than digits would reach it cut short.
    if (TrimBlanks(r.room).isEmpty() || !IsCodeText(r.code1) || !IsCodeText(r.code2)) {
        MessageService::inform(NumericDigitsMessage());
        return std::nullopt;
    }
    const QString room = LeadingDigits(ValidateRoomNumber(r.room), DirectoryLayout::RoomWidth);
    return DirectoryRecordText(room, TrimBlanks(r.code1), TrimBlanks(r.code2), r.spare, r.phone, r.name);
}
