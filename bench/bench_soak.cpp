// A soak of the real main window against the in-process simulated unit with
// instant replies.  Each cycle: log on, download the directory, upload its
// 100 records, read the settings, download the events, log off.  Every cycle
// checks that no flag is left set (BulkTransfer, BulkBusy, LogOnAborted while
// on line), that no message was shown and that no record was lost (the
// download gives what the last upload wrote); every 10 cycles the resident
// memory is printed.  Exits non-zero on the first failure, or when the
// resident memory grew by more than the bound after the first cycles.
// Run: build/bench/bench_soak [cycles]   (default 200; about 17 s a cycle,
// almost all of it the waits the unit's protocol prescribes)
#include "window/mainwindow.h"
#include "directory/directorypage.h"
#include "directory/directorytable.h"
#include "events/eventspage.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "records/recordtable.h"
#include "settings/settingspage.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {
const QString kPort = QStringLiteral("SOAK");
constexpr int kRecords = 100;
constexpr int kEvents = 20;
constexpr int kFirstCycles = 10;        // the growth is counted from here
constexpr long kGrowthBoundKb = 8 * 1024; // after the first cycles

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The directory as the user sees it: every record's fields, in table order.
QStringList tableRows(RecordTable &table)
{
    QStringList rows;
    for (int i = 0; i < table.recordCount(); ++i)
        rows << table.recordValues(i).join(QLatin1Char('|'));
    return rows;
}

struct Soak {
    MessageRecorder messages;
    Simulator &sim;
    TostiForm &form;
    int cycle = 0;
    QStringList uploaded; // the rows the last upload wrote

    bool fail(const char *what)
    {
        std::fprintf(stderr, "cycle %d: %s\n", cycle, what);
        const QStringList texts = messages.texts();
        for (const QString &t : texts)
            std::fprintf(stderr, "  message: %s\n", qPrintable(t));
        return false;
    }
    bool settled(const char *after)
    {
        if (form.Channel.BulkTransfer)
            return fail(qPrintable(QStringLiteral("BulkTransfer stuck after ") + QLatin1String(after)));
        if (form.BulkBusy)
            return fail(qPrintable(QStringLiteral("BulkBusy stuck after ") + QLatin1String(after)));
        if (!messages.texts().isEmpty())
            return fail(qPrintable(QStringLiteral("a message after ") + QLatin1String(after)));
        return true;
    }
    bool onLine(const char *after)
    {
        if (!settled(after))
            return false;
        if (!form.Link->LoggedOn || form.Link->LogOnAborted)
            return fail(qPrintable(QStringLiteral("off line or LogOnAborted after ") + QLatin1String(after)));
        return true;
    }

    bool run()
    {
        UiDriver::logOn(form, kPort, UiDriver::LogOnAnswer{.pin = QStringLiteral("1234")});
        if (!onLine("the log-on"))
            return false;

        form.directoryPage->GetData->click();
        if (!onLine("the download"))
            return false;
        const QStringList downloaded = tableRows(form.DirectoryTable);
        if (downloaded.size() != kRecords)
            return fail(qPrintable(QStringLiteral("%1 records downloaded").arg(downloaded.size())));
        if (!uploaded.isEmpty() && downloaded != uploaded)
            return fail("the download differs from the last upload");

        messages.answerNext(true);
        form.directoryPage->WriteData->click();
        messages.clear(); // the question
        if (!onLine("the upload"))
            return false;
        uploaded = tableRows(form.DirectoryTable);
        if (sim.unit().memory().directory.size() != kRecords)
            return fail("the unit does not hold every record");

        form.settingsPage->ReadPara0->click();
        if (!onLine("the settings read"))
            return false;

        form.eventsPage->dnLoad->click();
        if (!onLine("the event download"))
            return false;
        if (form.EventTable.recordCount() != kEvents)
            return fail("events lost");

        form.ledAction->trigger();
        if (!settled("the log-off"))
            return false;
        if (form.Link->LoggedOn || form.Channel.ComPort1.isOpen())
            return fail("still on line after the log-off");
        return true;
    }
};
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QDir::setCurrent(runtime.path());
    QApplication app(argc, argv);
    const int cycles = argc > 1 ? QByteArray(argv[1]).toInt() : 200;
    if (cycles <= 0) {
        std::fprintf(stderr, "usage: bench_soak [cycles]\n");
        return 2;
    }

    SimOptions options;
    options.baud = 0; // instant replies
    Simulator sim(options);
    for (int i = 0; i < kRecords; ++i)
        sim.unit().memory().directory.insert(
            0x1000 + i * 0x20,
            QStringLiteral("%1,12%2,34%2,5,0123456%2,RESIDENT %3").arg(100 + i).arg(i % 10).arg(i, 3, 10, QLatin1Char('0')).toLatin1());
    for (int i = 0; i < kEvents; ++i) {
        SimEvent e;
        e.room = QByteArray::number(100 + i);
        e.time = QDateTime(QDate(2026, 12, 9), QTime(8, 0).addSecs(60 * i));
        e.client = "RESIDENT " + QByteArray::number(i);
        sim.unit().memory().events.append(e);
    }
    if (!sim.startSerial(kPort)) {
        std::fprintf(stderr, "cannot start the simulated unit\n");
        return 1;
    }

    TostiForm form;
    Soak soak{.sim = sim, .form = form};
    QElapsedTimer clock;
    clock.start();
    const long startKb = residentKb();
    long firstKb = startKb;
    long peakKb = startKb;
    std::printf("cycle  resident_kB  elapsed_s\n%5d  %11ld  %9.1f\n", 0, startKb, 0.0);
    for (soak.cycle = 1; soak.cycle <= cycles; ++soak.cycle) {
        if (!soak.run())
            return 1;
        const long kb = residentKb();
        peakKb = std::max(peakKb, kb);
        if (soak.cycle == kFirstCycles || (cycles < kFirstCycles && soak.cycle == 1))
            firstKb = kb;
        if (soak.cycle % 10 == 0 || soak.cycle == cycles) {
            std::printf("%5d  %11ld  %9.1f\n", soak.cycle, kb, clock.elapsed() / 1000.0);
            std::fflush(stdout);
        }
    }
    const long endKb = residentKb();
    const long growth = endKb - firstKb;
    std::printf("cycles %d in %.1f s (%.2f s a cycle); resident at start %ld kB, after the first cycles %ld kB, "
                "at the end %ld kB, peak %ld kB; growth after the first cycles %ld kB (bound %ld kB)\n",
                cycles, clock.elapsed() / 1000.0, clock.elapsed() / 1000.0 / cycles, startKb, firstKb, endKb, peakKb,
                growth, kGrowthBoundKb);
    std::printf("no stuck flag, no message, no record lost\n");
    return growth > kGrowthBoundKb ? 1 : 0;
}
