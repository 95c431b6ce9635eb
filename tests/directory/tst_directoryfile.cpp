#include "common/errors.h"
#include "directory/directoryfile.h"
#include "directory/directorytable.h"
#include "filesizelimit.h"
#include "messagerecorder.h"
#include "records/recordtable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The phone-list file on disk; the text form itself is tested with the CSV
// text (tst_csvtext).
namespace {
QString L1(const char *text) { return QString::fromLatin1(text); }

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

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestDirectoryFile : public QObject {
    Q_OBJECT
private slots:
    void savesAndLoads()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(L1("OstiPhList.csv"));
        RecordTable table;
        openDirectory(table);
        addRecord(table, {"SMITH J", "101", "5551p22", "1234", "", "", "", "1000"});
        addRecord(table, {"ANN 100%", "102", "#9*", "", "", "", "", "1020"});
        SaveDirectoryFile(table, path);
        QCOMPARE(fileBytes(path), QByteArray("Name,RoomNumber,PHnumber,Code1,Code2,spare,RFID,Addr\r\n"
                                             "SMITH J,101,5551p22,1234,,,,1000\r\n"
                                             "ANN 100%%,102,#9*,,,,,1020\r\n"));

        // Saving again replaces the file.
        table.first();
        table.deleteRecord();
        SaveDirectoryFile(table, path);
        QCOMPARE(fileBytes(path), QByteArray("Name,RoomNumber,PHnumber,Code1,Code2,spare,RFID,Addr\r\n"
                                             "ANN 100%%,102,#9*,,,,,1020\r\n"));

        RecordTable back;
        openDirectory(back);
        QCOMPARE(LoadDirectoryFile(back, path), 1);
        QCOMPARE(back.recordValues(0), (QStringList{L1("ANN 100%"), L1("102"), L1("#9*"), {}, {}, {}, {}, L1("1020")}));
    }

    void failuresLeaveTheTableAlone()
    {
        QTemporaryDir dir;
        RecordTable table;
        openDirectory(table);
        addRecord(table, {"KEEP", "1"});
        for (const QString &path : {dir.filePath(L1("missing.csv")), QString(), dir.path()}) {
            try {
                LoadDirectoryFile(table, path);
                QFAIL("no error");
            } catch (const AppError &e) {
                QVERIFY2(e.text().startsWith(L1("Cannot ")), qPrintable(e.text()));
            }
            QCOMPARE(table.recordCount(), 1);
        }
        // A folder that does not exist: nothing is created, the table is as it was.
        const QString nowhere = dir.filePath(L1("no/such/folder/x.csv"));
        QVERIFY_THROWS_EXCEPTION(AppError, SaveDirectoryFile(table, nowhere));
        QVERIFY(!QFile::exists(nowhere));
        QCOMPARE(table.recordCount(), 1);
    }

    // A full disk: the save says so, and the file saved before stays whole.
    void fullDiskIsReportedAndTheOldFileStays()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(L1("OstiPhList.csv"));
        RecordTable table;
        openDirectory(table);
        table.append();
        table.setValue(table.fieldIndex(DirectoryFields::Name), L1("KEPT"));
        table.store();
        SaveDirectoryFile(table, path);
        QFile before(path);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray saved = before.readAll();
        before.close();
        for (int i = 0; i < 200; ++i) {
            table.append();
            table.setValue(table.fieldIndex(DirectoryFields::Name), L1("RESIDENT %1").arg(i));
            table.store();
        }
        {
            const FileSizeLimit limit(saved.size() + 100);
            try {
                SaveDirectoryFile(table, path);
                QFAIL("a save past the disk's end was reported as done");
            } catch (const AppError &e) {
                QVERIFY2(e.text().startsWith(L1("Cannot write file")), qPrintable(e.text()));
            }
        }
        QFile after(path);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), saved);
    }

    void spreadsheetUtf8WithByteOrderMark()
    {
        // "CSV UTF-8" of common spreadsheets: a byte-order mark, then UTF-8.
        const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + QStringLiteral("Name,RoomNumber,PHnumber\r\n"
                                                                             "M\u00DCLLER,101,555\r\n"
                                                                             "ANN,102,\r\n").toUtf8();
        MessageRecorder messages;
        RecordTable table;
        openDirectory(table);
        QCOMPARE(FillDirectoryTable(table, bytes), 2);
        QCOMPARE(table.recordValues(0), (QStringList{QStringLiteral("M\u00DCLLER"), L1("101"), L1("555"), {}, {}, {}, {}, {}}));
        QCOMPARE(table.storedValue(1, 0), L1("ANN"));
        QVERIFY(messages.texts().isEmpty());

        // Without the mark the bytes are single-byte text, as always.
        RecordTable plain;
        openDirectory(plain);
        QCOMPARE(FillDirectoryTable(plain, QByteArray("Name\r\nM\xDCLLER\r\n")), 1);
        QCOMPARE(plain.storedValue(0, 0), QStringLiteral("M\u00DCLLER"));
    }

    void charactersTheUnitCannotHoldAreRefused()
    {
        const QByteArray bytes = QByteArray("\xEF\xBB\xBF")
                                 + QStringLiteral("Name,RoomNumber\r\nANN,101\r\nCAF\u20AC,102\r\n").toUtf8();
        RecordTable table;
        openDirectory(table);
        try {
            FillDirectoryTable(table, bytes);
            QFAIL("no error");
        } catch (const AppError &e) {
            QVERIFY2(e.text().contains(L1("record 2")), qPrintable(e.text()));
            QVERIFY2(e.text().contains(L1("U+20AC")), qPrintable(e.text()));
        }
        QCOMPARE(table.recordCount(), 0);
    }

    void controlCharactersAreReported()
    {
        // The file's escapes can put CR, LF and NUL into a value; such a
        // record cannot go to the unit, and the user is told which it is.
        MessageRecorder messages;
        RecordTable table;
        openDirectory(table);
        QCOMPARE(FillDirectoryTable(table, QByteArray("Name,RoomNumber\r\nANN,101\r\nX%cf5a,102\r\nBOB,1%n3\r\n")), 3);
        QCOMPARE(table.storedValue(1, 0), L1("X\rf5a"));
        QCOMPARE(messages.count(), 1);
        const QString text = messages.last();
        QVERIFY2(text.contains(L1("record 2")) && text.contains(L1("Name")), qPrintable(text));
        QVERIFY2(text.contains(L1("record 3")) && text.contains(L1("RoomNumber")), qPrintable(text));
        QVERIFY2(!text.contains(L1("record 1")), qPrintable(text));
    }

    void savingReplacesAnExistingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(L1("list.csv"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("Name\r\nOLD\r\n");
        old.close();
        RecordTable table;
        openDirectory(table);
        addRecord(table, {"NEW"});
        SaveDirectoryFile(table, path);
        QCOMPARE(fileBytes(path), QByteArray("Name,RoomNumber,PHnumber,Code1,Code2,spare,RFID,Addr\r\nNEW,,,,,,,\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestDirectoryFile)
#include "tst_directoryfile.moc"
