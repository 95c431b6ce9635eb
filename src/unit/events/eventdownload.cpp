#include "events/eventdownload.h"

#include "events/eventdecoding.h"
#include "events/eventtable.h"
#include "events/unitclock.h"
#include "link/commandchannel.h"
#include "link/delay.h"
#include "link/receivelog.h"
#include "link/unitcontract.h"
#include "records/recordtable.h"

namespace {
// Pauses, in units of 0.864 ms.
// The bare CR and the clock query: their replies are short.
constexpr int kShortReplySteps = 10; // 864 ms at most
constexpr int kAfterClear = 2;
constexpr int kBeforeDump = 200;
// The dump may fall silent this many 86.4 ms steps (17.28 s) before it is
// given up.
constexpr int kDumpQuietSteps = 200;
constexpr int kWaitStep = 100;

template <class... Args, class F>
void call(const F &step, Args &&...args)
{
    if (step)
        step(std::forward<Args>(args)...);
}

// Runs the download's last step however the download ends.
class Cleanup {
public:
    Cleanup(CommandChannel &channel, const EventDownloadControls &ui) : m_channel(channel), m_ui(ui) {}
    ~Cleanup()
    {
        call(m_ui.blinkLed, false);
        call(m_ui.steadyLed);
        call(m_ui.hideTransfer);
        m_channel.BulkTransfer = false;
    }
    Cleanup(const Cleanup &) = delete;
    Cleanup &operator=(const Cleanup &) = delete;

private:
    CommandChannel &m_channel;
    const EventDownloadControls &m_ui;
};

// The last complete line of a received text (the text before its last CR LF).
QString lastCompleteLine(const QString &text)
{
    const QLatin1String lineEnd = UnitContract::kReplyLineEnd;
    const qsizetype end = text.lastIndexOf(lineEnd);
    if (end < 0)
        return QString();
    const qsizetype before = end > 0 ? text.lastIndexOf(lineEnd, end - 1) : -1;
    const qsizetype start = before < 0 ? 0 : before + lineEnd.size();
    return text.mid(start, end - start);
}
} // namespace

bool IsEventDumpEnd(const QString &line)
{
    using L = EventLineLayout;
    // The text before and after the client name apart: joined, an "O" at the
    // end of one and a "K" at the start of the other would read as "OK".
    return line.left(L::ClientStart).contains(UnitContract::kOkMarker)
           || line.mid(L::ClientStart + L::ClientLength).contains(UnitContract::kOkMarker);
}

bool EventDumpEnded(const CommandChannel &channel)
{
    return channel.ReplyReady && IsEventDumpEnd(lastCompleteLine(channel.RxBuffer));
}

bool WaitEventDump(CommandChannel &channel, int quietSteps, const std::function<bool()> &linkGone)
{
    channel.ReplyReady = false;
    channel.RxBuffer.clear();
    channel.LastReply.clear();
    qsizetype received = 0;
    int quiet = 0;
    bool complete = false;
    while (!complete && quiet < quietSteps) {
        if (linkGone && linkGone())
            break;
        Delay(kWaitStep);
        if (channel.RxBuffer.size() != received) {
            received = channel.RxBuffer.size();
            quiet = 0;
        } else {
            ++quiet;
        }
        complete = EventDumpEnded(channel);
    }
    channel.LastReply = channel.RxLog().line(1);
    return complete;
}

bool RunEventDownload(CommandChannel &channel, RecordTable &table, const EventDownloadControls &ui)
{
    Cleanup cleanup(channel, ui);
    ReceiveLog &log = channel.RxLog();
    call(ui.showTransfer);
    call(ui.blinkLed, true);

    channel.SendCommand(UnitContract::IdentifyCommand());
    // Each reply is awaited, not given a fixed pause: a slow unit's late
    // clock reply would otherwise land in the event dump, and its "OK" end
    // the dump before the events came.
    channel.WaitReply(kShortReplySteps);
    log.clear();
    Delay(kAfterClear);

    channel.SendCommand(UnitContract::ClockQueryCommand());
    channel.WaitReply(kShortReplySteps);
    const QString clockLine = log.line(UnitContract::kClockLine);
    call(ui.setUnitTime, ClockReplyTime(clockLine));
    call(ui.setUnitDate, ClockReplyDate(clockLine));
    const QDateTime now = ui.now ? ui.now() : QDateTime::currentDateTime();
    call(ui.setPcTime, PcClockTime(now.time()));
    call(ui.setPcDate, PcClockDate(now.date()));
    Delay(kBeforeDump);

    channel.BulkTransfer = true;
    log.clear();
    channel.LineCount = 0;
    channel.ReplyReady = false;
    channel.RxBuffer.clear();
    channel.KeepAliveTicks = 0;
    channel.SendCommand(UnitContract::EventDumpCommand());
    const auto linkGone = [&channel] {
        return !channel.ComPort1.isOpen() && !(channel.UdpLinkOpen && channel.UdpSocket);
    };
    if (!WaitEventDump(channel, kDumpQuietSteps, linkGone)) {
        log.setText(kEventDumpFailed);
        return false;
    }

    DefineEventTable(table);
    table.open();
    table.empty();
    channel.BulkTransfer = false;
    const QString dump = channel.RxBuffer;
    log.setText(dump);
    try {
        AppendEventDump(table, EventDumpLines(dump));
    } catch (...) {
        table.first();
        throw;
    }
    table.first();
    call(ui.loaded);
    return true;
}
