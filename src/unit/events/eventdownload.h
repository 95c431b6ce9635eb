#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class CommandChannel;
class RecordTable;

// What the event download shows while it runs; the page lends its controls
// and the main window's transfer window and lamp.  Empty steps do nothing.
struct EventDownloadControls {
    std::function<void()> showTransfer;
    std::function<void()> hideTransfer;
    std::function<void(bool)> blinkLed;      // the lamp blinks while true
    std::function<void()> steadyLed;         // the lamp's steady picture for the link's state
    std::function<void(const QString &)> setUnitTime; // the unit's clock as read
    std::function<void(const QString &)> setUnitDate;
    std::function<void(const QString &)> setPcTime;   // the PC's clock at the download
    std::function<void(const QString &)> setPcDate;
    std::function<void()> loaded;            // the table holds the new log
    std::function<QDateTime()> now;          // the PC's clock (current local time when empty)
};

// The receive log's text when the dump does not come.
inline const QString kEventDumpFailed = QStringLiteral("Failed to get all data");

// Whether a line of a dump is its closing line: a line holding "OK", where
// an "OK" inside an event's client name (a resident called BROOKE) does not
// count.
bool IsEventDumpEnd(const QString &line);
// Whether the text received so far ends the event dump: the current line
// holds "OK" and the last complete line is the closing line.
bool EventDumpEnded(const CommandChannel &channel);

// Waits for the end of an event dump in steps of 86.4 ms.  The wait ends when
// the closing line has come, or after `quietSteps` steps in which nothing
// arrived: a long log on a slow line keeps the wait going for as long as its
// lines keep coming.  It also ends as soon as `linkGone` says the link has
// closed (the user logged off, the port vanished) inside the wait.  Clears
// ReplyReady, RxBuffer and LastReply first, as WaitReply does.  True when the
// closing line came.
bool WaitEventDump(CommandChannel &channel, int quietSteps, const std::function<bool()> &linkGone = {});

// Reads the unit's clock and its whole event log into `table`:
//  1. transfer window and blinking lamp;
//  2. a bare CR, then the clock query; the unit's clock and the PC's are shown;
//  3. the event dump in bulk mode; without its closing line (none within
//     17.28 s of silence, or the link closed meanwhile) the receive log
//     reads "Failed to get all data" and the table keeps what it held;
//  4. with it the table is redefined and filled, one record per event line,
//     and the receive log shows the whole dump.
// Whatever happens, the transfer window is hidden, the lamp stops blinking
// and bulk mode is off at the end.  A bad hexadecimal pair (in the clock or
// an event) throws ConversionError after that, with the events before it in
// the table.  Returns whether the dump came.
bool RunEventDownload(CommandChannel &channel, RecordTable &table, const EventDownloadControls &ui);
