#pragma once

#include <QString>

class LinkController;
class QTableView;
class QTimer;
class UnitSession;
struct WorkspaceHooks;

// What a page gets of the window that holds it: the session, the window's
// shared steps and looks.  Pages see the window only through this, so that
// no page includes the main window.
class PageHost {
public:
    virtual UnitSession &session() = 0;
    virtual WorkspaceHooks &workspaceHooks() = 0;
    // The link's control groups (controls that need the unit).
    virtual LinkController &linkController() = 0;
    virtual void showTransfer(bool shown) = 0;
    // The lamp blinks while a transfer runs.
    virtual void blinkLamp(bool blinking) = 0;
    virtual void setLamp(int look) = 0; // a Lamp::Look
    // Panel 0 of the status bar, and the window's status tip.
    virtual void setStatus(const QString &text) = 0;
    virtual void showStatusTip(const QString &text) = 0;
    // The phone list's grid (made by the directory page; may not exist yet).
    virtual QTableView *phoneListGrid() = 0;
    // The phone list's file name box of the window.
    virtual QString phoneListFileName() = 0;
    virtual void setPhoneListFileName(const QString &path) = 0;
    // The lift relay time as the settings page shows it ("" when it shows none).
    virtual QString liftRelayText() = 0;
    // The tag capture's ticker.
    virtual QTimer &captureTimer() = 0;
    // The directory was changed from the unit: Save and Save As may write it.
    virtual void offerPhoneListSave() = 0;
    // The event log came from the unit: Save As may write it.
    virtual void offerEventsSaveAs() = 0;
    virtual bool eventsSaveAsOffered() const = 0;

protected:
    ~PageHost() = default;
};
