#include "simunit.h"
#include "unitformats.h"

#include <QTest>

// The simulated unit's logic, commands in and replies out, with no link.
namespace {
const QString kLink = QStringLiteral("serial");

QList<QByteArray> linesOf(const std::optional<QByteArray> &reply)
{
    if (!reply)
        return {};
    QList<QByteArray> lines = reply->split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (!line.endsWith('\r'))
            return {"<line without CR LF>"};
        line.chop(1);
    }
    return lines;
}

bool hasOk(const std::optional<QByteArray> &reply) { return reply && reply->contains("OK"); }

// A unit that is logged on, with its clock under the test's control.
struct Rig {
    explicit Rig(UnitOptions options = {}) : unit(options)
    {
        unit.setNowSource([this] { return now; });
        unit.handle(kLink, "a" + unit.options().pin);
    }
    std::optional<QByteArray> send(const QByteArray &command) { return unit.handle(kLink, command); }
    QDateTime now{QDate(2009, 4, 1), QTime(23, 30, 12)};
    SimUnit unit;
};

QByteArray allBytesButLineEnds()
{
    QByteArray data;
    for (int b = 0; b < 256 && data.size() < 64; ++b)
        if (b != '\r' && b != '\n')
            data += char(b);
    return data; // 0x00 ... 0x41: NUL, control characters and digits
}
} // namespace

class TestSimUnit : public QObject {
    Q_OBJECT
private slots:
    void logOnAndProgrammingMode()
    {
        SimUnit unit;
        // Before the log-on only the identification and the PIN are answered.
        const QList<QByteArray> id = linesOf(unit.handle(kLink, QByteArray()));
        QVERIFY(id.size() >= 4);
        QCOMPARE(id.at(3), QByteArray("Ostiarin_500_Gn4"));
        QVERIFY(!id.join().contains("OK"));
        QVERIFY(!unit.handle(kLink, "r0000"));
        QVERIFY(!unit.handle(kLink, "d01281152"));
        QVERIFY(!unit.handle(kLink, "x"));

        QVERIFY(!hasOk(unit.handle(kLink, "a9999")));
        QVERIFY(!hasOk(unit.handle(kLink, "a")));
        QVERIFY(!hasOk(unit.handle(kLink, "a12345")));
        QVERIFY(!unit.loggedOn());
        QVERIFY(hasOk(unit.handle(kLink, "a1234")));
        QVERIFY(unit.loggedOn(kLink));
        // Another link is not logged on by this one.
        QVERIFY(!unit.loggedOn(QStringLiteral("udp:127.0.0.1")));
        QVERIFY(!unit.handle(QStringLiteral("udp:127.0.0.1"), "r0000"));

        QCOMPARE(linesOf(unit.handle(kLink, QByteArray())), QList<QByteArray>{"OK"});
        QVERIFY(!hasOk(unit.handle(kLink, "q")));     // unknown: answered, never with OK
        QVERIFY(!hasOk(unit.handle(kLink, "f5b")));
        QVERIFY(!unit.handle(kLink, "x"));             // log-off: no answer
        QVERIFY(!unit.loggedOn());
        QCOMPARE(linesOf(unit.handle(kLink, QByteArray())).value(3), QByteArray("Ostiarin_500_Gn4"));
    }

