#include "directory/directoryfile.h"
#include "directory/directorytable.h"
#include "messagerecorder.h"
#include "plaintagmerge.h"
#include "records/recordtable.h"
#include "rfid/tagarea.h"
#include "rfid/tagblocks.h"
#include "rfid/tagcode.h"
#include "rfid/tagcodeentry.h"
#include "rfid/tagmerge.h"
#include "rfid/takenaddrs.h"

#include <QRandomGenerator>
#include <QTest>

// The window-free knowledge of the tag page: code forms, the reader's check
// byte, the dump, the merge by room and the blocks of the write-all.
namespace {
namespace F = DirectoryFields;

QString latin1(const char *text) { return QString::fromLatin1(text); }

QString readerLine(const QString &code, int flip = 0)
{
    int check = 0;
    for (int i = 0; i < 10; i += 2)
        check ^= code.mid(i, 2).toInt(nullptr, 16);
    return code + QStringLiteral("%1").arg(check ^ flip, 2, 16, QLatin1Char('0')).toUpper();
}

struct Rec {
    QString name, room, rfid, addr;
};

void fill(RecordTable &table, const QList<Rec> &records)
{
    DefineDirectoryTable(table);
    table.open();
    for (const Rec &r : records) {
        table.append();
        table.setValue(F::Name, r.name);
        table.setValue(F::RoomNumber, r.room);
        table.setValue(F::RFID, r.rfid);
        table.setValue(F::Addr, r.addr);
        table.store();
    }
}

QList<Rec> rows(const RecordTable &table)
{
    QList<Rec> out;
    const int name = table.fieldIndex(F::Name), room = table.fieldIndex(F::RoomNumber);
    const int rfid = table.fieldIndex(F::RFID), addr = table.fieldIndex(F::Addr);
    for (int row = 0; row < table.recordCount(); ++row)
        out.append({table.storedValue(row, name), table.storedValue(row, room), table.storedValue(row, rfid),
                    table.storedValue(row, addr)});
    return out;
}

QStringList describe(const QList<Rec> &records)
{
    QStringList out;
    for (const Rec &r : records)
        out << QStringList{r.name, r.room, r.rfid, r.addr}.join(QLatin1Char('|'));
    return out;
}

QString dumpReply(const QStringList &blocks)
{
    QString reply = QStringLiteral("s14081535\r\nRF-ID table 1408-1535\r\n");
    int number = 1408;
    for (const QString &block : blocks)
        reply += QStringLiteral("S%1").arg(number++) + block + QStringLiteral("\r\n");
    return reply + QStringLiteral("End of table\r\nOK\r\n");
}
} // namespace

// Declared before the first data column uses them.
Q_DECLARE_METATYPE(Rec)
Q_DECLARE_METATYPE(TagEntry)

class TestTagCodes : public QObject {
    Q_OBJECT
private slots:
    void nibbleDigits()
    {
        const QString nibbles = QStringLiteral("0123456789:;<=>?");
        const QString hex = QStringLiteral("0123456789ABCDEF");
        for (int i = 0; i < 16; ++i)
            QCOMPARE(NibbleToHexDigit(nibbles.at(i)), QString(hex.at(i)));
        for (const char c : {'/', '@', 'A', 'a', ' ', '\0'})
            QCOMPARE(NibbleToHexDigit(QLatin1Char(c)), QString());
        QCOMPARE(NibbleToHexDigit(QChar(0xFF)), QString());
    }

