#include "window/mainwindow.h"
#include "common/filedialogs.h"
#include "directory/directorypage.h"
#include "directory/directorytable.h"
#include "directory/recordeditor.h"
#include "messagerecorder.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QTest>

using namespace DirectoryFields;

namespace {
const QByteArray kHeader = "Name,RoomNumber,PHnumber,Code1,Code2,spare,RFID,Addr\r\n";
const QByteArray kTwoRecords = kHeader + "SMITH J,101,5551p22,1234,,,,1000\r\nANN 100%%,102,#9*,,,,,1020\r\n";

// Answers the file dialogs with the given paths, in turn (empty: cancel).
class DialogAnswers {
public:
    explicit DialogAnswers(QStringList answers) : m_answers(std::move(answers))
    {
        FileDialogService::setHandler([this](const FileDialogService::Request &request) {
            m_requests.append(request);
            return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        });
    }
    ~DialogAnswers() { FileDialogService::resetHandler(); }
    const QList<FileDialogService::Request> &requests() const { return m_requests; }

private:
    QStringList m_answers;
    QList<FileDialogService::Request> m_requests;
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString here(const QString &name) { return QDir::current().absoluteFilePath(name); }
} // namespace

// File ▸ Open, Save and Save As on the phone-list page, through the main window's commands.
class TestDirectoryFileCommands : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(here(QStringLiteral("OstiPhList.csv"))); }

    void openShowsTheFileNotInStep()
    {
        MessageRecorder messages;
        const QString path = here(QStringLiteral("two.csv"));
        writeFile(path, kTwoRecords);
        TostiForm form;
        form.PHButClick();
        form.setDirectoryInSync(true);
        DialogAnswers dialogs({path});
        form.FileOpen1->trigger();

        QCOMPARE(dialogs.requests().size(), 1);
        const FileDialogService::Request request = dialogs.requests().first();
        QCOMPARE(request.kind, FileDialogService::Kind::Open);
        QCOMPARE(request.defaultExtension, QStringLiteral("csv"));
        QVERIFY(request.proposedName.isEmpty());
        QCOMPARE(request.filter, QStringLiteral("Ostiarin (*.csv)|*.csv|All Files (*.*)|*.*"));

        RecordTable &table = form.DirectoryTable;
        QCOMPARE(table.recordCount(), 2);
        QCOMPARE(table.recNo(), 1);
        QCOMPARE(table.storedValue(1, table.fieldIndex(Name)), QStringLiteral("ANN 100%"));
        QCOMPARE(form.DBFiles->text(), path);
        RecordEditor &e = *form.directoryPage->editor();
        QCOMPARE(e.Namef->text(), QStringLiteral("SMITH J"));
        QCOMPARE(e.PHnumber->text(), QStringLiteral("5551p22"));
        QCOMPARE(e.totrec->text(), QStringLiteral("2"));
        QVERIFY(!form.DirectoryInSync);
        QVERIFY(!e.WrtChg->isEnabled());
        QVERIFY(!form.BulkBusy && form.FollowCursor);
        QVERIFY(form.FileSaveItem->isEnabled() && form.SaveAs->isEnabled());
        QVERIFY(form.DBGrid1->isColumnHidden(table.fieldIndex(Addr)));
        QCOMPARE(form.DBGrid1->model()->rowCount(), 2);
        QVERIFY(messages.texts().isEmpty());
    }

    void openFailureLeavesEverything_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("mistyped name") << QStringLiteral("no-such-file.csv");
        QTest::newRow("a folder") << QStringLiteral("folder.csv");
        // A character the unit cannot hold refuses the whole file.
        QTest::newRow("UTF-8 with a euro sign") << QStringLiteral("euro.csv");
    }
    void openFailureLeavesEverything()
    {
        QFETCH(QString, name);
        MessageRecorder messages;
        QDir().mkpath(here(QStringLiteral("folder.csv")));
        writeFile(here(QStringLiteral("euro.csv")),
                  QByteArray("\xEF\xBB\xBF") + QStringLiteral("Name,RoomNumber\r\nCAF\u20AC,1\r\n").toUtf8());
        TostiForm form;
        form.PHButClick();
        RecordTable &table = form.DirectoryTable;
        for (const char *n : {"A", "B", "C"}) {
            table.append();
            table.setValue(Name, QLatin1String(n));
            table.setValue(RoomNumber, QStringLiteral("1"));
            table.store();
        }
        table.moveTo(2);
        form.setDirectoryInSync(true);
        const QString fileName = form.DBFiles->text();

        DialogAnswers dialogs({here(name)});
        form.FileOpen1->trigger();

        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().contains(name) || messages.last().contains(QStringLiteral("U+20AC")),
                 qPrintable(messages.last()));
        QCOMPARE(table.recordCount(), 3);
        QCOMPARE(table.recNo(), 2);
        QCOMPARE(form.directoryPage->editor()->Namef->text(), QStringLiteral("B"));
        QVERIFY(form.DirectoryInSync);
        QVERIFY(form.directoryPage->editor()->WrtChg->isEnabled());
        QCOMPARE(form.DBFiles->text(), fileName);
        QVERIFY(!form.BulkBusy && form.FollowCursor);
    }

    void cancelledDialogsChangeNothing()
    {
        MessageRecorder messages;
        TostiForm form;
        form.PHButClick();
        const QString fileName = form.DBFiles->text();
        DialogAnswers dialogs({QString(), QString()});
        form.FileOpen1->trigger();
        form.SaveAs->trigger();
        QCOMPARE(dialogs.requests().size(), 2);
        QCOMPARE(form.DBFiles->text(), fileName);
        QVERIFY(!QFile::exists(fileName));
        QVERIFY(messages.texts().isEmpty());
    }

    void saveAfterStartWritesTheHeader()
    {
        MessageRecorder messages;
        TostiForm form;
        QCOMPARE(QDir::fromNativeSeparators(form.DBFiles->text()), here(QStringLiteral("OstiPhList.csv")));
        form.FileSaveItem->trigger();
        QCOMPARE(readFile(here(QStringLiteral("OstiPhList.csv"))), kHeader);
        QVERIFY(messages.texts().isEmpty());
    }

    void saveAsThenSave()
    {
        MessageRecorder messages;
        const QString source = here(QStringLiteral("source.csv"));
        writeFile(source, kTwoRecords);
        const QString other = here(QStringLiteral("other.csv"));
        QFile::remove(other);
        TostiForm form;
        form.PHButClick();
        DialogAnswers dialogs({source, other});
        form.FileOpen1->trigger();
        form.SaveAs->trigger();
        const FileDialogService::Request request = dialogs.requests().at(1);
        QCOMPARE(request.kind, FileDialogService::Kind::Save);
        QCOMPARE(request.defaultExtension, QStringLiteral("csv"));
        QCOMPARE(request.proposedName, QStringLiteral("OstiPhList.csv"));
        QCOMPARE(request.filter, QStringLiteral("Ostiarin (*.csv)|*.csv|All Files (*.*)|*.*"));
        QCOMPARE(form.DBFiles->text(), other);
        QCOMPARE(readFile(other), kTwoRecords);

        // Save writes to the name Save As chose; a typed name is taken as it is.
        form.DirectoryTable.first();
        RecordEditor &e = *form.directoryPage->editor();
        e.Code2->setText(QStringLiteral("9"));
        e.NavOk->click();
        form.FileSaveItem->trigger();
        QVERIFY(readFile(other).contains("SMITH J,101,5551p22,1234,9,,,1000\r\n"));
        const QString typed = here(QStringLiteral("typed.csv"));
        form.DBFiles->setText(typed);
        form.FileSaveItem->trigger();
        QCOMPARE(readFile(typed), readFile(other));
        QVERIFY(!QFile::exists(here(QStringLiteral("OstiPhList.csv"))));
        QVERIFY(messages.texts().isEmpty());
    }

    void commandsFollowTheShownPage()
    {
        MessageRecorder messages;
        const QString path = here(QStringLiteral("page.csv"));
        writeFile(path, kTwoRecords);
        TostiForm form;
        DialogAnswers dialogs({path});
        form.EbuttClick();
        form.FileOpen1Execute(); // the events page has no Open
        QVERIFY(dialogs.requests().isEmpty());
        QCOMPARE(form.DirectoryTable.recordCount(), 0);
    }
};

QTEST_MAIN(TestDirectoryFileCommands)
#include "tst_directoryfilecommands.moc"
