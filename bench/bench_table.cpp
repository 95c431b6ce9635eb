// One run, one table: the program's speed and memory against the simulated
// unit paced at the real line speed (57600 baud), printed as a markdown table.
//  - every wait (Delay, WaitReply, the log-on, a download in progress): the
//    program's CPU time over wall time;
//  - the directory download and upload of the largest model (1024 records):
//    elapsed time over the floor (the bytes on the wire, 10 bits a byte, plus
//    the pauses the transfer always makes) and the program's CPU time;
//  - phone-list files of 1000 records and of 100 000 lines, decoding 5000
//    events, the tag download and merge of 512 tags into 1024 records;
//  - start-up of a fresh process to the main window shown, and the peak
//    resident memory after a full working run.
// The simulated unit runs on a thread of its own, so that its CPU time can be
// told apart from the program's: the program's CPU time is the process's less
// the simulator thread's.
// Run: tools/bench-table   (or build/bench/bench_table [--no-upload] [--runs N])
#include "window/mainwindow.h"
#include "directory/directoryfile.h"
#include "directory/directoryrecord.h"
#include "directory/directorytable.h"
#include "directory/directorytransfer.h"
#include "events/eventdecoding.h"
#include "events/eventtable.h"
#include "link/delay.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "records/csvtext.h"
#include "records/recordtable.h"
#include "settings/settingsblocks.h"
#include "settings/systemparameters.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <pthread.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

namespace {
constexpr int kBaud = 57600;
constexpr double kBitsPerByte = 10.0; // start, 8 data, stop
constexpr int kRecords = 1024;
constexpr int kTags = 512;
const QString kPort = QStringLiteral("BTAB");

double clockMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double wireMs(qsizetype bytes) { return double(bytes) * kBitsPerByte * 1000.0 / kBaud; }

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

QString L(const char *text) { return QString::fromLatin1(text); }

// The table is UTF-8 whatever the locale.
#define u8(text) (text).toUtf8().constData()

// --- the simulated unit, on its own thread ---

class SimThread : public QThread {
public:
    SimOptions options;
    std::function<void(UnitMemory &)> fill;
    QSemaphore ready;
    Simulator *sim = nullptr;
    clockid_t cpuClock{};
    bool started = false;

    double cpuMs() const { return clockMs(cpuClock); }

