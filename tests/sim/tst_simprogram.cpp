#include "link/ports.h"
#include "ptypeer.h"
#include "serialline.h"
#include "ptyport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

// ostiarin-sim as a person runs it: options, control lines on its standard
// input, the state file and the traffic log.
namespace {
const QString kProgram = QStringLiteral(OSTIARIN_SIM_EXECUTABLE);

bool startSim(QProcess &process, const QStringList &arguments)
{
    process.start(kProgram, arguments);
    if (!process.waitForStarted(5000))
        return false;
    QByteArray banner;
    QElapsedTimer clock;
    clock.start();
    while (!banner.contains("type help") && clock.elapsed() < 10000) {
        process.waitForReadyRead(100);
        banner += process.readAllStandardOutput();
    }
    return banner.contains("type help");
}

QByteArray readUntil(QSerialPort &port, const QByteArray &until)
{
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (!got.contains(until) && clock.elapsed() < 5000) {
        port.waitForReadyRead(50);
        got += port.readAll();
    }
    return got;
}

QByteArray control(QProcess &process, const QByteArray &line, const QByteArray &until = "\n")
{
    process.write(line + '\n');
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (!got.contains(until) && clock.elapsed() < 5000) {
        process.waitForReadyRead(50);
        got += process.readAllStandardOutput();
    }
    return got;
}

bool openPort(QSerialPort &port, const QString &name)
{
    return OpenSerialLine(port, QFileInfo(QDir(PtyPort::portsFolder()).filePath(name)).canonicalFilePath());
}
} // namespace

