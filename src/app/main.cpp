#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OstiKit"));
    QApplication::setApplicationDisplayName(QStringLiteral("Osti-Kit"));
    QApplication::setApplicationVersion(QStringLiteral("8.8"));

    TostiForm form;
    form.show();
    return app.exec();
}
