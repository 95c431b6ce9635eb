#include "link/commandchannel.h"
#include "link/linkdetails.h"
#include "link/ports.h"
#include "link/portselector.h"
#include "link/receivelog.h"
#include "messagerecorder.h"
#include "ptypeer.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSerialPort>
#include <QSignalSpy>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QStringList Numbered(const QString &prefix, int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(prefix + QString::number(i));
    return names;
}

QStringList Identities(const PortSelector &selector)
{
    QStringList result;
    for (const QAction *entry : selector.entries())
        result.append(PortSelector::identityOf(entry));
    return result;
}

QAction *EntryFor(const PortSelector &selector, const QString &identity)
{
    for (QAction *entry : selector.entries())
        if (PortSelector::identityOf(entry) == identity)
            return entry;
    return nullptr;
}

int CheckedCount(const PortSelector &selector)
{
    int count = 0;
    for (const QAction *entry : selector.entries())
        count += entry->isChecked() ? 1 : 0;
    return count;
}

// Sets an environment variable for one scope and puts the old value back.
class EnvGuard {
public:
    explicit EnvGuard(const char *name) : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)),
                                          m_old(qgetenv(name)) {}
    ~EnvGuard()
    {
        if (m_wasSet)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_wasSet;
    QByteArray m_old;
};

} // namespace

class TestPorts : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_workDir;
    QTemporaryDir m_ownRuntime; // used only when the runner gave no runtime folder
    QString m_detailsFile;

    void writeDetails(const LinkDetails &details) { WriteLinkDetails(m_detailsFile, details); }

    // The fixtures of one selector test.
    struct Rig {
        ReceiveLog log;
        CommandChannel channel{log};
        QMenu menu;
        QStringList ports;
        PortSelector selector{&menu, channel, [this] { return ports; }};
    };

