#include "common/errors.h"
#include "messagerecorder.h"
#include "settings/settingsimage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The ".sys" file byte for byte, against an image put together by hand.
namespace {
void put(QByteArray &image, int offset, const QByteArray &text)
{
    image[offset] = char(text.size());
    image.replace(offset + 1, text.size(), text);
}

SettingsValues sample()
{
    SettingsValues v;
    v.codes = {QStringLiteral("1111"), QStringLiteral("2222"), QStringLiteral("33"), QString(), QStringLiteral("5"),
               QStringLiteral("6666")};
    v.messages = {QStringLiteral("FIXED ONE"), QStringLiteral("0123456789ABCDEF"), QStringLiteral("Scroll one"),
                  QStringLiteral("Scroll two \xE9"), QStringLiteral("P1"), QStringLiteral("P2")};
    v.system.numbers[SystemBlock::Run] = QStringLiteral("100");
    v.system.numbers[SystemBlock::But] = QStringLiteral("9");
    v.system.numbers[SystemBlock::Rt] = QStringLiteral("12");
    v.system.numbers[SystemBlock::Sl] = QStringLiteral("4");
    v.system.numbers[SystemBlock::Ml] = QStringLiteral("-3");
    v.system.numbers[SystemBlock::Lt] = QStringLiteral("007");
    v.system.numbers[SystemBlock::Ls] = QStringLiteral("abc");
    v.system.numbers[SystemBlock::Na] = QStringLiteral("15");
    v.system.relay2 = SystemBlock::kRelay2Key | SystemBlock::kRelay2Ring;
    v.system.ps1 = SystemBlock::kPs1GateAccess | SystemBlock::kPs1ShowClock | SystemBlock::kPs1KeylessMsg;
    v.system.ps2 = SystemBlock::kPs2ScrollLine1 | SystemBlock::kPs2ScrollLine2 | SystemBlock::kPs2GlobalCodes;
    for (int i = 0; i < 8; ++i)
        v.speedDials[i] = QStringLiteral("55%1*#p").arg(i);
    return v;
}

QByteArray handBuilt()
{
    QByteArray image(467, '\0');
    put(image, 0, "1111");
    put(image, 5, "2222");
    put(image, 15, "33");
    put(image, 20, "");
    put(image, 30, "5");
    put(image, 35, "6666");
    put(image, 45, "FIXED ONE");
    put(image, 62, "0123456789ABCDEF");
    put(image, 79, "P1");
    put(image, 96, "P2");
    put(image, 130, "Scroll one");
    put(image, 163, "Scroll two \xE9");
    put(image, 295, "99"); // 100 minutes is written as 99: the file keeps that, not "10"
    put(image, 298, "9");
    put(image, 301, "12");
    put(image, 304, "4");
    put(image, 307, "-3");
    put(image, 310, "7");
    put(image, 313, "ab");
    put(image, 316, "15");
    put(image, 319, "05");
    image[322] = 1; // Sroll Line 1
    image[323] = 1; // Sroll Line 2
    image[324] = 0; // Sw. off after gate release
    image[325] = 0; // Modem enable
    image[326] = 1; // Gate access
    image[327] = 1; // Global codes
    image[328] = 0; // pulsing
    image[329] = 1; // clock
    for (int i = 0; i < 8; ++i)
        put(image, 331 + 17 * i, QByteArray("55") + QByteArray::number(i) + "*#p");
    return image;
}
} // namespace

class TestSettingsImage : public QObject {
    Q_OBJECT
private slots:
    void buildMatchesTheHandBuiltImage()
    {
        SettingsImage image;
        image.build(sample());
        QCOMPARE(image.bytes().size(), 467);
        for (int i = 0; i < 467; ++i)
            if (image.bytes().at(i) != handBuilt().at(i))
                QFAIL(qPrintable(QStringLiteral("byte %1 differs").arg(i)));
    }

    void saveAndLoadCarryReservedBytes()
    {
        QTemporaryDir dir;
        MessageRecorder messages;
        QByteArray file = handBuilt();
        file[10] = 'R';    // reserved between the codes
        file[113] = 'S';   // reserved message field
        file[250] = '\x7F';
        file[330] = 9;     // reserved flag
        const QString in = dir.filePath(QStringLiteral("in.sys"));
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file + QByteArray(33, 'x')); // 500 bytes: the first 467 count
        f.close();

        SettingsImage image;
        QVERIFY(image.load(in));
        QCOMPARE(image.bytes(), file);
        SettingsValues v;
        image.apply(v);
        QCOMPARE(v.codes[0], QStringLiteral("1111"));
        QCOMPARE(v.messages[3], QStringLiteral("Scroll two \xE9"));
        QCOMPARE(v.system.numbers[SystemBlock::Run], QStringLiteral("99"));
        QCOMPARE(v.system.relay2, 5);
        QCOMPARE(v.speedDials[7], QStringLiteral("557*#p"));

