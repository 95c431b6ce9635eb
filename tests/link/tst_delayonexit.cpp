#include "link/delay.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <ctime>

// A wait that is running when the application is told to end.  This test has
// a program of its own: once the application is ending, no event loop of
// the program runs again.
class TestDelayOnExit : public QObject {
    Q_OBJECT
private slots:
    void waitsEndWithTheApplication()
    {
        QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
        const std::clock_t cpu0 = std::clock();
        Delay(3000);        // interrupted by the exit
        // A handler that goes on waiting neither spins nor waits: these would
        // take about 14 hours, far past the test's time-out, if they waited.
        for (int i = 0; i < 100; ++i)
            Delay(600000);
        const double cpuMs = double(std::clock() - cpu0) * 1000.0 / CLOCKS_PER_SEC;
        QVERIFY2(cpuMs < 500, qPrintable(QString::number(cpuMs)));
    }
};

QTEST_GUILESS_MAIN(TestDelayOnExit)
#include "tst_delayonexit.moc"
