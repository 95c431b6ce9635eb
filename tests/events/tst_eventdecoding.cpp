#include "common/errors.h"
#include "events/eventdecoding.h"
#include "events/eventdownload.h"
#include "events/eventtable.h"
#include "events/unitclock.h"
#include "link/commandchannel.h"
#include "link/receivelog.h"
#include "records/recordtable.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace {
QString L(const char *text) { return QString::fromLatin1(text); }

// An event line as the unit writes it: five characters of its own, the
// kind/room field, date and time pairs, blank, relay, blank, source, four
// blanks and the client name.
QString eventLine(const char *kind, const char *date, const char *time, char relay, char source, const QString &client)
{
    return L("E0001") + L(kind) + L(date) + L(time) + QLatin1Char(' ') + QLatin1Char(relay) + QLatin1Char(' ')
           + QLatin1Char(source) + L("    ") + client;
}

QStringList record(const RecordTable &table, int row) { return table.recordValues(row); }

void defineOpen(RecordTable &table)
{
    DefineEventTable(table);
    table.open();
    table.empty();
}
} // namespace

class TestEventDecoding : public QObject {
    Q_OBJECT
private slots:
    void hexPairs_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("decimal");
        QTest::newRow("1F") << L("1F") << 2 << L("31");
        QTest::newRow("05") << L("05") << 2 << L("05");
        QTest::newRow("FF keeps last two") << L("FF") << 2 << L("55");
        QTest::newRow("lower case") << L("0c") << 2 << L("12");
        QTest::newRow("three digits") << L("FF") << 3 << L("255");
        QTest::newRow("zero") << L("00") << 2 << L("00");
    }
    void hexPairs()
    {
        QFETCH(QString, hex);
        QFETCH(int, count);
        QFETCH(QString, decimal);
        QCOMPARE(HexToDecimalDigits(hex, count), decimal);
    }

    void badHexNamesThePair_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::newRow("letters") << L("G1");
        QTest::newRow("blank") << L(" 1");
        QTest::newRow("sign") << L("-1");
        QTest::newRow("erased") << QString(2, QChar(0xFF));
        QTest::newRow("empty") << QString();
    }
    void badHexNamesThePair()
    {
        QFETCH(QString, hex);
        try {
            HexToDecimalDigits(hex, 2);
            QFAIL("no error");
        } catch (const ConversionError &e) {
            QCOMPARE(e.text(), L("'$") + hex + L("' is not a valid integer value"));
        }
    }

    void triples_data()
    {
        QTest::addColumn<QString>("six");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("text");
        QTest::newRow("time") << L("0C1E2D") << L(":") << L("12:30:45");
        QTest::newRow("date") << L("1F0C09") << L("/") << L("31/12/09");
        QTest::newRow("end of day") << L("173B00") << L(":") << L("23:59:00");
        QTest::newRow("too short") << L("0C1E2") << L(":") << QString();
        QTest::newRow("too long") << L("0C1E2D0") << L(":") << QString();
        QTest::newRow("empty") << QString() << L("/") << QString();
    }
    void triples()
    {
        QFETCH(QString, six);
        QFETCH(QString, separator);
        QFETCH(QString, text);
        QCOMPARE(FormatHexTriple(six, separator.at(0)), text);
    }

    void kinds_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("room 123") << L("313233FFFFFF") << L("123");
        QTest::newRow("six digits") << L("313233343536") << L("123456");
        QTest::newRow("erased pairs") << L("3130") + QString(8, QChar(0xFF)) << L("10");
        QTest::newRow("no room") << L("3F3132333435") << QString();
        QTest::newRow("incoming call") << L("B00000000000") << L("InCall");
        QTest::newRow("button 3") << L("A00300000000") << L("Butt.3");
        QTest::newRow("error") << L("C00000000000") << L("error");
        QTest::newRow("short field") << L("31323") << L("error");
        QTest::newRow("long field") << L("3132333435363") << L("error");
    }
    void kinds()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QCOMPARE(DecodeEventKind(field), text);
    }

    void sources_data()
    {
        QTest::addColumn<QChar>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << QChar(u'0') << L("local");
        QTest::newRow("1") << QChar(u'1') << L("Remote");
        QTest::newRow("2") << QChar(u'2') << L("RF-ID");
        QTest::newRow("7") << QChar(u'7') << L("Error");
        QTest::newRow("none") << QChar() << L("Error");
    }
    void sources()
    {
        QFETCH(QChar, code);
        QFETCH(QString, text);
        QCOMPARE(EventSourceText(code), text);
    }

    void records_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("values"); // without the event number
        QTest::newRow("room event")
            << eventLine("313233FFFFFF", "1F0C09", "173B00", '1', '0', L("SMITH J"))
            << QStringList{L("123"), L("31/12/09"), L("23:59:00"), L("1"), L("local"), L("SMITH J")};
        QTest::newRow("client bytes kept")
            << eventLine("3130FFFFFFFF", "010203", "040506", '2', '2', L("A,B%\xe9\xff\x7f"))
            << QStringList{L("10"), L("01/02/03"), L("04:05:06"), L("2"), L("RF-ID"), L("A,B%\xe9\xff\x7f")};
        QTest::newRow("long client cut")
            << eventLine("31FFFFFFFFFF", "010203", "040506", '1', '1', L("ABCDEFGHIJKLMNOPQRST"))
            << QStringList{L("1"), L("01/02/03"), L("04:05:06"), L("1"), L("Remote"), L("ABCDEFGHIJKLMNOP")};
        QTest::newRow("button: kind in client")
            << eventLine("A00300000000", "010203", "040506", '1', '0', L("IGNORED"))
            << QStringList{L("Butt.3"), L("01/02/03"), L("04:05:06"), L("1"), L("local"), L("Butt.3")};
        QTest::newRow("call")
            << eventLine("B00000000000", "010203", "040506", '1', '1', QString())
            << QStringList{L("InCall"), L("01/02/03"), L("04:05:06"), L("1"), L("Remote"), L("InCall")};
        QTest::newRow("error kind, odd source")
            << eventLine("C00000000000", "010203", "040506", '1', '7', QString())
            << QStringList{L("error"), L("01/02/03"), L("04:05:06"), L("1"), L("Error"), L("error")};
        QTest::newRow("ends after the time")
            << L("E0001313233FFFFFF1F0C09173B00")
            << QStringList{L("123"), L("31/12/09"), L("23:59:00"), QString(), L("Error"), QString()};
        QTest::newRow("ends at the relay")
            << L("E0001313233FFFFFF1F0C09173B00 4")
            << QStringList{L("123"), L("31/12/09"), L("23:59:00"), L("4"), L("Error"), QString()};
        QTest::newRow("short time")
            << L("E0001313233FFFFFF1F0C09173B")
            << QStringList{L("123"), L("31/12/09"), QString(), QString(), L("Error"), QString()};
        QTest::newRow("five characters") << L("E0001")
                                         << QStringList{L("error"), QString(), QString(), QString(), L("Error"), QString()};
        QTest::newRow("empty line") << QString()
                                    << QStringList{L("error"), QString(), QString(), QString(), L("Error"), QString()};
    }
    void records()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, values);
        RecordTable table;
        defineOpen(table);
        AppendEventRecord(table, line, 7);
        QCOMPARE(table.recordCount(), 1);
        QCOMPARE(record(table, 0), QStringList{L("7")} + values);
    }

    void badPairKeepsEarlierRecords()
    {
        RecordTable table;
        defineOpen(table);
        const QStringList lines{L("e0003"), eventLine("31FFFFFFFFFF", "010203", "040506", '1', '0', L("ONE")),
                                eventLine("32FFFFFFFFFF", "01XX03", "040506", '1', '0', L("TWO")),
                                eventLine("33FFFFFFFFFF", "010203", "040506", '1', '0', L("THREE")), L("OK")};
        try {
            AppendEventDump(table, lines);
            QFAIL("no error");
        } catch (const ConversionError &e) {
            QCOMPARE(e.text(), L("'$XX' is not a valid integer value"));
        }
        QCOMPARE(table.recordCount(), 1);
        QCOMPARE(table.recordValues(0).at(6), L("ONE"));
        QVERIFY(!table.controlsDisabled());
        QCOMPARE(table.state(), RecordTable::State::Browse);
    }

    void eventNumberBeyondSixteenBitsIsRefused()
    {
        RecordTable table;
        defineOpen(table);
        const QString line = eventLine("31FFFFFFFFFF", "010203", "040506", '1', '0', L("X"));
        AppendEventRecord(table, line, 32767);
        QVERIFY_THROWS_EXCEPTION(AppError, AppendEventRecord(table, line, 32768));
        QCOMPARE(table.recordCount(), 1);
        QCOMPARE(table.state(), RecordTable::State::Browse);
    }

    void dumpsNumberTheLinesBetweenHeadAndOk_data()
    {
        QTest::addColumn<QString>("dump");
        QTest::addColumn<QStringList>("rooms");
        const QString a = eventLine("31FFFFFFFFFF", "010203", "040506", '1', '0', L("A"));
        const QString b = eventLine("32FFFFFFFFFF", "010203", "040506", '1', '0', L("B"));
        QTest::newRow("two events") << L("e0002\r\n") + a + L("\r\n") + b + L("\r\nOK\r\n") << QStringList{L("1"), L("2")};
        QTest::newRow("no final line end") << L("e0002\r\n") + a + L("\r\n") + b + L("\r\nOK")
                                           << QStringList{L("1"), L("2")};
        QTest::newRow("empty log") << L("e0000\r\nOK\r\n") << QStringList{};
        QTest::newRow("only OK") << L("OK\r\n") << QStringList{};
    }
    void dumpsNumberTheLinesBetweenHeadAndOk()
    {
        QFETCH(QString, dump);
        QFETCH(QStringList, rooms);
        RecordTable table;
        defineOpen(table);
        QCOMPARE(AppendEventDump(table, EventDumpLines(dump)), int(rooms.size()));
        QCOMPARE(table.recordCount(), int(rooms.size()));
        for (int i = 0; i < rooms.size(); ++i) {
            QCOMPARE(table.recordValues(i).at(0), QString::number(i + 1));
            QCOMPARE(table.recordValues(i).at(1), rooms.at(i));
        }
    }

    void clockReply_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("date");
        QTest::newRow("full") << L("0C1E17010409") << L("23:30:12") << L("01/04/09");
        QTest::newRow("more after") << L("0C1E17010409 junk") << L("23:30:12") << L("01/04/09");
        QTest::newRow("no date") << L("0C1E17") << L("23:30:12") << QString();
        QTest::newRow("short date") << L("0C1E170104") << L("23:30:12") << QString();
        QTest::newRow("short time") << L("0C1E1") << QString() << QString();
        QTest::newRow("missing") << QString() << QString() << QString();
    }
    void clockReply()
    {
        QFETCH(QString, line);
        QFETCH(QString, time);
        QFETCH(QString, date);
        QCOMPARE(ClockReplyTime(line), time);
        QCOMPARE(ClockReplyDate(line), date);
    }

    void clockSetDigits_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("digits");
        QTest::newRow("spring morning") << QDateTime(QDate(2009, 3, 3), QTime(9, 5, 7)) << L("070509030309");
        QTest::newRow("century's last second") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)) << L("595923311299");
        QTest::newRow("midnight 2000") << QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)) << L("000000010100");
    }
    void clockSetDigits()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QString, digits);
        QCOMPARE(ClockSetDigits(moment), digits);
        QCOMPARE(ClockSetText(moment), L("t") + digits + L("\r"));
    }

    void pcClockIsSingleByteWithoutZone_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("date");
        QTest::newRow("C") << L("C") << L("23:05:07") << L("3 Mar 2009");
        QTest::newRow("en_US") << L("en_US") << L("11:05:07 PM") << L("3/3/09");
        QTest::newRow("de_DE") << L("de_DE") << L("23:05:07") << L("03.03.09");
        QTest::newRow("ar_EG: other digits") << L("ar_EG") << L("23:05:07") << L("03/03/09");
        QTest::newRow("ja_JP: other letters") << L("ja_JP") << L("23:05:07") << L("2009/03/03");
    }
    void pcClockIsSingleByteWithoutZone()
    {
        QFETCH(QString, locale);
        QFETCH(QString, time);
        QFETCH(QString, date);
        QCOMPARE(PcClockTime(QTime(23, 5, 7), QLocale(locale)), time);
        QCOMPARE(PcClockDate(QDate(2009, 3, 3), QLocale(locale)), date);
    }

    void dumpEnd_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("end");
        QTest::newRow("OK") << L("OK") << true;
        QTest::newRow("OK in a text") << L("e OK") << true;
        QTest::newRow("event") << eventLine("31FFFFFFFFFF", "010203", "040506", '1', '0', L("SMITH")) << false;
        QTest::newRow("client BROOKE") << eventLine("31FFFFFFFFFF", "010203", "040506", '1', '0', L("BROOKE")) << false;
        QTest::newRow("client ends OK") << eventLine("31FFFFFFFFFF", "010203", "040506", '1', '0', L("ABCDEFGHIJKLMNOK"))
                                        << false;
        QTest::newRow("OK after the client")
            << eventLine("31FFFFFFFFFF", "010203", "040506", '1', '0', L("ABCDEFGHIJKLMNOP")) + L("OK") << true;
        // The text on either side of the client field is looked at apart: an
        // "O" before it and a "K" after it make no "OK".
        QTest::newRow("O before the client, K after it") << L("O").repeated(37) + L("ABCDEFGHIJKLMNOP") + L("K") << false;
    }
    void dumpEnd()
    {
        QFETCH(QString, line);
        QFETCH(bool, end);
        QCOMPARE(IsEventDumpEnd(line), end);
    }

    // A long log on a slow line keeps arriving after the quiet limit has
    // passed: the wait goes on while lines come, and a client name holding
    // "OK" does not end it.
    void dumpWaitFollowsTheArrivingLines()
    {
        ReceiveLog log;
        CommandChannel channel(log);
        channel.BulkTransfer = true;
        QStringList pieces{L("e0006\r\n")};
        for (int i = 0; i < 6; ++i)
            pieces << eventLine("31FFFFFFFFFF", "010203", "040506", '1', '0', i == 2 ? L("BROOKE") : L("SMITH")) + L("\r\n");
        pieces << L("OK\r\n");
        QTimer feeder;
        feeder.setInterval(150);
        connect(&feeder, &QTimer::timeout, &channel, [&] {
            if (!pieces.isEmpty())
                channel.ReceiveText(pieces.takeFirst());
        });
        feeder.start();
        QElapsedTimer clock;
        clock.start();
        // Four quiet steps are 345.6 ms: less than the whole dump takes (1.2 s).
        QVERIFY(WaitEventDump(channel, 4));
        QVERIFY(pieces.isEmpty());
        QVERIFY(clock.elapsed() >= 1000);
        QCOMPARE(EventDumpLines(channel.RxBuffer).size(), 8);
        QCOMPARE(EventDumpLines(channel.RxBuffer).constLast(), L("OK"));
    }

    void dumpWaitGivesUpWhenSilent()
    {
        ReceiveLog log;
        CommandChannel channel(log);
        channel.BulkTransfer = true;
        channel.ReceiveText(L("old\r\nOK\r\n"));
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(100, &channel, [&] { channel.ReceiveText(L("e0001\r\nE0001 half a line")); });
        QVERIFY(!WaitEventDump(channel, 4));
        QVERIFY(clock.elapsed() >= 4 * 86);
        QCOMPARE(channel.RxBuffer, L("e0001\r\nE0001 half a line"));
    }
};

QTEST_GUILESS_MAIN(TestEventDecoding)
#include "tst_eventdecoding.moc"