    // Runs `f` on the simulator's thread and waits for it.
    void call(const std::function<void(Simulator &)> &f)
    {
        QMetaObject::invokeMethod(sim, [this, &f] { f(*sim); }, Qt::BlockingQueuedConnection);
    }

protected:
    void run() override
    {
        pthread_getcpuclockid(pthread_self(), &cpuClock);
        Simulator simulator(options);
        fill(simulator.unit().memory());
        started = simulator.startSerial(kPort);
        sim = &simulator;
        ready.release();
        if (started)
            exec();
        sim = nullptr;
    }
};

// --- what the unit holds ---

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

// Tags for the rooms of the directory's last records, so that every merge
// walks far into the table before it finds its record.
void fillTags(UnitMemory &memory)
{
    for (int block = 0; block < kTags / 4; ++block) {
        QByteArray data;
        for (int slot = 0; slot < 4; ++slot) {
            const int tag = block * 4 + slot;
            data += QByteArray::number(100000 + kRecords - 1 - tag).leftJustified(6, '?');
            data += QByteArray::number(1000000000LL + tag * 7919LL).right(10);
        }
        memory.programBlock(UnitMemory::kTagFirstBlock + block, data);
    }
}

// Settings a working unit holds, so that every read gives values that the
// writes after it send back.
void fillSettings(UnitMemory &memory)
{
    const auto latin1 = [](const QString &text) { return text.toLatin1(); };
    SystemParameters system = SystemParameters::defaults();
    system.numbers[SystemBlock::Rt] = QStringLiteral("8");
    system.numbers[SystemBlock::Sil] = QStringLiteral("30");
    memory.programBlock(0, latin1(EncodeSystemParameters(system)));
    memory.programBlock(1, latin1(EncodeRelayCodes({QStringLiteral("1234"), QStringLiteral("5678"),
                                                     QStringLiteral("2468"), QString(), QStringLiteral("1357"),
                                                     QString()})));
    SpeedDials dials{QStringLiteral("01234567890"), QStringLiteral("999"), QStringLiteral("0800123456"),
                     QString(), QString(), QString(), QString(), QStringLiteral("*21#")};
    memory.programBlock(8, latin1(EncodeSpeedDialBlock(dials, 0)));
    memory.programBlock(9, latin1(EncodeSpeedDialBlock(dials, 1)));
    Messages messages{QStringLiteral("  WELCOME TO"), QStringLiteral(" ELM COURT"),
                      QStringLiteral("KEY IN ROOM NUMBER THEN PRESS BELL"), QStringLiteral("DELIVERIES: PRESS 0"),
                      QStringLiteral("PRESS BELL"), QStringLiteral("FOR CARETAKER")};
    for (int block = 0; block < 4; ++block)
        memory.programBlock(12 + block, latin1(EncodeMessageBlock(messages, block)));
    memory.programBlock(5, latin1(EncodeDivertNumbers({QStringLiteral("07700900123"), QString(),
                                                        QStringLiteral("01234567890"), QString()})));
    memory.programBlock(2, latin1(EncodeDivertTimes({QStringLiteral("1800"), QStringLiteral("0800"),
                                                      QStringLiteral("2200"), QStringLiteral("0700")})));
    memory.programBlock(3, latin1(EncodeAccessCodes({QStringLiteral("1234"), QStringLiteral("4321"), QString(),
                                                      QString(), QStringLiteral("999"), QString(), QString(),
                                                      QString()})));
}

QList<SimEvent> makeEvents(int count)
{
    QList<SimEvent> events;
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0));
    for (int i = 0; i < count; ++i) {
        SimEvent event;
        event.kind = i % 11 == 0 ? SimEvent::Kind::InCall : i % 13 == 0 ? SimEvent::Kind::Button : SimEvent::Kind::Room;
        event.room = QByteArray::number(100000 + i % kRecords);
        event.time = start.addSecs(qint64(i) * 97);
        event.relay = char('1' + i % 2);
        event.source = char('0' + i % 3);
        event.client = "RESIDENT " + QByteArray::number(i);
        events << event;
    }
    return events;
}

// --- measuring ---

struct Figure {
    QString what;
    double elapsedMs = -1;
    double floorMs = -1;
    double cpuMs = -1;
    QString goal;
    std::optional<bool> met;
    QString note;
};

struct Meter {
    explicit Meter(const SimThread &thread) : sim(thread) {}
    const SimThread &sim;
    QElapsedTimer wall;
    double cpu0 = 0;
    double sim0 = 0;
    void start()
    {
        cpu0 = clockMs(CLOCK_PROCESS_CPUTIME_ID);
        sim0 = sim.cpuMs();
        wall.start();
    }
    double elapsedMs() const { return double(wall.nsecsElapsed()) / 1e6; }
    // The process's CPU time less the simulated unit's.
    double programCpuMs() const { return clockMs(CLOCK_PROCESS_CPUTIME_ID) - cpu0 - (sim.cpuMs() - sim0); }
};

QString ms(double v)
{
    if (v < 0)
        return QStringLiteral("—");
    return v >= 100 ? QString::number(v, 'f', 0) + QStringLiteral(" ms") : QString::number(v, 'f', 2) + L(" ms");
}

QString pct(double v) { return QString::number(v, 'f', v < 10 ? 2 : 1) + QStringLiteral(" %"); }

QList<Figure> figures;

