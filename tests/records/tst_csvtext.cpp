#include "common/errors.h"
#include "directory/directorytable.h"
#include "records/csvtext.h"
#include "records/recordtable.h"

#include <QTest>

namespace {

void openDirectory(RecordTable &table)
{
    DefineDirectoryTable(table);
    table.open();
    table.empty();
}

void addRecord(RecordTable &table, const QStringList &values)
{
    table.append();
    for (qsizetype i = 0; i < values.size(); ++i)
        table.setValue(int(i), values.at(i));
    table.store();
}

QByteArray crlf(const QList<QByteArray> &lines)
{
    QByteArray text;
    for (const QByteArray &line : lines)
        text += line + "\r\n";
    return text;
}

QStringList sl(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *t : texts)
        list.append(QString::fromLatin1(t));
    return list;
}

const QByteArray kHeader = "Name,RoomNumber,PHnumber,Code1,Code2,spare,RFID,Addr";

} // namespace

class TestCsvText : public QObject {
    Q_OBJECT
private slots:
    void writesTheFileFormByteForByte()
    {
        RecordTable table;
        openDirectory(table);
        QCOMPARE(SaveCsvText(table), crlf({kHeader}));

        addRecord(table, sl({"SMITH J", "101", "5551p22", "1234", "", "", "", "1000"}));
        addRecord(table, sl({"ANN 100%", "102", "#9*", "", "", "", "", "1020"}));
        QCOMPARE(SaveCsvText(table), crlf({kHeader, "SMITH J,101,5551p22,1234,,,,1000", "ANN 100%%,102,#9*,,,,,1020"}));

        // The sort in force decides the order; the cursor stays where it was.
        table.moveTo(1);
        table.sortOn(DirectoryFields::Name, Qt::CaseInsensitive);
        const int recNo = table.recNo();
        QCOMPARE(SaveCsvText(table), crlf({kHeader, "ANN 100%%,102,#9*,,,,,1020", "SMITH J,101,5551p22,1234,,,,1000"}));
        QCOMPARE(table.recNo(), recNo);
        QCOMPARE(table.value(DirectoryFields::Name), QStringLiteral("SMITH J"));
    }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("written"); // the name as it appears in the file

