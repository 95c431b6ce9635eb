#pragma once

#include "directory/directorytransferrules.h"

#include <QObject>
#include <QString>

#include <functional>

class UnitSession;

// What the directory's download and upload show the person while they run,
// each step at the point where the window has always shown it.  Every step
// is optional.
struct DirectoryTransferLook {
    std::function<void()> showTransfer;
    std::function<void()> hideTransfer;
    std::function<void(bool)> busyPointer;  // the hourglass on (true) or back off
    std::function<void(bool)> blinkLamp;    // the lamp blinks while true
    std::function<void()> steadyLamp;       // the lamp's steady on-line look
    std::function<void(const QString &)> setStatus;    // what the upload is doing
    std::function<void(const QString &)> setStatusTip; // "Done"
    std::function<void(bool)> gridEnabled;  // the phone list's grid takes input
    // The table was defined afresh for the dump's records: lay out its grids;
    // it may be saved.
    std::function<void()> tableRedefined;
};

// The whole directory between the session and the unit: the download (one
// range dump of every slot) and the upload (erase, then one "b" command per
// record in name order).
class UnitDirectoryTransfer : public QObject {
    Q_OBJECT
public:
    explicit UnitDirectoryTransfer(UnitSession &session, QObject *parent = nullptr);

    void setLook(DirectoryTransferLook look) { m_look = std::move(look); }

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
    // Whether the last WriteAllData went as far as the unit (it stops first
    // for a table too large for the model, or when the question is answered No).
    bool lastUploadRan() const { return m_uploadRan; }
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

    // Runs a step of the look, if the front end gave one.
    template <class F, class... A>
    static void look(const F &step, A &&...args)
    {
        if (step)
            step(std::forward<A>(args)...);
    }

    UnitSession &m_session;
    DirectoryTransferLook m_look;
    bool m_busy = false;
    int m_passLimit = DirectoryTransferRules::PassLimit;
    int m_remotePassLimit = DirectoryTransferRules::RemotePassLimit;
    DumpEnd m_lastDumpEnd = DumpEnd::None;
    int m_uploadCount = 0;
    int m_uploadErrors = 0;
    bool m_uploadRan = false;
};
