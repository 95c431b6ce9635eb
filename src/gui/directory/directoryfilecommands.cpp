#include "directory/directoryfilecommands.h"

#include "common/pagehost.h"
#include "common/workspacehooks.h"
#include "session/unitsession.h"
#include "common/filedialogs.h"
#include "directory/directoryfile.h"
#include "directory/directorytable.h"
#include "rfid/tagcodeentry.h"

#include <QLineEdit>
#include <QTableView>

namespace {
// Restores the bulk flags when a load is abandoned by an error half-way.
struct BulkScope {
    UnitSession &form;
    bool ended = false;
    explicit BulkScope(UnitSession &f) : form(f)
    {
        form.FollowCursor = false;
        form.BulkBusy = true;
        form.DirectoryTable.disableControls();
    }
    void end()
    {
        if (ended)
            return;
        ended = true;
        form.DirectoryTable.enableControls();
        form.BulkBusy = false;
        form.FollowCursor = true;
    }
    ~BulkScope() { end(); }
};
} // namespace

DirectoryFileCommands::DirectoryFileCommands(PageHost &host, QObject *parent, std::function<void()> layoutGrids)
    : QObject(parent), m_host(host), m_layoutGrids(std::move(layoutGrids))
{
}

void DirectoryFileCommands::Open()
{
    // A bulk operation (an upload, a download) is walking the table.
    if (m_host.session().BulkBusy)
        return;
    const QString path = FileDialogService::askOpen(kExtension, QString(), kFilter);
    if (path.isEmpty())
        return;
    // Read the whole file first: a name that does not open must not cost the
    // directory the user is working on.  The error abandons the command here.
    const QByteArray bytes = ReadDirectoryFile(path);

    RecordTable &table = m_host.session().DirectoryTable;
    {
        BulkScope bulk(m_host.session());
        m_host.setPhoneListFileName(path);
        DefineDirectoryTable(table);
        table.open();
        table.empty();
        FillDirectoryTable(table, bytes);
        // Tag codes in the form the unit keeps; codes it would corrupt are refused.
        TakeLoadedTagCodes(table);
        table.first();
        bulk.end();
    }
    if (m_layoutGrids)
        m_layoutGrids();
    m_host.session().setDirectoryInSync(false);
    m_host.offerPhoneListSave();
    if (m_host.workspaceHooks().refreshGlobalCodes)
        m_host.workspaceHooks().refreshGlobalCodes();
    // Again, now that the editor follows the cursor.
    table.first();
    if (QTableView *grid = m_host.phoneListGrid())
        grid->viewport()->update();
}

void DirectoryFileCommands::Save() { SaveDirectoryFile(m_host.session().DirectoryTable, m_host.phoneListFileName()); }

void DirectoryFileCommands::SaveAs()
{
    const QString path = FileDialogService::askSave(kExtension, kProposedName, kFilter);
    if (path.isEmpty())
        return;
    m_host.setPhoneListFileName(path);
    SaveDirectoryFile(m_host.session().DirectoryTable, path);
}
