#include "window/mainwindow.h"

#include "window/aboutbox.h"
#include "widgets/clipanimation.h"
#include "widgets/pictures.h"
#include "widgets/receivelogview.h"
#include "widgets/statuspanels.h"
#include "widgets/transferwindow.h"
#include "common/handler.h"
#include "common/hint.h"
#include "common/messageboxes.h"
#include "common/messages.h"
#include "directory/directorypage.h"
#include "events/eventspage.h"
#include "rfid/rfidpage.h"
#include "settings/settingspage.h"
#include "link/delay.h"
#include "link/enterpin.h"
#include "link/linkdetails.h"
#include "link/logon.h"
#include "link/portselector.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

const QString TostiForm::kGenericTitle =
    QStringLiteral("RVX Ostiarin GN4_       Programmer   =Osti-Kit=  V8.8");

namespace {
constexpr int kClientWidth = 790;
constexpr int kClientHeight = 546;

void callIf(const std::function<void()> &step)
{
    if (step)
        step();
}
} // namespace

TostiForm::TostiForm(QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("ostiForm"));
    setWindowTitle(QStringLiteral("loading..."));
    setWindowIcon(Pictures::windowIcon());
    MessageBoxes::install();
    MessageBoxes::setParentWindow(this);
    // "Write Each Change" follows the directory's in-step flag, whoever sets it.
    connect(&Session, &UnitSession::directoryInSyncChanged, this, [this](bool inSync) {
        if (Hooks.writeEachChangeEnabled)
            Hooks.writeEachChangeEnabled(inSync);
    });

    buildActions();
    buildMenus();
    buildToolBar();
    buildPages();

    StatusBar = new StatusPanels(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(StatusBar);
    connect(&Channel, &CommandChannel::commandShown, this, [this](const QString &text) {
        StatusBar->setPanel(1, text);
    });

    buildTimers();

    AboutBox = new TAboutBox(this);
    TransferF = new TTransferF(this);
    TransferF->setStatusSink([this](const QString &text) { StatusBar->setPanel(0, text); });
    buildLink();
    buildPageContents();

    TransferLook transferLook;
    transferLook.shown = [this] {
        TransferF->show();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Timer1.start();
    };
    transferLook.hidden = [this](bool onLine) {
        TransferF->hide();
        QApplication::restoreOverrideCursor();
        Timer1.stop();
        if (onLine)
            setLedPicture(Pictures::LedGreen);
    };
    Session.setTransferLook(std::move(transferLook));

    // The client area (below the menu bar) is fixed.
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    guarded([this] { FileNew1Execute(); });
}

TostiForm::~TostiForm() { MessageBoxes::setParentWindow(nullptr); }

