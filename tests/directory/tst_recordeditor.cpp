#include "directory/directorytable.h"
#include "directory/recordediting.h"
#include "messagerecorder.h"
#include "records/recordtable.h"

#include <QTest>

using namespace DirectoryFields;

namespace {
void fill(RecordTable &table, const QStringList &addresses, const QStringList &rooms = {})
{
    DefineDirectoryTable(table);
    table.open();
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        table.append();
        table.setValue(Name, QStringLiteral("N%1").arg(i));
        table.setValue(RoomNumber, i < rooms.size() ? rooms.at(i) : QString::number(100 + i));
        table.setValue(Addr, addresses.at(i));
        table.store();
    }
}

QStringList column(const RecordTable &table, const QString &field)
{
    QStringList values;
    for (int row = 0; row < table.recordCount(); ++row)
        values << table.storedValue(row, table.fieldIndex(field));
    return values;
}

QStringList allSlots(int endAddress)
{
    QStringList addresses;
    for (int a = 0x1000; a <= endAddress; a += 0x20)
        addresses << QString::number(a, 16).toUpper();
    return addresses;
}
} // namespace

// The record editor's rules without its window.
class TestRecordEditing : public QObject {
    Q_OBJECT
private slots:
    void freeAddress_data()
    {
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<int>("endAddress");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty table") << QStringList{} << 0x9000 << QStringLiteral("1000");
        QTest::newRow("gap between 1000 and 1040") << QStringList{QStringLiteral("1040"), QStringLiteral("1000")}
                                                   << 0x9000 << QStringLiteral("1020");
        QTest::newRow("first slot free") << QStringList{QStringLiteral("1020")} << 0x9000 << QStringLiteral("1000");
        QTest::newRow("tag records without address") << QStringList{QString(), QStringLiteral("T001")} << 0x9000
                                                     << QStringLiteral("1000");
        QTest::newRow("end address is the last slot") << allSlots(0x1CE0) << 0x1D00 << QStringLiteral("1D00");
        QTest::newRow("every slot of the smallest model taken") << allSlots(0x1D00) << 0x1D00 << QStringLiteral("0000");
        QTest::newRow("unknown model") << QStringList{} << 0 << QStringLiteral("0000");
        QTest::newRow("end below the first slot") << QStringList{} << 0x0FFF << QStringLiteral("0000");
    }
    void freeAddress()
    {
        QFETCH(QStringList, addresses);
        QFETCH(int, endAddress);
        QFETCH(QString, expected);
        RecordTable table;
        fill(table, addresses);
        QCOMPARE(FindFreeAddress(table, endAddress), expected);
        // The table is left in address order, and stays so.
        QStringList sorted = column(table, Addr);
        QStringList want = sorted;
        std::sort(want.begin(), want.end());
        QCOMPARE(sorted, want);
        QCOMPARE(table.sortField(), table.fieldIndex(Addr));
    }

    void freeAddressOfAFullLargestModelIsQuick()
    {
        RecordTable table;
        QStringList addresses = allSlots(0x9000);
        addresses.removeAt(700);
        fill(table, addresses);
        QCOMPARE(FindFreeAddress(table, 0x9000), QString::number(0x1000 + 700 * 0x20, 16).toUpper());
    }

    void nameStart_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("trimmed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("empty") << QString() << QString() << false;
        QTest::newRow("blanks only") << QStringLiteral("   ") << QString() << false;
        QTest::newRow("leading blank") << QStringLiteral("  SMITH J") << QStringLiteral("SMITH J") << true;
        QTest::newRow("dash") << QStringLiteral("-SMITH") << QStringLiteral("-SMITH") << false;
        QTest::newRow("digit") << QStringLiteral("1A") << QStringLiteral("1A") << true;
        QTest::newRow("small letter") << QStringLiteral("ann") << QStringLiteral("ann") << true;
        QTest::newRow("accented letter") << QStringLiteral("\u00C9MILE") << QStringLiteral("\u00C9MILE") << false;
        QTest::newRow("tab is not a blank") << QStringLiteral("\tX") << QStringLiteral("\tX") << false;
    }
    void nameStart()
    {
        QFETCH(QString, typed);
        QFETCH(QString, trimmed);
        QFETCH(bool, accepted);
        QCOMPARE(TrimLeadingSpaces(typed), trimmed);
        QCOMPARE(NameStartAcceptable(TrimLeadingSpaces(typed)), accepted);
    }

    void phoneCharacters()
    {
        QString kept;
        for (QChar c : QStringLiteral("12x#P p:*a-9 "))
            if (IsPhoneCharacter(c))
                kept += c;
        QCOMPARE(kept, QStringLiteral("12#Pp:*9"));
    }

