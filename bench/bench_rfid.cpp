// The tag page's two transfers:
//  1. the download and merge of 512 tags into a 1024-record directory:
//     the program's CPU time for parsing the dump, clearing the old codes
//     and merging by room (the waits for the unit cost no CPU);
//  2. the write-all of 512 tags to the simulated unit on a pseudo-terminal
//     paced at 57600 baud: elapsed time, wire time plus the prescribed
//     pauses and read-backs; and the whole download over the same line.
// Run build/bench/bench_rfid; it starts build/sim/ostiarin-sim itself.
#include "common/messages.h"
#include "directory/directorytable.h"
#include "link/commandchannel.h"
#include "link/delay.h"
#include "link/ports.h"
#include "link/receivelog.h"
#include "records/recordtable.h"
#include "rfid/tagarea.h"
#include "rfid/tagmerge.h"
#include "rfid/tagtransfer.h"
#include "rfid/takenaddrs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
namespace F = DirectoryFields;

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

QString code(int i) { return QStringLiteral("%1").arg(0x10000000ULL + ulong(i) * 104729, 10, 16, QLatin1Char('0')).toUpper(); }

// A directory of `records`: rooms 1 to records/2, each twice.
void fillDirectory(RecordTable &table, int records)
{
    DefineDirectoryTable(table);
    table.open();
    for (int i = 0; i < records; ++i) {
        table.append();
        table.setValue(F::Name, QStringLiteral("RESIDENT %1").arg(i));
        table.setValue(F::RoomNumber, QString::number(1 + i / 2));
        table.setValue(F::RFID, code(i + 5000));
        table.setValue(F::Addr, QStringLiteral("%1").arg(0x1000 + 32 * i, 4, 16, QLatin1Char('0')).toUpper());
        table.store();
    }
}

// The unit's dump of 512 tags: rooms spread over the directory's and beyond.
QString tagDump()
{
    QString reply = QStringLiteral("s14081535\r\nRF-ID table 1408-1535\r\n");
    for (int block = 0; block < 128; ++block) {
        reply += QStringLiteral("S%1").arg(1408 + block);
        for (int slot = 0; slot < 4; ++slot) {
            const int i = block * 4 + slot;
            QString unitCode = code(i);
            for (QChar &c : unitCode)
                if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
                    c = QChar(c.unicode() - 7);
            reply += QString::number(1 + (i * 37) % 600).leftJustified(6, QLatin1Char('?')) + unitCode;
        }
        reply += QStringLiteral("\r\n");
    }
    return reply + QStringLiteral("End of table\r\nOK\r\n");
}

void benchMerge()
{
    const QString dump = tagDump();
    std::vector<double> runs;
    for (int run = 0; run < 15; ++run) {
        RecordTable table;
        fillDirectory(table, 1024);
        const double start = cpuMs();
        table.disableControls();
        const QList<TagEntry> tags = ParseTagDump(dump);
        ClearTagCodes(table);
        TakenAddrs taken;
        MergeTags(table, tags, taken);
        table.first();
        table.enableControls();
        runs.push_back(cpuMs() - start);
        if (tags.size() != 512 || table.recordCount() < 1024)
            std::printf("unexpected: %d tags, %d records\n", int(tags.size()), table.recordCount());
    }
    std::sort(runs.begin(), runs.end());
    std::printf("download merge, 512 tags into 1024 records (CPU)  median %7.2f ms, worst %7.2f ms (goal < 50 ms)\n",
                runs[runs.size() / 2], runs.back());
}

bool waitFor(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        Delay(20);
    }
    return true;
}

void benchWire()
{
    const QString sim = QCoreApplication::applicationDirPath() + QStringLiteral("/../sim/ostiarin-sim");
    if (!QFileInfo::exists(sim)) {
        std::printf("write-all: %s not built, skipped\n", qPrintable(sim));
        return;
    }
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString portName = QStringLiteral("BENCH");
    QProcess unit;
    unit.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    unit.start(sim, {QStringLiteral("--serial"), portName, QStringLiteral("--baud"), QStringLiteral("57600")});
    const QString port = QDir(RuntimePortsFolder()).filePath(portName);
    if (!unit.waitForStarted() || !waitFor([&] { return QFileInfo::exists(port); }, 5000)) {
        std::printf("write-all: the simulated unit did not start, skipped\n");
        return;
    }

    ReceiveLog log;
    CommandChannel channel(log);
    channel.ComPort1.setPortName(QFileInfo(port).canonicalFilePath());
    channel.ComPort1.setBaudRate(57600);
    if (!channel.ComPort1.open(QIODevice::ReadWrite)) {
        std::printf("write-all: cannot open %s, skipped\n", qPrintable(port));
        return;
    }
    log.clear();
    channel.SendRaw(QStringLiteral("a1234\r"));
    if (!channel.WaitReply(80)) {
        std::printf("write-all: no log-on, skipped\n");
        return;
    }

    QStringList told;
    MessageService::setHandler([&told](const MessageService::Message &m) {
        told << m.text;
        return false;
    });
    TagTransferHooks hooks;
    hooks.pause = [](int units) { Delay(units); };

    RecordTable table;
    DefineDirectoryTable(table);
    table.open();
    for (int i = 0; i < 512; ++i) {
        table.append();
        table.setValue(F::RoomNumber, QString::number(100 + i));
        table.setValue(F::RFID, code(i));
        table.store();
    }
    QElapsedTimer timer;
    timer.start();
    channel.BulkTransfer = true;
    const TagWriteResult written = WriteAllTags(channel, table, hooks);
    channel.BulkTransfer = false;
    const double writeMs = double(timer.elapsed());
    std::printf("write-all of 512 tags at 57600 baud (elapsed)       %9.0f ms, %s%s\n", writeMs,
                written == TagWriteResult::Written ? "all read back" : "NOT all written",
                told.isEmpty() ? "" : qPrintable(QStringLiteral(", told: ") + told.join(QLatin1Char('|'))));
    std::printf("  per block                                          %9.1f ms\n", writeMs / 128);

    table.empty();
    timer.restart();
    const double cpuStart = cpuMs();
    channel.BulkTransfer = true;
    table.disableControls();
    const TagDownloadResult read = DownloadTags(channel, table, hooks);
    table.enableControls();
    channel.BulkTransfer = false;
    std::printf("download of 512 tags at 57600 baud (elapsed)       %9.0f ms (CPU %.1f ms), %d records%s\n",
                double(timer.elapsed()), cpuMs() - cpuStart, table.recordCount(),
                read == TagDownloadResult::Merged ? "" : ", no reply");

    channel.SendRaw(QStringLiteral("x\r"));
    Delay(50);
    channel.ComPort1.close();
    unit.terminate();
    unit.waitForFinished(3000);
    MessageService::resetHandler();
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchMerge();
    benchWire();
    return 0;
}
