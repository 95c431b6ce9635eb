#pragma once

#include "directory/directorytransferrules.h"

#include <QObject>

class TostiForm;

class DirectoryTransfer : public QObject {
    Q_OBJECT
public:
    explicit DirectoryTransfer(TostiForm &form);

    // How the last download's wait ended.  After LoggedOff (the user logged
    // off during the dump) the table is left as it was.
    enum class DumpEnd { None, Ok, Stall, PassLimit, LoggedOff };

    // The GetData button: replaces the table with the unit's directory.
    // Takes the unit gate; does nothing while another operation holds it.
    void GetDataClick();
    // The WriteData button: replaces the unit's directory with the table.
    // Takes the unit gate; does nothing while another operation holds it.
    void WriteDataClick();
    // The bodies of the two, for a caller that already holds the unit gate
    // for an operation of its own (they never take it themselves).
    void DownloadDirectory();
    void WriteAllData();

    DumpEnd lastDumpEnd() const { return m_lastDumpEnd; }
    // The passes the dump may take (direct, over a modem); tests shorten them.
    void setPassLimits(int direct, int remote)
    {
        m_passLimit = direct;
        m_remotePassLimit = remote;
    }
    // Records written and records that failed twice by the last upload.
    int lastUploadCount() const { return m_uploadCount; }
    int lastUploadErrors() const { return m_uploadErrors; }
    bool busy() const { return m_busy; }

signals:
    // A download or upload has finished, however it ended (for tests and
    // for the page).
    void finished();

private:
    DumpEnd waitForDump();
    void fillTable(const QList<DirectoryRecord> &records);
    bool eraseUnitDirectory();
    void rewriteRecords();
    bool loggedOn() const;

    TostiForm &m_form;
    bool m_busy = false;
    int m_passLimit = DirectoryTransferRules::PassLimit;
    int m_remotePassLimit = DirectoryTransferRules::RemotePassLimit;
    DumpEnd m_lastDumpEnd = DumpEnd::None;
    int m_uploadCount = 0;
    int m_uploadErrors = 0;
};
