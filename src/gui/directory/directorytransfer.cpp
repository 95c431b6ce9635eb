#include "directory/directorytransfer.h"

#include "widgets/pictures.h"
#include "widgets/statuspanels.h"
#include "widgets/transferwindow.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QTableView>

DirectoryTransfer::DirectoryTransfer(TostiForm &form) : UnitDirectoryTransfer(form.Session, &form)
{
    setObjectName(QStringLiteral("DirectoryTransfer"));
    DirectoryTransferLook look;
    look.showTransfer = [&form] { form.TransferF->show(); };
    look.hideTransfer = [&form] { form.TransferF->hide(); };
    look.busyPointer = [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    look.blinkLamp = [&form](bool on) { on ? form.Timer1.start() : form.Timer1.stop(); };
    look.steadyLamp = [&form] { form.setLedPicture(Pictures::LedGreen); };
    look.setStatus = [&form](const QString &text) { form.StatusBar->setPanel(0, text); };
    look.setStatusTip = [&form](const QString &text) { form.setStatusTip(text); };
    look.gridEnabled = [&form](bool enabled) {
        if (form.DBGrid1)
            form.DBGrid1->setEnabled(enabled);
    };
    look.tableRedefined = [&form] {
        if (form.Hooks.layoutDirectoryGrids)
            form.Hooks.layoutDirectoryGrids();
        form.FileSaveItem->setEnabled(true);
        form.SaveAs->setEnabled(true);
    };
    setLook(std::move(look));
}
