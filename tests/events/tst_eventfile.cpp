#include "common/errors.h"
#include "filesizelimit.h"
#include "events/eventdecoding.h"
#include "events/eventfile.h"
#include "events/eventtable.h"
#include "records/recordtable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray B(const char *text) { return QByteArray(text); }
QString L(const char *text) { return QString::fromLatin1(text); }

const EventFileTimes kTimes{L("23:30:12"), L("01/04/09"), L("11:05:07 PM"), L("3/3/09")};

void fill(RecordTable &table, const QStringList &lines)
{
    DefineEventTable(table);
    table.open();
    table.empty();
    for (int i = 0; i < lines.size(); ++i)
        AppendEventRecord(table, lines.at(i), i + 1);
}

QString eventLine(const char *kind, char source, const QString &client)
{
    return L("E0001") + L(kind) + L("1F0C09173B00 1 ") + QLatin1Char(source) + L("    ") + client;
}
} // namespace

class TestEventFile : public QObject {
    Q_OBJECT
private slots:
    void emptyTableGivesTimesAndHeader()
    {
        RecordTable table;
        fill(table, {});
        QCOMPARE(EventFileText(kTimes, table), B("Ostiarin time when saved was: 23:30:12  01/04/09\r\n"
                                                 "Current time when Loaded was: 11:05:07 PM  3/3/09\r\n"
                                                 "Event,RoomNumber,Date,Time,RlyNo,Source,Client\r\n"));
    }

    void defaultClockTextsAreWritten()
    {
        RecordTable table;
        fill(table, {});
        const QByteArray text = EventFileText({L("00:00:00"), L("00/00"), L("00:00:00"), L("00/00/00")}, table);
        QVERIFY(text.startsWith(B("Ostiarin time when saved was: 00:00:00  00/00\r\n"
                                  "Current time when Loaded was: 00:00:00  00/00/00\r\n")));
    }

    void recordsInCurrentOrderWithEscapes()
    {
        RecordTable table;
        fill(table, {eventLine("313233FFFFFF", '0', L("SMITH J")), eventLine("B00000000000", '1', QString()),
                     eventLine("3130FFFFFFFF", '2', L("50%\xe9\xff")), eventLine("A00200000000", '7', QString())});
        const QByteArray header = EventFileHeader(kTimes) + B("Event,RoomNumber,Date,Time,RlyNo,Source,Client\r\n");
        QCOMPARE(EventFileText(kTimes, table), header
                                                   + B("1,123,31/12/09,23:59:00,1,local,SMITH J\r\n"
                                                       "2,InCall,31/12/09,23:59:00,1,Remote,InCall\r\n"
                                                       "3,10,31/12/09,23:59:00,1,RF-ID,50%%\xe9\xff\r\n"
                                                       "4,Butt.2,31/12/09,23:59:00,1,Error,Butt.2\r\n"));
        table.sortOn(EventFields::RoomNumber, Qt::CaseSensitive);
        table.moveTo(3);
        QCOMPARE(EventFileText(kTimes, table).mid(header.size()), B("3,10,31/12/09,23:59:00,1,RF-ID,50%%\xe9\xff\r\n"
                                                                    "1,123,31/12/09,23:59:00,1,local,SMITH J\r\n"
                                                                    "4,Butt.2,31/12/09,23:59:00,1,Error,Butt.2\r\n"
                                                                    "2,InCall,31/12/09,23:59:00,1,Remote,InCall\r\n"));
        QCOMPARE(table.recNo(), 3); // saving leaves the cursor
    }

    // The event file is never read back: its values are written as they
    // stand, never quoted, a comma or a leading quote included.
    void valuesAreWrittenAsTheyStand()
    {
        RecordTable table;
        fill(table, {eventLine("313233FFFFFF", '0', L("SMITH, J")), eventLine("313233FFFFFF", '0', L("\"Q\" 5%"))});
        const QList<QByteArray> lines = EventFileText(kTimes, table).split('\n');
        QCOMPARE(lines.at(3), B("1,123,31/12/09,23:59:00,1,local,SMITH, J\r"));
        QCOMPARE(lines.at(4), B("2,123,31/12/09,23:59:00,1,local,\"Q\" 5%%\r"));
    }

    void writtenFileReplacesAnOldOne()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(L("Events.Evt"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(5000, 'x'));
        }
        RecordTable table;
        fill(table, {eventLine("313233FFFFFF", '0', L("SMITH J"))});
        WriteEventFile(path, kTimes, table);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), EventFileText(kTimes, table));
    }

    // A full disk: the save says so, and the file saved before stays whole.
    void fullDiskIsReportedAndTheOldFileStays()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(L("Events.Evt"));
        RecordTable table;
        fill(table, {eventLine("313233FFFFFF", '0', L("SMITH J"))});
        WriteEventFile(path, kTimes, table);
        const QByteArray saved = EventFileText(kTimes, table);
        QStringList many;
        for (int i = 0; i < 200; ++i)
            many << eventLine("313233FFFFFF", '0', L("RESIDENT %1").arg(i));
        RecordTable bigger;
        fill(bigger, many);
        {
            const FileSizeLimit limit(saved.size() + 100);
            try {
                WriteEventFile(path, kTimes, bigger);
                QFAIL("a save past the disk's end was reported as done");
            } catch (const AppError &e) {
                QVERIFY2(e.text().startsWith(L("Cannot write file")), qPrintable(e.text()));
            }
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), saved);
    }

    void unwritableFileNamesItAndLeavesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(L("missing/Events.Evt"));
        RecordTable table;
        fill(table, {});
        try {
            WriteEventFile(path, kTimes, table);
            QFAIL("no error");
        } catch (const AppError &e) {
            QVERIFY2(e.text().startsWith(L("Cannot create file \"") + QDir::toNativeSeparators(path) + L("\". ")),
                     qPrintable(e.text()));
            QVERIFY(e.text().size() > path.size() + 22); // the system's reason follows
        }
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestEventFile)
#include "tst_eventfile.moc"
