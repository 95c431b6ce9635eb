#include "rfid/tagtransfer.h"

#include "common/messages.h"
#include "link/blockaccess.h"
#include "link/commandchannel.h"
#include "link/receivelog.h"
#include "link/unitcontract.h"
#include "records/recordtable.h"
#include "rfid/tagarea.h"
#include "rfid/tagblocks.h"
#include "rfid/tagmerge.h"
#include "rfid/takenaddrs.h"

namespace {
// Waits, in WaitReply steps of 86.4 ms, and pauses, in Delay units.
constexpr int kDumpStepsDirect = 100;  // 8.64 s
constexpr int kDumpStepsModem = 300;   // 25.92 s
constexpr int kEraseStepsDirect = 50;  // 4.32 s
constexpr int kEraseStepsModem = 100;  // 8.64 s
constexpr int kWriteSteps = 10;        // 864 ms
constexpr int kSettlePause = 10;       // 8.64 ms before the first command
constexpr int kDumpTailPause = 1000;   // 864 ms for the rest of the dump
constexpr int kAfterErasePause = 500;  // 432 ms
constexpr int kAfterReadPause = 50;    // 43.2 ms
constexpr int kAfterWritePause = 40;   // 34.56 ms
constexpr int kReadBackPause = 200;    // 172.8 ms
constexpr int kWriteAttempts = 3;
constexpr int kVerifyAttempts = 2;

void pause(const TagTransferHooks &hooks, int units)
{
    if (hooks.pause)
        hooks.pause(units);
}

// Writes one block in up to three attempts; true when the unit took it.
bool writeTagBlock(CommandChannel &channel, const QString &block, const QString &text, const TagTransferHooks &hooks)
{
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        RequestBlock(channel, block);
        pause(hooks, kAfterReadPause);
        channel.RxLog().clear();
        channel.SendCommand(UnitContract::TagWriteCommand(block, text));
        const bool ok = channel.WaitReply(kWriteSteps);
        const bool refused = channel.LastReply == UnitContract::kTagWriteError;
        if (ok && !refused)
            return true;
        if (refused)
            continue;
        // No answer: if the block holds data now, the write arrived anyway.
        if (!IsBlockBlank(channel, block, hooks))
            return true;
    }
    return false;
}
} // namespace

TagDownloadResult DownloadTags(CommandChannel &channel, RecordTable &table, const TagTransferHooks &hooks)
{
    pause(hooks, kSettlePause);
    channel.SendCommand(UnitContract::TagDumpCommand());
    channel.RxLog().clear();
    channel.LineCount = 0;
    channel.RxBuffer.clear();
    const bool replied = channel.WaitReply(channel.RemoteMode ? kDumpStepsModem : kDumpStepsDirect);
    const auto linkGone = [&hooks] { return hooks.linkUp && !hooks.linkUp(); };
    if (linkGone())
        return TagDownloadResult::LinkLost;
    if (!replied) {
        MessageService::inform(TagTransferText::kCommunicationError);
        return TagDownloadResult::NoReply;
    }

    TakenAddrs taken;
    // What still arrives meanwhile is part of the dump.
    pause(hooks, kDumpTailPause);
    // A log-off meanwhile emptied the buffer: merging what is left would
    // wipe every code.
    if (linkGone())
        return TagDownloadResult::LinkLost;
    channel.RxLog().setText(channel.RxBuffer);
    const QList<TagEntry> tags = ParseTagDump(channel.RxLog().text());

    if (table.recordCount() > 0) {
        ClearTagCodes(table);
    } else if (hooks.defineTable) {
        hooks.defineTable();
    }
    if (hooks.phoneListChanged)
        hooks.phoneListChanged();
    MergeTags(table, tags, taken);
    return TagDownloadResult::Merged;
}

bool CheckTagCodes(RecordTable &table)
{
    table.storePending();
    const int bad = FirstBadTagCode(table);
    if (bad < 0)
        return true;
    table.moveTo(bad + 1);
    MessageService::inform(TagTransferText::kBadCodeFormat);
    return false;
}

bool IsBlockBlank(CommandChannel &channel, const QString &block, const TagTransferHooks &hooks)
{
    channel.RxLog().clear();
    channel.SendCommand(UnitContract::ReadBlockCommand(block));
    channel.LineComplete = false;
    channel.ReplyReady = false;
    channel.RxBuffer.clear();
    pause(hooks, kReadBackPause);
    const QString data = channel.RxLog().line(0).mid(UnitContract::kDataOffset);
    for (const QChar c : data)
        if (c != kTagFill)
            return false;
    return true;
}

bool VerifyRfidBlock(CommandChannel &channel, const QString &block, const QString &text, const TagTransferHooks &hooks)
{
    // From here on the replies go to the receive log as text, for reading back.
    channel.BulkTransfer = false;
    channel.KeepAliveTicks = 0;
    for (int check = 0; check < kVerifyAttempts; ++check) {
        pause(hooks, kReadBackPause);
        if (VerifyBlock(channel, block, text))
            return true;
        pause(hooks, kReadBackPause);
        channel.SendCommand(UnitContract::ProgramBlockCommand(block, text));
    }
    return false;
}

TagWriteResult WriteAllTags(CommandChannel &channel, RecordTable &table, const TagTransferHooks &hooks)
{
    table.storePending();
    channel.RxLog().clear();
    channel.ReplyReady = false;
    channel.RxBuffer.clear();
    pause(hooks, kSettlePause);

    channel.SendCommand(UnitContract::TagEraseCommand());
    channel.LineCount = 0;
    if (!channel.WaitReply(channel.RemoteMode ? kEraseStepsModem : kEraseStepsDirect)) {
        MessageService::inform(TagTransferText::kCommunicationError);
        return TagWriteResult::NoReply;
    }

    int errors = 0;
    pause(hooks, kAfterErasePause);
    const TagWritePlan plan = PlanTagBlocks(table);
    for (const TagBlock &block : plan.blocks) {
        if (!hooks.linkUp())
            return TagWriteResult::LinkLost;
        table.moveTo(block.lastRow + 1);
        for (const QString &room : block.badCodeRooms)
            MessageService::inform(TagTransferText::kBadCodeForRoom + room);

        channel.DataReceived = false;
        writeTagBlock(channel, block.number, block.text, hooks);
        pause(hooks, kAfterWritePause);
        // Not a word in three attempts: the unit is gone, and every further
        // block would only wait out its time-outs.
        if (!channel.DataReceived) {
            MessageService::inform(TagTransferText::kCommunicationError);
            return TagWriteResult::NoReply;
        }
        // Every block is read back, also one whose write was refused or went
        // unanswered: only the read-back tells whether the unit holds it.
        if (!VerifyRfidBlock(channel, block.number, block.text, hooks))
            ++errors;
    }

    if (plan.lastRow >= 0)
        table.moveTo(plan.lastRow + 1);
    if (plan.overflow)
        MessageService::inform(TagTransferText::kTooManyTags);
    // Blocks that failed are reported also when the area was full: the
    // limit message alone would let them pass for written.
    if (errors > 0)
        MessageService::inform(TagTransferText::kSaveErrors);
    if (plan.overflow)
        return TagWriteResult::TooMany;
    return errors > 0 ? TagWriteResult::Errors : TagWriteResult::Written;
}
