#include "directory/directorytable.h"
#include "directory/directorytransfer.h"
#include "messagerecorder.h"
#include "records/recordtable.h"

#include <QTest>

// The rules of the download and the upload, without a window or a unit.
namespace {
QString L1(const char *text) { return QString::fromLatin1(text); }

QStringList sl(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *t : texts)
        list.append(QString::fromLatin1(t));
    return list;
}

void openDirectory(RecordTable &table)
{
    DefineDirectoryTable(table);
    table.open();
    table.empty();
}

void addRecord(RecordTable &table, std::initializer_list<const char *> values)
{
    table.append();
    int field = 0;
    for (const char *v : values)
        table.setValue(field++, QString::fromLatin1(v));
    table.store();
}
} // namespace

class TestDirectoryTransfer : public QObject {
    Q_OBJECT
private slots:
    void dumpEnd_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<bool>("ended");
        QTest::newRow("nothing") << QString() << false;
        QTest::newRow("first line") << L1("d01281152\r\n") << false;
        QTest::newRow("OK line") << L1("d01281152\r\n1000,1,,,,,A\r\nOK\r\n") << true;
        QTest::newRow("OK alone") << L1("OK\r\n") << true;
        QTest::newRow("OK not yet ended") << L1("d01281152\r\n1000,1,,,,,A\r\nOK") << false;
        QTest::newRow("a name holding OK") << L1("d01281152\r\n1000,1,,,,,BROOKS\r\n") << false;
        QTest::newRow("a name OK") << L1("d01281152\r\n1000,1,,,,,OK\r\n") << false;
        QTest::newRow("slot after an OK name") << L1("1000,1,,,,,OKAFOR\r\n1020,,,,,,\r\n") << false;
        QTest::newRow("unit's own last line") << L1("1000,1,,,,,A\r\nDump OK\r\n") << true;
    }
    void dumpEnd()
    {
        QFETCH(QString, received);
        QFETCH(bool, ended);
        QCOMPARE(DirectoryDumpEnded(received), ended);
    }

    void parseDump_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("one record") << L1("d01281152\r\n1000,101,1234,,,5551<22,SMITH J\r\nOK\r\n") << sl({"SMITH J"});
        QTest::newRow("first and last only") << L1("d01281152\r\nOK\r\n") << QStringList{};
        QTest::newRow("empty lines and slots skipped")
            << L1("d01281152\r\n\r\n1000,101,,,,,A\r\n1020,,,,,,\r\n1040,,,,,,NO ROOM\r\n1060,5,,,,,\r\n"
                  "1080,7,,,,,B\r\nOK\r\n")
            << sl({"A", "B"});
        QTest::newRow("broken off in a line: that line is dropped")
            << L1("d01281152\r\n1000,101,,,,,A\r\n1020,102,,,,,B\r\n1040,10") << sl({"A", "B"});
        // A dump that stopped after a whole line: that line is a record too.
        QTest::newRow("stopped after a whole line")
            << L1("d01281152\r\n1000,101,,,,,A\r\n1020,102,,,,,B\r\n") << sl({"A", "B"});
        QTest::newRow("last record holds OK") << L1("d01281152\r\n1000,101,,,,,BROOK OK\r\n") << sl({"BROOK OK"});
        QTest::newRow("the unit's own closing line") << L1("d01281152\r\n1000,1,,,,,A\r\nDump OK\r\n") << sl({"A"});
        QTest::newRow("closing OK without its line end") << L1("d01281152\r\n1000,1,,,,,A\r\nOK") << sl({"A"});
    }
    void parseDump()
    {
        QFETCH(QString, received);
        QFETCH(QStringList, names);
        QStringList got;
        for (const DirectoryRecord &r : ParseDirectoryDump(received))
            got << r.name;
        QCOMPARE(got, names);
    }

    void appendKeepsTheDumpOrder()
    {
        RecordTable table;
        openDirectory(table);
        addRecord(table, {"OLD"});
        const QList<DirectoryRecord> records = ParseDirectoryDump(
            L1("d01281152\r\n1000,101,1234,5678,12,5551<22,ZED\r\n1020,102,,,,#9,ANN\r\nOK\r\n"));
        QCOMPARE(AppendDirectoryRecords(table, records), 2);
        QCOMPARE(table.recordCount(), 3);
        QCOMPARE(table.recordValues(1), sl({"ZED", "101", "5551p22", "1234", "5678", "12", "", "1000"}));
        QCOMPARE(table.recordValues(2), sl({"ANN", "102", "#9", "", "", "", "", "1020"}));
    }

    void recordLimit_data()
    {
        QTest::addColumn<int>("endAddress");
        QTest::addColumn<int>("limit");
        QTest::newRow("100") << 7424 << 104;
        QTest::newRow("200") << 10752 << 208;
        QTest::newRow("500") << 20736 << 520;
        QTest::newRow("1000") << 36864 << 1024;
        QTest::newRow("unknown model") << 0 << -128;
    }
    void recordLimit()
    {
        QFETCH(int, endAddress);
        QFETCH(int, limit);
        QCOMPARE(DirectoryRecordLimit(endAddress), limit);
    }

    void limitMessage()
    {
        QCOMPARE(DirectoryLimitMessage(104),
                 L1("There are to many records to store\r\nto this Ostiarin version.\r\n104 is the limit."));
    }

    void renumberInNameOrder()
    {
        RecordTable table;
        openDirectory(table);
        addRecord(table, {"b", "1", "", "", "", "", "", "9000"});
        addRecord(table, {"A", "2", "", "", "", "", "", ""});
        addRecord(table, {"C", "3", "", "", "", "", "", "RF01"});
        table.sortOn(DirectoryFields::Name, Qt::CaseSensitive);
        QCOMPARE(RenumberDirectory(table, 36864), 3);
        QStringList order;
        for (int row = 0; row < 3; ++row)
            order << table.storedValue(row, 0) + L1("@") + table.storedValue(row, 7);
        QCOMPARE(order, sl({"A@1000", "b@1020", "C@1040"}));
    }

    void renumberStopsAtTheLastSlot()
    {
        RecordTable table;
        openDirectory(table);
        for (int i = 0; i < 105; ++i) {
            table.append();
            table.setValue(DirectoryFields::Name, QString::number(i));
            table.store();
        }
        QCOMPARE(RenumberDirectory(table, 7424), 105); // 1000 to 1D00: one slot more than the limit
        QCOMPARE(table.storedValue(103, 7), L1("1CE0"));
        QCOMPARE(table.storedValue(104, 7), L1("1D00"));
        QCOMPARE(RenumberDirectory(table, 0x1000 + 0x20), 2);
    }

    void uploadText_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("text"); // empty: the record is not sent
        QTest::addColumn<QString>("message"); // a text the message holds; empty: no message
        const QString numeric = L1("Must use Numeric digits in\r\nRoomNumber & Codes fields");
        QTest::newRow("full") << sl({"SMITH J", "101", "5551p22", "1234", "", "", "X", "1000"})
                              << L1("101,1234,,,5551<22,SMITH J") << QString();
        QTest::newRow("room not a number") << sl({"A", "12a", "", "", "", "", "", "1000"}) << L1("0,,,,,A") << numeric;
        QTest::newRow("hexadecimal room") << sl({"A", "$1F", "", "", "", "", "", "1000"}) << L1("0,,,,,A") << numeric;
        QTest::newRow("room with blanks") << sl({"A", " 12", "", "", "", "", "", "1000"}) << L1("12,,,,,A") << QString();
        // An empty room would be stored by the unit and lost at the next download.
        QTest::newRow("empty room") << sl({"A", "", "", "", "", "", "", "1000"}) << QString() << numeric;
        QTest::newRow("codes") << sl({"A", "007", "*1#", " 12", "99", "12 34", "", ""}) << L1("007,12,99,12,:1;,A")
                               << QString();
        // The unit would get "12" or "1" while the table shows more.
        QTest::newRow("code with a letter") << sl({"A", "7", "", "12ab", "", "", "", ""}) << QString() << numeric;
        QTest::newRow("code with a blank inside") << sl({"A", "7", "", "1 234", "", "", "", ""}) << QString() << numeric;
        QTest::newRow("name unchanged") << sl({"SMITH, J", "5", "", "", "", "", "", ""}) << L1("5,,,,,SMITH, J")
                                        << QString();
        // A CR would end the command early and run the rest as a command of its own.
        QTest::newRow("CR in the name") << QStringList{L1("X\rf5a"), L1("5"), {}, {}, {}, {}, {}, L1("1000")}
                                        << QString() << L1("control character");
        QTest::newRow("LF in the name") << QStringList{L1("X\nY"), L1("5"), {}, {}, {}, {}, {}, L1("1000")}
                                        << QString() << L1("Name");
        QTest::newRow("NUL in the name") << QStringList{L1("X") + QChar(0), L1("5"), {}, {}, {}, {}, {}, L1("1000")}
                                         << QString() << L1("record 4");
        QTest::newRow("tab in the phone") << QStringList{L1("ANN"), L1("5"), L1("1\t2"), {}, {}, {}, {}, L1("1000")}
                                          << QString() << L1("PHnumber");
    }
    void uploadText()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, text);
        QFETCH(QString, message);
        MessageRecorder recorder;
        const std::optional<QString> built = UploadRecordText(values, 4);
        QCOMPARE(built.has_value(), !text.isEmpty());
        if (built)
            QCOMPARE(*built, text);
        QCOMPARE(recorder.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(recorder.last().contains(message), qPrintable(recorder.last()));
    }
};

QTEST_GUILESS_MAIN(TestDirectoryTransfer)
#include "tst_directorytransfer.moc"
