// The phone directory of the largest model (1024 records) through the real
// main window and the simulated unit paced at 57600 baud:
//  - the download's elapsed time over its floor: the bytes on the wire plus
//    the pauses the download always makes;
//  - the program's CPU time for the download, and for parsing the dump and
//    filling the table alone;
//  - the upload's elapsed time over its floor: the bytes on the wire plus the
//    pauses it always makes (each record waits at least one 86.4 ms step);
//  - saving and loading a 1000-record phone-list file.
// Run: build/bench/bench_directory [--no-upload]   (the upload takes ~95 s)
#include "window/mainwindow.h"
#include "directory/directoryfile.h"
#include "directory/directoryrecord.h"
#include "directory/directorytable.h"
#include "directory/directorytransfer.h"
#include "link/delay.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "records/csvtext.h"
#include "records/recordtable.h"
#include "simulator.h"
#include "uidriver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <time.h>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kBaud = 57600;
constexpr double kBitsPerByte = 10.0; // start, 8 data, stop
const QString kPort = QStringLiteral("BDIR");

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double wireMs(qsizetype bytes) { return bytes * kBitsPerByte * 1000.0 / kBaud; }

QString randomName(QRandomGenerator &random)
{
    QString name;
    const int length = 3 + random.bounded(14);
    for (int i = 0; i < length; ++i)
        name.append(QLatin1Char(char(i % 5 == 4 ? ' ' : 'A' + random.bounded(26))));
    return name.trimmed().isEmpty() ? QStringLiteral("X") : name;
}

