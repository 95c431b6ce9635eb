#pragma once

#include "link/commandchannel.h"
#include "link/receivelog.h"
#include "link/unitlink.h"
#include "records/recordtable.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class UnitDirectoryTransfer;
struct EventDownloadControls;
struct TagTransferHooks;

// How an operation on the unit ended, for a caller that acts on it (the
// command-line tool's exit code, a test).  The person has been told already,
// in the program's own words.
struct OperationResult {
    enum class Status {
        Done,       // the unit did all of it and confirmed it
        Refused,    // nothing was done: another operation runs, or the data was refused first
        LinkLost,   // the link went down (or the person logged off) on the way
        UnitFailed, // the unit did not answer, or answered wrong
        Incomplete, // done in part: the unit holds less than was asked for
    };
    Status status = Status::Done;
    int count = 0; // records, events or tags the operation moved
    bool done() const { return status == Status::Done; }
};

// The look of a bulk transfer while it lasts, as the front end shows it
// (the window: transfer window, hourglass, blinking lamp).
struct TransferLook {
    std::function<void()> shown;
    // The transfer ended; onLine says whether the link is still held (the
    // lamp turns steady green then, and stays off line otherwise).
    std::function<void(bool onLine)> hidden;
};

// One program's hold on one unit, for the whole run: the link and its
// state, the one command channel with its one-operation gate, the keep-alive
// and UDP poll timers, and the tables of what was read from the unit or a
// file.  It knows no window: the main window owns one and binds its
// controls to it, the command-line tool owns one and prints what it does.
class UnitSession : public QObject {
    Q_OBJECT
public:
    explicit UnitSession(QObject *parent = nullptr);
    ~UnitSession() override;

    ReceiveLog RxLog;
    CommandChannel Channel;
    // One tick a second while on line: the keep-alive count.
    QTimer KeepAliveTimer;
    // Every 50 ms: gathers the UDP datagrams that arrived.
    QTimer UdpPollTimer;
    UnitLink Link;

    // The two record tables.
    RecordTable DirectoryTable;
    RecordTable EventTable;
    // Flags shared by the directory and tag operations.
    bool BulkBusy = false;      // a bulk operation fills or walks the directory
    bool FollowCursor = true;   // cursor moves are copied into the record editors
    bool DeleteAllowed = false; // a directory deletion goes ahead only when set
    // The automatic first read of the settings ran to its end.
    bool SettingsReadDone = false;

    // The directory table holds what the unit holds.  Read-only here: set it
    // with setDirectoryInSync.
    const bool &DirectoryInSync = m_directoryInSync;
    void setDirectoryInSync(bool inSync);

    void setTransferLook(TransferLook look) { m_transferLook = std::move(look); }

    // --- operations: each takes the one-operation gate (Refused while
    // another holds it) ---
    // The unit's whole directory into DirectoryTable (count: the records).
    OperationResult GetDataClick();
    // The unit's directory replaced by DirectoryTable, after the question
    // (count: the records the unit confirmed).
    OperationResult WriteDataClick();
    // The session's own directory transfer (for its look and its limits).
    UnitDirectoryTransfer &directoryTransfer();
    // The event log and the unit's clock into EventTable.
    OperationResult dnLoadClick(const EventDownloadControls &ui);
    // Sets the unit's clock from the PC's.
    OperationResult Set_timeClick();
    // The unit's tag table merged into the directory by room.
    OperationResult download_idClick(const TagTransferHooks &hooks);
    // The unit's tag table replaced by the directory's tags, each read back.
    OperationResult writeall_idClick(const TagTransferHooks &hooks);

    // The keep-alive paused, BulkTransfer and BulkBusy set and the transfer
    // look shown, for as long as it lives.
    class BulkTransferScope {
    public:
        explicit BulkTransferScope(UnitSession &session);
        ~BulkTransferScope();
        BulkTransferScope(const BulkTransferScope &) = delete;
        BulkTransferScope &operator=(const BulkTransferScope &) = delete;

    private:
        UnitSession &m_session;
    };

signals:
    void directoryInSyncChanged(bool inSync);

private:
    OperationResult linkOrUnitFailure() const;

    bool m_directoryInSync = false;
    TransferLook m_transferLook;
    std::unique_ptr<UnitDirectoryTransfer> m_directoryTransfer;
};
