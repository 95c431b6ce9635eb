#include "session/unitdirectorytransfer.h"

#include "common/atexit.h"
#include "common/messages.h"
#include "directory/directorytable.h"
#include "link/delay.h"
#include "link/unitcontract.h"
#include "link/unitgate.h"
#include "records/recordtable.h"
#include "session/unitsession.h"

UnitDirectoryTransfer::UnitDirectoryTransfer(UnitSession &session, QObject *parent)
    : QObject(parent), m_session(session)
{
}

bool UnitDirectoryTransfer::loggedOn() const { return m_session.Link.LoggedOn; }

void UnitDirectoryTransfer::GetDataClick()
{
    // One operation on the unit at a time, whatever page started it: a click
    // inside a running one (the waits handle clicks) does nothing.
    const UnitOperation op(m_session.Channel.Gate, QStringLiteral("GetData"));
    if (!op)
        return;
    DownloadDirectory();
}

void UnitDirectoryTransfer::DownloadDirectory()
{
    if (m_busy)
        return;
    m_busy = true;
    CommandChannel &channel = m_session.Channel;
    RecordTable &table = m_session.DirectoryTable;
    m_lastDumpEnd = DumpEnd::None;

    channel.BulkTransfer = true;
    channel.KeepAliveTicks = 0;
    const bool outerBulk = m_session.BulkBusy; // a caller's own bulk operation
    m_session.BulkBusy = true;
    bool cursorSet = false;
    bool replaced = false; // the table was emptied for the dump's records
    bool completed = false;
    const AtExit restore([this, &channel, &cursorSet, &replaced, &completed, outerBulk] {
        // A download abandoned after the table was emptied leaves a table
        // that is not the unit's.
        if (replaced && !completed)
            m_session.setDirectoryInSync(false);
        look(m_look.hideTransfer);
        if (cursorSet)
            look(m_look.busyPointer, false);
        look(m_look.blinkLamp, false);
        // Only a link that is still up gets its keep-alive and green lamp back;
        // a log-off during the download has already put both off line.
        if (loggedOn()) {
            m_session.KeepAliveTimer.start();
            look(m_look.steadyLamp);
        }
        channel.BulkTransfer = false;
        m_session.BulkBusy = outerBulk;
        m_session.FollowCursor = true;
        m_busy = false;
        emit finished();
    });

    channel.RxBuffer.clear();
    Delay(10);
    channel.SendCommand(UnitContract::DirectoryDumpCommand());
    channel.RxLog().clear();
    look(m_look.showTransfer);
    look(m_look.busyPointer, true);
    cursorSet = true;
    look(m_look.blinkLamp, true);
    m_session.KeepAliveTimer.stop();
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
    look(m_look.tableRedefined);

    fillTable(records);

    m_session.BulkBusy = outerBulk;
    m_session.FollowCursor = true;
    table.first();
    // Only a complete dump is what the unit holds; after a broken one single
    // edits must not be written as if it were.
    m_session.setDirectoryInSync(end == DumpEnd::Ok && loggedOn());
    completed = true;
}