        QTest::newRow("plain") << QStringLiteral("SMITH J") << QByteArray("SMITH J");
        QTest::newRow("percent") << QStringLiteral("50%") << QByteArray("50%%");
        QTest::newRow("escapes") << QStringLiteral("a\rb\nc") + QChar(0) + QStringLiteral("%c")
                                 << QByteArray("a%cb%nc%0%%c");
        QTest::newRow("comma") << QStringLiteral("SMITH, J") << QByteArray("\"SMITH, J\"");
        QTest::newRow("comma and quote") << QStringLiteral("A \"B\", C") << QByteArray("\"A \"\"B\"\", C\"");
        QTest::newRow("leading quote") << QStringLiteral("\"BOSS\"") << QByteArray("\"\"\"BOSS\"\"\"");
        QTest::newRow("inner quote only") << QStringLiteral("O\"NEIL") << QByteArray("O\"NEIL");
        QTest::newRow("lone quote") << QStringLiteral("\"") << QByteArray("\"\"\"\"");
        QTest::newRow("only commas") << QStringLiteral(",,,") << QByteArray("\",,,\"");
        QTest::newRow("latin-1") << QString::fromLatin1("M\xdcLLER \xff\x80") << QByteArray("M\xdcLLER \xff\x80");
    }
    void valuesRoundTrip()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, written);
        RecordTable table;
        openDirectory(table);
        addRecord(table, QStringList{name} + sl({"7", "", "", "", "", "", "1000"}));
        const QByteArray bytes = SaveCsvText(table);
        QCOMPARE(bytes, crlf({kHeader, written + ",7,,,,,,1000"}));

        RecordTable back;
        openDirectory(back);
        QCOMPARE(LoadCsvText(back, bytes), 1);
        back.first();
        QCOMPARE(back.value(DirectoryFields::Name), name);
        QCOMPARE(back.value(DirectoryFields::RoomNumber), QStringLiteral("7"));
        QCOMPARE(back.value(DirectoryFields::Addr), QStringLiteral("1000"));
    }

    void everyByteRoundTrips()
    {
        RecordTable table;
        table.define({RecordField::text(QStringLiteral("V"), 256)});
        table.open();
        QString all;
        for (int b = 0; b < 256; ++b)
            all += QChar(b);
        addRecord(table, {all});
        addRecord(table, {QStringLiteral("x")});
        RecordTable back;
        back.define(table.fields());
        back.open();
        QCOMPARE(LoadCsvText(back, SaveCsvText(table)), 2);
        QCOMPARE(back.recordValues(0), QStringList{all});
        QCOMPARE(back.recordValues(1), QStringList{QStringLiteral("x")});
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<QStringList>>("records"); // Name, RoomNumber, PHnumber, Code1 ... Addr

        QTest::newRow("empty file") << QByteArray() << QList<QStringList>{};
        QTest::newRow("header only") << crlf({kHeader}) << QList<QStringList>{};
        QTest::newRow("old comma splits")
            << crlf({kHeader, "SMITH, J,101,555,,,,,1000"})
            << QList<QStringList>{sl({"SMITH", " J", "101", "555", "", "", "", ""})};
        QTest::newRow("other order, lower case")
            << crlf({"addr,NAME,roomnumber", "1020,ANN,102"})
            << QList<QStringList>{sl({"ANN", "102", "", "", "", "", "", "1020"})};
        QTest::newRow("two columns")
            << crlf({"Name,RoomNumber", "ANN,102,9999,1"})
            << QList<QStringList>{sl({"ANN", "102", "", "", "", "", "", ""})};
        QTest::newRow("unknown column ignored")
            << crlf({"Name,Floor,RoomNumber", "ANN,3,102"})
            << QList<QStringList>{sl({"ANN", "102", "", "", "", "", "", ""})};
        QTest::newRow("missing values") << crlf({kHeader, "ANN"})
                                        << QList<QStringList>{sl({"ANN", "", "", "", "", "", "", ""})};
        QTest::newRow("blank lines and bare line ends")
            << QByteArray("Name,RoomNumber\r\n\r\n\nA,1\r\r\n") + QByteArray(1, '\0') + "B,2\nC,3"
            << QList<QStringList>{sl({"A", "1", "", "", "", "", "", ""}),
                                  sl({"B", "2", "", "", "", "", "", ""}),
                                  sl({"C", "3", "", "", "", "", "", ""})};
        QTest::newRow("cut to width")
            << crlf({kHeader, "ABCDEFGHIJKLMNOPQRST,1234567,,12345,,123,,10000"})
            << QList<QStringList>{sl({"ABCDEFGHIJKLMNOP", "123456", "", "1234", "", "12", "", "1000"})};
        QTest::newRow("not a header")
            << crlf({"SMITH J,101", "ANN,102"})
            << QList<QStringList>{sl({"", "", "", "", "", "", "", ""})};
        QTest::newRow("odd percent signs")
            << crlf({"Name,RoomNumber", "5%x%,1%"})
            << QList<QStringList>{sl({"5%x%", "1%", "", "", "", "", "", ""})};
        QTest::newRow("quoted values")
            << crlf({"Name,RoomNumber,Addr", "\"SMITH, J\",\"101\",\"\""})
            << QList<QStringList>{sl({"SMITH, J", "101", "", "", "", "", "", ""})};
        QTest::newRow("ill-formed quotes read bare")
            << crlf({"Name,RoomNumber,Addr", "\"BOSS\" X,101,1000", "\"OPEN,1,2"})
            << QList<QStringList>{sl({"\"BOSS\" X", "101", "", "", "", "", "", "1000"}),
                                  sl({"\"OPEN", "1", "", "", "", "", "", "2"})};
        QTest::newRow("quoted last value with escape")
            << crlf({"RoomNumber,Name", "1,\"A%%,B\""})
            << QList<QStringList>{sl({"A%,B", "1", "", "", "", "", "", ""})};
    }
    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<QStringList>, records);
        RecordTable table;
        openDirectory(table);
        QCOMPARE(LoadCsvText(table, file), int(records.size()));
        QCOMPARE(table.recordCount(), int(records.size()));
        for (int row = 0; row < records.size(); ++row)
            QCOMPARE(table.recordValues(row), records.at(row));
    }

    void appendsToWhatTheTableHolds()
    {
        RecordTable table;
        openDirectory(table);
        addRecord(table, sl({"FIRST", "1"}));
        LoadCsvText(table, crlf({"Name", "SECOND"}));
        QCOMPARE(table.recordCount(), 2);
        QCOMPARE(table.storedValue(1, 0), QStringLiteral("SECOND"));
    }

    void integerFields()
    {
        RecordTable table;
        const QList<RecordField> fields{RecordField::text(QStringLiteral("Text"), 8),
                                        RecordField::int16(QStringLiteral("Number"))};
        table.define(fields);
        table.open();
        addRecord(table, sl({"a,b", "-32768"}));
        addRecord(table, sl({"", "17"}));
        const QByteArray bytes = SaveCsvText(table);
        QCOMPARE(bytes, crlf({"Text,Number", "\"a,b\",-32768", ",17"}));

        RecordTable back;
        back.define(fields);
        back.open();
        QCOMPARE(LoadCsvText(back, bytes), 2);
        QCOMPARE(back.recordValues(0), sl({"a,b", "-32768"}));
        QCOMPARE(back.recordValues(1), sl({"", "17"}));

        // A value the integer field cannot take stops the load with an error;
        // nothing half-made is left behind.
        RecordTable bad;
        bad.define(fields);
        bad.open();
        QVERIFY_THROWS_EXCEPTION(AppError, LoadCsvText(bad, crlf({"Text,Number", "x,1", "y,abc", "z,2"})));
        QCOMPARE(bad.recordCount(), 1);
        QCOMPARE(bad.state(), RecordTable::State::Browse);
    }
};

QTEST_GUILESS_MAIN(TestCsvText)
#include "tst_csvtext.moc"