        // Saving again keeps the reserved bytes of the loaded file.
        v.codes[0] = QStringLiteral("42");
        image.build(v);
        const QString out = dir.filePath(QStringLiteral("out.sys"));
        QVERIFY(image.save(out));
        QFile g(out);
        QVERIFY(g.open(QIODevice::ReadOnly));
        const QByteArray saved = g.readAll();
        QCOMPARE(saved.size(), 467);
        QCOMPARE(saved.at(10), 'R');
        QCOMPARE(saved.at(113), 'S');
        QCOMPARE(saved.at(250), '\x7F');
        QCOMPARE(int(saved.at(330)), 9);
        QCOMPARE(saved.mid(0, 3), QByteArray("\x02"
                                             "42"));
        QVERIFY(messages.texts().isEmpty());
    }

    void applyLeavesWhatTheFileDoesNotHold()
    {
        SettingsImage image;
        image.build(sample());
        SettingsValues v;
        v.system.numbers[SystemBlock::Rc] = QStringLiteral("7");
        v.system.ps1 = SystemBlock::kPs1KeylessMsg | SystemBlock::kPs1DivertAllNoAnswer | SystemBlock::kPs1PulsingMsgs;
        v.system.ps2 = SystemBlock::kPs2Gn1Compat | SystemBlock::kPs2DivertAll;
        image.apply(v);
        QCOMPARE(v.system.numbers[SystemBlock::Rc], QStringLiteral("7"));
        QCOMPARE(v.system.ps1, SystemBlock::kPs1KeylessMsg | SystemBlock::kPs1DivertAllNoAnswer
                                   | SystemBlock::kPs1GateAccess | SystemBlock::kPs1ShowClock);
        QCOMPARE(v.system.ps2, SystemBlock::kPs2Gn1Compat | SystemBlock::kPs2DivertAll | SystemBlock::kPs2ScrollLine1
                                   | SystemBlock::kPs2ScrollLine2 | SystemBlock::kPs2GlobalCodes);
    }

    void lineTwoChoiceFromTheFlags_data()
    {
        QTest::addColumn<int>("scroll2");
        QTest::addColumn<int>("pulsing");
        QTest::addColumn<bool>("scrollChosen");
        QTest::addColumn<bool>("pulsingChosen");
        QTest::newRow("both: pulsing wins") << 1 << 1 << false << true;
        QTest::newRow("neither") << 0 << 0 << false << false;
        QTest::newRow("scroll") << 1 << 0 << true << false;
        QTest::newRow("any non-zero byte") << 0 << 7 << false << true;
    }
    void lineTwoChoiceFromTheFlags()
    {
        QFETCH(int, scroll2);
        QFETCH(int, pulsing);
        QFETCH(bool, scrollChosen);
        QFETCH(bool, pulsingChosen);
        QTemporaryDir dir;
        QByteArray bytes = handBuilt();
        bytes[323] = char(scroll2);
        bytes[328] = char(pulsing);
        const QString path = dir.filePath(QStringLiteral("x.sys"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        SettingsImage image;
        QVERIFY(image.load(path));
        SettingsValues v;
        image.apply(v);
        QCOMPARE(bool(v.system.ps2 & SystemBlock::kPs2ScrollLine2), scrollChosen);
        QCOMPARE(bool(v.system.ps1 & SystemBlock::kPs1PulsingMsgs), pulsingChosen);
    }

    void damagedLengthBytesStayInsideTheirField()
    {
        QTemporaryDir dir;
        QByteArray bytes = handBuilt();
        bytes[0] = char(200);
        bytes[319] = 0;
        const QString path = dir.filePath(QStringLiteral("d.sys"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        SettingsImage image;
        QVERIFY(image.load(path));
        SettingsValues v;
        v.system.relay2 = 3;
        image.apply(v);
        QCOMPARE(v.codes[0], QStringLiteral("1111"));
        QCOMPARE(v.system.relay2, 0);
    }

    void shortFileIsRefused()
    {
        QTemporaryDir dir;
        MessageRecorder messages;
        const QString path = dir.filePath(QStringLiteral("short.sys"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(handBuilt().left(466));
        f.close();
        SettingsImage image;
        QVERIFY(!image.load(path));
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Could not Load from file\r\n") + path});
        QCOMPARE(image.bytes().left(466), handBuilt().left(466)); // what was read stays
    }

    void missingFileAndUnwritablePlace()
    {
        QTemporaryDir dir;
        SettingsImage image;
        try {
            image.load(dir.filePath(QStringLiteral("none.sys")));
            QFAIL("a missing file must stop the command");
        } catch (const AppError &e) {
            QVERIFY(e.text().startsWith(QLatin1String("Cannot open file")));
        }
        try {
            image.save(dir.filePath(QStringLiteral("no/such/folder.sys")));
            QFAIL("a file that cannot be created must stop the command");
        } catch (const AppError &e) {
            QVERIFY(e.text().startsWith(QLatin1String("Cannot create file")));
        }
    }

    void numberTextsThatDoNotFit_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("fits") << int(SystemBlock::Run) << "07" << "07";
        QTest::newRow("too big") << int(SystemBlock::Run) << "100" << "99";
        QTest::newRow("button") << int(SystemBlock::But) << "100" << "15";
        QTest::newRow("leading zeros") << int(SystemBlock::Na) << "015" << "15";
        QTest::newRow("below") << int(SystemBlock::Na) << "005" << "10";
        QTest::newRow("not a number") << int(SystemBlock::Ls) << "x12" << "x1";
    }
    void numberTextsThatDoNotFit()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QCOMPARE(SettingsImage::numberText(typed, SystemBlock::Field(field)), stored);
    }
};

QTEST_GUILESS_MAIN(TestSettingsImage)
#include "tst_settingsimage.moc"