Figure &add(Figure f)
{
    figures << f;
    std::fprintf(stderr, "  %-60s %s\n", u8(f.what), u8(ms(f.elapsedMs)));
    return figures.last();
}

// A wait: its CPU over its wall time against the 2 % goal.
void addWait(const QString &what, const Meter &m, const QString &note = {})
{
    const double wall = m.elapsedMs(), cpu = m.programCpuMs();
    Figure f{what, wall, -1, cpu, L("CPU/wall < 2 %"), 100.0 * cpu / wall < 2.0, note};
    f.note = (note.isEmpty() ? QString() : note + L("; ")) + L("CPU/wall ") + pct(100.0 * cpu / wall);
    add(f);
}

void addTransfer(const QString &what, const Meter &m, double floor, const QString &note)
{
    const double wall = m.elapsedMs();
    const double over = 100.0 * (wall / floor - 1.0);
    add({what, wall, floor, m.programCpuMs(), QStringLiteral("elapsed ≤ floor + 5 %"), over <= 5.0,
         L("over floor ") + pct(over) + L("; CPU/wall ") + pct(100.0 * m.programCpuMs() / wall)
             + (note.isEmpty() ? QString() : L("; ") + note)});
}

QAbstractButton *button(TostiForm &form, const char *name)
{
    return form.findChild<QAbstractButton *>(QLatin1String(name));
}

// Clicks a unit button as the user would; false when the page has no such
// button or it is disabled.
bool click(TostiForm &form, const char *name)
{
    QAbstractButton *b = button(form, name);
    if (!b || !b->isEnabled())
        return false;
    b->click();
    return true;
}

double vmHwmKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble();
    return -1;
}

// --- start-up: fresh processes of the program ---

