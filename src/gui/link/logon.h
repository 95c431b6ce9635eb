#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class UnitLink;
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
    std::function<void(int)> setLedPicture;
    std::function<void(bool)> playAnimation;      // true: play, false: stop on the first frame
    std::function<void(const QString &)> setAnimationHint;
    std::function<void(const QString &)> setStatus; // status bar panel 0
    std::function<void()> hideTransfer;
    std::function<void(const QString &)> setTitle;
    std::function<void(int)> showDirectoryEndAddress; // the hidden field Edit3
};

// The log-on as the window runs it: the PIN dialog, the Ports menu, and the
// state of every control that depends on the link.  The sequence itself and
// the link's state are the session's UnitLink.
class LinkController : public QObject {
    Q_OBJECT
public:
    LinkController(UnitLink &link, PortSelector &ports, TEnterPin &dialog, LinkControls controls,
                   QObject *parent = nullptr);

    // --- link state (the session's) ---
    bool &LoggedOn;
    bool &LogOnAborted;
    QString &Pin;
    QString &ModemNumber;
    int &DirectoryEndAddress;

    bool ledMarked() const;

    // Buttons that need the unit.  The first group is enabled only when the
    // PIN is accepted; the second by EnableUnitCommands.  Pages add theirs.
    void addFirstGroup(QObject *control);
    void addSecondGroup(QObject *control);

    // --- operations ---
    void LogOff();
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
    void enableLogOn(const QString &hint);
    void setGroupEnabled(const QList<QPointer<QObject>> &group, bool enabled);

    UnitLink &m_link;
    PortSelector &m_ports;
    TEnterPin &m_dialog;
    LinkControls m_ui;
    QList<QPointer<QObject>> m_firstGroup;
    QList<QPointer<QObject>> m_secondGroup;
};
