#include "link/delay.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QList>
#include <QScopeGuard>
#include <QTimer>

#include <chrono>
#include <cmath>

namespace {
int g_depth = 0;
DelayTally g_tally;
std::function<void()> g_interruption;
QList<QEventLoop *> g_loops; // the event loops of the running waits

// Counts a running wait; the interruption ends with the outermost wait.
struct WaitScope {
    WaitScope() { ++g_depth; }
    ~WaitScope()
    {
        if (--g_depth == 0)
            g_interruption = nullptr;
    }
    WaitScope(const WaitScope &) = delete;
    WaitScope &operator=(const WaitScope &) = delete;
};

void checkInterruption()
{
    if (g_interruption) {
        // A copy: raising may unwind into code that starts a new interruption.
        const std::function<void()> raise = g_interruption;
        raise();
    }
}
} // namespace

int WaitDepth() { return g_depth; }

DelayTally DelaysSoFar() { return g_tally; }

bool InterruptWaits(std::function<void()> raise)
{
    if (g_depth == 0)
        return false;
    g_interruption = std::move(raise);
    // Every running wait wakes now rather than at its deadline.
    for (QEventLoop *loop : std::as_const(g_loops))
        loop->quit();
    return true;
}

void Delay(int units)
{
    using namespace std::chrono;
    const WaitScope scope;
    ++g_tally.waits;
    g_tally.units += units > 0 ? units : 0;
    const auto wait = duration_cast<nanoseconds>(duration<double, std::milli>(DelayMs(units > 0 ? units : 0)));
    const QDeadlineTimer deadline(wait, Qt::PreciseTimer);

    // Events that are already pending are always handled, even for a zero wait.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    checkInterruption();
    while (!deadline.hasExpired()) {
        QEventLoop loop;
        // Round up so that the loop never wakes before the deadline and spins.
        const qint64 remainingUs = (deadline.remainingTimeNSecs() + 999) / 1000;
        const int ms = int(std::max<qint64>(1, (remainingUs + 999) / 1000));
        QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        g_loops.append(&loop);
        const auto forget = qScopeGuard([&loop] { g_loops.removeOne(&loop); });
        // An event loop refuses to run once the application is ending (the
        // window was closed inside a wait): then nothing is worth waiting
        // for, and looping on would only spin until the deadline.
        if (loop.exec(QEventLoop::AllEvents) != 0)
            return;
        checkInterruption();
    }
}