void startUp(int runs)
{
    const QString program = QStringLiteral(OSTIKIT_EXECUTABLE);
    QList<double> outside, inside;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir dir;
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("OSTIKIT_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        QElapsedTimer timer;
        timer.start();
        process.start(program, {});
        double shownAt = -1;
        while (process.state() != QProcess::NotRunning || process.bytesAvailable()) {
            if (process.canReadLine() || process.waitForReadyRead(10000)) {
                const QByteArray line = process.readLine().trimmed();
                if (line.startsWith("shown ")) {
                    shownAt = double(timer.nsecsElapsed()) / 1e6;
                    inside << line.mid(6).split(' ').value(0).toDouble();
                    break;
                }
            } else if (process.state() == QProcess::NotRunning) {
                break;
            }
        }
        process.waitForFinished(10000);
        if (shownAt < 0) {
            std::fprintf(stderr, "start-up: %s did not report its window\n", qPrintable(program));
            return;
        }
        outside << shownAt;
    }
    add({L("Start-up: fresh process to the main window's first paint (offscreen), median of ")
             + QString::number(runs),
         median(outside), -1, -1, L("< 500 ms"), median(outside) < 500,
         L("of which from main() on: ") + ms(median(inside))});
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QDir::setCurrent(runtime.path());
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool upload = !args.contains(QStringLiteral("--no-upload"));
    const int runsAt = int(args.indexOf(QStringLiteral("--runs")));
    const int startRuns = runsAt > 0 ? std::max(1, args.value(runsAt + 1).toInt()) : 7;

    std::fprintf(stderr, "measuring (this takes a few minutes: the line runs at %d baud)\n", kBaud);
    startUp(startRuns);

    // The unit: the largest model, full directory, full tag table, events.
    const QList<QByteArray> texts = recordTexts(kRecords);
    SimThread simThread;
    simThread.options.unit.model = 1000;
    simThread.options.baud = kBaud;
    simThread.fill = [&texts](UnitMemory &memory) {
        for (int i = 0; i < texts.size(); ++i)
            memory.directory.insert(UnitMemory::kDirectoryFirstAddress + i * UnitMemory::kDirectorySlotSize,
                                    texts.at(i));
        fillTags(memory);
        fillSettings(memory);
        memory.events = makeEvents(200);
    };
    simThread.start();
    simThread.ready.acquire();
    if (!simThread.started) {
        std::fprintf(stderr, "cannot start the simulated unit\n");
        return 1;
    }
    // Replies the program gets, from a copy of the unit (no wire, no pacing).
    UnitMemory memory;
    simThread.fill(memory);
    SimUnit copy(simThread.options.unit, memory);
    copy.handle(QStringLiteral("serial"), "a1234");
    const QByteArray dump = copy.handle(QStringLiteral("serial"), "d01281152").value_or(QByteArray());

    MessageRecorder messages;
    TostiForm form;
    form.show();
    QApplication::processEvents();
    Meter m(simThread);

    // --- waits ---
    m.start();
    Delay(3000);
    addWait(L("Wait: Delay(3000), off line"), m);

    m.start();
    UiDriver::logOn(form, kPort, UiDriver::LogOnAnswer{.pin = QStringLiteral("1234")});
    addWait(L("Wait: the log-on (serial, model 1000)"), m, form.Link->LoggedOn ? L("on line") : L("FAILED"));
    if (!form.Link->LoggedOn) {
        std::fprintf(stderr, "log-on failed: %s\n", qPrintable(messages.texts().join(L(" | "))));
        return 1;
    }

    m.start();
    form.Channel.WaitReply(20);
    addWait(L("Wait: WaitReply(20), no reply, on line"), m);

    m.start();
    Delay(3000);
    addWait(L("Wait: Delay(3000), on line (keep-alive and blink timers running)"), m);

    // --- directory download ---
    {
        messages.clear();
        // Pauses it always makes: 10 units before the command, 1 in
        // SendCommand, 1000 after the wait, 3 x 10 laying out the grids.
        const double pauses = DelayMs(10) + DelayMs(1) + DelayMs(1000) + 3 * DelayMs(10);
        const double floor = wireMs(QByteArray("d01281152\r").size() + dump.size()) + pauses;
        m.start();
        click(form, "GetData");
        addTransfer(L("Directory download, 1024 records, 57600 baud"), m, floor,
                    QString::number(form.DirectoryTable.recordCount()) + L(" records")
                        + (messages.count() ? L(", message: ") + messages.texts().join(L(" | ")) : QString()));
        addWait(L("Wait: a download in progress (the directory download)"), m);
    }

    // --- directory upload ---
    if (upload) {
        messages.clear();
        RecordTable &table = form.DirectoryTable;
        // Floor: the pauses it always makes (2 x 50 units sorting; the
        // erase's 1 + 100 + 1 + 100 units, its reply arriving within the
        // pause; 10 at the end) and, per record, 1 unit in SendCommand and
        // then the longer of the reply wait's first 100-unit step and the
        // command's and the reply's time on the wire.
        double floor = 2 * DelayMs(50) + 2 * DelayMs(1) + 2 * DelayMs(100) + DelayMs(10)
                       + wireMs(QByteArray("\r").size() + QByteArray("OK\r\n").size());
        for (int row = 0; row < table.recordCount(); ++row) {
            const QStringList values = table.recordValues(row);
            const qsizetype bytes = DirectoryWriteCommand(values.at(7), UploadRecordText(values, row + 1).value_or(QString())).size() + 1
                                    + QByteArray("b0128\r\nOK\r\n").size();
            floor += DelayMs(1) + std::max(DelayMs(100), wireMs(bytes));
        }
        messages.answerNext(true);
        m.start();
        click(form, "WriteData");
        qsizetype inUnit = 0;
        simThread.call([&inUnit](Simulator &s) { inUnit = s.unit().memory().directory.size(); });
        addTransfer(L("Directory upload, 1024 records, 57600 baud"), m, floor,
                    QString::number(inUnit) + L(" records in the unit")
                        + (messages.count() > 1 ? L(", messages: ") + messages.texts().join(L(" | ")) : QString()));
    }

    // --- tag download and merge ---
    if (button(form, "download_id")) {
        messages.clear();
        m.start();
        click(form, "download_id");
        int tagged = 0;
        for (int row = 0; row < form.DirectoryTable.recordCount(); ++row)
            tagged += form.DirectoryTable.recordValues(row).at(6).isEmpty() ? 0 : 1;
        add({L("Tag download and merge, 512 tags into 1024 records, 57600 baud"), m.elapsedMs(), -1,
             m.programCpuMs(), QString(), std::nullopt,
             QString::number(tagged) + L(" records with a tag, ") + QString::number(form.DirectoryTable.recordCount())
                 + L(" records")
                 + (messages.count() ? L(", message: ") + messages.texts().join(L(" | ")) : QString())});
    } else {
        add({L("Tag download and merge, 512 tags into 1024 records"), -1, -1, -1, QString(), std::nullopt,
             L("not measured: the tag page has no download yet")});
    }

    // --- the rest of a working day: every other download and every write ---
    {
        messages.clear();
        for (int i = 0; i < 40; ++i)
            messages.answerNext(true);
        QStringList done, said;
        m.start();
        for (const char *name : {"dnLoad", "Set_time", "ReadPara1", "ReadCode", "ReadSpd", "ReadMsgs", "divertRead",
                                 "ReadPins", "WritePara1", "WriteCode", "WriteSpd", "UpLoad", "divertWrite",
                                 "UpDatePIN", "writeall_id"})
        {
            // A person takes a moment between two clicks; "Set time" does
            // not wait for the unit's answer, which would otherwise land in
            // the next read's reply.
            Delay(600);
            const int before = messages.count();
            if (click(form, name))
                done << QLatin1String(name);
            for (int i = before; i < messages.count(); ++i)
                said << QLatin1String(name) + L(": ") + messages.messages().at(i).text.simplified();
        }
        add({L("Every other download and write (") + done.join(L(", ")) + L(")"), m.elapsedMs(), -1,
             m.programCpuMs(), QString(), std::nullopt,
             L("CPU/wall ") + pct(100.0 * m.programCpuMs() / m.elapsedMs())
                 + (said.isEmpty() ? QString() : L("; messages: ") + said.join(L("; ")))});
    }
    form.ledAction->trigger(); // log off
    QApplication::processEvents();
    const double hwm = vmHwmKb();
    add({L("Peak resident memory (VmHWM) after log-on, every download, every write, log-off"), -1, -1, -1,
         QString(), std::nullopt,
         QString::number(hwm / 1024.0, 'f', 1) + L(" MiB (the process, in-process simulated unit included)")});
    simThread.quit();
    simThread.wait();

    // --- event decoding ---
    {
        SimUnit events(simThread.options.unit);
        events.memory().events = makeEvents(5000);
        events.handle(QStringLiteral("serial"), "a1234");
        const QString eventDump = QString::fromLatin1(events.handle(QStringLiteral("serial"), "e").value_or(QByteArray()));
        RecordTable table;
        QList<double> runs;
        int appended = 0;
        for (int run = 0; run < 7; ++run) {
            DefineEventTable(table);
            table.open();
            table.empty();
            const double t0 = clockMs(CLOCK_PROCESS_CPUTIME_ID);
            appended = AppendEventDump(table, EventDumpLines(eventDump));
            table.first();
            runs << clockMs(CLOCK_PROCESS_CPUTIME_ID) - t0;
        }
        add({L("Decode 5000 events into the event table (CPU, median of 7)"), -1, -1, median(runs), L("< 50 ms"),
             median(runs) < 50, QString::number(appended) + L(" events decoded")});
    }

    // --- phone-list files ---
    {
        const QString path = QDir(runtime.path()).filePath(QStringLiteral("OstiPhList.csv"));
        RecordTable table;
        DefineDirectoryTable(table);
        table.open();
        table.empty();
        AppendDirectoryRecords(table, ParseDirectoryDump(QString::fromLatin1(dump)));
        while (table.recordCount() > 1000) {
            table.last();
            table.deleteRecord();
        }
        const auto measureFile = [&](const QString &what, RecordTable &source, const QString &file, int runs,
                                     const QString &goal, double goalMs) {
            QList<double> save, load;
            int loaded = 0;
            for (int run = 0; run < runs; ++run) {
                QElapsedTimer timer;
                timer.start();
                SaveDirectoryFile(source, file);
                save << double(timer.nsecsElapsed()) / 1e6;
                RecordTable fresh;
                DefineDirectoryTable(fresh);
                fresh.open();
                timer.restart();
                loaded = LoadDirectoryFile(fresh, file);
                load << double(timer.nsecsElapsed()) / 1e6;
            }
            const QString size = QString::number(QFileInfo(file).size() / 1024.0, 'f', 0) + L(" KiB");
            add({L("Save ") + what + L(", median of ") + QString::number(runs), median(save), -1, -1, goal,
                 goalMs > 0 ? std::optional<bool>(median(save) < goalMs) : std::nullopt, size});
            add({L("Load ") + what + L(", median of ") + QString::number(runs), median(load), -1, -1, goal,
                 goalMs > 0 ? std::optional<bool>(median(load) < goalMs) : std::nullopt,
                 QString::number(loaded) + L(" records")});
        };
        measureFile(L("a phone-list file of 1000 records"), table, path, 11, L("< 20 ms"), 20);

        // 100 000 lines: the header and 99 999 records, built from the
        // 1000-record file's text.
        const QByteArray text = SaveCsvText(table);
        const qsizetype headerEnd = text.indexOf('\n') + 1;
        const QByteArray body = text.mid(headerEnd);
        QByteArray big = text.left(headerEnd);
        int count = 0;
        const QList<QByteArray> recordLines = body.split('\n');
        while (count < 99999) {
            for (const QByteArray &line : recordLines) {
                if (line.isEmpty() || count == 99999)
                    continue;
                big += line;
                big += '\n';
                ++count;
            }
        }
        const QString bigPath = QDir(runtime.path()).filePath(QStringLiteral("Big.csv"));
        QFile bigFile(bigPath);
        bigFile.open(QIODevice::WriteOnly);
        bigFile.write(big);
        bigFile.close();
        RecordTable bigTable;
        DefineDirectoryTable(bigTable);
        bigTable.open();
        LoadDirectoryFile(bigTable, bigPath);
        measureFile(L("a phone-list file of 100 000 lines"), bigTable, bigPath, 3, QString(), -1);
    }

    // --- the table ---
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    QString cpuModel;
    if (cpuinfo.open(QIODevice::ReadOnly))
        for (const QByteArray &line : cpuinfo.readAll().split('\n'))
            if (line.startsWith("model name")) {
                cpuModel = QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
                break;
            }
    std::printf("Measured on: %s, %d CPUs (nproc), %s, Qt %s, %s; simulated unit at %d baud.\n\n",
                qPrintable(cpuModel), QThread::idealThreadCount(), qPrintable(QSysInfo::prettyProductName()),
                qVersion(), QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1().constData(), kBaud);
    std::printf("| What | Elapsed | Floor | Program CPU | Goal | Met | Notes |\n");
    std::printf("|---|---:|---:|---:|---|---|---|\n");
    for (const Figure &f : figures)
        std::printf("| %s | %s | %s | %s | %s | %s | %s |\n", u8(f.what), u8(ms(f.elapsedMs)),
                    u8(ms(f.floorMs)), u8(ms(f.cpuMs)), u8(f.goal.isEmpty() ? QStringLiteral("—") : f.goal),
                    !f.met ? "—" : *f.met ? "yes" : "**no**", u8(f.note));
    return 0;
}
