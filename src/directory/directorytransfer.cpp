#include "directory/directorytransfer.h"

#include "app/mainwindow.h"
#include "app/statuspanels.h"
#include "app/transferwindow.h"
#include "common/messages.h"
#include "directory/directorytable.h"
#include "link/delay.h"
#include "link/logon.h"
#include "link/unitgate.h"
#include "records/recordtable.h"

#include <QAction>
#include <QApplication>
#include <QTableView>

#include <cmath>
#include <functional>

namespace {

const QLatin1String kCrLf("\r\n");
const QLatin1String kOk("OK");

// Runs its step when the scope ends, however it ends.
class AtExit {
public:
    explicit AtExit(std::function<void()> step) : m_step(std::move(step)) {}
    ~AtExit() { m_step(); }
    AtExit(const AtExit &) = delete;
    AtExit &operator=(const AtExit &) = delete;

private:
    std::function<void()> m_step;
};

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
           || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

} // namespace

// ---- rules -----------------------------------------------------------------

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

// ---- the window's side -----------------------------------------------------

DirectoryTransfer::DirectoryTransfer(TostiForm &form) : QObject(&form), m_form(form)
{
    setObjectName(QStringLiteral("DirectoryTransfer"));
}

bool DirectoryTransfer::loggedOn() const { return m_form.Link && m_form.Link->LoggedOn; }

void DirectoryTransfer::GetDataClick()
{
    // One operation on the unit at a time, whatever page started it: a click
    // inside a running one (the waits handle clicks) does nothing.
    const UnitOperation op(m_form.Channel.Gate, QStringLiteral("GetData"));
    if (!op)
        return;
    DownloadDirectory();
}

void DirectoryTransfer::DownloadDirectory()
{
    if (m_busy)
        return;
    m_busy = true;
    CommandChannel &channel = m_form.Channel;
    RecordTable &table = m_form.DirectoryTable;
    m_lastDumpEnd = DumpEnd::None;

    channel.BulkTransfer = true;
    channel.KeepAliveTicks = 0;
    const bool outerBulk = m_form.BulkBusy; // a caller's own bulk operation
    m_form.BulkBusy = true;
    bool cursorSet = false;
    bool replaced = false; // the table was emptied for the dump's records
    bool completed = false;
    const AtExit restore([this, &channel, &cursorSet, &replaced, &completed, outerBulk] {
        // A download abandoned after the table was emptied leaves a table
        // that is not the unit's.
        if (replaced && !completed)
            m_form.setDirectoryInSync(false);
        m_form.TransferF->hide();
        if (cursorSet)
            QApplication::restoreOverrideCursor();
        m_form.Timer1.stop();
        // Only a link that is still up gets its keep-alive and green lamp back;
        // a log-off during the download has already put both off line.
        if (loggedOn()) {
            m_form.Timer2.start();
            m_form.setLedPicture(21);
        }
        channel.BulkTransfer = false;
        m_form.BulkBusy = outerBulk;
        m_form.FollowCursor = true;
        m_busy = false;
        emit finished();
    });

    channel.RxBuffer.clear();
    Delay(10);
    channel.SendCommand(DirectoryTransferRules::DumpCommand + QLatin1Char('\r'));
    channel.RxLog().clear();
    m_form.TransferF->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursorSet = true;
    m_form.Timer1.start();
    m_form.Timer2.stop();
    channel.ReplyReady = false;
    channel.RxBuffer.clear();
    channel.LineCount = 0;

    const DumpEnd end = waitForDump();
    m_lastDumpEnd = end;
    if (end == DumpEnd::Stall || end == DumpEnd::PassLimit)
        MessageService::inform(QStringLiteral("communication error"));
    // The user logged off: the log-off has thrown away what had arrived, so
    // what is left is the middle of the dump at best.  The table stays as it
    // was rather than being replaced by fragments.
    if (end == DumpEnd::LoggedOff)
        return;

    // What is still on its way arrives now.
    Delay(1000);
    channel.RxLog().setText(channel.RxBuffer);
    const QList<DirectoryRecord> records = ParseDirectoryDump(channel.RxBuffer);
    // A dump that failed before a single record came tells nothing of the
    // unit's directory: the table the user holds stays as it was.
    if (end != DumpEnd::Ok && records.isEmpty())
        return;

    replaced = true;
    DefineDirectoryTable(table);
    table.open();
    table.empty();
    if (m_form.Hooks.layoutDirectoryGrids)
        m_form.Hooks.layoutDirectoryGrids();
    m_form.FileSaveItem->setEnabled(true);
    m_form.SaveAs->setEnabled(true);

    fillTable(records);

    m_form.BulkBusy = outerBulk;
    m_form.FollowCursor = true;
    table.first();
    // Only a complete dump is what the unit holds; after a broken one single
    // edits must not be written as if it were.
    m_form.setDirectoryInSync(end == DumpEnd::Ok && loggedOn());
    completed = true;
}

