// ostiarin-sim: a simulated Ostiarin unit on a pseudo-terminal and on UDP.
#include "controllines.h"
#include "simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

void print(const QByteArray &text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const QString &text, int code)
{
    std::fprintf(stderr, "ostiarin-sim: %s\n", text.toLocal8Bit().constData());
    std::exit(code);
}

int intOption(const QCommandLineParser &parser, const QString &name, int fallback)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0)
        fail(QStringLiteral("--%1 wants a whole number, not \"%2\"").arg(name, parser.value(name)), 2);
    return value;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ostiarin-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A simulated Ostiarin door-entry unit for OstiKit: it answers the unit's commands on a "
        "pseudo-terminal published as a serial port, and on UDP port 8000 of a loopback address.\n"
        "Control lines on standard input: tag HEX10, tag-bad HEX10, event ROOM SOURCE RELAY [NAME], dump, quit."));
    parser.addHelpOption();
    const QList<QCommandLineOption> options = {
        {QStringLiteral("model"), QStringLiteral("100, 200, 500 or 1000 (default 500)."), QStringLiteral("N")},
        {QStringLiteral("model-text"), QStringLiteral("Identification text in place of the model's."), QStringLiteral("TEXT")},
        {QStringLiteral("pin"), QStringLiteral("The unit's PIN (default 1234)."), QStringLiteral("PIN")},
        {QStringLiteral("serial"), QStringLiteral("Publish a serial port under NAME (at most 6 characters)."), QStringLiteral("NAME")},
        {QStringLiteral("modem"), QStringLiteral("Put a dial-up modem in front of the serial port.")},
        {QStringLiteral("connect-delay"), QStringLiteral("How long the modem rings, ms (default 2000)."), QStringLiteral("MS")},
        {QStringLiteral("udp"), QStringLiteral("Listen on UDP port 8000 of this loopback address."), QStringLiteral("ADDR")},
        {QStringLiteral("state"), QStringLiteral("Load the unit's memory from FILE and save it there on exit."), QStringLiteral("FILE")},
        {QStringLiteral("log"), QStringLiteral("Write every command and reply to FILE."), QStringLiteral("FILE")},
        {QStringLiteral("baud"), QStringLiteral("Pace serial output at 57600 or 9600 baud; 0 for instant replies (default: the line's own speed, 57600, or 9600 behind --modem)."), QStringLiteral("RATE")},
        {QStringLiteral("drop"), QStringLiteral("Never answer commands starting with these letters."), QStringLiteral("CMDS")},
        {QStringLiteral("stall-after"), QStringLiteral("A dump stops after N lines."), QStringLiteral("N")},
        {QStringLiteral("refuse-g"), QStringLiteral("Answer every tag block write with Error.")},
        {QStringLiteral("corrupt-readback"), QStringLiteral("Block reads return altered data.")},
        {QStringLiteral("ignore-keepalive"), QStringLiteral("A bare CR on line gets no answer.")},
        {QStringLiteral("reply-delay"), QStringLiteral("Wait MS before each reply."), QStringLiteral("MS")},
        {QStringLiteral("session-timeout"), QStringLiteral("Programming mode ends after S seconds without a command (default 60)."), QStringLiteral("S")},
    };
    parser.addOptions(options);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("unexpected argument \"%1\"; see --help").arg(parser.positionalArguments().first()), 2);

    SimOptions sim;
    sim.unit.model = intOption(parser, QStringLiteral("model"), 500);
    if (sim.unit.model != 100 && sim.unit.model != 200 && sim.unit.model != 500 && sim.unit.model != 1000)
        fail(QStringLiteral("--model is 100, 200, 500 or 1000"), 2);
    sim.unit.modelText = parser.value(QStringLiteral("model-text")).toLatin1();
    if (parser.isSet(QStringLiteral("pin")))
        sim.unit.pin = parser.value(QStringLiteral("pin")).toLatin1();
    sim.modem = parser.isSet(QStringLiteral("modem"));
    sim.connectDelayMs = intOption(parser, QStringLiteral("connect-delay"), 2000);
    sim.baud = intOption(parser, QStringLiteral("baud"), SimOptions::kLineSpeed);
    if (sim.baud != SimOptions::kLineSpeed && sim.baud != 0 && sim.baud != 57600 && sim.baud != 9600)
        fail(QStringLiteral("--baud is 57600, 9600 or 0"), 2);
    sim.unit.dropCommands = parser.value(QStringLiteral("drop")).toLatin1();
    sim.unit.stallAfter = parser.isSet(QStringLiteral("stall-after")) ? intOption(parser, QStringLiteral("stall-after"), 0) : -1;
    sim.unit.refuseG = parser.isSet(QStringLiteral("refuse-g"));
    sim.unit.corruptReadback = parser.isSet(QStringLiteral("corrupt-readback"));
    sim.unit.ignoreKeepAlive = parser.isSet(QStringLiteral("ignore-keepalive"));
    sim.replyDelayMs = intOption(parser, QStringLiteral("reply-delay"), 0);
    sim.unit.sessionTimeoutMs = intOption(parser, QStringLiteral("session-timeout"), 60) * 1000;
    sim.statePath = parser.value(QStringLiteral("state"));
    sim.logPath = parser.value(QStringLiteral("log"));

    const QString serialName = parser.value(QStringLiteral("serial"));
    const QString udpAddress = parser.value(QStringLiteral("udp"));
    if (serialName.isEmpty() && udpAddress.isEmpty())
        fail(QStringLiteral("give --serial NAME, --udp ADDR or both; see --help"), 2);
    if (sim.modem && serialName.isEmpty())
        fail(QStringLiteral("--modem goes in front of a serial port: give --serial NAME too"), 2);

    Simulator simulator(sim);
    QString error;
    if (!simulator.loadState(&error))
        fail(error, 1);
    if (!simulator.openLog(&error))
        fail(error, 1);
    if (!serialName.isEmpty() && !simulator.startSerial(serialName, &error))
        fail(error, 1);
    if (!udpAddress.isEmpty()) {
        const QHostAddress address(udpAddress);
        if (address.isNull())
            fail(QStringLiteral("--udp wants an address such as 127.0.0.2, not \"%1\"").arg(udpAddress), 2);
        if (!simulator.startUdp(address, &error))
            fail(error, 1);
    }

    const auto save = [&simulator] {
        QString why;
        if (!simulator.saveState(&why))
            std::fprintf(stderr, "ostiarin-sim: the state was not saved: %s\n", why.toLocal8Bit().constData());
    };

    // Signals end the program through the event loop, so the state is saved.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        auto *signalNotifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
        QObject::connect(signalNotifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
        for (int s : {SIGINT, SIGTERM, SIGHUP})
            std::signal(s, onSignal);
    }

    QByteArray input;
    auto *stdinNotifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    QObject::connect(stdinNotifier, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            // End of input (or none, as from /dev/null): the unit runs on.
            stdinNotifier->setEnabled(false);
            return;
        }
        input.append(buffer, n);
        qsizetype end;
        while ((end = input.indexOf('\n')) >= 0) {
            const QByteArray line = input.left(end);
            input.remove(0, end + 1);
            const ControlResult result = RunControlLine(simulator, line);
            print(result.output);
            if (result.quit)
                QCoreApplication::quit();
        }
    });

    QByteArray banner = "ostiarin-sim: " + simulator.unit().modelLine() + ", PIN " + sim.unit.pin + '\n';
    if (!serialName.isEmpty())
        banner += "  serial port " + serialName.toLatin1() + (sim.modem ? " (behind a modem)" : "") + ": "
                  + simulator.serialDevice().toLatin1() + ", published as " + simulator.publishedPort().toLatin1() + '\n';
    if (!udpAddress.isEmpty())
        banner += "  UDP " + udpAddress.toLatin1() + ":8000\n";
    banner += "  type help for the control lines\n";
    print(banner);

    const int code = app.exec();
    save();
    return code;
}
