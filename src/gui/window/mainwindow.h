#pragma once

#include "widgets/pictures.h"
#include "common/pagehost.h"
#include "common/workspacehooks.h"
#include "session/unitsession.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>

class ClipAnimation;
class DirectoryPage;
class EventsPage;
class RfidPage;
class SettingsPage;
class QActionGroup;
class QColor;
class QTableView;
class LinkController;
class PortSelector;
class TEnterPin;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QToolButton;
class ReceiveLogView;
class StatusPanels;
class TAboutBox;
class TTransferF;


// The main window: a shell that owns the pages, menus, tool bar, status bar,
// timers and the one command channel.  What the pages do lives with them.
class TostiForm : public QMainWindow, public PageHost {
    Q_OBJECT
public:
    static const QString kGenericTitle;

    explicit TostiForm(QWidget *parent = nullptr);
    ~TostiForm() override;

    // --- the unit session, for the whole run, and the names the pages
    // know its parts by ---
    UnitSession Session;
    ReceiveLog &RxLog = Session.RxLog;
    CommandChannel &Channel = Session.Channel;
    WorkspaceHooks Hooks;
    bool EventsSaveAsEnabled = false;
    bool &SettingsReadDone = Session.SettingsReadDone;
    // The directory table holds what the unit holds.  Read-only here: set it
    // with setDirectoryInSync, which keeps "Write Each Change" in step.
    const bool &DirectoryInSync = Session.DirectoryInSync;

    // The two record tables.
    RecordTable &DirectoryTable = Session.DirectoryTable;
    RecordTable &EventTable = Session.EventTable;
    // Flags shared by the directory and tag operations.
    bool &BulkBusy = Session.BulkBusy;
    bool &FollowCursor = Session.FollowCursor;
    bool &DeleteAllowed = Session.DeleteAllowed;

    // --- handlers ---
    void FileNew1Execute();
    void PHButClick();
    void PbuttClick();
    void EbuttClick();
    void RFbuttClick();
    void DisableFileCommands();
    void FileOpen1Execute();
    void FileSave1Execute();
    void SaveAsClick();
    void HelpAbout1Execute();
    void FileExit1Execute();
    void Timer1Timer();

    // Clears or sets the directory's "in step with the unit" flag; the
    // "Write Each Change" box follows it.
    void setDirectoryInSync(bool inSync);

    // --- the LED picture of the log-on button (20 red, 21 green, 22 grey) ---
    int ledPicture() const { return m_ledPicture; }
    void setLedPicture(int index);

    // --- what the pages get of the window ---
    UnitSession &session() override { return Session; }
    WorkspaceHooks &workspaceHooks() override { return Hooks; }
    LinkController &linkController() override { return *Link; }
    void showTransfer(bool shown) override;
    void blinkLamp(bool blinking) override;
    void setLamp(int look) override { setLedPicture(look); }
    void setStatus(const QString &text) override;
    void showStatusTip(const QString &text) override { setStatusTip(text); }
    QTableView *phoneListGrid() override { return DBGrid1; }
    QString phoneListFileName() override;
    void setPhoneListFileName(const QString &path) override;
    QString liftRelayText() override;
    QTimer &captureTimer() override { return Timer3; }
    void offerPhoneListSave() override;
    void offerEventsSaveAs() override;
    bool eventsSaveAsOffered() const override { return EventsSaveAsEnabled; }

    // The menu bar entry at a place counted from 0 (5 is Connect, 6 Ports).
    QAction *menuAt(int place) const;

    // --- controls ---
    QAction *FileNew1 = nullptr;
    QAction *FileOpen1 = nullptr;
    QAction *FileSaveItem = nullptr;
    QAction *SaveAs = nullptr;
    QAction *FileExit1 = nullptr;
    QActionGroup *FileCommands = nullptr; // New, Open, Save, Save As: greyed while the unit is busy
    QMenu *FileMenu = nullptr;
    QMenu *EditMenu = nullptr;
    QMenu *WindowMenu = nullptr;
    QAction *HelpAbout1 = nullptr;
    QMenu *ConnectMenu = nullptr;
    QAction *OnLine1 = nullptr;
    QMenu *PortsMenu = nullptr;
    QAction *UpdatePorts1 = nullptr;
    QToolButton *TBnew = nullptr;
    QToolButton *TBOpen = nullptr;
    QToolButton *TBSave = nullptr;
    QToolButton *PHBut = nullptr;
    QToolButton *Pbutt = nullptr;
    QToolButton *Ebutt = nullptr;
    QToolButton *RFbutt = nullptr;
    QToolButton *led = nullptr;
    QAction *ledAction = nullptr;
    ClipAnimation *Animate1 = nullptr;
    QTabWidget *Page = nullptr;
    QWidget *phdir = nullptr;
    QWidget *system = nullptr;
    QWidget *Events = nullptr;
    QWidget *RFid_SU = nullptr;
    StatusPanels *StatusBar = nullptr;
    QLineEdit *DBFiles = nullptr;
    ReceiveLogView *RxMemo = nullptr;
    QLineEdit *Edit3 = nullptr;
    QTimer Timer1;
    QTimer &Timer2 = Session.KeepAliveTimer;
    QTimer Timer3;
    QTimer &Timer4 = Session.UdpPollTimer;
    TAboutBox *AboutBox = nullptr;
    TTransferF *TransferF = nullptr;
    TEnterPin *EnterPin = nullptr;
    PortSelector *Ports = nullptr;
    LinkController *Link = nullptr;
    // The phone list (on phdir) and the tag list (on RFid_SU), both showing
    // the directory table; made by their pages.
    QTableView *DBGrid1 = nullptr;
    QTableView *DBGrid3 = nullptr;
    DirectoryPage *directoryPage = nullptr;
    SettingsPage *settingsPage = nullptr;
    EventsPage *eventsPage = nullptr;
    RfidPage *rfidPage = nullptr;

signals:
    // The user chose a log-on or log-off (tool button or menu item).
    void logOnClicked();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildPages();
    void buildTimers();
    void buildLink();
    void buildPageContents();
    void FormClose();
    void clipboardCommand(const char *method);

    int m_ledPicture = Pictures::LedGrey;
};
