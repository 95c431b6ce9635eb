#include "serialline.h"
#include "common/errors.h"
#include "directory/directoryrecord.h"
#include "link/commandchannel.h"
#include "link/delay.h"
#include "link/receivelog.h"
#include "messagerecorder.h"
#include "ptypeer.h"
#include "simulator.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QTest>

namespace {
QString L1(const char *text) { return QString::fromLatin1(text); }

// The simulated unit, logged on over its pseudo-terminal.
struct UnitRig {
    explicit UnitRig(UnitOptions options = {}) : sim(SimOptions{.unit = options})
    {
        started = sim.startSerial(QString());
        opened = OpenSerialLine(channel.ComPort1, sim.serialDevice());
        channel.SendRaw(QStringLiteral("a1234\r"));
        loggedOn = channel.WaitReply(20);
        sim.clearCommands();
    }
    QList<QByteArray> commands() const
    {
        QList<QByteArray> texts;
        for (const ReceivedCommand &c : sim.commands())
            texts << c.bytes;
        return texts;
    }
    Simulator sim;
    ReceiveLog log;
    CommandChannel channel{log};
    bool started = false;
    bool opened = false;
    bool loggedOn = false;
};
} // namespace

class TestDirectoryRecord : public QObject {
    Q_OBJECT
private slots:
    void leadingDigits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("result");
        QTest::newRow("stops at a letter") << L1("12a4") << 4 << L1("12");
        QTest::newRow("at most n") << L1("0042") << 2 << L1("00");
        QTest::newRow("empty") << QString() << 6 << QString();
        QTest::newRow("blank first") << L1(" 12") << 6 << QString();
        QTest::newRow("all digits") << L1("123456789") << 6 << L1("123456");
        QTest::newRow("superscript two is no digit") << QString::fromLatin1("1\xb2") << 6 << L1("1");
    }
    void leadingDigits()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, result);
        QCOMPARE(LeadingDigits(text, n), result);
    }

    void validateRoomNumber_data()
    {
        QTest::addColumn<QString>("room");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("message");
        QTest::newRow("leading zeros kept") << L1("007") << L1("007") << false;
        // Blanks around the digits are dropped: the unit gets what the table keeps.
        QTest::newRow("blanks around") << L1("  12 ") << L1("12") << false;
        // A sign or a hexadecimal prefix would reach the unit as an empty room.
        QTest::newRow("minus sign") << L1("-5") << L1("0") << true;
        QTest::newRow("plus sign") << L1("+12") << L1("0") << true;
        QTest::newRow("blanks and sign") << L1("  -12") << L1("0") << true;
        QTest::newRow("dollar hexadecimal") << L1("$1F") << L1("0") << true;
        QTest::newRow("0x hexadecimal") << L1("0x1F") << L1("0") << true;
        QTest::newRow("letter") << L1("12a") << L1("0") << true;
        QTest::newRow("empty") << QString() << L1("0") << true;
        QTest::newRow("blanks only") << L1("   ") << L1("0") << true;
        QTest::newRow("blank inside") << L1("1 2") << L1("0") << true;
        QTest::newRow("superscript digit") << QString::fromLatin1("1\xb2") << L1("0") << true;
    }
    void validateRoomNumber()
    {
        QFETCH(QString, room);
        QFETCH(QString, result);
        QFETCH(bool, message);
        MessageRecorder messages;
        QCOMPARE(ValidateRoomNumber(room), result);
        QCOMPARE(messages.texts(),
                 message ? QStringList{L1("Must use Numeric digits in\r\nRoomNumber & Codes fields")} : QStringList{});
    }

    void crc_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("crc");
        QTest::newRow("check value") << L1("123456789") << L1(":1");
        QTest::newRow("erase 1000") << L1("b0128,") << L1(":4");
        QTest::newRow("record") << L1("b0128,101,1234,,,5551<22,SMITH J") << L1("69");
        QTest::newRow("empty") << QString() << L1("00");
        QTest::newRow("high byte") << QString(QChar(0xFF)) << L1("35");
    }
    void crc()
    {
        QFETCH(QString, text);
        QFETCH(QString, crc);
        QCOMPARE(DirectoryCrc(text), crc);
    }

    void commands_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("recordText");
        QTest::addColumn<QString>("command");
        QTest::newRow("empty the slot") << L1("1000") << QString() << L1("b0128,:4");
        QTest::newRow("record") << L1("1000") << L1("101,1234,,,5551<22,SMITH J")
                                << L1("b0128,101,1234,,,5551<22,SMITH J69");
        QTest::newRow("next slot") << L1("1020") << QString() << L1("b0129,") + DirectoryCrc(L1("b0129,"));
        QTest::newRow("last slot, lower case") << L1("9000") << QString() << L1("b1152,") + DirectoryCrc(L1("b1152,"));
        QTest::newRow("lower case hex") << L1("1ce0") << QString() << L1("b0231,") + DirectoryCrc(L1("b0231,"));
    }
    void commands()
    {
        QFETCH(QString, address);
        QFETCH(QString, recordText);
        QFETCH(QString, command);
        QCOMPARE(DirectoryWriteCommand(address, recordText), command);
    }

    void addresses()
    {
        QCOMPARE(BlockText(AddressToBlock(L1("1000"))), L1("0128"));
        QCOMPARE(BlockText(AddressToBlock(L1("1020"))), L1("0129"));
        QCOMPARE(BlockText(AddressToBlock(L1("9000"))), L1("1152"));
        QCOMPARE(AddressText(0x1CE0), L1("1CE0"));
        QCOMPARE(AddressText(0x1000 + 0x20), L1("1020"));
        for (const QString &bad : {QString(), L1("10G0"), L1("RF01"), L1(" 100")})
            QVERIFY_THROWS_EXCEPTION(ConversionError, AddressToBlock(bad));
        try {
            AddressToBlock(L1("R001"));
        } catch (const AppError &e) {
            QCOMPARE(e.text(), L1("'R001' is not a valid integer value"));
        }
    }

    void recordText_data()
    {
        QTest::addColumn<QStringList>("fields"); // room, code1, code2, spare, phone, name
        QTest::addColumn<QString>("text");
        QTest::newRow("full") << QStringList{L1("101"), L1("1234"), QString(), QString(), L1("5551p22"), L1("SMITH J")}
                              << L1("101,1234,,,5551<22,SMITH J");
        QTest::newRow("dial characters") << QStringList{L1("1"), {}, {}, {}, L1("0#12*34p5"), L1("A")}
                                         << L1("1,,,,0;12:34<5,A");
        QTest::newRow("blank in phone") << QStringList{L1("1"), {}, {}, {}, L1("12 34"), L1("A")} << L1("1,,,,12,A");
        QTest::newRow("cut to widths")
            << QStringList{L1("1234567"), L1("12345"), L1("9x"), L1("123"), L1("12345678901234567890"), L1("N, AME")}
            << L1("123456,1234,9,12,1234567890123456,N, AME");
        QTest::newRow("empty room stays empty") << QStringList{{}, {}, {}, {}, {}, L1("A")} << L1(",,,,,A");
    }
    void recordText()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, text);
        QCOMPARE(DirectoryRecordText(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]), text);
    }

    void parseLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("record");
        QTest::addColumn<QStringList>("values"); // Name, RoomNumber, PHnumber, Code1, Code2, spare, RFID, Addr

        QTest::newRow("example") << L1("1000,101,1234,,,5551<22,SMITH J") << true
                                 << QStringList{L1("SMITH J"), L1("101"), L1("5551p22"), L1("1234"), {}, {}, {}, L1("1000")};
        QTest::newRow("empty slot") << L1("1020,,,,,,") << false << QStringList{};
        QTest::newRow("no room") << L1("1020,,,,,5551,SMITH") << false << QStringList{};
        QTest::newRow("no name") << L1("1020,101,,,,5551,") << false << QStringList{};
        QTest::newRow("short line") << L1("1020") << false << QStringList{};
        QTest::newRow("empty line") << QString() << false << QStringList{};
        QTest::newRow("phone end marker") << L1("1040,7,,,,12;?????,X") << true
                                          << QStringList{L1("X"), L1("7"), L1("12#"), {}, {}, {}, {}, L1("1040")};
        QTest::newRow("full widths, separators skipped")
            << L1("1060,123456,1234,5678,12,0123:;<456789012,ABCDEFGHIJKLMNOP") << true
            << QStringList{L1("ABCDEFGHIJKLMNOP"), L1("123456"), L1("0123*#p456789012"), L1("1234"), L1("5678"),
                           L1("12"), {}, L1("1060")};
        QTest::newRow("full widths without commas")
            << L1("1080 123456x1234y5678z12w0123456789012345vNAME") << true
            << QStringList{L1("NAME"), L1("123456"), L1("0123456789012345"), L1("1234"), L1("5678"), L1("12"), {},
                           L1("1080")};
        QTest::newRow("name longer than its width") << L1("10A0,5,,,,,ABCDEFGHIJKLMNOPQRS") << true
                                                     << QStringList{L1("ABCDEFGHIJKLMNOP"), L1("5"), {}, {}, {}, {}, {}, L1("10A0")};
        QTest::newRow("name holding a comma") << L1("10C0,5,,,,,SMITH, J") << true
                                              << QStringList{L1("SMITH, J"), L1("5"), {}, {}, {}, {}, {}, L1("10C0")};
        QTest::newRow("line ends early") << L1("10E0,5") << false << QStringList{};
        QTest::newRow("latin-1 name") << QString::fromLatin1("1100,5,,,,,M\xdcLLER\xff") << true
                                      << QStringList{QString::fromLatin1("M\xdcLLER\xff"), L1("5"), {}, {}, {}, {}, {}, L1("1100")};
    }
    void parseLine()
    {
        QFETCH(QString, line);
        QFETCH(bool, record);
        QFETCH(QStringList, values);
        const auto parsed = ParseDirectoryLine(line);
        QCOMPARE(parsed.has_value(), record);
        if (record)
            QCOMPARE(parsed->values(), values);
    }

    void readCommaField()
    {
        const QString line = L1("ab,cdef,gh");
        qsizetype pos = 0;
        QCOMPARE(ReadCommaField(line, pos, 0), QString());
        QCOMPARE(pos, 0);
        QCOMPARE(ReadCommaField(line, pos, 4), L1("ab"));
        QCOMPARE(pos, 3);
        QCOMPARE(ReadCommaField(line, pos, 4), L1("cdef"));
        QCOMPARE(pos, 8); // the comma after a full field is its separator
        QCOMPARE(ReadCommaField(line, pos, 4), L1("gh"));
        QCOMPARE(ReadCommaField(line, pos, 4), QString());
    }

    void writeToTheUnit()
    {
        UnitRig rig;
        QVERIFY(rig.started && rig.opened && rig.loggedOn);
        const QString text = L1("101,1234,,,5551<22,SMITH J");
        QVERIFY(WriteDirectoryRecord(rig.channel, L1("1000"), text));
        QCOMPARE(rig.commands(), QList<QByteArray>{"b0128,101,1234,,,5551<22,SMITH J69"});
        QCOMPARE(rig.sim.unit().memory().directory.value(0x1000), text.toLatin1());

        QVERIFY(WriteDirectoryRecord(rig.channel, L1("1000"), QString()));
        QVERIFY(!rig.sim.unit().memory().directory.contains(0x1000));

        // A slot beyond the model is refused by the unit.
        QVERIFY(!WriteDirectoryRecord(rig.channel, L1("9000"), text));

        // Not an address: nothing goes out.
        rig.sim.clearCommands();
        QVERIFY_THROWS_EXCEPTION(ConversionError, WriteDirectoryRecord(rig.channel, L1("RF01"), text));
        QTest::qWait(50);
        QVERIFY(rig.commands().isEmpty());
    }

    void okSplitAfterItsFirstLetter()
    {
        // The reply's "O" comes with the end of the echo line, the "K" later:
        // the channel keeps the start of the line, so the reply flag sees the
        // "OK" together and the write succeeded.
        PtyPeer peer;
        QVERIFY(peer.isOpen());
        peer.setResponder([&peer](const QByteArray &) {
            QTimer::singleShot(40, &peer, [&peer] { peer.write("K\r\n"); });
            return QByteArray("b0128\r\nO");
        });
        ReceiveLog log;
        CommandChannel channel(log);
        channel.ComPort1.setPortName(peer.slavePath());
        QVERIFY(channel.ComPort1.open(QIODevice::ReadWrite));
        QVERIFY(WriteDirectoryRecord(channel, L1("1000"), QString()));
        QVERIFY(channel.ReplyReady);

        peer.setResponder([](const QByteArray &) { return QByteArray("b0128\r\nCRC Error\r\n"); });
        QVERIFY(!WriteDirectoryRecord(channel, L1("1000"), QString()));
    }

    void lateOkOfTheCommandBeforeIsNoConfirmation()
    {
        // The previous command's "OK" arrives late, then this command's error.
        PtyPeer peer;
        QVERIFY(peer.isOpen());
        peer.setResponder([&peer](const QByteArray &) {
            QTimer::singleShot(20, &peer, [&peer] { peer.write("b0128\r\nError\r\n"); });
            return QByteArray("OK\r\n");
        });
        ReceiveLog log;
        CommandChannel channel(log);
        channel.ComPort1.setPortName(peer.slavePath());
        QVERIFY(channel.ComPort1.open(QIODevice::ReadWrite));
        QVERIFY(!WriteDirectoryRecord(channel, L1("1000"), QString()));
        channel.ComPort1.close();
    }

    void timedOutWriteLetsTheLineFallQuiet()
    {
        // The unit answers each write only after the wait has given up; the
        // answer must not confirm the next write, which the unit refuses.
        PtyPeer peer;
        QVERIFY(peer.isOpen());
        int count = 0;
        peer.setResponder([&peer, &count](const QByteArray &command) {
            if (++count == 1) {
                QTimer::singleShot(560, &peer, [&peer] { peer.write("b0128\r\nOK\r\n"); });
                return QByteArray();
            }
            return command.left(5) + "\r\nCRC Error\r\n";
        });
        ReceiveLog log;
        CommandChannel channel(log);
        channel.ComPort1.setPortName(peer.slavePath());
        QVERIFY(channel.ComPort1.open(QIODevice::ReadWrite));
        QVERIFY(!WriteDirectoryRecord(channel, L1("1000"), QString()));
        QVERIFY(!WriteDirectoryRecord(channel, L1("1020"), QString()));
        QCOMPARE(count, 2);
        channel.ComPort1.close();
    }

    void waitsLongerOverAModem()
    {
        UnitOptions options;
        options.dropCommands = "b";
        UnitRig rig(options);
        QVERIFY(rig.loggedOn);
        QElapsedTimer timer;
        timer.start();
        DelayTally before = DelaysSoFar();
        QVERIFY(!WriteDirectoryRecord(rig.channel, L1("1000"), QString()));
        const qint64 direct = timer.restart();
        const long long directUnits = DelaysSoFar().units - before.units;
        rig.channel.RemoteMode = true;
        before = DelaysSoFar();
        QVERIFY(!WriteDirectoryRecord(rig.channel, L1("1000"), QString()));
        const qint64 remote = timer.elapsed();
        const long long remoteUnits = DelaysSoFar().units - before.units;
        // The command's own pause, six waits of 100 units for the reply
        // (twelve over a modem), then two for the line to show it is quiet.
        QCOMPARE(directUnits, 1LL + 600 + 200);
        QCOMPARE(remoteUnits - directUnits, 600);
        QVERIFY2(direct >= 500, qPrintable(QString::number(direct)));
        QVERIFY2(remote >= 1020, qPrintable(QString::number(remote)));
    }
};

QTEST_MAIN(TestDirectoryRecord)
#include "tst_directoryrecord.moc"