// A full directory: every field used, many at full width.
QList<QByteArray> recordTexts(int count)
{
    QRandomGenerator random(11);
    QList<QByteArray> texts;
    for (int i = 0; i < count; ++i) {
        const QString phone = QString::number(random.bounded(100000, 999999)) + QStringLiteral("p")
                              + QString::number(random.bounded(10000000, 99999999));
        texts << DirectoryRecordText(QString::number(100000 + i), QString::number(random.bounded(1000, 9999)),
                                     QString::number(random.bounded(1000, 9999)), QStringLiteral("12"), phone,
                                     randomName(random))
                     .toLatin1();
    }
    return texts;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

void line(const char *label, double value, const char *unit) { std::printf("%-58s %10.2f %s\n", label, value, unit); }
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QDir::setCurrent(runtime.path());
    QApplication app(argc, argv);
    const bool upload = !app.arguments().contains(QStringLiteral("--no-upload"));
    MessageRecorder messages;

    SimOptions options;
    options.unit.model = 1000;
    options.baud = kBaud;
    Simulator sim(options);
    const QList<QByteArray> texts = recordTexts(1024);
    for (int i = 0; i < texts.size(); ++i)
        sim.unit().memory().directory.insert(0x1000 + i * 0x20, texts.at(i));
    if (!sim.startSerial(kPort)) {
        std::fprintf(stderr, "cannot start the simulated unit\n");
        return 1;
    }
    // The reply the dump gets, from a copy of the unit.
    SimUnit copy(sim.unit().options(), sim.unit().memory());
    copy.handle(QStringLiteral("serial"), "a1234");
    const QByteArray dump = copy.handle(QStringLiteral("serial"), "d01281152").value_or(QByteArray());

    TostiForm form;
    auto *transfer = form.findChild<DirectoryTransfer *>();
    if (!transfer)
        transfer = new DirectoryTransfer(form);
    UiDriver::logOn(form, kPort, UiDriver::LogOnAnswer{.pin = QStringLiteral("1234")});
    if (!form.Link->LoggedOn) {
        std::fprintf(stderr, "log-on failed\n");
        return 1;
    }
    std::printf("directory of the largest model: %lld records, dump reply %lld bytes, %d baud\n\n",
                qlonglong(texts.size()), qlonglong(dump.size()), kBaud);

    // --- download ---
    {
        // Pauses it always makes: 10 units before the command, 1 in SendCommand,
        // 1000 after the wait, 3 x 10 laying out the grids.
        const double pauses = DelayMs(10) + DelayMs(1) + DelayMs(1000) + 3 * DelayMs(10);
        const double floor = wireMs(QByteArray("d01281152\r").size() + dump.size()) + pauses;
        QElapsedTimer timer;
        timer.start();
        const double cpu0 = cpuMs();
        transfer->GetDataClick();
        const double elapsed = timer.nsecsElapsed() / 1e6;
        const double cpu = cpuMs() - cpu0;
        std::printf("download: %d records, ended %s, %s\n", form.DirectoryTable.recordCount(),
                    transfer->lastDumpEnd() == DirectoryTransfer::DumpEnd::Ok ? "with OK" : "WITHOUT OK",
                    messages.texts().isEmpty() ? "no message" : qPrintable(messages.texts().join(QLatin1Char('|'))));
        line("  floor (wire time + prescribed pauses)", floor, "ms");
        line("  elapsed", elapsed, "ms");
        line("  elapsed over floor", 100.0 * (elapsed / floor - 1.0), "%  (goal: within 5 %)");
        line("  program CPU time during the download", cpu, "ms");
    }

    // --- parse and fill, CPU only ---
    {
        const QString received = QString::fromLatin1(dump);
        QList<double> parse, fillTimes;
        for (int run = 0; run < 15; ++run) {
            DefineDirectoryTable(form.DirectoryTable);
            form.DirectoryTable.open();
            form.DirectoryTable.empty();
            double t0 = cpuMs();
            const QList<DirectoryRecord> records = ParseDirectoryDump(received);
            double t1 = cpuMs();
            form.FollowCursor = false;
            AppendDirectoryRecords(form.DirectoryTable, records);
            form.FollowCursor = true;
            form.DirectoryTable.first();
            double t2 = cpuMs();
            parse << t1 - t0;
            fillTimes << t2 - t1;
        }
        line("parse the dump (1025 lines), CPU, median of 15", median(parse), "ms");
        line("fill the window's table (1024 records), CPU, median of 15", median(fillTimes), "ms");
    }

    // --- file ---
    {
        const QString path = QDir(runtime.path()).filePath(QStringLiteral("OstiPhList.csv"));
        RecordTable &table = form.DirectoryTable;
        while (table.recordCount() > 1000) {
            form.DeleteAllowed = true;
            table.last();
            table.deleteRecord();
        }
        QList<double> save, saveText, load;
        for (int run = 0; run < 21; ++run) {
            QElapsedTimer timer;
            timer.start();
            SaveDirectoryFile(table, path);
            save << timer.nsecsElapsed() / 1e6;
            timer.restart();
            const QByteArray text = SaveCsvText(table);
            saveText << timer.nsecsElapsed() / 1e6 + 0 * text.size();
            RecordTable fresh;
            DefineDirectoryTable(fresh);
            fresh.open();
            timer.restart();
            LoadDirectoryFile(fresh, path);
            load << timer.nsecsElapsed() / 1e6;
        }
        QList<double> loadWindow;
        for (int run = 0; run < 7; ++run) {
            const QByteArray bytes = ReadDirectoryFile(path);
            DefineDirectoryTable(form.DirectoryTable);
            form.DirectoryTable.open();
            form.DirectoryTable.empty();
            QElapsedTimer timer;
            timer.start();
            // As File Open does: bulk flags set, the editor not following.
            form.BulkBusy = true;
            form.FollowCursor = false;
            FillDirectoryTable(form.DirectoryTable, bytes);
            form.FollowCursor = true;
            form.BulkBusy = false;
            form.DirectoryTable.first();
            loadWindow << timer.nsecsElapsed() / 1e6;
        }
        std::printf("\nphone-list file of 1000 records (%lld bytes):\n", qlonglong(QFileInfo(path).size()));
        line("  save, median of 21", median(save), "ms  (goal: under 20 ms)");
        line("  of which building the text, median of 21", median(saveText), "ms");
        line("  load into a bare table, median of 21", median(load), "ms  (goal: under 20 ms)");
        line("  fill the window's table from the file's bytes, median of 7", median(loadWindow), "ms");
    }

    // --- upload ---
    if (upload) {
        RecordTable &table = form.DirectoryTable;
        DefineDirectoryTable(table);
        table.open();
        table.empty();
        AppendDirectoryRecords(table, ParseDirectoryDump(QString::fromLatin1(dump)));
        // Floor: the pauses it always makes (2 x 50 units sorting; the erase's
        // 1 + 100 + 1 + 100 units, its reply arriving within the pause; 10 at
        // the end) and, per record, 1 unit in SendCommand and then the longer
        // of the reply wait's first 100-unit step and the command's and the
        // reply's time on the wire.
        const double oneStep = DelayMs(100);
        double floor = 2 * DelayMs(50) + 2 * DelayMs(1) + 2 * DelayMs(100) + DelayMs(10)
                       + wireMs(QByteArray("\r").size() + QByteArray("OK\r\n").size());
        for (int row = 0; row < table.recordCount(); ++row) {
            QStringList values = table.recordValues(row);
            const qsizetype bytes = DirectoryWriteCommand(values.at(7), UploadRecordText(values, row + 1).value_or(QString())).size() + 1
                                    + QByteArray("b0128\r\nOK\r\n").size();
            floor += DelayMs(1) + std::max(oneStep, wireMs(bytes));
        }
        messages.clear();
        messages.answerNext(true);
        QElapsedTimer timer;
        timer.start();
        const double cpu0 = cpuMs();
        transfer->WriteDataClick();
        const double elapsed = timer.nsecsElapsed() / 1e6;
        const double cpu = cpuMs() - cpu0;
        std::printf("\nupload: %d records, %d errors, %lld in the unit\n", transfer->lastUploadCount(),
                    transfer->lastUploadErrors(), qlonglong(sim.unit().memory().directory.size()));
        line("  floor (wire time + prescribed pauses)", floor, "ms");
        line("  elapsed", elapsed, "ms");
        line("  elapsed over floor", 100.0 * (elapsed / floor - 1.0), "%");
        line("  program CPU time during the upload", cpu, "ms");
    }
    form.Link->LogOff();
    return 0;
}