class TestSimProgram : public QObject {
    Q_OBJECT
private slots:
    void controlLinesStateAndLog()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("unit.json"));
        const QString log = dir.filePath(QStringLiteral("traffic.log"));
        QProcess sim;
        QVERIFY(startSim(sim, {QStringLiteral("--serial"), QStringLiteral("SIMP"), QStringLiteral("--model"),
                               QStringLiteral("200"), QStringLiteral("--pin"), QStringLiteral("4321"),
                               QStringLiteral("--state"), state, QStringLiteral("--log"), log}));
        QSerialPort port;
        QVERIFY2(openPort(port, QStringLiteral("SIMP")), qPrintable(port.errorString()));
        port.write("\r");
        QVERIFY(readUntil(port, "Enter PIN\r\n").contains("Ostiarin_200_Gn4"));

        // A tag before the log-on reaches no programmer.
        QVERIFY(control(sim, "tag 0123456789").contains("went nowhere"));
        port.write("a4321\r");
        QVERIFY(readUntil(port, "OK\r\n").contains("OK"));
        QVERIFY(control(sim, "tag 0123456789").contains("1 link"));
        QCOMPARE(readUntil(port, "\r\n"), QByteArray("012345678989\r\n"));
        control(sim, "tag-bad 0123456789");
        QCOMPARE(readUntil(port, "\r\n"), QByteArray("012345678988\r\n"));
        QVERIFY(control(sim, "tag 12345").contains("ten hexadecimal"));

        QVERIFY(control(sim, "event 101 remote 2 SMITH J").contains("event 1 logged"));
        QVERIFY(control(sim, "event 9999999 local 1").contains("ROOM"));
        port.write("e\r");
        const QByteArray events = readUntil(port, "OK\r\n");
        QCOMPARE(events.count("\r\n"), 3);
        QVERIFY(events.contains("313031FFFFFF"));
        QVERIFY(events.contains("SMITH J\r\n"));

        const QByteArray dump = control(sim, "dump", "\"events\"");
        QVERIFY(dump.contains("\"room\": \"101\""));
        QVERIFY(control(sim, "frobnicate").contains("unknown command"));

        sim.write("quit\n");
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo(QDir(PtyPort::portsFolder()).filePath(QStringLiteral("SIMP"))).isSymLink());

        QFile saved(state);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QJsonObject root = QJsonDocument::fromJson(saved.readAll()).object();
        QCOMPARE(root.value(QLatin1String("events")).toArray().size(), 1);
        QCOMPARE(root.value(QLatin1String("events")).toArray().at(0).toObject().value(QLatin1String("client")).toString(),
                 QStringLiteral("SMITH J"));

        QFile traffic(log);
        QVERIFY(traffic.open(QIODevice::ReadOnly));
        const QByteArray text = traffic.readAll();
        QVERIFY(text.contains(" serial <- a4321\\r\n"));
        QVERIFY(text.contains(" serial -> Programme Mode\\r\\nOK\\r\\n\n"));
    }

    void aKilledUnitsPortIsTakenOverAndNeverListed()
    {
        const QString link = QDir(PtyPort::portsFolder()).filePath(QStringLiteral("SIM7"));
        QProcess killed;
        QVERIFY(startSim(killed, {QStringLiteral("--serial"), QStringLiteral("SIM7"), QStringLiteral("--baud"),
                                  QStringLiteral("0")}));
        QVERIFY(VirtualSerialPorts().contains(QStringLiteral("SIM7")));
        killed.kill(); // SIGKILL: no chance to unpublish
        QVERIFY(killed.waitForFinished(5000));
        QVERIFY(QFileInfo(link).isSymLink()); // left behind

        // Another terminal may take the number the dead link leads to.
        PtyPeer other;
        QVERIFY(other.isOpen());
        QVERIFY(!VirtualSerialPorts().contains(QStringLiteral("SIM7")));
        QCOMPARE(SerialPortLocation(QStringLiteral("SIM7")), QStringLiteral("/dev/ttySIM7"));

        // The next unit of that name starts, and it is the one the port reaches.
        QProcess next;
        QVERIFY(startSim(next, {QStringLiteral("--serial"), QStringLiteral("SIM7"), QStringLiteral("--baud"),
                                QStringLiteral("0")}));
        QCOMPARE(VirtualSerialPorts(), QStringList{QStringLiteral("SIM7")});
        QSerialPort port;
        QVERIFY2(openPort(port, QStringLiteral("SIM7")), qPrintable(port.errorString()));
        port.write("\r");
        QVERIFY(readUntil(port, "Enter PIN\r\n").contains("Ostiarin_500_Gn4"));
        port.close();

        // While it lives, a second one of that name is refused.
        QProcess second;
        second.start(kProgram, {QStringLiteral("--serial"), QStringLiteral("SIM7")});
        QVERIFY(second.waitForFinished(10000));
        QVERIFY(second.exitCode() != 0);
        QVERIFY2(second.readAllStandardError().contains("published already"), "refused for its name");
        QCOMPARE(VirtualSerialPorts(), QStringList{QStringLiteral("SIM7")});

        next.write("quit\n");
        QVERIFY(next.waitForFinished(5000));
        QVERIFY(!QFileInfo(link).isSymLink());
        QVERIFY(VirtualSerialPorts().isEmpty());
    }

    void endsCleanlyOnASignal()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("unit.json"));
        QProcess sim;
        QVERIFY(startSim(sim, {QStringLiteral("--serial"), QStringLiteral("SIMQ"), QStringLiteral("--state"), state}));
        control(sim, "event incall local 1");
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 0);
        QFile saved(state);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("\"incall\""));
        QVERIFY(!QFileInfo(QDir(PtyPort::portsFolder()).filePath(QStringLiteral("SIMQ"))).isSymLink());
    }

    void wrongOptionsAreExplained_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("no link") << QStringList{} << 2 << QStringLiteral("--serial");
        QTest::newRow("model") << QStringList{QStringLiteral("--serial"), QStringLiteral("X1"), QStringLiteral("--model"), QStringLiteral("300")}
                               << 2 << QStringLiteral("--model");
        QTest::newRow("baud") << QStringList{QStringLiteral("--serial"), QStringLiteral("X1"), QStringLiteral("--baud"), QStringLiteral("4800")}
                              << 2 << QStringLiteral("--baud");
        QTest::newRow("modem alone") << QStringList{QStringLiteral("--udp"), QStringLiteral("127.0.0.9"), QStringLiteral("--modem")}
                                     << 2 << QStringLiteral("--modem");
        QTest::newRow("network") << QStringList{QStringLiteral("--udp"), QStringLiteral("10.1.2.3")} << 1
                                 << QStringLiteral("loopback");
        QTest::newRow("port name") << QStringList{QStringLiteral("--serial"), QStringLiteral("TOOLONG")} << 1
                                   << QStringLiteral("port name");
    }
    void wrongOptionsAreExplained()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QProcess sim;
        sim.start(kProgram, arguments);
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), exitCode);
        const QString error = QString::fromLocal8Bit(sim.readAllStandardError());
        QVERIFY2(error.contains(says), qPrintable(error));
    }

    void badStateFileIsKept()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("unit.json"));
        QFile file(state);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"blocks\": {\"0099\": \"\"}}");
        file.close();
        QProcess sim;
        sim.start(kProgram, {QStringLiteral("--serial"), QStringLiteral("X2"), QStringLiteral("--state"), state});
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(sim.readAllStandardError()).contains(QLatin1String("blocks.0099")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("{\"blocks\": {\"0099\": \"\"}}"));
    }
};

QTEST_GUILESS_MAIN(TestSimProgram)
#include "tst_simprogram.moc"
