// How long a download of a large event log takes once its text has come:
// splitting the dump, decoding every line into the event table, and the
// table's one reset of the grid that shows it.  Goal: 5000 events in under
// 50 ms.
#include "widgets/receivelogview.h"
#include "events/eventdecoding.h"
#include "events/eventtable.h"
#include "link/receivelog.h"
#include "records/gridbinding.h"
#include "records/recordtable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
QString hexPair(int value) { return QString::number(value, 16).rightJustified(2, QLatin1Char('0')).toUpper(); }

// A dump as the unit sends it: a head line, one line per event, "OK".
QString makeDump(int count)
{
    QString dump = QStringLiteral("e%1\r\n").arg(count, 4, 10, QLatin1Char('0'));
    for (int i = 0; i < count; ++i) {
        QString kind;
        switch (i % 7) {
        case 0: kind = QStringLiteral("B00000000000"); break;
        case 1: kind = QStringLiteral("A00200000000"); break;
        default: {
            const QString room = QString::number(100 + i % 900);
            for (int p = 0; p < 6; ++p)
                kind += p < room.size() ? QStringLiteral("3") + room.at(p) : QStringLiteral("FF");
        }
        }
        dump += QStringLiteral("E%1").arg(i % 10000, 4, 10, QLatin1Char('0')) + kind + hexPair(1 + i % 28)
                + hexPair(1 + i % 12) + hexPair(9) + hexPair(i % 24) + hexPair(i % 60) + hexPair((i * 7) % 60)
                + QStringLiteral(" 1 ") + QString::number(i % 3) + QStringLiteral("    ")
                + QStringLiteral("RESIDENT %1").arg(i, 5, 10, QLatin1Char('0')) + QStringLiteral("\r\n");
    }
    return dump + QStringLiteral("OK\r\n");
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int count = 5000;
    const QString dump = makeDump(count);

    RecordTable table;
    QTableView grid;
    grid.resize(400, 430);
    BindGrid(&grid, table);
    grid.show();

    std::vector<double> runs;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        DefineEventTable(table);
        table.open();
        table.empty();
        const int appended = AppendEventDump(table, EventDumpLines(dump));
        table.first();
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (appended != count)
            return 1;
        QApplication::processEvents();
    }
    std::sort(runs.begin(), runs.end());
    std::printf("decode and table fill, %d events: median %.2f ms, best %.2f ms, worst %.2f ms (goal < 50 ms)\n",
                count, runs[runs.size() / 2], runs.front(), runs.back());

    QElapsedTimer timer;
    timer.start();
    table.sortOn(EventFields::RoomNumber, Qt::CaseSensitive);
    table.first();
    std::printf("sort on RoomNumber, %d events:                %.2f ms\n", count, double(timer.nsecsElapsed()) / 1e6);

    // The receive log then shows the whole dump once.
    ReceiveLog log;
    ReceiveLogView view(log);
    view.resize(220, 113);
    view.show();
    timer.restart();
    log.setText(dump);
    QApplication::processEvents();
    std::printf("receive log shows the dump (%lld bytes):      %.2f ms\n", qlonglong(dump.size()),
                double(timer.nsecsElapsed()) / 1e6);
    return 0;
}
