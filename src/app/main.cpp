#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OstiKit"));
    // No display name: the window manager would add it to the window's
    // title, which says exactly which unit the program is logged on to.
    QApplication::setApplicationVersion(QStringLiteral("8.8"));

    TostiForm form;
    form.show();
    return app.exec();
}