void TostiForm::buildActions()
{
    FileNew1 = new QAction(Pictures::toolbar(Pictures::NewFile), QStringLiteral("&New"), this);
    FileNew1->setObjectName(QStringLiteral("FileNew1"));
    FileNew1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    SetHint(FileNew1, QStringLiteral("New|Create a new file"));
    connectHandler(FileNew1, &QAction::triggered, this, [this] { FileNew1Execute(); });

    FileOpen1 = new QAction(Pictures::toolbar(Pictures::OpenFile), QStringLiteral("&Open"), this);
    FileOpen1->setObjectName(QStringLiteral("FileOpen1"));
    FileOpen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    SetHint(FileOpen1, QStringLiteral("Open|Open a file"));
    connectHandler(FileOpen1, &QAction::triggered, this, [this] { FileOpen1Execute(); });

    FileSaveItem = new QAction(Pictures::toolbar(Pictures::SaveFile), QStringLiteral("&Save"), this);
    FileSaveItem->setObjectName(QStringLiteral("FileSaveItem"));
    FileSaveItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SetHint(FileSaveItem, QStringLiteral("Save|Save current file"));
    connectHandler(FileSaveItem, &QAction::triggered, this, [this] { FileSave1Execute(); });
    FileSaveItem->setEnabled(false);

    SaveAs = new QAction(QStringLiteral("Save &As..."), this);
    SaveAs->setObjectName(QStringLiteral("SaveAs"));
    SetHint(SaveAs, QStringLiteral("Save As|Save current file with different name"));
    connectHandler(SaveAs, &QAction::triggered, this, [this] { SaveAsClick(); });
    SaveAs->setEnabled(false);

    // While an operation talks to the unit, the file commands could replace
    // or save the tables half-way through a transfer.  The group greys them
    // for that time and gives each back the state its page last set.
    FileCommands = new QActionGroup(this);
    FileCommands->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction *a : {FileNew1, FileOpen1, FileSaveItem, SaveAs})
        FileCommands->addAction(a);
    connect(&Channel.Gate, &UnitGate::busyChanged, FileCommands, [this](bool busy) { FileCommands->setEnabled(!busy); });

    FileExit1 = new QAction(QStringLiteral("E&xit"), this);
    FileExit1->setObjectName(QStringLiteral("FileExit1"));
    connectHandler(FileExit1, &QAction::triggered, this, [this] { FileExit1Execute(); });

    ledAction = new QAction(Pictures::toolbar(Pictures::LedGrey), QStringLiteral("Log On"), this);
    ledAction->setObjectName(QStringLiteral("ledAction"));
    ledAction->setCheckable(true); // the "marked" look while a log-on runs
    // A click only reports the wish; whether it logs on or off is the
    // log-on's decision, and the marked look is set by it alone.
    connect(ledAction, &QAction::triggered, this, [this](bool) {
        ledAction->setChecked(!ledAction->isChecked());
        emit logOnClicked();
    });

    OnLine1 = new QAction(QStringLiteral("Log On"), this);
    OnLine1->setObjectName(QStringLiteral("OnLine1"));
    connect(OnLine1, &QAction::triggered, this, [this] { emit logOnClicked(); });

    UpdatePorts1 = new QAction(QStringLiteral("UpdatePorts"), this);
    UpdatePorts1->setObjectName(QStringLiteral("UpdatePorts1"));

    HelpAbout1 = new QAction(QStringLiteral("&About..."), this);
    HelpAbout1->setObjectName(QStringLiteral("HelpAbout1"));
    connectHandler(HelpAbout1, &QAction::triggered, this, [this] { HelpAbout1Execute(); });
}

void TostiForm::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setNativeMenuBar(false);

    FileMenu = bar->addMenu(QStringLiteral("&File")); // 0
    FileMenu->setObjectName(QStringLiteral("File1"));
    FileMenu->addAction(FileNew1);
    FileMenu->addAction(FileOpen1);
    FileMenu->addAction(FileSaveItem);
    FileMenu->addAction(SaveAs);
    FileMenu->addSeparator();
    FileMenu->addAction(FileExit1);

    EditMenu = bar->addMenu(QStringLiteral("&Edit")); // 1
    EditMenu->setObjectName(QStringLiteral("Edit1"));
    struct Clip {
        const char *caption;
        const char *name;
        QKeySequence::StandardKey key;
        const char *method;
        int picture;
    };
    const Clip clips[] = {{"Cu&t", "EditCut1", QKeySequence::Cut, "cut", Pictures::Cut},
                          {"&Copy", "EditCopy1", QKeySequence::Copy, "copy", Pictures::Copy},
                          {"&Paste", "EditPaste1", QKeySequence::Paste, "paste", Pictures::Paste}};
    for (const Clip &clip : clips) {
        QAction *action = EditMenu->addAction(Pictures::toolbar(clip.picture), QLatin1String(clip.caption));
        action->setObjectName(QLatin1String(clip.name));
        action->setShortcut(clip.key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const char *method = clip.method;
        connect(action, &QAction::triggered, this, [this, method] { clipboardCommand(method); });
    }

    WindowMenu = bar->addMenu(QStringLiteral("Window")); // 2
    WindowMenu->setObjectName(QStringLiteral("Window1"));
    connectHandler(WindowMenu->addAction(QStringLiteral("phonelist")), &QAction::triggered, this, [this] { PHButClick(); });
    connectHandler(WindowMenu->addAction(QStringLiteral("Parameter")), &QAction::triggered, this, [this] { PbuttClick(); });
    connectHandler(WindowMenu->addAction(QStringLiteral("Events")), &QAction::triggered, this, [this] { EbuttClick(); });
    connectHandler(WindowMenu->addAction(QStringLiteral("RFID Codes")), &QAction::triggered, this, [this] { RFbuttClick(); });

    bar->addAction(HelpAbout1); // 3

    QAction *blank = bar->addAction(QString()); // 4: an entry without caption or command
    blank->setObjectName(QStringLiteral("N1"));

    ConnectMenu = bar->addMenu(QStringLiteral("Connect")); // 5
    ConnectMenu->setObjectName(QStringLiteral("Connect1"));
    ConnectMenu->addAction(OnLine1);

    PortsMenu = bar->addMenu(QStringLiteral("Ports")); // 6
    PortsMenu->setObjectName(QStringLiteral("Ports1"));

    bar->addAction(UpdatePorts1); // 7
}

