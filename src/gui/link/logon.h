#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class CommandChannel;
class PortSelector;
class QAction;
class QMenu;
class QTimer;
class TEnterPin;

// The controls of the main window that show the link's state.  The log-on
// owns their look; the window only lends them.
struct LinkControls {
    QAction *ledAction = nullptr;     // the lamp's action: log on / log off, LED picture, marked look
    QAction *OnLine1 = nullptr;       // menu item "Log On" / "Log Off"
    QMenu *ConnectMenu = nullptr;
    QMenu *PortsMenu = nullptr;
    QAction *UpdatePorts1 = nullptr;
    QTimer *Timer1 = nullptr;         // LED blink
    QTimer *Timer2 = nullptr;         // keep-alive seconds
    std::function<void(int)> setLedPicture;
    std::function<void(bool)> playAnimation;      // true: play, false: stop on the first frame
    std::function<void(const QString &)> setAnimationHint;
    std::function<void(const QString &)> setStatus; // status bar panel 0
    std::function<void()> hideTransfer;
    std::function<void(const QString &)> setTitle;
    std::function<void(int)> showDirectoryEndAddress; // the hidden field Edit3
    std::function<void(bool)> setDirectoryInSync;     // "Write Each Change" follows it
};

// Log-on, keep-alive and log-off over a serial cable, a dial-up modem or UDP,
// and the state of every control that depends on the link.
class LinkController : public QObject {
    Q_OBJECT
public:
    LinkController(CommandChannel &channel, PortSelector &ports, TEnterPin &dialog, LinkControls controls,
                   QObject *parent = nullptr);

    // --- link state ---
    bool LoggedOn = false;
    bool LogOnAborted = false;
    QString Pin;
    QString ModemNumber;
    // The highest directory record address of the connected model; 0 when the
    // model was not recognised; the largest model's until the first log-on
    // reaches the identification.
    int DirectoryEndAddress;

    bool ledMarked() const;

    // Buttons that need the unit.  The first group is enabled only when the
    // PIN is accepted; the second by EnableUnitCommands.  Pages add theirs.
    void addFirstGroup(QObject *control);
    void addSecondGroup(QObject *control);

    // --- operations ---
    bool OpenLink();
    void OpenUdpLink();
    bool ModemInit();
    void LogOff();
    bool KeepAlive();
    void Timer2Timer();
    void SetOffline();
    void EnableUnitCommands();
    void EnablePortSelection();
    void OnLine1Click();
    // The user chose a port: offer the log-on.
    void PortChosen();
    void UpdatePorts1Click();
    // The workspace reset's last step: select the remembered port, if listed.
    void PreselectPort(const QString &identity);

    // The window title for a recognised model text, empty for any other.
    static QString ModelTitle(const QString &modelLine);

private:
    void logOn();
    void logOffClicked();
    void linkLost();
    void enableLogOn(const QString &hint);
    void setGroupEnabled(const QList<QPointer<QObject>> &group, bool enabled);
    void identifyModel();

    CommandChannel &m_channel;
    PortSelector &m_ports;
    TEnterPin &m_dialog;
    LinkControls m_ui;
    QList<QPointer<QObject>> m_firstGroup;
    QList<QPointer<QObject>> m_secondGroup;
};
