#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class CommandChannel;
class QAction;
class QActionGroup;
class QMenu;

// The main window's Ports menu: one entry per serial port the system knows
// (the first nine) and "WiFi".  Choosing an entry selects the link the next
// log-on opens: the serial port's name, or the channel's WiFiSelected.
class PortSelector : public QObject {
    Q_OBJECT
public:
    // Where the port identities come from (the system, or a test).
    using PortSource = std::function<QStringList()>;

    static constexpr int kPortSlots = 10;
    static constexpr int kMaxSerialEntries = kPortSlots - 1;

    PortSelector(QMenu *portsMenu, CommandChannel &channel, PortSource source = {},
                 QObject *parent = nullptr);

    // Slots 0-8: serial port identities; the slot after the last one "WiFi";
    // the rest empty.
    std::array<QString, kPortSlots> PortTable;

    // The link-details file that LoadLinkDetails reads ("Ostidata.ini").
    void setLinkDetailsFileName(const QString &fileName) { m_linkDetailsFileName = fileName; }
    const QString &linkDetailsFileName() const { return m_linkDetailsFileName; }

    // Rebuilds the menu from the port source; no entry is checked afterwards.
    // With no serial port the user is told so and only "WiFi" is offered.
    void ListSerialPorts();
    // The user chose `entry`: check it and select its port; emits portChosen().
    void ChangeComClick(QAction *entry);
    // Reads the remembered port from the link-details file and selects it
    // (without checking an entry); the stored IP address becomes the unit
    // address.  Returns the remembered identity ("WiFi" for WiFi), or empty
    // when the file cannot be read.
    QString LoadLinkDetails();
    // Checks the entry whose identity is `identity` (none when nothing
    // matches); true when one matched.
    bool Preselect(const QString &identity);

    // The identity of the serial port the log-on opens (kept while WiFi is
    // selected); the channel's ComPort1 carries its location.
    const QString &selectedSerialName() const { return m_serialName; }

    // The menu entries, in slot order, and the checked one (or null).
    QList<QAction *> entries() const { return m_entries; }
    QAction *checkedEntry() const;
    // The identity an entry carries.
    static QString identityOf(const QAction *entry);

signals:
    // A port was chosen by the user: the log-on may be offered.
    void portChosen();

private:
    void setSerialName(const QString &identity);
    void clearEntries();

    QMenu *m_menu;
    CommandChannel &m_channel;
    PortSource m_source;
    QActionGroup *m_group;
    QList<QAction *> m_entries;
    QString m_serialName;
    QString m_linkDetailsFileName;
};