private slots:
    void initTestCase()
    {
        QVERIFY(m_workDir.isValid());
        m_detailsFile = m_workDir.filePath(QStringLiteral("Ostidata.ini"));
        // Never publish into a folder that other programs of this user read.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            QVERIFY(m_ownRuntime.isValid());
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_ownRuntime.path()));
        }
    }

    void cleanup()
    {
        QDir(RuntimePortsFolder()).removeRecursively();
        QFile::remove(m_detailsFile);
    }

    // --- the port listing ---

    void runtimeFolderRule()
    {
        EnvGuard guard("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", "/run/user/1234");
        QCOMPARE(RuntimePortsFolder(), QStringLiteral("/run/user/1234/ostikit/ports"));
        const QString fallback = QStringLiteral("/tmp/ostikit-%1/ports").arg(::getuid());
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(RuntimePortsFolder(), fallback);
        qputenv("XDG_RUNTIME_DIR", "");
        QCOMPARE(RuntimePortsFolder(), fallback);
    }

    void publishedPortsFollowSystemPorts()
    {
        const QString folder = RuntimePortsFolder();
        QVERIFY(QDir().mkpath(folder));
        auto link = [&](const char *name, const char *target) {
            QVERIFY(QFile::link(QLatin1String(target), folder + QLatin1Char('/') + QLatin1String(name)));
        };
        link("SIM1", "/dev/null");
        link("B2", "/dev/null");
        link("A10", "/dev/null");
        link("A9", "/dev/null");
        link("DEAD", "/nonexistent/ostikit-port");
        link("TOOLONG", "/dev/null"); // could not be opened under a cut name
        link("a b", "/dev/null");     // no plain identity
        QFile plain(folder + QLatin1String("/PLAIN"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();

        const QStringList published{QStringLiteral("A10"), QStringLiteral("A9"), QStringLiteral("B2"),
                                    QStringLiteral("SIM1")};
        QCOMPARE(VirtualSerialPorts(), published);

        const QStringList all = SystemSerialPorts();
        QVERIFY(all.size() >= published.size());
        QCOMPARE(all.mid(all.size() - published.size()), published);
        for (const QString &system : all.first(all.size() - published.size())) {
            QVERIFY2(system.size() <= 6, qPrintable(system));
            QVERIFY2(QFileInfo::exists(QLatin1String("/dev/tty") + system), qPrintable(system));
        }

        // A virtual port opens as the device it leads to, so it is locked by that name.
        QCOMPARE(SerialPortLocation(QStringLiteral("SIM1")), QStringLiteral("/dev/null"));
        QCOMPARE(SerialPortLocation(QStringLiteral("USB0")), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(SerialPortLocation(QStringLiteral("DEAD")), QStringLiteral("/dev/ttyDEAD"));
        QCOMPARE(SerialPortLocation(QString()), QString());
        QCOMPARE(SerialPortLocation(QStringLiteral("../x")), QString());
    }

    void linkOfAKilledUnitIsNotListed()
    {
        // What a unit killed with SIGKILL leaves: its link, and beside it the
        // lock file it no longer holds.  The terminal the link leads to has
        // gone to another program meanwhile.
        PtyPeer other;
        QVERIFY(other.isOpen());
        const QString folder = RuntimePortsFolder();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(other.slavePath(), folder + QLatin1String("/SIM7")));
        QFile lock(folder + QLatin1String("/.SIM7.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.close();
        // A unit that lives.
        PtyPeer living;
        QVERIFY(living.publish(QStringLiteral("SIM0")));

        QCOMPARE(VirtualSerialPorts(), QStringList{QStringLiteral("SIM0")});
        QVERIFY(!SystemSerialPorts().contains(QStringLiteral("SIM7")));
        QCOMPARE(SerialPortLocation(QStringLiteral("SIM7")), QStringLiteral("/dev/ttySIM7"));
        QCOMPARE(SerialPortLocation(QStringLiteral("SIM0")), living.slavePath());

        // The Ports menu offers the living one only.
        ReceiveLog log;
        CommandChannel channel(log);
        QMenu menu;
        PortSelector selector(&menu, channel);
        selector.ListSerialPorts();
        QVERIFY(Identities(selector).contains(QStringLiteral("SIM0")));
        QVERIFY(!Identities(selector).contains(QStringLiteral("SIM7")));
    }

    void deviceWinsOverPublishedNameInAFakeDeviceFolder()
    {
        // The same rule on any machine: a device folder of the test's own,
        // holding ttyFAKE0, and a living published port of that name.
        QTemporaryDir devices;
        QVERIFY(devices.isValid());
        QFile device(devices.filePath(QStringLiteral("ttyFAKE0")));
        QVERIFY(device.open(QIODevice::WriteOnly));
        device.close();
        SetSerialDevicePrefix(devices.filePath(QStringLiteral("tty")));
        const auto restore = qScopeGuard([] { SetSerialDevicePrefix(QString()); });
        PtyPeer shadow, other;
        QVERIFY(shadow.publish(QStringLiteral("FAKE0")));
        QVERIFY(other.publish(QStringLiteral("SIM3")));

        QCOMPARE(VirtualSerialPorts(), QStringList{QStringLiteral("SIM3")});
        QCOMPARE(SerialPortLocation(QStringLiteral("FAKE0")), device.fileName());
        QCOMPARE(SerialPortLocation(QStringLiteral("SIM3")), other.slavePath());
        // Once the device is gone, the published port answers to the name.
        QVERIFY(device.remove());
        QCOMPARE(VirtualSerialPorts(), (QStringList{QStringLiteral("FAKE0"), QStringLiteral("SIM3")}));
        QCOMPARE(SerialPortLocation(QStringLiteral("FAKE0")), shadow.slavePath());
    }

    void systemDeviceWinsOverPublishedName()
    {
        // A published link cannot hide a device of the same identity.
        const QStringList system = SystemSerialPorts();
        if (system.isEmpty())
            QSKIP("this machine has no serial device");
        const QString device = system.first();
        const QString folder = RuntimePortsFolder();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), folder + QLatin1Char('/') + device));
        QVERIFY(!VirtualSerialPorts().contains(device));
        QCOMPARE(SystemSerialPorts().count(device), 1);
        QCOMPARE(SerialPortLocation(device), QLatin1String("/dev/tty") + device);
    }

    void publishedPortOpensAsSerialPort()
    {
        PtyPeer peer;
        QVERIFY(peer.isOpen());
        const QString folder = RuntimePortsFolder();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(peer.slavePath(), folder + QLatin1String("/SIM0")));

        QSerialPort port;
        port.setPortName(SerialPortLocation(QStringLiteral("SIM0")));
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        const QByteArray bytes("x\r");
        QCOMPARE(port.write(bytes), bytes.size());
        QVERIFY(port.waitForBytesWritten(5000));
        QTRY_COMPARE_WITH_TIMEOUT(peer.received(), bytes, 5000);
    }

    // --- the Ports menu ---

    void twelvePortsGiveNinePlusWiFi()
    {
        MessageRecorder messages;
        Rig rig;
        rig.ports = Numbered(QStringLiteral("COM"), 12);
        rig.selector.ListSerialPorts();

        QStringList expected = Numbered(QStringLiteral("COM"), 9);
        expected.append(QStringLiteral("WiFi"));
        QCOMPARE(Identities(rig.selector), expected);
        for (int slot = 0; slot < PortSelector::kPortSlots; ++slot)
            QCOMPARE(rig.selector.PortTable[slot], expected[slot]);
        QCOMPARE(rig.menu.actions(), rig.selector.entries());
        QCOMPARE(messages.count(), 0);
        QCOMPARE(CheckedCount(rig.selector), 0);
        for (const QAction *entry : rig.selector.entries()) {
            QVERIFY(entry->isCheckable());
            QVERIFY(!entry->objectName().isEmpty());
            QCOMPARE(entry->text(), PortSelector::identityOf(entry));
        }
    }

    void noPortLeavesWiFiAlone()
    {
        MessageRecorder messages;
        Rig rig;
        rig.selector.ListSerialPorts();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("No Serial Port Found")});
        QCOMPARE(messages.messages().first().kind, MessageService::Kind::Information);
        QCOMPARE(Identities(rig.selector), QStringList{QStringLiteral("WiFi")});
        QCOMPARE(rig.selector.PortTable[0], QStringLiteral("WiFi"));
        for (int slot = 1; slot < PortSelector::kPortSlots; ++slot)
            QVERIFY(rig.selector.PortTable[slot].isEmpty());
    }

    void namesAreCutToSix()
    {
        MessageRecorder messages;
        Rig rig;
        rig.ports = QStringList{QStringLiteral("LONGNAME1"), QString(), QStringLiteral("A&B"),
                                QStringLiteral("WiFi")};
        rig.selector.ListSerialPorts();
        QCOMPARE(Identities(rig.selector),
                 (QStringList{QStringLiteral("LONGNA"), QStringLiteral("A&B"), QStringLiteral("WiFi")}));
        // An ampersand is shown, not taken for a mnemonic.
        QCOMPARE(EntryFor(rig.selector, QStringLiteral("A&B"))->text(), QStringLiteral("A&&B"));

        EntryFor(rig.selector, QStringLiteral("LONGNA"))->trigger();
        QCOMPARE(rig.selector.selectedSerialName(), QStringLiteral("LONGNA"));
    }

    void rebuildClearsChoiceButNotSelection()
    {
        MessageRecorder messages;
        Rig rig;
        rig.ports = QStringList{QStringLiteral("S0"), QStringLiteral("USB0")};
        rig.selector.ListSerialPorts();
        EntryFor(rig.selector, QStringLiteral("USB0"))->trigger();
        QCOMPARE(CheckedCount(rig.selector), 1);

        rig.ports = QStringList{QStringLiteral("S0")};
        rig.selector.ListSerialPorts();
        QCOMPARE(Identities(rig.selector), (QStringList{QStringLiteral("S0"), QStringLiteral("WiFi")}));
        QCOMPARE(rig.menu.actions().size(), 2);
        QCOMPARE(CheckedCount(rig.selector), 0);
        QVERIFY(rig.selector.PortTable[2].isEmpty());
        QCOMPARE(rig.selector.selectedSerialName(), QStringLiteral("USB0"));
    }

    void choosingWiFiThenSerialPort()
    {
        MessageRecorder messages;
        Rig rig;
        rig.ports = QStringList{QStringLiteral("COM1"), QStringLiteral("COM2")};
        rig.selector.ListSerialPorts();
        QSignalSpy chosen(&rig.selector, &PortSelector::portChosen);

        // Through the menu, as the user does it.
        EntryFor(rig.selector, QStringLiteral("COM2"))->trigger();
        QCOMPARE(rig.selector.selectedSerialName(), QStringLiteral("COM2"));
        QCOMPARE(rig.channel.ComPort1.portName(), QStringLiteral("ttyCOM2"));
        QVERIFY(!rig.channel.WiFiSelected);

        QAction *wifi = EntryFor(rig.selector, QStringLiteral("WiFi"));
        wifi->trigger();
        QVERIFY(rig.channel.WiFiSelected);
        QCOMPARE(rig.selector.selectedSerialName(), QStringLiteral("COM2"));
        QCOMPARE(rig.selector.checkedEntry(), wifi);
        QCOMPARE(CheckedCount(rig.selector), 1);

        // Choosing the checked entry again keeps it chosen.
        wifi->trigger();
        QVERIFY(wifi->isChecked());
        QVERIFY(rig.channel.WiFiSelected);

        rig.selector.ChangeComClick(EntryFor(rig.selector, QStringLiteral("COM1")));
        QVERIFY(!rig.channel.WiFiSelected);
        QCOMPARE(rig.selector.selectedSerialName(), QStringLiteral("COM1"));
        QCOMPARE(rig.selector.checkedEntry(), EntryFor(rig.selector, QStringLiteral("COM1")));
        QCOMPARE(CheckedCount(rig.selector), 1);
        QCOMPARE(chosen.count(), 4);
        QCOMPARE(messages.count(), 0);
    }

    void rememberedWiFi()
    {
        MessageRecorder messages;
        Rig rig;
        rig.selector.setLinkDetailsFileName(m_detailsFile);
        rig.ports = QStringList{QStringLiteral("S0"), QStringLiteral("USB0")};
        rig.selector.ListSerialPorts();
        EntryFor(rig.selector, QStringLiteral("USB0"))->trigger();

        LinkDetails details;
        details.wifi = true;
        details.portName = QStringLiteral("S0");
        details.ipAddress = QStringLiteral("10.0.0.7");
        writeDetails(details);

        QCOMPARE(rig.selector.LoadLinkDetails(), QStringLiteral("WiFi"));
        QVERIFY(rig.channel.WiFiSelected);
        QVERIFY(rig.selector.selectedSerialName().isEmpty());
        QCOMPARE(rig.channel.unitAddress(), QStringLiteral("10.0.0.7"));

        QVERIFY(rig.selector.Preselect(QStringLiteral("WiFi")));
        QCOMPARE(rig.selector.checkedEntry(), EntryFor(rig.selector, QStringLiteral("WiFi")));
        QCOMPARE(CheckedCount(rig.selector), 1);
    }

    void rememberedSerialPort()
    {
        MessageRecorder messages;
        Rig rig;
        rig.selector.setLinkDetailsFileName(m_detailsFile);
        rig.ports = QStringList{QStringLiteral("S0"), QStringLiteral("USB0")};
        rig.selector.ListSerialPorts();
        rig.channel.WiFiSelected = true;

        LinkDetails details;
        details.portName = QStringLiteral("USB0");
        details.ipAddress = QStringLiteral("192.168.4.1");
        writeDetails(details);

        QCOMPARE(rig.selector.LoadLinkDetails(), QStringLiteral("USB0"));
        QVERIFY(!rig.channel.WiFiSelected);
        QCOMPARE(rig.selector.selectedSerialName(), QStringLiteral("USB0"));
        QCOMPARE(rig.channel.ComPort1.portName(), QStringLiteral("ttyUSB0"));
        QCOMPARE(rig.channel.unitAddress(), QStringLiteral("192.168.4.1"));
        QVERIFY(rig.selector.Preselect(QStringLiteral("USB0")));
        QCOMPARE(rig.selector.checkedEntry(), EntryFor(rig.selector, QStringLiteral("USB0")));

        // A remembered port the system no longer has: nothing is checked.
        QVERIFY(!rig.selector.Preselect(QStringLiteral("COM3")));
        QCOMPARE(CheckedCount(rig.selector), 0);
        QVERIFY(!rig.selector.Preselect(QString()));
    }

    void noRememberedDetails()
    {
        MessageRecorder messages;
        Rig rig;
        rig.selector.setLinkDetailsFileName(m_detailsFile);
        rig.ports = QStringList{QStringLiteral("S0")};
        rig.selector.ListSerialPorts();
        EntryFor(rig.selector, QStringLiteral("S0"))->trigger();
        rig.channel.WiFiSelected = true;
        rig.channel.setUnitAddress(QStringLiteral("1.2.3.4"));

        QFile shortFile(m_detailsFile);
        QVERIFY(shortFile.open(QIODevice::WriteOnly));
        shortFile.write(QByteArray(76, '\0'));
        shortFile.close();

        QVERIFY(rig.selector.LoadLinkDetails().isEmpty());
        QVERIFY(!rig.channel.WiFiSelected);
        QCOMPARE(rig.selector.selectedSerialName(), QStringLiteral("S0"));
        QCOMPARE(rig.channel.unitAddress(), QStringLiteral("1.2.3.4"));
        QVERIFY(rig.selector.LoadLinkDetails().isEmpty()); // and with no file at all
        QCOMPARE(messages.count(), 0);
    }

    void systemSourceByDefault()
    {
        MessageRecorder messages;
        const QString folder = RuntimePortsFolder();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), folder + QLatin1String("/SIM0")));
        ReceiveLog log;
        CommandChannel channel(log);
        QMenu menu;
        PortSelector selector(&menu, channel);
        selector.ListSerialPorts();
        QStringList expected = SystemSerialPorts().first(qMin<qsizetype>(9, SystemSerialPorts().size()));
        expected.append(QStringLiteral("WiFi"));
        QCOMPARE(Identities(selector), expected);
        QVERIFY(expected.contains(QStringLiteral("SIM0")));

        selector.ChangeComClick(EntryFor(selector, QStringLiteral("SIM0")));
        // The port is named after the device the link leads to.
        QCOMPARE(channel.ComPort1.portName(), QStringLiteral("null"));
    }
};

QTEST_MAIN(TestPorts)
#include "tst_ports.moc"
