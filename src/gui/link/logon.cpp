#include "link/logon.h"

#include "common/hint.h"
#include "link/enterpin.h"
#include "link/lamp.h"
#include "link/portselector.h"
#include "link/unitgate.h"
#include "link/unitlink.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace {
const QString kLogOn = QStringLiteral("Log On");
const QString kLogOff = QStringLiteral("Log Off");
} // namespace

LinkController::LinkController(UnitLink &link, PortSelector &ports, TEnterPin &dialog, LinkControls controls,
                               QObject *parent)
    : QObject(parent), LoggedOn(link.LoggedOn), LogOnAborted(link.LogOnAborted), Pin(link.Pin),
      ModemNumber(link.ModemNumber), DirectoryEndAddress(link.DirectoryEndAddress), m_link(link), m_ports(ports),
      m_dialog(dialog), m_ui(std::move(controls))
{
    connect(&m_ports, &PortSelector::portChosen, this, &LinkController::PortChosen);

    LinkLook look;
    look.setStatus = m_ui.setStatus;
    look.setLamp = m_ui.setLedPicture;
    look.setTitle = m_ui.setTitle;
    look.showDirectoryEndAddress = m_ui.showDirectoryEndAddress;
    look.hideTransfer = m_ui.hideTransfer;
    look.loggingOn = [this] { m_ui.OnLine1->setText(kLogOff); };
    look.portsLocked = [this] {
        m_ui.UpdatePorts1->setEnabled(false);
        m_ui.PortsMenu->menuAction()->setEnabled(false);
        enableLogOn(kLogOn); // so that the attempt can be cancelled
    };
    look.onLine = [this] {
        setGroupEnabled(m_firstGroup, true);
        SetHint(m_ui.ledAction, kLogOff);
        m_ui.setAnimationHint(QStringLiteral("On Line"));
        m_ui.playAnimation(true);
        m_ui.ledAction->setChecked(false);
        EnableUnitCommands();
    };
    look.offLine = [this] {
        m_ui.OnLine1->setText(kLogOn);
        SetHint(m_ui.OnLine1, kLogOn);
        SetHint(m_ui.ledAction, kLogOn);
        m_ui.Timer1->stop();
        m_ui.ledAction->setChecked(false);
        m_ui.setAnimationHint(QStringLiteral("OFF Line"));
        setGroupEnabled(m_firstGroup, false);
        m_ui.playAnimation(false);
        m_ui.setLedPicture(Lamp::Grey);
        setGroupEnabled(m_secondGroup, false);
    };
    look.portsFree = [this] { EnablePortSelection(); };
    m_link.setLook(std::move(look));
}

bool LinkController::ledMarked() const { return m_ui.ledAction->isChecked(); }

void LinkController::addFirstGroup(QObject *control)
{
    m_firstGroup.append(control);
    control->setProperty("enabled", LoggedOn);
}

void LinkController::addSecondGroup(QObject *control)
{
    m_secondGroup.append(control);
    control->setProperty("enabled", LoggedOn);
}

void LinkController::setGroupEnabled(const QList<QPointer<QObject>> &group, bool enabled)
{
    for (const QPointer<QObject> &control : group)
        if (control)
            control->setProperty("enabled", enabled);
}

void LinkController::LogOff() { m_link.LogOff(); }
void LinkController::Timer2Timer() { m_link.Timer2Timer(); }
void LinkController::SetOffline() { m_link.SetOffline(); }

void LinkController::EnableUnitCommands() { setGroupEnabled(m_secondGroup, true); }

void LinkController::enableLogOn(const QString &hint)
{
    m_ui.ledAction->setEnabled(true);
    SetHint(m_ui.ledAction, hint);
    m_ui.ConnectMenu->menuAction()->setEnabled(true);
}

void LinkController::EnablePortSelection()
{
    m_ui.UpdatePorts1->setEnabled(true);
    m_ui.PortsMenu->menuAction()->setEnabled(true);
    enableLogOn(kLogOn);
}

void LinkController::PortChosen()
{
    enableLogOn(kLogOn);
    m_ui.OnLine1->setEnabled(true);
    SetHint(m_ui.OnLine1, kLogOn);
}

void LinkController::UpdatePorts1Click()
{
    m_ports.ListSerialPorts();
    m_ui.ledAction->setEnabled(false);
    SetHint(m_ui.ledAction, QStringLiteral("Set port First"));
    m_ui.ConnectMenu->menuAction()->setEnabled(false);
}

void LinkController::PreselectPort(const QString &identity)
{
    if (identity.isEmpty() || !m_ports.Preselect(identity))
        return;
    PortChosen();
}

QString LinkController::ModelTitle(const QString &modelLine) { return UnitLink::ModelTitle(modelLine); }

void LinkController::OnLine1Click()
{
    if (LoggedOn || ledMarked())
        m_link.logOffRequested();
    else
        logOn();
}

void LinkController::logOn()
{
    // The gate is taken before the PIN is asked for: a click while another
    // operation runs does nothing, as it always has.
    const UnitOperation operation(m_link.gate(), QStringLiteral("LogOn"));
    if (!operation)
        return;
    m_ui.ledAction->setChecked(true);
    LogOnAborted = false;
    if (m_dialog.exec() != QDialog::Accepted)
        return m_link.logOnCancelled();
    LogOnRequest request;
    request.pin = m_dialog.pin();
    request.modemNumber = m_dialog.phoneNumber();
    // The Remote box is hidden while WiFi is selected (the link ignores a
    // tick remembered from an earlier serial log-on).
    request.remote = m_dialog.remote();
    request.serialName = m_ports.selectedSerialName();
    m_link.logOnHeld(request);
}