UnitDirectoryTransfer::DumpEnd UnitDirectoryTransfer::waitForDump()
{
    CommandChannel &channel = m_session.Channel;
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

void UnitDirectoryTransfer::fillTable(const QList<DirectoryRecord> &records)
{
    // Copying every appended record into the editor would only be undone by
    // the next one: the editor follows once, when the cursor goes to the top.
    m_session.FollowCursor = false;
    AppendDirectoryRecords(m_session.DirectoryTable, records);
}

void UnitDirectoryTransfer::WriteDataClick()
{
    const UnitOperation op(m_session.Channel.Gate, QStringLiteral("WriteAllData"));
    if (!op)
        return;
    WriteAllData();
}

void UnitDirectoryTransfer::WriteAllData()
{
    if (m_busy)
        return;
    m_uploadRan = false;
    RecordTable &table = m_session.DirectoryTable;
    if (!table.isOpen())
        return;
    table.storePending();

    const int endAddress = m_session.Link.DirectoryEndAddress;
    const int limit = DirectoryRecordLimit(endAddress);
    if (limit < table.recordCount()) {
        MessageService::inform(DirectoryLimitMessage(limit));
        return;
    }
    if (!MessageService::ask(QStringLiteral("This will replace ALL numbers currently\r\nstored in the Ostiarin, Continue?")))
        return;

    m_busy = true;
    m_uploadRan = true;
    m_uploadCount = 0;
    m_uploadErrors = 0;
    // The walk below moves the cursor from record to record and writes each
    // one: nothing else may change the table or move its cursor meanwhile.
    const bool outerBulk = m_session.BulkBusy; // a caller's own bulk operation
    m_session.BulkBusy = true;
    int freezes = 0;
    bool cursorSet = false;
    bool gridDisabled = false;
    bool renumbered = false; // the addresses no longer name the unit's slots
    bool completed = false;  // every record written and confirmed
    const AtExit restore([this, &table, &freezes, &cursorSet, &gridDisabled, &renumbered, &completed, outerBulk] {
        while (freezes-- > 0)
            table.enableControls();
        if (cursorSet)
            look(m_look.busyPointer, false);
        if (gridDisabled)
            look(m_look.gridEnabled, true);
        // Renumbered, but not every record confirmed: single edits would
        // write over other residents' slots.
        if (renumbered && !completed)
            m_session.setDirectoryInSync(false);
        m_session.BulkBusy = outerBulk;
        m_session.FollowCursor = true;
        look(m_look.hideTransfer);
        m_busy = false;
        emit finished();
    });

    look(m_look.setStatus, QStringLiteral("Sorting"));
    Delay(50);
    table.sortOn(DirectoryFields::Name, Qt::CaseSensitive);
    table.first();
    table.disableControls();
    ++freezes;
    look(m_look.setStatus, QStringLiteral("Sorting Addresses"));
    Delay(50);
    if (table.recordCount() == 0)
        return;
    renumbered = true;
    RenumberDirectory(table, endAddress);
    table.enableControls();
    --freezes;

    look(m_look.showTransfer);
    look(m_look.setStatus, QStringLiteral("Erasing Current phone List"));
    if (!eraseUnitDirectory()) {
        look(m_look.hideTransfer);
        MessageService::inform(QStringLiteral("Could not clear All,\r\nSave your files and\r\nRecheck connection"));
        return;
    }

    look(m_look.setStatus, QStringLiteral("Rewriting Phone List"));
    look(m_look.gridEnabled, false);
    gridDisabled = true;
    look(m_look.busyPointer, true);
    cursorSet = true;
    m_session.FollowCursor = false;
    table.disableControls();
    ++freezes;
    table.first();
    rewriteRecords();

    look(m_look.hideTransfer);
    if (m_uploadErrors != 0)
        MessageService::inform(QStringLiteral("There was %1 error(s)").arg(m_uploadErrors));
    table.enableControls();
    --freezes;
    m_session.FollowCursor = true;
    look(m_look.setStatusTip, QStringLiteral("Done"));
    look(m_look.busyPointer, false);
    cursorSet = false;
    look(m_look.gridEnabled, true);
    gridDisabled = false;
    // In step only when the unit confirmed every record; a log-off during
    // the upload has put the program off line, so nothing is in step then.
    completed = m_uploadErrors == 0 && m_uploadCount == table.recordCount() && loggedOn();
    m_session.setDirectoryInSync(completed);
    Delay(10);
}

bool UnitDirectoryTransfer::eraseUnitDirectory()
{
    CommandChannel &channel = m_session.Channel;
    for (int attempt = 0; attempt < DirectoryTransferRules::EraseAttempts; ++attempt) {
        channel.SendCommand(UnitContract::IdentifyCommand()); // a bare CR
        Delay(100);
        // The unit's answer to the CR may come after the pause: wait for it
        // (or its whole allowance) and for the line to fall quiet, so that a
        // late one cannot stand for the erase's.
        if (!channel.ReplyReady)
            channel.WaitReply(5);
        WaitForQuietLine(channel);
        channel.SendCommand(UnitContract::DirectoryEraseCommand());
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

void UnitDirectoryTransfer::rewriteRecords()
{
    RecordTable &table = m_session.DirectoryTable;
    CommandChannel &channel = m_session.Channel;
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
