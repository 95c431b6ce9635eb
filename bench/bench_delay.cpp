// How much processor time Delay takes while it waits: the goal is well under
// 2 % of the wall time, because the program spends most of a transfer in it.
#include "link/delay.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void measure(const char *label, int units, int repeats)
{
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    for (int i = 0; i < repeats; ++i)
        Delay(units);
    const double wallS = double(wall.nsecsElapsed()) / 1e9;
    const double cpuS = cpuSeconds() - cpu0;
    std::printf("%-34s wall %8.1f ms (expected %8.1f)  cpu %7.2f ms  cpu/wall %5.2f %%\n", label, wallS * 1000,
                DelayMs(units) * repeats, cpuS * 1000, 100.0 * cpuS / wallS);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    measure("Delay(3000)", 3000, 1);
    measure("Delay(100) x 30 (WaitReply steps)", 100, 30);
    measure("Delay(1) x 1000", 1, 1000);
    // With a 50 ms timer firing meanwhile, as the UDP poll does.
    QTimer poll;
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] { ++ticks; });
    poll.start(50);
    measure("Delay(3000) with a 50 ms timer", 3000, 1);
    std::printf("timer ticks during the wait: %d\n", ticks);
    return 0;
}
