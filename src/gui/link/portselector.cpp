#include "link/portselector.h"

#include "common/handler.h"
#include "common/messages.h"
#include "link/commandchannel.h"
#include "link/linkdetails.h"
#include "link/ports.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {
const QLatin1String kWiFiIdentity("WiFi");

// A menu caption shows "&" as a mnemonic marker unless it is doubled.
QString Caption(const QString &identity)
{
    QString caption = identity;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    return caption;
}
} // namespace

PortSelector::PortSelector(QMenu *portsMenu, CommandChannel &channel, PortSource source, QObject *parent)
    : QObject(parent),
      m_menu(portsMenu),
      m_channel(channel),
      m_source(source ? std::move(source) : PortSource(&SystemSerialPorts)),
      m_group(new QActionGroup(this)),
      m_linkDetailsFileName(kLinkDetailsFileName)
{
    m_group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
}

QString PortSelector::identityOf(const QAction *entry)
{
    return entry ? entry->data().toString() : QString();
}

QAction *PortSelector::checkedEntry() const { return m_group->checkedAction(); }

void PortSelector::clearEntries()
{
    for (QAction *entry : std::as_const(m_entries)) {
        m_menu->removeAction(entry);
        m_group->removeAction(entry);
        // The entry may be the one whose handler is running.
        entry->deleteLater();
    }
    m_entries.clear();
}

void PortSelector::ListSerialPorts()
{
    // Names are cut to what the link-details file can hold.  An empty name,
    // or one that cannot be told from the WiFi entry, is no choice.
    QStringList ports;
    for (const QString &name : m_source()) {
        const QString identity = name.left(kMaxPortIdentityLength);
        if (!identity.isEmpty() && identity != kWiFiIdentity)
            ports.append(identity);
    }

    clearEntries();
    PortTable.fill(QString());

    if (ports.isEmpty())
        MessageService::inform(QStringLiteral("No Serial Port Found"));

    int slot = 0;
    for (; slot < kMaxSerialEntries && slot < ports.size(); ++slot)
        PortTable[slot] = ports[slot];
    PortTable[slot] = kWiFiIdentity;

    for (int i = 0; i <= slot; ++i) {
        const QString &identity = PortTable[i];
        auto *entry = new QAction(Caption(identity), m_menu);
        entry->setObjectName(QStringLiteral("PortEntry%1").arg(i));
        entry->setData(identity);
        entry->setCheckable(true);
        m_group->addAction(entry);
        m_menu->addAction(entry);
        m_entries.append(entry);
        connectHandler(entry, &QAction::triggered, this, [this, entry] { ChangeComClick(entry); });
    }
}

void PortSelector::setSerialName(const QString &identity)
{
    m_serialName = identity;
    m_channel.ComPort1.setPortName(identity.isEmpty() ? QString() : SerialPortLocation(identity));
}

void PortSelector::ChangeComClick(QAction *entry)
{
    if (!entry)
        return;
    for (QAction *other : std::as_const(m_entries))
        other->setChecked(other == entry);
    const QString identity = identityOf(entry);
    if (identity == kWiFiIdentity) {
        m_channel.WiFiSelected = true;
    } else {
        setSerialName(identity);
        m_channel.WiFiSelected = false;
    }
    emit portChosen();
}

QString PortSelector::LoadLinkDetails()
{
    m_channel.WiFiSelected = false;
    const std::optional<LinkDetails> details = ReadLinkDetails(m_linkDetailsFileName);
    if (!details)
        return QString();
    QString remembered;
    if (details->wifi) {
        m_channel.WiFiSelected = true;
        setSerialName(QString());
        remembered = kWiFiIdentity;
    } else {
        setSerialName(details->portName);
        remembered = details->portName;
    }
    m_channel.setUnitAddress(details->ipAddress);
    return remembered;
}

bool PortSelector::Preselect(const QString &identity)
{
    bool matched = false;
    for (QAction *entry : std::as_const(m_entries)) {
        const bool match = !matched && !identity.isEmpty() && identityOf(entry) == identity;
        entry->setChecked(match);
        matched = matched || match;
    }
    return matched;
}