    void wideCharacters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<uint>("found"); // 0: none
        QTest::newRow("Latin-1 only") << QStringLiteral("M\u00DCLLER \u00FF") << QStringLiteral("12") << 0u;
        QTest::newRow("euro sign in the name") << QStringLiteral("CAF\u20AC") << QString() << 0x20ACu;
        QTest::newRow("outside the basic plane") << QStringLiteral("A\U0001F600") << QString() << 0x1F600u;
        QTest::newRow("in the phone box") << QStringLiteral("ANN") << QStringLiteral("1\u0661") << 0x0661u;
    }
    void wideCharacters()
    {
        QFETCH(QString, name);
        QFETCH(QString, phone);
        QFETCH(uint, found);
        EditorTexts texts{name, QStringLiteral("101"), phone, {}, {}, {}};
        const auto wide = FirstWideCharacter(texts);
        QCOMPARE(wide.has_value(), found != 0);
        if (!wide)
            return;
        QCOMPARE(uint(*wide), found);
        const QString message = WideCharacterMessage(*wide);
        QVERIFY2(message.contains(QString::fromUcs4(&*wide, 1)), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("U+") + QString::number(found, 16).toUpper().rightJustified(4, QLatin1Char('0'))));
    }

    void recordTextFromTheBoxes_data()
    {
        QTest::addColumn<QString>("room");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("expected");
        QTest::newRow("as typed") << QStringLiteral("101") << QStringLiteral("5551p22")
                                  << QStringLiteral("101,1234,,,5551<22,SMITH J");
        QTest::newRow("room 12a sends its digits") << QStringLiteral("12a") << QStringLiteral("12#P")
                                                   << QStringLiteral("12,1234,,,12;<,SMITH J");
        QTest::newRow("blanks around the room") << QStringLiteral(" 12 ") << QString() << QStringLiteral("12,1234,,,,SMITH J");
        // Nothing of these rooms would reach the unit: the record is not sent.
        QTest::newRow("empty room") << QString() << QString() << QString();
        QTest::newRow("hexadecimal room") << QStringLiteral("$1F") << QString() << QString();
        QTest::newRow("signed room") << QStringLiteral("-5") << QString() << QString();
    }
    void recordTextFromTheBoxes()
    {
        QFETCH(QString, room);
        QFETCH(QString, phone);
        QFETCH(QString, expected);
        const EditorTexts texts{QStringLiteral("SMITH J"), room, phone, QStringLiteral("1234"), QString(), QString()};
        const std::optional<QString> text = EditorRecordText(texts);
        QCOMPARE(text.has_value(), !expected.isEmpty());
        if (text)
            QCOMPARE(*text, expected);
    }

    void boxesTheUnitCannotTake_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code1");
        QTest::addColumn<QString>("message"); // a text the message holds; empty: accepted
        const QString numeric = QStringLiteral("Must use Numeric digits in\r\nRoomNumber & Codes fields");
        QTest::newRow("plain") << QStringLiteral("SMITH J") << QStringLiteral("1234") << QString();
        QTest::newRow("code with blanks around") << QStringLiteral("SMITH J") << QStringLiteral(" 12 ") << QString();
        QTest::newRow("code with a letter") << QStringLiteral("SMITH J") << QStringLiteral("12ab") << numeric;
        QTest::newRow("code with a blank inside") << QStringLiteral("SMITH J") << QStringLiteral("1 23") << numeric;
        QTest::newRow("CR in the name") << QStringLiteral("X\rf5a") << QString() << QStringLiteral("control character");
        QTest::newRow("tab in the name") << QStringLiteral("X\tY") << QString() << QStringLiteral("Name");
    }
    void boxesTheUnitCannotTake()
    {
        QFETCH(QString, name);
        QFETCH(QString, code1);
        QFETCH(QString, message);
        MessageRecorder messages;
        const EditorTexts texts{name, QStringLiteral("101"), QString(), code1, QString(), QString()};
        QCOMPARE(EditorTextsAcceptable(texts), message.isEmpty());
        QCOMPARE(messages.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(messages.last().contains(message), qPrintable(messages.last()));
    }

    void roomSearchIsExact()
    {
        RecordTable table;
        fill(table, {QStringLiteral("1000"), QStringLiteral("1020"), QStringLiteral("1040")},
             {QStringLiteral("101"), QStringLiteral("0101"), QStringLiteral("101")});
        QCOMPARE(FindRoomRecord(table, QStringLiteral("101")), 1);
        QCOMPARE(FindRoomRecord(table, QStringLiteral("0101")), 2);
        QCOMPARE(FindRoomRecord(table, QStringLiteral("10")), -1);
        QCOMPARE(FindRoomRecord(table, QString()), -1);
    }
};

QTEST_GUILESS_MAIN(TestRecordEditing)
#include "tst_recordeditor.moc"
