#include "link/delay.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cmath>

void Delay(int units)
{
    using namespace std::chrono;
    const auto wait = duration_cast<nanoseconds>(duration<double, std::milli>(DelayMs(units > 0 ? units : 0)));
    const QDeadlineTimer deadline(wait, Qt::PreciseTimer);

    // Events that are already pending are always handled, even for a zero wait.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    while (!deadline.hasExpired()) {
        QEventLoop loop;
        // Round up so that the loop never wakes before the deadline and spins.
        const qint64 remainingUs = (deadline.remainingTimeNSecs() + 999) / 1000;
        const int ms = int(std::max<qint64>(1, (remainingUs + 999) / 1000));
        QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        // An event loop refuses to run once the application is ending (the
        // window was closed inside a wait): then nothing is worth waiting
        // for, and looping on would only spin until the deadline.
        if (loop.exec(QEventLoop::AllEvents) != 0)
            return;
    }
}
