#include "uidriver.h"

#include "window/mainwindow.h"
#include "link/enterpin.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace UiDriver {

void whenTrue(std::function<bool()> condition, std::function<void()> action, int timeoutMs)
{
    auto *timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (condition()) {
            timer->stop();
            timer->deleteLater();
            action();
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

void answerLogOnDialog(const LogOnAnswer &answer)
{
    auto visibleDialog = [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<TEnterPin *>(w); d && d->isVisible())
                return d;
        return static_cast<TEnterPin *>(nullptr);
    };
    whenTrue([=] { return visibleDialog() != nullptr; },
             [=] {
                 TEnterPin *dialog = visibleDialog();
                 if (answer.cancel) {
                     dialog->findChild<QPushButton *>(QStringLiteral("Button2"))->click();
                     return;
                 }
                 dialog->findChild<QLineEdit *>(QStringLiteral("OstiPin"))->setText(answer.pin);
                 // A person cannot touch what is hidden (Remote while WiFi is selected).
                 auto *remote = dialog->findChild<QCheckBox *>(QStringLiteral("RChkBox"));
                 if (remote->isVisible() && remote->isChecked() != answer.remote)
                     remote->click();
                 auto *phone = dialog->findChild<QLineEdit *>(QStringLiteral("R_ph_num"));
                 if (answer.remote && phone->isVisible())
                     phone->setText(answer.phone);
                 auto *remember = dialog->findChild<QCheckBox *>(QStringLiteral("StrDetail"));
                 remember->setChecked(answer.remember);
                 dialog->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
             });
}

QAction *portEntry(QMenu *portsMenu, const QString &caption)
{
    for (QAction *entry : portsMenu->actions())
        if (entry->text() == caption)
            return entry;
    return nullptr;
}

void logOn(TostiForm &form, const QString &port, const LogOnAnswer &answer)
{
    if (QAction *entry = portEntry(form.PortsMenu, port))
        entry->trigger();
    answerLogOnDialog(answer);
    form.ledAction->trigger();
}

} // namespace UiDriver
