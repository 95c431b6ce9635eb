#include "session/unitsession.h"

#include "common/handler.h"
#include "events/eventdownload.h"
#include "events/unitclock.h"
#include "rfid/tagtransfer.h"
#include "session/unitdirectorytransfer.h"

#include <QDateTime>
#include <QScopeGuard>

UnitSession::UnitSession(QObject *parent)
    : QObject(parent), Channel(RxLog), Link(Channel, KeepAliveTimer)
{
    connect(&Link, &UnitLink::directoryOutOfStep, this, [this] { setDirectoryInSync(false); });

    KeepAliveTimer.setObjectName(QStringLiteral("Timer2"));
    KeepAliveTimer.setInterval(1000);
    connectHandler(&KeepAliveTimer, &QTimer::timeout, this, [this] { Link.Timer2Timer(); });

    UdpPollTimer.setObjectName(QStringLiteral("Timer4"));
    UdpPollTimer.setInterval(50);
    connectHandler(&UdpPollTimer, &QTimer::timeout, this, [this] { Channel.Timer4Timer(); });
    UdpPollTimer.start();
}

UnitSession::~UnitSession() = default;

void UnitSession::setDirectoryInSync(bool inSync)
{
    m_directoryInSync = inSync;
    emit directoryInSyncChanged(inSync);
}

OperationResult UnitSession::linkOrUnitFailure() const
{
    return {Link.LoggedOn ? OperationResult::Status::UnitFailed : OperationResult::Status::LinkLost};
}

UnitSession::BulkTransferScope::BulkTransferScope(UnitSession &session) : m_session(session)
{
    session.Channel.BulkTransfer = true;
    session.Channel.KeepAliveTicks = 0;
    session.BulkBusy = true;
    if (session.m_transferLook.shown)
        session.m_transferLook.shown();
    session.KeepAliveTimer.stop();
}

UnitSession::BulkTransferScope::~BulkTransferScope()
{
    m_session.BulkBusy = false;
    // A log-off meanwhile put everything off line: leave it so.
    const bool onLine = m_session.Link.LoggedOn;
    if (m_session.m_transferLook.hidden)
        m_session.m_transferLook.hidden(onLine);
    if (onLine)
        m_session.KeepAliveTimer.start();
    m_session.Channel.BulkTransfer = false;
}

UnitDirectoryTransfer &UnitSession::directoryTransfer()
{
    if (!m_directoryTransfer)
        m_directoryTransfer = std::make_unique<UnitDirectoryTransfer>(*this);
    return *m_directoryTransfer;
}

OperationResult UnitSession::GetDataClick()
{
    const UnitOperation op(Channel.Gate, QStringLiteral("GetData"));
    if (!op)
        return {OperationResult::Status::Refused};
    UnitDirectoryTransfer &transfer = directoryTransfer();
    transfer.DownloadDirectory();
    switch (transfer.lastDumpEnd()) {
    case UnitDirectoryTransfer::DumpEnd::Ok:
        if (DirectoryInSync)
            return {OperationResult::Status::Done, DirectoryTable.recordCount()};
        break;
    case UnitDirectoryTransfer::DumpEnd::None:
        return {OperationResult::Status::Refused};
    case UnitDirectoryTransfer::DumpEnd::LoggedOff:
        return {OperationResult::Status::LinkLost};
    case UnitDirectoryTransfer::DumpEnd::Stall:
    case UnitDirectoryTransfer::DumpEnd::PassLimit:
        break;
    }
    return linkOrUnitFailure();
}

OperationResult UnitSession::WriteDataClick()
{
    const UnitOperation op(Channel.Gate, QStringLiteral("WriteAllData"));
    if (!op)
        return {OperationResult::Status::Refused};
    UnitDirectoryTransfer &transfer = directoryTransfer();
    transfer.WriteAllData();
    if (!transfer.lastUploadRan())
        return {OperationResult::Status::Refused};
    const int confirmed = transfer.lastUploadCount() - transfer.lastUploadErrors();
    if (DirectoryInSync)
        return {OperationResult::Status::Done, confirmed};
    OperationResult result = linkOrUnitFailure();
    result.count = confirmed;
    return result;
}

OperationResult UnitSession::dnLoadClick(const EventDownloadControls &ui)
{
    // A click while any operation talks to the unit (its waits keep the
    // event loop running) would interleave two conversations on one link.
    const UnitOperation op(Channel.Gate, QStringLiteral("Down Load"));
    if (!op)
        return {OperationResult::Status::Refused};
    if (!RunEventDownload(Channel, EventTable, ui))
        return linkOrUnitFailure();
    return {OperationResult::Status::Done, EventTable.recordCount()};
}

OperationResult UnitSession::Set_timeClick()
{
    // The unit's answer would land in the middle of another operation.
    const UnitOperation op(Channel.Gate, QStringLiteral("Set_time"));
    if (!op)
        return {OperationResult::Status::Refused};
    Channel.RxLog().clear();
    Channel.SendCommand(ClockSetText(QDateTime::currentDateTime()));
    // Taken here, so that a late answer cannot stand at the top of the
    // next read.
    Channel.WaitReply(kClockSetReplySteps);
    if (!Channel.ReplyReady)
        return linkOrUnitFailure();
    return {OperationResult::Status::Done};
}

OperationResult UnitSession::download_idClick(const TagTransferHooks &hooks)
{
    // One operation on the unit at a time, whatever asked for it.
    const UnitOperation op(Channel.Gate, QStringLiteral("DownLoad"));
    if (!op || BulkBusy)
        return {OperationResult::Status::Refused};
    RecordTable &table = DirectoryTable;
    const BulkTransferScope transfer(*this);
    Channel.RxBuffer.clear();
    table.disableControls();
    const bool follow = FollowCursor;
    FollowCursor = false;
    // The directory's "in step with the unit" stays as it was: the tag dump
    // tells nothing of the unit's directory records.
    auto finish = qScopeGuard([&] {
        FollowCursor = follow;
        table.first();
        table.enableControls();
    });
    switch (DownloadTags(Channel, table, hooks)) {
    case TagDownloadResult::Merged:
        return {OperationResult::Status::Done};
    case TagDownloadResult::LinkLost:
        return {OperationResult::Status::LinkLost};
    case TagDownloadResult::NoReply:
        break;
    }
    return linkOrUnitFailure();
}

OperationResult UnitSession::writeall_idClick(const TagTransferHooks &hooks)
{
    const UnitOperation op(Channel.Gate, QStringLiteral("Write All"));
    if (!op || BulkBusy)
        return {OperationResult::Status::Refused};
    if (!CheckTagCodes(DirectoryTable))
        return {OperationResult::Status::Refused};
    const BulkTransferScope transfer(*this);
    switch (WriteAllTags(Channel, DirectoryTable, hooks)) {
    case TagWriteResult::Written:
        return {OperationResult::Status::Done};
    case TagWriteResult::BadCode:
        return {OperationResult::Status::Refused};
    case TagWriteResult::LinkLost:
        return {OperationResult::Status::LinkLost};
    case TagWriteResult::TooMany:
        return {OperationResult::Status::Incomplete};
    case TagWriteResult::NoReply:
    case TagWriteResult::Errors:
        break;
    }
    return linkOrUnitFailure();
}
