#include "common/errors.h"
#include "settings/settingsblocks.h"
#include "settings/systemparameters.h"

#include <QTest>

// The settings blocks as text: what is written for given values, and what a
// reply line gives back.
namespace {
const QChar kFF(0xFF);
QString ff(int n) { return QString(n, kFF); }
QString q(int n) { return QString(n, QLatin1Char('?')); }
QString line(const QString &data) { return QStringLiteral("r0000") + data; }
} // namespace

class TestSettingsBlocks : public QObject {
    Q_OBJECT
private slots:
    void systemBlockWithTheFormDefaults()
    {
        SystemParameters value = SystemParameters::defaults();
        QCOMPARE(EncodeSystemParameters(value), QStringLiteral("0103050302141403") + QStringLiteral("0?000300")
                                                    + QStringLiteral("00012000") + QStringLiteral("14")
                                                    + QString(26, QLatin1Char('0')) + QStringLiteral("0084"));
    }

    void clampsAreWrittenBack_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("pair");
        QTest::newRow("ring count above") << int(SystemBlock::Rc) << "40" << "35" << "23";
        QTest::newRow("ring count 1 kept") << int(SystemBlock::Rc) << "1" << "1" << "01";
        QTest::newRow("no answer below") << int(SystemBlock::Na) << "5" << "10" << "0:";
        QTest::newRow("mic negative") << int(SystemBlock::Ml) << "-3" << "0" << "00";
        QTest::newRow("continuous tone") << int(SystemBlock::Cont) << "20" << "20" << "14";
        QTest::newRow("scroll speed top") << int(SystemBlock::Ls) << "50" << "50" << "32";
        QTest::newRow("relay time") << int(SystemBlock::Rt) << "10" << "10" << "0:";
        QTest::newRow("leading zero kept") << int(SystemBlock::Run) << "07" << "07" << "07";
        QTest::newRow("run timer 100") << int(SystemBlock::Run) << "100" << "99" << "63";
        QTest::newRow("ring delay low") << int(SystemBlock::Rd) << "0" << "3" << "03";
        QTest::newRow("ring volume") << int(SystemBlock::Rv) << "9" << "7" << "07";
        QTest::newRow("silence") << int(SystemBlock::Sil) << "99" << "50" << "32";
        QTest::newRow("button") << int(SystemBlock::But) << "0" << "1" << "01";
        QTest::newRow("lift") << int(SystemBlock::Lt) << "12" << "9" << "09";
    }
    void clampsAreWrittenBack()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, pair);
        SystemParameters value = SystemParameters::defaults();
        value.numbers[field] = typed;
        const QString data = EncodeSystemParameters(value);
        QCOMPARE(data.size(), 64);
        QCOMPARE(value.numbers[field], shown);
        QCOMPARE(data.mid(SystemBlock::kNumericFields[field].position, 2), pair);
    }

    void notANumberStopsInClampOrder()
    {
        SystemParameters value = SystemParameters::defaults();
        value.numbers[SystemBlock::Run] = QStringLiteral("500"); // clamped first
        value.numbers[SystemBlock::Ml] = QStringLiteral("abc");  // fifth
        value.numbers[SystemBlock::Ls] = QStringLiteral("90");   // seventh: not reached
        try {
            EncodeSystemParameters(value);
            QFAIL("a text that is not a number must stop the write");
        } catch (const ConversionError &e) {
            QCOMPARE(e.text(), QStringLiteral("'abc' is not a valid integer value"));
        }
        QCOMPARE(value.numbers[SystemBlock::Run], QStringLiteral("99"));
        QCOMPARE(value.numbers[SystemBlock::Ls], QStringLiteral("90"));
    }

    void optionBitsAndRelay2()
    {
        SystemParameters value = SystemParameters::defaults();
        value.relay2 = SystemBlock::kRelay2Key | SystemBlock::kRelay2Ring | 0x30; // high bits never written
        value.ps1 = 0xFF;
        value.ps2 = 0xFF;
        const QString data = EncodeSystemParameters(value);
        QCOMPARE(data.mid(24, 2), QStringLiteral("05"));
        QCOMPARE(data.mid(60, 2), QStringLiteral("=5")); // 0xD5: 0x02, 0x08, 0x20 not written
        QCOMPARE(data.mid(62, 2), QStringLiteral("?7")); // 0xF7: 0x08 not written
    }

    void decodingBlockZero_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("ml");
        QTest::addColumn<QString>("ls");
        QTest::addColumn<int>("relay2"); // -1: absent
        QTest::addColumn<int>("ps2");
        const QString full = QStringLiteral("0:") + QString(30, QLatin1Char('0')) + QStringLiteral("32")
                             + QString(26, QLatin1Char('0')) + QStringLiteral("00<0");
        QTest::newRow("0: is 10") << full << "10" << "50" << 0 << 0xC0;
        QTest::newRow("outside the alphabet") << QStringLiteral("A5") + full.mid(2) << "5" << "50" << 0 << 0xC0;
        QTest::newRow("erased") << QString(64, QChar(0)) << "0" << "0" << 0 << 0;
        QTest::newRow("empty reply") << QStringLiteral("ERROR") << "0" << "" << -1 << -1;
        QTest::newRow("short") << full.left(40) << "10" << "50" << 0 << -1;
    }
    void decodingBlockZero()
    {
        QFETCH(QString, data);
        QFETCH(QString, ml);
        QFETCH(QString, ls);
        QFETCH(int, relay2);
        QFETCH(int, ps2);
        const SystemParametersReading r = DecodeSystemParameters(data);
        QCOMPARE(r.numbers[SystemBlock::Ml], ml);
        QCOMPARE(r.numbers[SystemBlock::Ls], ls);
        QCOMPARE(r.relay2.value_or(-1), relay2);
        QCOMPARE(r.ps2.value_or(-1), ps2);
    }

    void emptyReplyDecodesAsTheUnitWouldShowIt()
    {
        const SystemParametersReading r = DecodeSystemParameters(QStringLiteral("ERROR"));
        QCOMPARE(r.numbers[SystemBlock::Ml], QStringLiteral("0")); // "ER"
        QCOMPARE(r.numbers[SystemBlock::Sl], QStringLiteral("0")); // "RO"
        QCOMPARE(r.numbers[SystemBlock::Rt], QStringLiteral("0")); // "R" alone
        for (const SystemBlock::Field f : {SystemBlock::Run, SystemBlock::Rc, SystemBlock::Sil, SystemBlock::Cont,
                                           SystemBlock::Rv, SystemBlock::Na, SystemBlock::Lt, SystemBlock::Rd})
            QVERIFY(r.numbers[f].isEmpty());
        QVERIFY(!r.relay2);
    }

    void relayCodes()
    {
        RelayCodes codes{QStringLiteral("1234"), QString(), QStringLiteral("12a4"), QStringLiteral("*123"),
                         QStringLiteral("9"), QStringLiteral("5678")};
        QCOMPARE(EncodeRelayCodes(codes), QStringLiteral("1234????") + q(8) + QStringLiteral("12??????") + q(8)
                                              + QStringLiteral("9???????5678????") + q(16));
        const RelayCodes read = DecodeRelayCodes(line(QStringLiteral("1234????:1;2????12345678") + ff(8)
                                                      + QStringLiteral("<1??????") + q(8) + q(16)));
        QCOMPARE(read[0], QStringLiteral("1234"));
        QCOMPARE(read[1], QStringLiteral("*1#2"));
        QCOMPARE(read[2], QStringLiteral("12345678"));
        QCOMPARE(read[3], QString());
        QCOMPARE(read[4], QStringLiteral("p1"));
        const RelayCodes none = DecodeRelayCodes(QString());
        for (const QString &code : none)
            QCOMPARE(code, QStringLiteral("ERROR"));
    }

    void speedDials()
    {
        SpeedDials numbers{QStringLiteral("0123*45#6p7"), QStringLiteral("555 1234"), QStringLiteral("P9"), QString(),
                           QStringLiteral("36005"), QStringLiteral("36006"), QStringLiteral("36007"),
                           QStringLiteral("36008")};
        const QString block8 = EncodeSpeedDialBlock(numbers, 0);
        QCOMPARE(block8, QStringLiteral("0123:45;6<7") + q(5) + QStringLiteral("555") + q(13) + QStringLiteral("<9")
                             + q(14) + q(16));
        QCOMPARE(EncodeSpeedDialBlock(numbers, 1).left(16), QStringLiteral("36005") + q(11));
        SpeedDials read;
        DecodeSpeedDialBlock(QStringLiteral("B0008") + block8, read, 0);
        DecodeSpeedDialBlock(QString(), read, 1);
        QCOMPARE(read[0], QStringLiteral("0123*45#6p7"));
        QCOMPARE(read[2], QStringLiteral("p9"));
        QCOMPARE(read[3], QString());
        QCOMPARE(read[5], QStringLiteral("ERROR"));
    }

    void messages()
    {
        Messages texts{QStringLiteral("WELCOME"), QString(), QStringLiteral(" spaced  out "), QString(),
                       QStringLiteral("0123456789ABCDEF"), QStringLiteral("B")};
        QCOMPARE(EncodeMessageBlock(texts, 0), QStringLiteral("WELCOME") + ff(25));
        QCOMPARE(EncodeMessageBlock(texts, 1), QStringLiteral(" spaced  out ") + ff(19));
        QCOMPARE(EncodeMessageBlock(texts, 2), ff(32));
        QCOMPARE(EncodeMessageBlock(texts, 3), QStringLiteral("0123456789ABCDEFB") + ff(15));
        Messages read;
        DecodeMessageBlock(QStringLiteral("B0012HELLO") + ff(11) + QStringLiteral("LINE2") + ff(11) + ff(32), read, 0);
        DecodeMessageBlock(QStringLiteral("B0015") + EncodeMessageBlock(texts, 3) + ff(32), read, 3);
        DecodeMessageBlock(QString(), read, 1);
        QCOMPARE(read[0], QStringLiteral("HELLO"));
        QCOMPARE(read[1], QStringLiteral("LINE2"));
        QCOMPARE(read[2], QStringLiteral("ERROR"));
        QCOMPARE(read[4], texts[4]);
        QCOMPARE(read[5], QStringLiteral("B"));
    }

    void diverts()
    {
        const DivertNumbers numbers{QStringLiteral("0123*4#"), QStringLiteral("12A34"), QString(), QStringLiteral("9")};
        const QString data = EncodeDivertNumbers(numbers);
        QCOMPARE(data, QStringLiteral("0123:4;") + q(9) + QStringLiteral("12") + q(14) + q(16) + QStringLiteral("9")
                           + q(15));
        const DivertNumbers read = DecodeDivertNumbers(QStringLiteral("B0005") + QStringLiteral("0123:4;<9") + q(7)
                                                       + ff(16) + QStringLiteral("5551"));
        QCOMPARE(read[0], QStringLiteral("0123*4#p9"));
        QCOMPARE(read[1], QString()); // erased
        QCOMPARE(read[2], QStringLiteral("5551")); // arrived in part
        QCOMPARE(read[3], QStringLiteral("ERROR"));

        QCOMPARE(EncodeDivertTimes({QStringLiteral("0830"), QStringLiteral("2200"), QStringLiteral("0000"),
                                    QStringLiteral("07")}),
                 QStringLiteral("08302200000007??"));
        QCOMPARE(FormatHourMinute(QStringLiteral("0830")), QStringLiteral("08:30"));
        QCOMPARE(SpacesToZeros(QStringLiteral(" 7: 5")), QStringLiteral("07:05"));
        QCOMPARE(DivertTimeCharacters(QStringLiteral("r000208302200") + ff(60)).left(8), QStringLiteral("08302200"));
    }

    void accessCodes()
    {
        const AccessCodes codes{QStringLiteral("1234"),   QStringLiteral("12a4"), QString(), QStringLiteral("12345678"),
                                QStringLiteral("312345"), QStringLiteral("1234"), QStringLiteral("1*23"),
                                QStringLiteral("2")};
        QCOMPARE(EncodeAccessCodes(codes), QStringLiteral("1234????12??????????????12345678312345??1234????1???????2???????"));
        const AccessCodes read =
            DecodeAccessCodes(QStringLiteral("r0003") + QStringLiteral("1234????:1") + ff(6) + ff(48));
        QCOMPARE(read[0], QStringLiteral("1234"));
        QCOMPARE(read[1], QStringLiteral("*1"));
        QCOMPARE(read[7], QString());
        for (const QString &code : DecodeAccessCodes(QStringLiteral("r0003")))
            QCOMPARE(code, QStringLiteral("ERROR"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsBlocks)
#include "tst_settingsblocks.moc"
