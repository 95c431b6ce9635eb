#pragma once

#include <QString>

#include <functional>

class QAction;
class QMenu;
class TostiForm;

// Helpers that act as the user of the real main window in tests.
namespace UiDriver {

struct LogOnAnswer {
    QString pin{};
    bool remote = false;
    QString phone{};
    bool remember = false;
    bool cancel = false;
};

// Answers the next log-on dialog as soon as it is shown (fields, then Ok or
// Cancel).  Call before the click that opens it.
void answerLogOnDialog(const LogOnAnswer &answer);

// The Ports menu entry showing `caption`, or null.
QAction *portEntry(QMenu *portsMenu, const QString &caption);

// Chooses a port and logs on with the given answer; returns when the log-on
// handler has finished (successfully or not).
void logOn(TostiForm &form, const QString &port, const LogOnAnswer &answer);

// Runs `action` once, as soon as `condition` holds (checked every 20 ms, for
// at most timeoutMs).
void whenTrue(std::function<bool()> condition, std::function<void()> action, int timeoutMs = 60000);

} // namespace UiDriver
