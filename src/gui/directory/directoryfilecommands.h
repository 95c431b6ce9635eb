#pragma once

#include <QObject>
#include <QString>

#include <functional>

class PageHost;
class QObject;

// File ▸ Open, Save and Save As on the phone-list page: the phone-list file's
// dialogs and the state the directory is left in.
class DirectoryFileCommands : public QObject {
    Q_OBJECT
public:
    static inline const QString kExtension = QStringLiteral("csv");
    static inline const QString kProposedName = QStringLiteral("OstiPhList.csv");
    static inline const QString kFilter = QStringLiteral("Ostiarin (*.csv)|*.csv|All Files (*.*)|*.*");

    // `layoutGrids` lays the grids out again after the table was redefined.
    DirectoryFileCommands(PageHost &host, QObject *parent, std::function<void()> layoutGrids);

    // Asks for a file and replaces the table with it.  A file that cannot be
    // read is reported before anything changes: the table, its cursor, the
    // file name and the in-step flag stay as they were.
    void Open();
    // Writes the table to the path in the file name box.
    void Save();
    // Asks for a name, puts it into the file name box and writes the table there.
    void SaveAs();

private:
    PageHost &m_host;
    std::function<void()> m_layoutGrids;
};
