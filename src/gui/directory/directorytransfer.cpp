#include "directory/directorytransfer.h"

#include "common/pagehost.h"
#include "common/workspacehooks.h"
#include "session/unitsession.h"
#include "widgets/pictures.h"

#include <QApplication>
#include <QTableView>

DirectoryTransfer::DirectoryTransfer(PageHost &host, QObject *parent)
    : UnitDirectoryTransfer(host.session(), parent)
{
    setObjectName(QStringLiteral("DirectoryTransfer"));
    DirectoryTransferLook look;
    look.showTransfer = [&host] { host.showTransfer(true); };
    look.hideTransfer = [&host] { host.showTransfer(false); };
    look.busyPointer = [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    look.blinkLamp = [&host](bool on) { host.blinkLamp(on); };
    look.steadyLamp = [&host] { host.setLamp(Pictures::LedGreen); };
    look.setStatus = [&host](const QString &text) { host.setStatus(text); };
    look.setStatusTip = [&host](const QString &text) { host.showStatusTip(text); };
    look.gridEnabled = [&host](bool enabled) {
        if (QTableView *grid = host.phoneListGrid())
            grid->setEnabled(enabled);
    };
    look.tableRedefined = [&host] {
        if (host.workspaceHooks().layoutDirectoryGrids)
            host.workspaceHooks().layoutDirectoryGrids();
        host.offerPhoneListSave();
    };
    setLook(std::move(look));
}
