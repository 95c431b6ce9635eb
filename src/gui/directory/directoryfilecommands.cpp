#include "directory/directoryfilecommands.h"

#include "window/mainwindow.h"
#include "common/filedialogs.h"
#include "directory/directoryfile.h"
#include "directory/directorytable.h"
#include "rfid/tagcodeentry.h"

#include <QLineEdit>
#include <QTableView>

namespace {
// Restores the bulk flags when a load is abandoned by an error half-way.
struct BulkScope {
    TostiForm &form;
    bool ended = false;
    explicit BulkScope(TostiForm &f) : form(f)
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

DirectoryFileCommands::DirectoryFileCommands(TostiForm &form, std::function<void()> layoutGrids)
    : QObject(&form), m_form(form), m_layoutGrids(std::move(layoutGrids))
{
}

void DirectoryFileCommands::Open()
{
    // A bulk operation (an upload, a download) is walking the table.
    if (m_form.BulkBusy)
        return;
    const QString path = FileDialogService::askOpen(kExtension, QString(), kFilter);
    if (path.isEmpty())
        return;
    // Read the whole file first: a name that does not open must not cost the
    // directory the user is working on.  The error abandons the command here.
    const QByteArray bytes = ReadDirectoryFile(path);

    RecordTable &table = m_form.DirectoryTable;
    {
        BulkScope bulk(m_form);
        m_form.DBFiles->setText(path);
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
    m_form.setDirectoryInSync(false);
    m_form.FileSaveItem->setEnabled(true);
    m_form.SaveAs->setEnabled(true);
    if (m_form.Hooks.refreshGlobalCodes)
        m_form.Hooks.refreshGlobalCodes();
    // Again, now that the editor follows the cursor.
    table.first();
    if (m_form.DBGrid1)
        m_form.DBGrid1->viewport()->update();
}

void DirectoryFileCommands::Save() { SaveDirectoryFile(m_form.DirectoryTable, m_form.DBFiles->text()); }

void DirectoryFileCommands::SaveAs()
{
    const QString path = FileDialogService::askSave(kExtension, kProposedName, kFilter);
    if (path.isEmpty())
        return;
    m_form.DBFiles->setText(path);
    SaveDirectoryFile(m_form.DirectoryTable, path);
}
