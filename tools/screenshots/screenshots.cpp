// Takes the README's pictures: the log-on dialog and the four pages with the
// simulated unit's demonstration data read in, as a user would get them.
//
//   ostikit-screenshots STATE.json OUTPUT-FOLDER
#include "window/mainwindow.h"
#include "link/enterpin.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "simulator.h"
#include "uidriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

namespace {
QTextStream err(stderr);

void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
}

bool save(QWidget *widget, const QString &folder, const QString &name)
{
    settle(300);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(path)) {
        err << "could not save " << path << Qt::endl;
        return false;
    }
    err << "saved " << path << Qt::endl;
    return true;
}

// Clicks the button of that name, if the window has one.
void click(TostiForm &form, const char *name)
{
    if (auto *button = form.findChild<QAbstractButton *>(QLatin1String(name)))
        button->click();
    else
        err << "no button " << name << Qt::endl;
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        err << "usage: ostikit-screenshots STATE.json OUTPUT-FOLDER" << Qt::endl;
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(folder);
    // The program keeps its link details in the working folder.
    QDir::setCurrent(QDir::tempPath());
    QFile::remove(QStringLiteral("Ostidata.ini"));

    SimOptions options;
    options.statePath = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    Simulator sim(options);
    QString error;
    if (!sim.loadState(&error) || !sim.startSerial(QStringLiteral("SIM0"), &error)) {
        err << "simulated unit: " << error << Qt::endl;
        return 1;
    }
    MessageRecorder messages; // answers every box; questions get No

    TostiForm form;
    form.show();
    settle(300);

    // The log-on dialog, filled in as a user would before pressing OK.
    QAction *entry = UiDriver::portEntry(form.PortsMenu, QStringLiteral("SIM0"));
    if (!entry) {
        err << "no port SIM0" << Qt::endl;
        return 1;
    }
    entry->trigger();
    bool dialogSaved = false;
    UiDriver::whenTrue([&] { return form.EnterPin->isVisible(); },
                       [&] {
                           form.EnterPin->findChild<QLineEdit *>(QStringLiteral("OstiPin"))
                               ->setText(QStringLiteral("1234"));
                           dialogSaved = save(form.EnterPin, folder, QStringLiteral("logon"));
                           form.EnterPin->findChild<QAbstractButton *>(QStringLiteral("Button1"))->click();
                       });
    form.ledAction->trigger();
    if (!form.Link->LoggedOn || !dialogSaved) {
        err << "log-on failed: " << messages.texts().join(QStringLiteral(" | ")) << Qt::endl;
        return 1;
    }

    form.PHButClick();
    click(form, "GetData");
    save(&form, folder, QStringLiteral("phonelist"));

    form.PbuttClick(); // the first showing reads the settings
    auto *tabs = form.findChild<QTabWidget *>(QStringLiteral("PhParam"));
    for (int i = 0; tabs && i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        save(&form, folder, QStringLiteral("settings-%1").arg(tabs->widget(i)->objectName().toLower()));
    }

    form.EbuttClick();
    click(form, "dnLoad");
    save(&form, folder, QStringLiteral("events"));

    form.RFbuttClick();
    click(form, "download_id");
    save(&form, folder, QStringLiteral("rfid"));

    form.FileExit1Execute();
    if (!messages.texts().isEmpty())
        err << "messages shown: " << messages.texts().join(QStringLiteral(" | ")) << Qt::endl;
    return 0;
}
