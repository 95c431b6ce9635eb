#include "simulator.h"
#include "unitmemory.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The simulated unit's memory as a JSON state file.
class TestSimState : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips()
    {
        UnitMemory memory;
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += char(b);
        for (int block = 0; block < 4; ++block)
            QVERIFY(memory.programBlock(block, all.mid(block * 64, 64)));
        QVERIFY(memory.programBlock(1535, "77????0123456789"));
        memory.directory.insert(0x1000, "101,1234,,,5551<22,SMITH J");
        memory.directory.insert(0x9000, QByteArray("9,,,,,\xC9T\xC9", 9));
        SimEvent room;
        room.room = "12";
        room.time = QDateTime(QDate(2026, 12, 9), QTime(7, 8, 9), Qt::UTC);
        room.client = QByteArray("M\xDCLLER", 6);
        memory.events.append(room);
        SimEvent raw;
        raw.rawLine = QByteArray("odd\x00line\xFF", 9);
        memory.events.append(raw);
        memory.clockOffsetSeconds = -3600;

        const QByteArray json = memory.toJson();
        QString error;
        const std::optional<UnitMemory> back = UnitMemory::fromJson(json, &error);
        QVERIFY2(back, qPrintable(error));
        QVERIFY(*back == memory);
        // What a new unit holds is left out or erased, so the file stays readable.
        QVERIFY(!json.contains("\"1408\""));
        QVERIFY(json.contains("\"1535\""));
    }

    void handWrittenState()
    {
        const QByteArray json = "{"
            "            \"blocks\": { \"0001\": \"1234????\" },"
            "            \"directory\": { \"1020\": \"102,,,,0123,JONES\" },"
            "            \"tags\": { \"1408\": \"12????0123456789\" },"
            "            \"events\": [ { \"kind\": \"room\", \"room\": \"102\", \"time\": \"2009-04-01T23:30:12\", \"source\": \"rfid\" },"
            "                        { \"kind\": \"button\", \"button\": \"3\", \"time\": \"2009-04-02T08:00:00\" } ]"
            "        }";
        QString error;
        const std::optional<UnitMemory> memory = UnitMemory::fromJson(json, &error);
        QVERIFY2(memory, qPrintable(error));
        // A short block is erased after its text; a short tag block is filled with "?".
        QCOMPARE(memory->block(1), "1234????" + QByteArray(56, char(0xFF)));
        QCOMPARE(memory->block(0), QByteArray(64, char(0xFF)));
        QCOMPARE(memory->block(1408), "12????0123456789" + QByteArray(48, '?'));
        QCOMPARE(memory->directory.value(0x1020), QByteArray("102,,,,0123,JONES"));
        QCOMPARE(memory->events.size(), 2);
        QCOMPARE(memory->events.at(0).source, '2');
        QCOMPARE(memory->events.at(0).time.time(), QTime(23, 30, 12));
        QCOMPARE(memory->events.at(1).kind, SimEvent::Kind::Button);
        QCOMPARE(memory->events.at(1).source, '0');
    }

    void badStatesAreRefusedWithAReason_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not JSON") << QByteArray("{ blocks") << QStringLiteral("not JSON");
        QTest::newRow("array") << QByteArray("[]") << QStringLiteral("object");
        QTest::newRow("other format") << QByteArray("{\"format\": \"x\"}") << QStringLiteral("format");
        QTest::newRow("block 16") << QByteArray("{\"blocks\": {\"0016\": \"\"}}") << QStringLiteral("blocks.0016");
        QTest::newRow("block too long") << ("{\"blocks\": {\"0000\": \"" + QByteArray(65, '1') + "\"}}")
                                        << QStringLiteral("at most 64");
        QTest::newRow("not a byte") << QByteArray("{\"blocks\": {\"0000\": \"\\u20ac\"}}") << QStringLiteral("not a byte");
        QTest::newRow("odd slot") << QByteArray("{\"directory\": {\"1010\": \"1,,,,,A\"}}") << QStringLiteral("directory.1010");
        QTest::newRow("tag block") << QByteArray("{\"tags\": {\"1407\": \"\"}}") << QStringLiteral("tags.1407");
        QTest::newRow("event time") << QByteArray("{\"events\": [{\"kind\": \"room\", \"room\": \"1\", \"time\": \"soon\"}]}")
                                    << QStringLiteral("events[0].time");
        QTest::newRow("event kind") << QByteArray("{\"events\": [{\"kind\": \"fire\"}]}") << QStringLiteral("events[0].kind");
    }
    void badStatesAreRefusedWithAReason()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, reason);
        QString error;
        QVERIFY(!UnitMemory::fromJson(json, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
    }

    void simulatorLoadsAndSaves()
    {
        QTemporaryDir dir;
        SimOptions options;
        options.statePath = dir.filePath(QStringLiteral("unit.json"));
        {
            // No file yet: a new unit, written on save.
            Simulator sim(options);
            QString error;
            QVERIFY(sim.loadState(&error));
            QCOMPARE(sim.unit().memory(), UnitMemory());
            sim.unit().memory().directory.insert(0x1000, "1,,,,,A");
            QVERIFY(sim.saveState(&error));
        }
        Simulator again(options);
        QString error;
        QVERIFY(again.loadState(&error));
        QCOMPARE(again.unit().memory().directory.value(0x1000), QByteArray("1,,,,,A"));

        // A file that is no state is reported and left as it was.
        QFile broken(options.statePath);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("{ not a state");
        broken.close();
        Simulator third(options);
        QVERIFY(!third.loadState(&error));
        QVERIFY(error.contains(options.statePath));
        QVERIFY(broken.open(QIODevice::ReadOnly));
        QCOMPARE(broken.readAll(), QByteArray("{ not a state"));
    }
};

QTEST_GUILESS_MAIN(TestSimState)
#include "tst_simstate.moc"
