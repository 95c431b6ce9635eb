// The phone-list page with a directory of the largest size: File ▸ Open of a
// 1000-record file through the main window (load, grid, editor), a title
// click sort, walking every record with the navigator (the editor follows
// each move), OK on a new record (free address and address sort) and
// File ▸ Save.  Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_directorypage
#include "window/mainwindow.h"
#include "common/filedialogs.h"
#include "common/messages.h"
#include "directory/directorypage.h"
#include "directory/directorytable.h"
#include "directory/recordeditor.h"
#include "records/recordnavigator.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>
#include <ctime>

namespace {
struct Clock {
    QElapsedTimer wall;
    std::clock_t cpu = 0;
    void start()
    {
        wall.start();
        cpu = std::clock();
    }
    void report(const char *label)
    {
        const double cpuMs = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
        std::printf("%-52s %9.2f ms elapsed %9.2f ms CPU\n", label, double(wall.nsecsElapsed()) / 1e6, cpuMs);
        start();
    }
};

QByteArray directoryFile(int count)
{
    QByteArray text = "Name,RoomNumber,PHnumber,Code1,Code2,spare,RFID,Addr\r\n";
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("RESIDENT %1,%2,0%3p12,%4,,,,%5\r\n")
                    .arg(count - i)
                    .arg(100 + i)
                    .arg(5550000 + i)
                    .arg(i % 10000, 4, 10, QLatin1Char('0'))
                    .arg(QString::number(0x1000 + 0x20 * i, 16).toUpper())
                    .toLatin1();
    return text;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    MessageService::setHandler([](const MessageService::Message &m) {
        if (m.kind != MessageService::Kind::Question)
            std::printf("message: %s\n", qPrintable(m.text));
        return true;
    });
    const QString path = dir.filePath(QStringLiteral("big.csv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(directoryFile(1000));
    }
    FileDialogService::setHandler([&path](const FileDialogService::Request &) { return path; });

    TostiForm form;
    form.show();
    form.PHButClick();
    QApplication::processEvents();
    RecordEditor &editor = *form.directoryPage->editor();
    Clock clock;

    clock.start();
    form.FileOpen1->trigger();
    QApplication::processEvents();
    clock.report("File Open, 1000 records (incl. 3 x 8.64 ms pauses)");
    std::printf("  records %d, editor shows %s\n", form.DirectoryTable.recordCount(), qPrintable(editor.Namef->text()));

    clock.start();
    form.directoryPage->DBGrid1TitleClick(0);
    QApplication::processEvents();
    clock.report("title click sort on Name");

    clock.start();
    form.directoryPage->DBGrid1TitleClick(1);
    QApplication::processEvents();
    clock.report("title click sort on RoomNumber");

    clock.start();
    int moves = 0;
    while (editor.DBNavigator1->button(RecordNavigator::Button::Next)->isEnabled()) {
        editor.DBNavigator1->button(RecordNavigator::Button::Next)->click();
        ++moves;
    }
    QApplication::processEvents();
    clock.report("navigator Next over every record");
    std::printf("  %d moves, editor shows %s\n", moves, qPrintable(editor.Namef->text()));

    // Make room for one: the navigator's Delete (the question is answered Yes).
    form.DirectoryTable.moveTo(500);
    editor.DBNavigator1->button(RecordNavigator::Button::Delete)->click();
    form.DirectoryTable.last();
    form.DirectoryTable.append();
    editor.Namef->setText(QStringLiteral("NEW"));
    editor.RoomNumber->setText(QStringLiteral("99999"));
    clock.start();
    editor.NavOk->click();
    clock.report("OK on a new record (incl. 4 x 8.64 ms pauses)");
    std::printf("  address %s\n", qPrintable(form.DirectoryTable.storedValue(form.DirectoryTable.recordCount() - 1, 7)));

    clock.start();
    form.FileSaveItem->trigger();
    clock.report("File Save, 1001 records");
    return 0;
}