    void modelsAndIdentification_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QByteArray>("line3");
        QTest::addColumn<int>("slotCount");
        QTest::newRow("100") << 100 << QByteArray("Ostiarin_100_Gn4") << 105;
        QTest::newRow("200") << 200 << QByteArray("Ostiarin_200_Gn4") << 209;
        QTest::newRow("500") << 500 << QByteArray("Ostiarin_500_Gn4") << 521;
        QTest::newRow("1000") << 1000 << QByteArray("Ostiarin_1000_Gn4") << 1025;
    }
    void modelsAndIdentification()
    {
        QFETCH(int, model);
        QFETCH(QByteArray, line3);
        QFETCH(int, slotCount);
        UnitOptions options;
        options.model = model;
        Rig rig(options);
        rig.unit.logOff(kLink);
        QCOMPARE(linesOf(rig.unit.handle(kLink, QByteArray())).value(3), line3);
        rig.send("a1234");
        // One line per slot of the model, from 1000 to its last slot, between
        // a first line and the OK line.
        const QList<QByteArray> dump = linesOf(rig.send("d01281152"));
        QCOMPARE(dump.size(), slotCount + 2);
        QCOMPARE(dump.first(), QByteArray("d01281152"));
        QCOMPARE(dump.last(), QByteArray("OK"));
        QCOMPARE(dump.at(1), QByteArray("1000,,,,,,"));
        QCOMPARE(dump.at(slotCount).left(4).toInt(nullptr, 16), SimUnit::directoryEndAddress(model));

        UnitOptions other;
        other.modelText = "Ostiarin_500_Gn4 ";
        SimUnit odd(other);
        QCOMPARE(linesOf(odd.handle(kLink, QByteArray())).value(3), QByteArray("Ostiarin_500_Gn4 "));
    }

    void blocksKeepEveryByte()
    {
        Rig rig;
        // A new unit's settings are erased memory.
        const QList<QByteArray> erased = linesOf(rig.send("r0000"));
        QCOMPARE(erased.size(), 2);
        QCOMPARE(erased.at(0), "r0000" + QByteArray(64, char(0xFF)));
        QCOMPARE(erased.at(1), QByteArray("OK"));

        const QByteArray data = allBytesButLineEnds();
        QCOMPARE(data.size(), 64);
        QVERIFY(hasOk(rig.send("p0015" + data)));
        QCOMPARE(linesOf(rig.send("r0015")).value(0).mid(5), data);
        QByteArray high;
        for (int b = 0xC0; b <= 0xFF; ++b)
            high += char(b);
        QVERIFY(hasOk(rig.send("p0000" + high)));
        QCOMPARE(linesOf(rig.send("r0000")).value(0).mid(5), high);

        // A shorter write changes only its own characters.
        QVERIFY(hasOk(rig.send("p0015ABC")));
        QCOMPARE(linesOf(rig.send("r0015")).value(0).mid(5), "ABC" + data.mid(3));

        // No such block, a block too long, a malformed number: refused.
        QVERIFY(!hasOk(rig.send("p0016" + QByteArray(64, '1'))));
        QVERIFY(!hasOk(rig.send("p0001" + QByteArray(65, '1'))));
        QVERIFY(!hasOk(rig.send("p00a1xx")));
        QVERIFY(!hasOk(rig.send("r0016")));
        QVERIFY(!hasOk(rig.send("r000")));
        QVERIFY(!hasOk(rig.send("r00001")));

        // A dump: line 0 not data, a line per block with the data from the
        // sixth character, then OK.
        rig.send("p0005" + QByteArray(16, '7'));
        const QList<QByteArray> dump = linesOf(rig.send("d00050006"));
        QCOMPARE(dump.size(), 4);
        QCOMPARE(dump.at(1).mid(5), QByteArray(16, '7') + QByteArray(48, char(0xFF)));
        QCOMPARE(dump.at(2).mid(5), QByteArray(64, char(0xFF)));
        QCOMPARE(dump.at(3), QByteArray("OK"));
        QVERIFY(!hasOk(rig.send("d00060005")));
    }

    void directorySlots()
    {
        UnitOptions options;
        options.model = 100;
        Rig rig(options);
        QCOMPARE(UnitFormats::Crc8Maxim("123456789"), quint8(0xA1));
        QCOMPARE(UnitFormats::NibblePair(UnitFormats::Crc8Maxim("b0128,")), QByteArray(":4"));

        QVERIFY(hasOk(rig.send("b0128,101,1234,,,5551<22,SMITH J69")));
        QVERIFY(!hasOk(rig.send("b0128,101,1234,,,5551<22,SMITH J68"))); // wrong CRC
        const auto write = [&rig](int block, const QByteArray &text) {
            const QByteArray body = "b" + QByteArray::number(block).rightJustified(4, '0') + "," + text;
            return rig.send(body + UnitFormats::NibblePair(UnitFormats::Crc8Maxim(body)));
        };
        QVERIFY(hasOk(write(130, "123456,9999,8888,77,0:;<123456789012,ANNE-MARIE DUBOI")));
        QVERIFY(!hasOk(write(233, "5,,,,,X")));                        // beyond the model's last slot
        QVERIFY(!hasOk(write(127, "5,,,,,X")));                        // below the directory
        QVERIFY(!hasOk(write(131, "1234567,,,,,TOO LONG A ROOM")));
        QVERIFY(!hasOk(write(131, "12,,,,5551-22,DASH IN PHONE")));
        QVERIFY(!hasOk(write(131, "12,,,,,SEVENTEEN LETTERS")));
        QVERIFY(!hasOk(write(131, "12,,,NO FIELDS")));
        QVERIFY(hasOk(write(232, "9,,,,,LAST SLOT")));

        QList<QByteArray> dump = linesOf(rig.send("d01281152"));
        QCOMPARE(dump.at(1), QByteArray("1000,101,1234,,,5551<22,SMITH J"));
        QCOMPARE(dump.at(2), QByteArray("1020,,,,,,"));
        QCOMPARE(dump.at(3), QByteArray("1040,123456,9999,8888,77,0:;<123456789012,ANNE-MARIE DUBOI"));
        QCOMPARE(dump.at(105), QByteArray("1D00,9,,,,,LAST SLOT"));

        // The empty record text empties a slot; "f5a" empties them all.
        QVERIFY(hasOk(rig.send("b0128,:4")));
        QCOMPARE(linesOf(rig.send("d01281152")).at(1), QByteArray("1000,,,,,,"));
        QVERIFY(hasOk(rig.send("f5a")));
        QVERIFY(rig.unit.memory().directory.isEmpty());
    }

    void clockReadAndSet()
    {
        Rig rig;
        // Seconds, minutes, hours, day, month, year as hexadecimal pairs.
        QCOMPARE(linesOf(rig.send("t")).value(1), QByteArray("0C1E17010409"));
        // Set in decimal "ssnnhhddmmyy"; the clock then runs on from there.
        rig.send("t595923311299");
        QCOMPARE(linesOf(rig.send("t")).value(1), QByteArray("3B3B171F0C63"));
        rig.now = rig.now.addSecs(1);
        QCOMPARE(linesOf(rig.send("t")).value(1), QByteArray("0000000101" "00"));
        // No such moment: the clock stays.
        const QByteArray before = linesOf(rig.send("t")).value(1);
        QVERIFY(!hasOk(rig.send("t000000321299")));
        QVERIFY(!hasOk(rig.send("t00000001139")));
        QCOMPARE(linesOf(rig.send("t")).value(1), before);
    }

    void eventLines()
    {
        Rig rig;
        rig.send("b0128,123,,,,5551,SMITH J"
                 + UnitFormats::NibblePair(UnitFormats::Crc8Maxim("b0128,123,,,,5551,SMITH J")));
        SimEvent room;
        room.room = "123";
        room.time = QDateTime(QDate(2009, 12, 31), QTime(23, 59, 0), Qt::UTC);
        room.relay = '2';
        room.source = '0';
        rig.unit.appendEvent(room); // the name comes from the directory
        SimEvent button;
        button.kind = SimEvent::Kind::Button;
        button.button = '3';
        button.source = '1';
        rig.unit.appendEvent(button); // at the unit's clock
        SimEvent call;
        call.kind = SimEvent::Kind::InCall;
        call.source = '2';
        rig.unit.appendEvent(call);

        const QList<QByteArray> dump = linesOf(rig.send("e"));
        QCOMPARE(dump.size(), 5);
        QCOMPARE(dump.last(), QByteArray("OK"));
        const QByteArray first = dump.at(1);
        // Positions counted from 1: 6-17 kind/room, 18-23 date, 24-29 time,
        // 31 relay, 33 source, 38-53 client.
        QCOMPARE(first.mid(5, 12), QByteArray("313233FFFFFF"));
        QCOMPARE(first.mid(17, 6), QByteArray("1F0C09"));
        QCOMPARE(first.mid(23, 6), QByteArray("173B00"));
        QCOMPARE(first.at(30), '2');
        QCOMPARE(first.at(32), '0');
        QCOMPARE(first.mid(37), QByteArray("SMITH J"));
        const QByteArray second = dump.at(2);
        QCOMPARE(second.at(5), 'A');
        QCOMPARE(second.at(8), '3');
        QCOMPARE(second.mid(17, 6), QByteArray("010409"));
        QCOMPARE(second.mid(23, 6), QByteArray("171E0C"));
        QCOMPARE(second.at(32), '1');
        QCOMPARE(dump.at(3).at(5), 'B');
        QCOMPARE(dump.at(3).at(32), '2');
    }

    void tagArea()
    {
        Rig rig;
        QList<QByteArray> dump = linesOf(rig.send("s14081535"));
        // Two first lines, 128 blocks, two last lines of which one holds OK.
        QCOMPARE(dump.size(), 132);
        QVERIFY(dump.at(130).contains("OK") != dump.at(131).contains("OK"));
        QVERIFY(!dump.at(0).contains("OK") && !dump.at(1).contains("OK"));
        for (int i = 2; i < 130; ++i)
            QCOMPARE(dump.at(i).mid(5), QByteArray(64, '?'));

        const QByteArray tagSlots = "12????0123456789" "7?????:;<=>?0123" "101???ABCDEF0123" "????????????????";
        const QList<QByteArray> written = linesOf(rig.send("g1409" + tagSlots));
        QCOMPARE(written.value(1), QByteArray("OK"));
        dump = linesOf(rig.send("s14081535"));
        QCOMPARE(dump.at(3).mid(5), tagSlots);
        QCOMPARE(linesOf(rig.send("r1409")).value(0).mid(5), tagSlots);
        QVERIFY(!hasOk(rig.send("g1536" + tagSlots)));
        QVERIFY(!hasOk(rig.send("g0003" + tagSlots)));

        // The reader: the code, then the exclusive-or of its five bytes.
        QCOMPARE(rig.unit.presentTag("0123456789", false), QByteArray("012345678989\r\n"));
        QCOMPARE(rig.unit.presentTag("0123456789", true), QByteArray("012345678988\r\n"));
        QCOMPARE(rig.unit.presentTag("abcdef0102", false), QByteArray("abcdef01028A\r\n"));
        // A known tag opens its room's door, which the log records as RF-ID.
        QVERIFY(rig.unit.memory().events.size() == 1);
        QCOMPARE(rig.unit.memory().events.first().room, QByteArray("12"));
        QCOMPARE(rig.unit.memory().events.first().source, '2');
        rig.unit.presentTag("FFFFFFFFFF", false);
        QCOMPARE(rig.unit.memory().events.size(), 1);

        QVERIFY(hasOk(rig.send("c1418")));
        QCOMPARE(linesOf(rig.send("r1409")).value(0).mid(5), QByteArray(64, '?'));
    }

    void faults()
    {
        UnitOptions options;
        options.dropCommands = "rb";
        options.stallAfter = 3;
        options.refuseG = true;
        options.ignoreKeepAlive = true;
        Rig rig(options);
        QVERIFY(!rig.send("r0000"));
        QVERIFY(!rig.send("b0128,:4"));
        QVERIFY(hasOk(rig.send("p0001" + QByteArray(64, '5'))));
        QVERIFY(!rig.send(QByteArray())); // keep-alive not answered
        QCOMPARE(linesOf(rig.send("d00000005")).size(), 3);
        QVERIFY(!hasOk(rig.send("d00000005")));
        QCOMPARE(linesOf(rig.send("g1408" + QByteArray(64, '?'))).value(1), QByteArray("Error"));

        UnitOptions corrupt;
        corrupt.corruptReadback = true;
        Rig other(corrupt);
        other.send("p0002" + QByteArray(64, '0'));
        QCOMPARE(linesOf(other.send("r0002")).value(0).mid(5), '1' + QByteArray(63, '0'));
    }

    void programmingModeTimesOut()
    {
        UnitOptions options;
        options.sessionTimeoutMs = 60000;
        Rig rig(options);
        rig.now = rig.now.addSecs(59);
        QVERIFY(hasOk(rig.send(QByteArray())));
        rig.now = rig.now.addSecs(59); // each command starts the time again
        QVERIFY(rig.unit.loggedOn());
        rig.now = rig.now.addSecs(2);
        QVERIFY(!rig.unit.loggedOn());
        QCOMPARE(linesOf(rig.send(QByteArray())).value(3), QByteArray("Ostiarin_500_Gn4"));
    }

    void strictRefusals()
    {
        // Every letter of --drop goes unanswered, the PIN command too.
        UnitOptions dropping;
        dropping.dropCommands = "a";
        SimUnit unit(dropping);
        QStringList refused;
        unit.setRefusalSink([&](const QString &, const QString &why) { refused << why; });
        QVERIFY(!unit.handle(kLink, "a1234"));
        QVERIFY(!unit.loggedOn());
        QCOMPARE(refused.size(), 1);

        // A tag block is written whole; a block program is no longer than a block.
        Rig rig;
        QStringList why;
        rig.unit.setRefusalSink([&](const QString &, const QString &text) { why << text; });
        const QByteArray before = rig.unit.memory().block(1409);
        for (const QByteArray &data : {QByteArray(63, '?'), QByteArray(65, '?'), QByteArray(16, '1')}) {
            const std::optional<QByteArray> reply = rig.send("g1409" + data);
            QCOMPARE(linesOf(reply).value(1), QByteArray("Error"));
            QVERIFY(!hasOk(reply));
        }
        QCOMPARE(rig.unit.memory().block(1409), before);
        QVERIFY(hasOk(rig.send("g1409" + QByteArray(64, '?'))));
        const QList<QByteArray> tooLong = linesOf(rig.send("p0001" + QByteArray(65, '5')));
        QCOMPARE(tooLong.value(1), QByteArray("Error"));
        QVERIFY(hasOk(rig.send("p0012" + QByteArray(32, 'A')))); // shorter is fine: a message block
        QCOMPARE(why.size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestSimUnit)
#include "tst_simunit.moc"
