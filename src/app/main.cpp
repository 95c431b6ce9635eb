#include "window/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <cstdio>

namespace {
// With OSTIKIT_EXIT_WHEN_SHOWN set, the program prints how long it took from
// main() to the main window's first paint and ends there: the start-up
// benchmark times fresh processes with it.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(const QElapsedTimer &clock) : m_clock(clock) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            std::printf("shown %.1f ms\n", double(m_clock.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer &m_clock;
    bool m_done = false;
};
} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OstiKit"));
    // No display name: the window manager would add it to the window's
    // title, which says exactly which unit the program is logged on to.
    QApplication::setApplicationVersion(QStringLiteral("8.8"));

    TostiForm form;
    FirstPaintProbe probe(sinceStart);
    if (qEnvironmentVariableIsSet("OSTIKIT_EXIT_WHEN_SHOWN"))
        form.installEventFilter(&probe);
    form.show();
    return app.exec();
}