    void decodeCode_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("code");
        QTest::newRow("decimal digits") << latin1("0123456789") << latin1("0123456789");
        QTest::newRow("letters after the first") << latin1("1:;<=>?000") << latin1("1ABCDEF000");
        QTest::newRow("empty code") << latin1("??????????") << QString();
        QTest::newRow("'?' first") << latin1("?123456789") << QString();
        QTest::newRow("empty field") << QString() << QString();
        QTest::newRow("foreign characters drop out") << latin1("12\xFF" "45a7890") << latin1("12457890");
        QTest::newRow("short field") << latin1("12") << latin1("12");
    }
    void decodeCode()
    {
        QFETCH(QString, field);
        QFETCH(QString, code);
        QCOMPARE(DecodeTagCode(field), code);
    }

    void encodeCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("unit");
        QTest::newRow("A and F") << latin1("0A1234567F") << latin1("0:1234567?");
        QTest::newRow("all letters") << latin1("ABCDEF") << latin1(":;<=>?");
        // A lower-case letter would be no nibble character: the unit would drop it.
        QTest::newRow("lower case as upper") << latin1("abcdef0123") << latin1(":;<=>?0123");
        QTest::newRow("other letters unchanged") << latin1("GZ") << latin1("GZ");
    }
    void encodeCode()
    {
        QFETCH(QString, code);
        QFETCH(QString, unit);
        QCOMPARE(EncodeTagCode(code), unit);
    }

    void codesRoundTripThroughTheUnitForm()
    {
        const QString hex = QStringLiteral("0123456789ABCDEF");
        for (int n = 0; n < 200; ++n) {
            QString code;
            for (int i = 0; i < 10; ++i)
                code += hex.at(QRandomGenerator::global()->bounded(16));
            if (code.startsWith(QLatin1Char('F')))
                continue; // "?" first is the empty code
            QCOMPARE(DecodeTagCode(EncodeTagCode(code)), code);
        }
    }

    void readerCheckByte_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("code");
        QTest::newRow("good") << readerLine(latin1("0123456789")) << latin1("0123456789");
        QTest::newRow("good, letters") << readerLine(latin1("00FFA5C3E1")) << latin1("00FFA5C3E1");
        QTest::newRow("lower case taken as upper")
            << latin1("00ffa5c3e1") + readerLine(latin1("00FFA5C3E1")).right(2).toLower() << latin1("00FFA5C3E1");
        QTest::newRow("more after the check byte") << readerLine(latin1("0123456789")) + latin1("xyz")
                                                    << latin1("0123456789");
        QTest::newRow("wrong check byte") << readerLine(latin1("0123456789"), 1) << QString();
        QTest::newRow("no check byte") << latin1("0123456789") << QString();
        QTest::newRow("half a check byte") << readerLine(latin1("0123456789")).left(11) << QString();
        QTest::newRow("not hexadecimal") << latin1("01234G678900") << QString();
        QTest::newRow("blank in a pair") << latin1("0123 5678900") << QString();
        QTest::newRow("sign in a pair") << latin1("+1000000000") + latin1("01") << QString();
        QTest::newRow("keep-alive answer") << latin1("OK") << QString();
        QTest::newRow("empty") << QString() << QString();
        // All zero: the exclusive-or of nothing is 0 and matches "00".
        QTest::newRow("zero code") << latin1("000000000000") << latin1("0000000000");
    }
    void readerCheckByte()
    {
        QFETCH(QString, line);
        QFETCH(QString, code);
        QCOMPARE(CheckTagReply(line), code);
    }

    void dump_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QStringList>("tags"); // room=code
        const QString empty = QString(16, QLatin1Char('?'));
        QTest::newRow("room, code, two empty slots")
            << dumpReply({latin1("12????0123456789") + latin1("7?????1:;<=>?000") + empty + empty})
            << QStringList{latin1("12=0123456789"), latin1("7=1ABCDEF000")};
        QTest::newRow("erased room, '?' room, '?' code")
            << dumpReply({latin1("\xFF\xFF\xFF\xFF\xFF\xFF" "0123456789") + latin1("?12???0123456789")
                          + latin1("12?????123456789") + latin1("123456:000000000")})
            << QStringList{latin1("123456=A000000000")};
        QTest::newRow("room ended by 0xFF")
            << dumpReply({latin1("42\xFF\xFF\xFF\xFF" "0000000001") + empty + empty + empty})
            << QStringList{latin1("42=0000000001")};
        QTest::newRow("blocks in order")
            << dumpReply({latin1("1?????1111111111") + empty + empty + latin1("2?????2222222222"),
                          latin1("3?????3333333333") + empty + empty + empty})
            << QStringList{latin1("1=1111111111"), latin1("2=2222222222"), latin1("3=3333333333")};
        QTest::newRow("short line: cut fields skip")
            << dumpReply({latin1("5?????0123456789") + latin1("6?????01"), latin1("9")})
            << QStringList{latin1("5=0123456789"), latin1("6=01")};
        QTest::newRow("four lines only")
            << latin1("s14081535\r\nS14081?????0123456789\r\nS14082?????0123456789\r\nOK\r\n") << QStringList{};
        QTest::newRow("empty lines between")
            << latin1("a\r\nb\r\n\r\nS14081?????0123456789\r\n\r\ny\r\nOK\r\n") << QStringList{latin1("1=0123456789")};
        QTest::newRow("nothing") << QString() << QStringList{};
        QTest::newRow("last line without its end")
            << latin1("a\r\nb\r\nS14081?????0123456789\r\nS14082?????0123456789\r\nOK\r\nx")
            << QStringList{latin1("1=0123456789"), latin1("2=0123456789")};
    }
    void dump()
    {
        QFETCH(QString, reply);
        QFETCH(QStringList, tags);
        QStringList got;
        for (const TagEntry &tag : ParseTagDump(reply))
            got << tag.room + QLatin1Char('=') + tag.code;
        QCOMPARE(got, tags);
    }

    void slotText_data()
    {
        QTest::addColumn<QString>("room");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<bool>("codeOk");
        QTest::newRow("short room") << latin1("7") << latin1("0A1234567F") << latin1("7?????0:1234567?") << true;
        QTest::newRow("six digits") << latin1("123456") << latin1("0123456789") << latin1("1234560123456789") << true;
        QTest::newRow("long room cut") << latin1("12345678") << latin1("0123456789") << latin1("1234560123456789") << true;
        QTest::newRow("lower case sent as upper") << latin1("1") << latin1("abcdef0123") << latin1("1?????:;<=>?0123") << true;
        QTest::newRow("short code filled") << latin1("1") << latin1("12345") << latin1("1?????12345?????") << false;
        QTest::newRow("long code cut") << latin1("1") << latin1("0123456789AB") << latin1("1?????0123456789") << false;
    }
    void slotText()
    {
        QFETCH(QString, room);
        QFETCH(QString, code);
        QFETCH(QString, slot);
        QFETCH(bool, codeOk);
        bool ok = !codeOk;
        QCOMPARE(TagSlotText(room, code, &ok), slot);
        QCOMPARE(ok, codeOk);
    }

    void badCodeIsFound()
    {
        RecordTable table;
        fill(table, {{latin1("A"), latin1("1"), latin1("0123456789"), {}},
                     {latin1("B"), latin1("2"), QString(), {}},
                     {latin1("C"), {}, latin1("012345678"), {}},
                     {latin1("D"), latin1("4"), latin1("1"), {}}});
        QCOMPARE(FirstBadTagCode(table), 2);
        RecordTable good;
        fill(good, {{latin1("A"), latin1("1"), latin1("0123456789"), {}}, {latin1("B"), latin1("2"), {}, {}}});
        QCOMPARE(FirstBadTagCode(good), -1);
    }

    void fiveTagsMakeTwoBlocks()
    {
        RecordTable table;
        QList<Rec> records;
        for (int i = 1; i <= 5; ++i) {
            records.append({QStringLiteral("R%1").arg(i), QString::number(i), QStringLiteral("00000000A%1").arg(i), {}});
            // Records without a tag, or with a tag but no room, take no slot.
            records.append({latin1("no tag"), latin1("99"), {}, {}});
            records.append({latin1("no room"), {}, latin1("FFFFFFFFFF"), {}});
        }
        fill(table, records);
        const TagWritePlan plan = PlanTagBlocks(table);
        QCOMPARE(plan.blocks.size(), 2);
        QCOMPARE(plan.blocks[0].number, latin1("1408"));
        QCOMPARE(plan.blocks[0].text, latin1("1?????00000000:12?????00000000:23?????00000000:34?????00000000:4"));
        QCOMPARE(plan.blocks[1].number, latin1("1409"));
        QCOMPARE(plan.blocks[1].text, latin1("5?????00000000:5") + QString(48, QLatin1Char('?')));
        QCOMPARE(plan.blocks[0].lastRow, 9);
        QVERIFY(!plan.overflow);
        QCOMPARE(plan.lastRow, 14);
        QVERIFY(plan.blocks[0].badCodeRooms.isEmpty());
    }

    void areaLimit_data()
    {
        QTest::addColumn<int>("tags");
        QTest::addColumn<bool>("trailingRoomless");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<bool>("overflow");
        QTest::newRow("none") << 0 << false << 0 << false;
        QTest::newRow("511") << 511 << false << 128 << false;
        QTest::newRow("512") << 512 << false << 128 << false;
        QTest::newRow("512 and a tag without room") << 512 << true << 128 << false;
        QTest::newRow("513") << 513 << false << 128 << true;
        QTest::newRow("600") << 600 << false << 128 << true;
    }
    void areaLimit()
    {
        QFETCH(int, tags);
        QFETCH(bool, trailingRoomless);
        QFETCH(int, blocks);
        QFETCH(bool, overflow);
        QList<Rec> records;
        for (int i = 0; i < tags; ++i)
            records.append({{}, QString::number(i + 1), QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0')), {}});
        if (trailingRoomless)
            records.append({{}, {}, latin1("0123456789"), {}});
        RecordTable table;
        fill(table, records);
        const TagWritePlan plan = PlanTagBlocks(table);
        QCOMPARE(plan.blocks.size(), blocks);
        QCOMPARE(plan.overflow, overflow);
        if (blocks > 0)
            QCOMPARE(plan.blocks.last().number, QString::number(1407 + blocks));
        if (overflow)
            QCOMPARE(plan.lastRow, 512); // the 513th tag, which is not written
        else
            QCOMPARE(plan.lastRow, int(records.size()) - 1);
    }

    void takenAddresses()
    {
        TakenAddrs taken;
        QVERIFY(taken.IsAddrTaken(QString())); // an empty address equals an unfilled entry
        QVERIFY(!taken.IsAddrTaken(latin1("1000")));
        taken.TakeAddr(latin1("1000"));
        QVERIFY(taken.IsAddrTaken(latin1("1000")));
        QCOMPARE(taken.counter(), 3);
        QCOMPARE(taken.TakeNewAddr(), latin1("p3"));
        QVERIFY(taken.IsAddrTaken(latin1("p3")));
        QCOMPARE(taken.counter(), 4);
        taken.ResetTakenAddrs();
        QVERIFY(!taken.IsAddrTaken(latin1("1000")));
        QCOMPARE(taken.counter(), 2);

        // At the last entry TakeAddr stops; new addresses go on counting,
        // and once every entry is filled an empty address is free.
        for (int i = 2; i < 1001; ++i)
            taken.TakeAddr(QStringLiteral("%1").arg(i, 4, 16, QLatin1Char('0')));
        QCOMPARE(taken.counter(), 1001);
        taken.TakeAddr(latin1("ffff"));
        QCOMPARE(taken.counter(), 1001);
        QVERIFY(!taken.IsAddrTaken(latin1("ffff")));
        QVERIFY(taken.IsAddrTaken(QString()));
        QCOMPARE(taken.TakeNewAddr(), latin1("p1001"));
        QVERIFY(taken.IsAddrTaken(latin1("p100")));
        QVERIFY(!taken.IsAddrTaken(QString()));
        QCOMPARE(taken.TakeNewAddr(), latin1("p1002"));
        QCOMPARE(taken.counter(), 1003);
    }

    void mergeByRoom_data()
    {
        QTest::addColumn<QList<Rec>>("before");
        QTest::addColumn<QList<TagEntry>>("tags");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("empty directory")
            << QList<Rec>{} << QList<TagEntry>{{latin1("5"), latin1("5555555555")}, {latin1("3"), latin1("3333333333")}}
            << QStringList{latin1("|5|5555555555|p2"), latin1("|3|3333333333|p3")};
        QTest::newRow("two records of room 12, three tags")
            << QList<Rec>{{latin1("A"), latin1("12"), {}, latin1("1000")},
                          {latin1("B"), latin1("7"), {}, latin1("1020")},
                          {latin1("C"), latin1("12"), {}, latin1("1040")}}
            << QList<TagEntry>{{latin1("12"), latin1("1111111111")}, {latin1("12"), latin1("2222222222")},
                               {latin1("12"), latin1("3333333333")}}
            << QStringList{latin1("A|12|1111111111|1000"), latin1("B|7||1020"), latin1("C|12|2222222222|1040"),
                           latin1("|12|3333333333|p4")};
        QTest::newRow("record without address gets nothing")
            << QList<Rec>{{latin1("A"), latin1("12"), {}, {}}}
            << QList<TagEntry>{{latin1("12"), latin1("1111111111")}}
            << QStringList{latin1("A|12||"), latin1("|12|1111111111|p2")};
        QTest::newRow("room must match exactly")
            << QList<Rec>{{latin1("A"), latin1("012"), {}, latin1("1000")}}
            << QList<TagEntry>{{latin1("12"), latin1("1111111111")}}
            << QStringList{latin1("A|012||1000"), latin1("|12|1111111111|p2")};
        QTest::newRow("a new address takes a record's address")
            << QList<Rec>{{latin1("A"), latin1("9"), {}, latin1("1000")}, {latin1("B"), latin1("4"), {}, latin1("p3")}}
            << QList<TagEntry>{{latin1("9"), latin1("1111111111")}, {latin1("8"), latin1("2222222222")},
                               {latin1("4"), latin1("3333333333")}}
            << QStringList{latin1("A|9|1111111111|1000"), latin1("B|4||p3"), latin1("|8|2222222222|p3"),
                           latin1("|4|3333333333|p4")};
    }
    void mergeByRoom()
    {
        QFETCH(QList<Rec>, before);
        QFETCH(QList<TagEntry>, tags);
        QFETCH(QStringList, after);
        RecordTable table;
        fill(table, before);
        TakenAddrs taken;
        MergeTags(table, tags, taken);
        QCOMPARE(describe(rows(table)), after);
    }

    // The quick merge gives what walking the table for every tag gives, in
    // plain and in sorted tables, with rooms and addresses that repeat.
    void mergeAgreesWithTheWalk_data()
    {
        QTest::addColumn<QString>("sortField");
        QTest::newRow("unsorted") << QString();
        QTest::newRow("by room") << F::RoomNumber;
        QTest::newRow("by address") << F::Addr;
        QTest::newRow("by name") << F::Name;
        QTest::newRow("by tag code") << F::RFID;
    }
    void mergeAgreesWithTheWalk()
    {
        QFETCH(QString, sortField);
        QRandomGenerator random(4711);
        for (int round = 0; round < 20; ++round) {
            QList<Rec> records;
            const int count = random.bounded(60);
            for (int i = 0; i < count; ++i) {
                const int a = random.bounded(100);
                const QString addr = a < 10 ? QString() : a < 20 ? QStringLiteral("p%1").arg(random.bounded(2, 40))
                                                                 : QStringLiteral("%1").arg(0x1000 + 32 * random.bounded(40), 4, 16, QLatin1Char('0'));
                records.append({QStringLiteral("N%1").arg(random.bounded(30)), QString::number(random.bounded(15)),
                                random.bounded(3) ? QString() : QStringLiteral("%1").arg(random.bounded(1000000), 10, 10, QLatin1Char('0')),
                                addr});
            }
            QList<TagEntry> tags;
            const int tagCount = random.bounded(80);
            for (int i = 0; i < tagCount; ++i)
                tags.append({QString::number(random.bounded(20)), QStringLiteral("%1").arg(random.bounded(1000000), 10, 10, QLatin1Char('0'))});

            RecordTable quick, plain;
            fill(quick, records);
            fill(plain, records);
            if (!sortField.isEmpty()) {
                quick.sortOn(sortField, Qt::CaseSensitive);
                plain.sortOn(sortField, Qt::CaseSensitive);
            }
            ClearTagCodes(quick);
            ClearTagCodes(plain);
            QCOMPARE(describe(rows(quick)), describe(rows(plain)));
            for (const Rec &r : rows(quick))
                QVERIFY(r.rfid.isEmpty());
            TakenAddrs taken;
            MergeTags(quick, tags, taken);
            plainMerge(plain, tags);
            QCOMPARE(describe(rows(quick)), describe(rows(plain)));
        }
    }

    // A phone list's codes enter the directory as the unit keeps them:
    // letters in upper case; a code with any other character is not taken,
    // and the user is told which record it was.
    void loadedCodesAreHexInUpperCase()
    {
        MessageRecorder messages;
        RecordTable table;
        fill(table, {});
        const QByteArray file = "Name,RoomNumber,RFID,Addr\r\n"
                                "ANNA,12,abcdef0123,1000\r\n"
                                "BERT,14,01234G6789,1020\r\n"
                                "CARL,16,0123456789,1040\r\n"
                                "DORA,18,0a 1,1060\r\n";
        QCOMPARE(FillDirectoryTable(table, file), 4);
        QCOMPARE(TakeLoadedTagCodes(table), 2);
        QCOMPARE(describe(rows(table)), describe(QList<Rec>{{latin1("ANNA"), latin1("12"), latin1("ABCDEF0123"), latin1("1000")},
                                                            {latin1("BERT"), latin1("14"), QString(), latin1("1020")},
                                                            {latin1("CARL"), latin1("16"), latin1("0123456789"), latin1("1040")},
                                                            {latin1("DORA"), latin1("18"), QString(), latin1("1060")}}));
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().contains(latin1("01234G6789")) && messages.last().contains(latin1("BERT"))
                     && messages.last().contains(latin1("0a 1")) && messages.last().contains(latin1("DORA")),
                 qPrintable(messages.last()));
        // Good files say nothing.
        messages.clear();
        RecordTable good;
        fill(good, {});
        QCOMPARE(FillDirectoryTable(good, "Name,RFID\r\nANNA,0123456789\r\n"), 1);
        QCOMPARE(TakeLoadedTagCodes(good), 0);
        QVERIFY(messages.texts().isEmpty());
    }

    void tagHolder()
    {
        RecordTable table;
        fill(table, {{latin1("A"), latin1("1"), latin1("0123456789"), {}}, {latin1("B"), latin1("2"), latin1("ABCDEF0123"), {}}});
        table.moveTo(1);
        QCOMPARE(FindTagHolder(table, latin1("ABCDEF0123")), 1);
        QCOMPARE(FindTagHolder(table, latin1("abcdef0123")), -1);
        QCOMPARE(FindTagHolder(table, latin1("0123")), -1);
        QCOMPARE(table.recNo(), 1);
    }
};

QTEST_GUILESS_MAIN(TestTagCodes)
#include "tst_tagcodes.moc"
