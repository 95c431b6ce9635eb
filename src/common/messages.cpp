#include "common/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace {
MessageService::Handler &handlerSlot()
{
    static MessageService::Handler handler;
    return handler;
}
QPointer<QWidget> &parentSlot()
{
    static QPointer<QWidget> parent;
    return parent;
}
} // namespace

void MessageService::inform(const QString &text) { show(Kind::Information, text); }
void MessageService::error(const QString &text) { show(Kind::Error, text); }
bool MessageService::ask(const QString &text) { return show(Kind::Question, text); }

void MessageService::setHandler(Handler handler) { handlerSlot() = std::move(handler); }
void MessageService::resetHandler() { handlerSlot() = nullptr; }
void MessageService::setParentWindow(QWidget *parent) { parentSlot() = parent; }

bool MessageService::show(Kind kind, const QString &text)
{
    if (const Handler &handler = handlerSlot())
        return handler(Message{kind, text});

    QMessageBox box(parentSlot());
    box.setWindowTitle(QApplication::applicationDisplayName());
    // Texts of several lines carry CR LF; a label shows LF alone cleanly.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(shown);
    switch (kind) {
    case Kind::Information:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Kind::Error:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Kind::Question:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    return box.exec() == QMessageBox::Yes;
}