DirectoryTransfer::DumpEnd DirectoryTransfer::waitForDump()
{
    CommandChannel &channel = m_form.Channel;
    const int limit = channel.RemoteMode ? m_remotePassLimit : m_passLimit;
    int stall = 0;
    for (int pass = 0; pass <= limit; ++pass) {
        Delay(100);
        if (channel.DataReceived) {
            stall = 0;
        } else if (++stall > DirectoryTransferRules::StallPasses) {
            return DumpEnd::Stall;
        }
        Delay(10);
        channel.DataReceived = false;
        // The dump's end is read from the text itself: the reply flag rises
        // for a name holding "OK" too, and misses an "OK" whose first letter
        // came in the same piece as the line before it.
        if (DirectoryDumpEnded(channel.RxBuffer))
            return DumpEnd::Ok;
        if (!loggedOn())
            return DumpEnd::LoggedOff;
    }
    return DumpEnd::PassLimit;
}

void DirectoryTransfer::fillTable(const QList<DirectoryRecord> &records)
{
    // Copying every appended record into the editor would only be undone by
    // the next one: the editor follows once, when the cursor goes to the top.
    m_form.FollowCursor = false;
    AppendDirectoryRecords(m_form.DirectoryTable, records);
}

void DirectoryTransfer::WriteDataClick()
{
    const UnitOperation op(m_form.Channel.Gate, QStringLiteral("WriteAllData"));
    if (!op)
        return;
    WriteAllData();
}

