#include "common/messageboxes.h"

#include "common/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget> &parentSlot()
{
    static QPointer<QWidget> parent;
    return parent;
}

bool showBox(const MessageService::Message &message)
{
    QMessageBox box(parentSlot());
    box.setWindowTitle(QApplication::applicationDisplayName());
    // Texts of several lines carry CR LF; a label shows LF alone cleanly.
    QString shown = message.text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(shown);
    switch (message.kind) {
    case MessageService::Kind::Information:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageService::Kind::Error:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageService::Kind::Question:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    return box.exec() == QMessageBox::Yes;
}
} // namespace

void MessageBoxes::install() { MessageService::setPresenter(showBox); }
void MessageBoxes::setParentWindow(QWidget *parent) { parentSlot() = parent; }