void TostiForm::buildToolBar()
{
    QToolBar *tools = addToolBar(QStringLiteral("Tools"));
    tools->setObjectName(QStringLiteral("ToolBar1"));
    tools->setMovable(false);
    tools->setFloatable(false);
    tools->setIconSize(QSize(16, 16));
    tools->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    auto button = [tools](QAction *action, const char *name) {
        tools->addAction(action);
        auto *b = qobject_cast<QToolButton *>(tools->widgetForAction(action));
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(34, 32);
        b->setAutoRaise(true);
        // Named for screen readers after what it does, as its hint says.
        b->setAccessibleName(action->toolTip().isEmpty() ? QString(action->text()).remove(QLatin1Char('&'))
                                                         : action->toolTip());
        return b;
    };
    TBnew = button(FileNew1, "TBnew");
    TBOpen = button(FileOpen1, "TBOpen");
    TBSave = button(FileSaveItem, "TBSave");
    tools->addSeparator();
    for (QAction *clip : EditMenu->actions()) {
        QToolButton *b = button(clip, "");
        b->setObjectName(clip->objectName() + QStringLiteral("Button"));
        b->setAccessibleName(QString(clip->text()).remove(QLatin1Char('&')));
        b->setToolTip(b->accessibleName());
    }
    tools->addSeparator();

    struct PageButton {
        const char *name;
        int picture;
        const char *hint;
        void (TostiForm::*handler)();
    };
    const PageButton pages[] = {{"PHBut", Pictures::PhonePage, "Phone List Page", &TostiForm::PHButClick},
                                {"Pbutt", Pictures::ParameterPage, "Parameter Setting Page", &TostiForm::PbuttClick},
                                {"Ebutt", Pictures::EventsPage, "Event display Page", &TostiForm::EbuttClick},
                                {"RFbutt", Pictures::RfidPage, "RFID Setup", &TostiForm::RFbuttClick}};
    QToolButton **targets[] = {&PHBut, &Pbutt, &Ebutt, &RFbutt};
    for (int i = 0; i < 4; ++i) {
        auto *action = new QAction(Pictures::toolbar(pages[i].picture), QLatin1String(pages[i].hint), this);
        action->setObjectName(QLatin1String(pages[i].name) + QStringLiteral("Action"));
        const auto handler = pages[i].handler;
        connectHandler(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        *targets[i] = button(action, pages[i].name);
        SetHint(action, QLatin1String(pages[i].hint));
    }
    tools->addSeparator();
    led = button(ledAction, "led");
    SetHint(ledAction, QStringLiteral("Set Port First"));

    auto *spacer = new QWidget(tools);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    tools->addWidget(spacer);

    Animate1 = new ClipAnimation(tools);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setFixedSize(33, 32);
    SetHint(Animate1, QStringLiteral("OFF Line"));
    Animate1->setAccessibleName(QStringLiteral("Link animation"));
    tools->addWidget(Animate1);
}

void TostiForm::buildPages()
{
    Page = new QTabWidget(this);
    Page->setObjectName(QStringLiteral("Page"));
    struct PageDef {
        QWidget **page;
        const char *name;
        const char *caption;
    };
    const PageDef defs[] = {{&phdir, "phdir", "PhoneDataBase"},
                            {&system, "system", "SystemControls"},
                            {&Events, "Events", "Events"},
                            {&RFid_SU, "RFid_SU", "RFid_SU"}};
    for (const PageDef &def : defs) {
        auto *page = new QWidget(Page);
        page->setObjectName(QLatin1String(def.name));
        Page->addTab(page, QLatin1String(def.caption));
        *def.page = page;
    }
    setCentralWidget(Page);

    auto *fileLabel = new QLabel(QStringLiteral("File Name"), phdir);
    fileLabel->setObjectName(QStringLiteral("Label4"));
    fileLabel->setGeometry(8, 6, 60, 21);
    DBFiles = new QLineEdit(phdir);
    DBFiles->setObjectName(QStringLiteral("DBFiles"));
    DBFiles->setGeometry(70, 6, 497, 21);
    fileLabel->setBuddy(DBFiles);
    DBFiles->setAccessibleName(fileLabel->text());

    RxMemo = new ReceiveLogView(RxLog, phdir);
    RxMemo->setObjectName(QStringLiteral("RxMemo"));
    RxMemo->setAccessibleName(QStringLiteral("Received text"));
    RxMemo->setGeometry(kClientWidth - 8 - 220 - 8, 330, 220, 113);

    // Holds the highest directory address of the connected model; not shown.
    Edit3 = new QLineEdit(phdir);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setAccessibleName(QStringLiteral("Directory end address"));
    Edit3->hide();
}

void TostiForm::buildTimers()
{
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(500);
    connectHandler(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    Timer3.setObjectName(QStringLiteral("Timer3"));
    Timer3.setInterval(1000);

    Channel.setLedBlinkTimer(&Timer1);
}

void TostiForm::buildLink()
{
    Ports = new PortSelector(PortsMenu, Channel, {}, this);
    EnterPin = new TEnterPin(Channel, [this] { return Ports->selectedSerialName(); }, this);

    LinkControls controls;
    controls.ledAction = ledAction;
    controls.OnLine1 = OnLine1;
    controls.ConnectMenu = ConnectMenu;
    controls.PortsMenu = PortsMenu;
    controls.UpdatePorts1 = UpdatePorts1;
    controls.Timer1 = &Timer1;
    controls.setLedPicture = [this](int index) { setLedPicture(index); };
    controls.playAnimation = [this](bool play) { play ? Animate1->play() : Animate1->stop(); };
    controls.setAnimationHint = [this](const QString &hint) { SetHint(Animate1, hint); };
    controls.setStatus = [this](const QString &text) { StatusBar->setPanel(0, text); };
    controls.hideTransfer = [this] { TransferF->hide(); };
    controls.setTitle = [this](const QString &title) { setWindowTitle(title); };
    controls.showDirectoryEndAddress = [this](int address) { Edit3->setText(QString::number(address)); };
    Link = new LinkController(Session.Link, *Ports, *EnterPin, controls, this);

    connect(this, &TostiForm::logOnClicked, this, [this] { guarded([this] { Link->OnLine1Click(); }); });
    connectHandler(UpdatePorts1, &QAction::triggered, this, [this] { Link->UpdatePorts1Click(); });

    Hooks.setOffline = [this] { Link->SetOffline(); };
    Hooks.listSerialPorts = [this] { Ports->ListSerialPorts(); };
    Hooks.loadLinkDetails = [this] { return Ports->LoadLinkDetails(); };
    Hooks.preselectPort = [this](const QString &identity) { Link->PreselectPort(identity); };
    Hooks.logOff = [this] { Link->LogOff(); };
    Hooks.loggedOn = [this] { return Link->LoggedOn; };
    Edit3->setText(QString::number(Link->DirectoryEndAddress));
}

void TostiForm::buildPageContents()
{
    // Each page builds its controls on its tab and installs its own steps.
    directoryPage = new DirectoryPage(*this);
    settingsPage = new SettingsPage(*this);
    eventsPage = new EventsPage(*this, Events);
    rfidPage = new RfidPage(*this, RFid_SU);
    DBGrid3 = rfidPage->DBGrid3;
}

QAction *TostiForm::menuAt(int place) const
{
    const QList<QAction *> entries = menuBar()->actions();
    return place >= 0 && place < entries.size() ? entries.at(place) : nullptr;
}

void TostiForm::setLedPicture(int index)
{
    m_ledPicture = index;
    ledAction->setIcon(Pictures::toolbar(index));
}

void TostiForm::showTransfer(bool shown) { shown ? TransferF->show() : TransferF->hide(); }

void TostiForm::blinkLamp(bool blinking) { blinking ? Timer1.start() : Timer1.stop(); }

void TostiForm::setStatus(const QString &text) { StatusBar->setPanel(0, text); }

QString TostiForm::phoneListFileName() { return DBFiles->text(); }

void TostiForm::setPhoneListFileName(const QString &path) { DBFiles->setText(path); }

QString TostiForm::liftRelayText()
{
    QWidget *box = system ? system->findChild<QWidget *>(QStringLiteral("Phs_lt")) : nullptr;
    return box ? box->property("text").toString() : QString();
}

void TostiForm::offerPhoneListSave()
{
    FileSaveItem->setEnabled(true);
    SaveAs->setEnabled(true);
}

void TostiForm::offerEventsSaveAs()
{
    SaveAs->setEnabled(true);
    EventsSaveAsEnabled = true;
}

void TostiForm::setDirectoryInSync(bool inSync)
{
    Session.setDirectoryInSync(inSync);
}

void TostiForm::FileNew1Execute()
{
    if (Channel.Gate.busy())
        return;
    Animate1->loadClip(QStringLiteral("rvxavi"));
    setWindowTitle(kGenericTitle);
    callIf(Hooks.defineDirectoryTable);

    QString folder = QDir::toNativeSeparators(QDir::currentPath());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    DBFiles->setText(folder + QStringLiteral("OstiPhList.csv"));
    // A bare name: the file is looked for in the working directory.
    Ports->setLinkDetailsFileName(kLinkDetailsFileName);
    EnterPin->setLinkDetailsFileName(kLinkDetailsFileName);

    FileSaveItem->setEnabled(true);
    SaveAs->setEnabled(true);
    setDirectoryInSync(false);

    callIf(Hooks.layoutDirectoryGrids);
    callIf(Hooks.setOffline);
    // As after any log-off: the port may be chosen again.  The lamp then
    // follows the port that the reset leaves chosen.
    Link->EnablePortSelection();

    ledAction->setEnabled(false);
    OnLine1->setEnabled(false);
    SetHint(ledAction, QStringLiteral("Set Port First"));
    SetHint(OnLine1, QStringLiteral("Set Port First"));

    callIf(Hooks.listSerialPorts);
    const QString remembered = Hooks.loadLinkDetails ? Hooks.loadLinkDetails() : QString();
    if (Hooks.preselectPort)
        Hooks.preselectPort(remembered);
}

void TostiForm::PHButClick()
{
    Page->setCurrentWidget(phdir);
    for (QAction *a : {FileNew1, FileOpen1, FileSaveItem, SaveAs})
        a->setEnabled(true);
    EditMenu->setEnabled(true);
    callIf(Hooks.focusNameField);
}

void TostiForm::PbuttClick()
{
    Page->setCurrentWidget(system);
    DisableFileCommands();
    SaveAs->setEnabled(true);
    FileOpen1->setEnabled(true);
    const bool online = Hooks.loggedOn && Hooks.loggedOn();
    if (online && !SettingsReadDone)
        SettingsReadDone = Hooks.readSettingsFirstTime ? Hooks.readSettingsFirstTime() : true;
}

void TostiForm::EbuttClick()
{
    Page->setCurrentWidget(Events);
    DisableFileCommands();
    SaveAs->setEnabled(EventsSaveAsEnabled);
}

void TostiForm::RFbuttClick()
{
    Page->setCurrentWidget(RFid_SU);
    callIf(Hooks.clearRfidNotes);
    DisableFileCommands();
}

void TostiForm::DisableFileCommands()
{
    for (QAction *a : {FileNew1, FileOpen1, FileSaveItem, SaveAs})
        a->setEnabled(false);
    EditMenu->setEnabled(false);
}

void TostiForm::FileOpen1Execute()
{
    if (Channel.Gate.busy())
        return;
    if (Page->currentWidget() == phdir)
        callIf(Hooks.openDirectoryFile);
    else if (Page->currentWidget() == system)
        callIf(Hooks.openSettingsFile);
}

void TostiForm::FileSave1Execute()
{
    if (Channel.Gate.busy())
        return;
    callIf(Hooks.saveDirectoryFile);
}

void TostiForm::SaveAsClick()
{
    if (Channel.Gate.busy())
        return;
    if (Page->currentWidget() == phdir)
        callIf(Hooks.saveDirectoryFileAs);
    else if (Page->currentWidget() == Events)
        callIf(Hooks.saveEventFileAs);
    else if (Page->currentWidget() == system)
        callIf(Hooks.saveSettingsFileAs);
}

void TostiForm::HelpAbout1Execute() { AboutBox->exec(); }

void TostiForm::FileExit1Execute()
{
    callIf(Hooks.logOff);
    close();
}

void TostiForm::Timer1Timer() { setLedPicture(m_ledPicture == Pictures::LedGrey ? Pictures::LedGreen : Pictures::LedGrey); }

void TostiForm::FormClose()
{
    callIf(Hooks.logOff);
    Delay(500);
}

void TostiForm::closeEvent(QCloseEvent *event)
{
    guarded([this] { FormClose(); });
    event->accept();
    // The other windows live as long as this one.
    TransferF->hide();
    AboutBox->hide();
}

void TostiForm::clipboardCommand(const char *method)
{
    if (QWidget *focus = QApplication::focusWidget())
        QMetaObject::invokeMethod(focus, method);
}

bool TostiForm::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        StatusBar->showHint(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}