void DirectoryTransfer::WriteAllData()
{
    if (m_busy)
        return;
    RecordTable &table = m_form.DirectoryTable;
    if (!table.isOpen())
        return;
    table.storePending();

    const int endAddress = m_form.Link ? m_form.Link->DirectoryEndAddress : 0;
    const int limit = DirectoryRecordLimit(endAddress);
    if (limit < table.recordCount()) {
        MessageService::inform(DirectoryLimitMessage(limit));
        return;
    }
    if (!MessageService::ask(QStringLiteral("This will replace ALL numbers currently\r\nstored in the Ostiarin, Continue?")))
        return;

    m_busy = true;
    m_uploadCount = 0;
    m_uploadErrors = 0;
    // The walk below moves the cursor from record to record and writes each
    // one: nothing else may change the table or move its cursor meanwhile.
    const bool outerBulk = m_form.BulkBusy; // a caller's own bulk operation
    m_form.BulkBusy = true;
    int freezes = 0;
    bool cursorSet = false;
    bool gridDisabled = false;
    bool renumbered = false; // the addresses no longer name the unit's slots
    bool completed = false;  // every record written and confirmed
    const AtExit restore([this, &table, &freezes, &cursorSet, &gridDisabled, &renumbered, &completed, outerBulk] {
        while (freezes-- > 0)
            table.enableControls();
        if (cursorSet)
            QApplication::restoreOverrideCursor();
        if (gridDisabled && m_form.DBGrid1)
            m_form.DBGrid1->setEnabled(true);
        // Renumbered, but not every record confirmed: single edits would
        // write over other residents' slots.
        if (renumbered && !completed)
            m_form.setDirectoryInSync(false);
        m_form.BulkBusy = outerBulk;
        m_form.FollowCursor = true;
        m_form.TransferF->hide();
        m_busy = false;
        emit finished();
    });

    StatusPanels *status = m_form.StatusBar;
    status->setPanel(0, QStringLiteral("Sorting"));
    Delay(50);
    table.sortOn(DirectoryFields::Name, Qt::CaseSensitive);
    table.first();
    table.disableControls();
    ++freezes;
    status->setPanel(0, QStringLiteral("Sorting Addresses"));
    Delay(50);
    if (table.recordCount() == 0)
        return;
    renumbered = true;
    RenumberDirectory(table, endAddress);
    table.enableControls();
    --freezes;

    m_form.TransferF->show();
    status->setPanel(0, QStringLiteral("Erasing Current phone List"));
    if (!eraseUnitDirectory()) {
        m_form.TransferF->hide();
        MessageService::inform(QStringLiteral("Could not clear All,\r\nSave your files and\r\nRecheck connection"));
        return;
    }

    status->setPanel(0, QStringLiteral("Rewriting Phone List"));
    if (m_form.DBGrid1) {
        m_form.DBGrid1->setEnabled(false);
        gridDisabled = true;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursorSet = true;
    m_form.FollowCursor = false;
    table.disableControls();
    ++freezes;
    table.first();
    rewriteRecords();

    m_form.TransferF->hide();
    if (m_uploadErrors != 0)
        MessageService::inform(QStringLiteral("There was %1 error(s)").arg(m_uploadErrors));
    table.enableControls();
    --freezes;
    m_form.FollowCursor = true;
    m_form.setStatusTip(QStringLiteral("Done"));
    QApplication::restoreOverrideCursor();
    cursorSet = false;
    if (m_form.DBGrid1)
        m_form.DBGrid1->setEnabled(true);
    gridDisabled = false;
    // In step only when the unit confirmed every record; a log-off during
    // the upload has put the program off line, so nothing is in step then.
    completed = m_uploadErrors == 0 && m_uploadCount == table.recordCount() && loggedOn();
    m_form.setDirectoryInSync(completed);
    Delay(10);
}

bool DirectoryTransfer::eraseUnitDirectory()
{
    CommandChannel &channel = m_form.Channel;
    for (int attempt = 0; attempt < DirectoryTransferRules::EraseAttempts; ++attempt) {
        channel.SendCommand(QStringLiteral("\r"));
        Delay(100);
        // The unit's answer to the CR may come after the pause: wait for it
        // (or its whole allowance) and for the line to fall quiet, so that a
        // late one cannot stand for the erase's.
        if (!channel.ReplyReady)
            channel.WaitReply(5);
        WaitForQuietLine(channel);
        channel.SendCommand(DirectoryTransferRules::EraseCommand + QLatin1Char('\r'));
        channel.DataReceived = false;
        channel.RxBuffer.clear();
        Delay(100);
        // A unit that answered within the pause has answered: the wait would
        // clear its reply and miss it.
        if (channel.ReplyReady || channel.WaitReply(5))
            return true;
    }
    return false;
}

void DirectoryTransfer::rewriteRecords()
{
    RecordTable &table = m_form.DirectoryTable;
    CommandChannel &channel = m_form.Channel;
    const int addr = table.fieldIndex(DirectoryFields::Addr);
    // Record by record in the table's order; the table cannot change
    // meanwhile (BulkBusy), and each record is taken by its place, so no
    // cursor move from elsewhere can skip one.
    for (int row = 0; row < table.recordCount(); ++row) {
        table.moveTo(row + 1);
        // The text comes from what the table stores, not from the editor.
        const QStringList values = table.recordValues(row);
        const std::optional<QString> text = UploadRecordText(values, row + 1);
        bool written = false;
        if (text) {
            const QString address = values.value(addr);
            written = WriteDirectoryRecord(channel, address, *text);
            if (!written) {
                Delay(40);
                written = WriteDirectoryRecord(channel, address, *text);
            }
        }
        // A record refused before sending is missing on the unit as well.
        if (!written)
            ++m_uploadErrors;
        ++m_uploadCount;
        if (!loggedOn() || m_uploadErrors > DirectoryTransferRules::MaxErrors)
            break;
    }
}
