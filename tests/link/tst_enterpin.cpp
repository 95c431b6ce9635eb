#include "link/commandchannel.h"
#include "link/enterpin.h"
#include "link/linkdetails.h"
#include "link/receivelog.h"
#include "messagerecorder.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString AccessibleName(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

class TestEnterPin : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_file;

    // One dialog as the program holds it, with its channel and selected port.
    struct Rig {
        explicit Rig(const QString &file, QWidget *parent = nullptr) : dialog(channel, [this] { return serial; }, parent)
        {
            dialog.setLinkDetailsFileName(file);
        }
        ~Rig() { dialog.hide(); }
        template <class T> T *control(const char *name)
        {
            T *found = dialog.findChild<T *>(QLatin1String(name));
            if (!found)
                qFatal("no control %s", name);
            return found;
        }
        QLineEdit *pin() { return control<QLineEdit>("OstiPin"); }
        QLineEdit *phone() { return control<QLineEdit>("R_ph_num"); }
        QLineEdit *address() { return control<QLineEdit>("IP_addr"); }
        QCheckBox *remote() { return control<QCheckBox>("RChkBox"); }
        QCheckBox *remember() { return control<QCheckBox>("StrDetail"); }
        QPushButton *ok() { return control<QPushButton>("Button1"); }
        QPushButton *cancel() { return control<QPushButton>("Button2"); }
        QColor phoneBackground() { return phone()->palette().color(QPalette::Disabled, QPalette::Base); }

        ReceiveLog log;
        CommandChannel channel{log};
        QString serial = QStringLiteral("S0");
        TEnterPin dialog;
    };

    void writeDetails(const LinkDetails &details) { WriteLinkDetails(m_file, details); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_file = m_dir.filePath(QStringLiteral("Ostidata.ini"));
    }
    void cleanup() { QFile::remove(m_file); }

    void controlsAsTheInstallerKnowsThem()
    {
        Rig rig(m_file);
        rig.dialog.show();
        QCOMPARE(rig.dialog.objectName(), QStringLiteral("EnterPin"));
        QCOMPARE(rig.dialog.windowTitle(), QStringLiteral("EnterPin"));
        QCOMPARE(rig.dialog.size(), QSize(228, 193));
        QCOMPARE(rig.dialog.minimumSize(), rig.dialog.maximumSize());

        QCOMPARE(rig.pin()->maxLength(), 16);
        QCOMPARE(rig.phone()->maxLength(), 20);
        QCOMPARE(rig.address()->maxLength(), 31);
        QCOMPARE(rig.pin()->statusTip(), QStringLiteral("Enter the PIN to access Ostiarin Programme Mode"));
        QVERIFY(rig.pin()->toolTip().isEmpty());
        QTest::keyClicks(rig.pin(), QStringLiteral("12345"));
        QCOMPARE(rig.pin()->displayText(), QStringLiteral("*****"));
        QCOMPARE(rig.pin()->text(), QStringLiteral("12345"));

        QCOMPARE(rig.remote()->text(), QStringLiteral("Remote"));
        QCOMPARE(rig.remember()->text(), QStringLiteral("Remember Details"));
        QCOMPARE(rig.ok()->text(), QStringLiteral("Ok"));
        QCOMPARE(rig.cancel()->text(), QStringLiteral("Cancel"));
        QCOMPARE(rig.control<QLabel>("Label1")->text(), QStringLiteral("PIN"));
        QCOMPARE(rig.control<QLabel>("Label2")->text(), QStringLiteral("Phone #"));
        QCOMPARE(rig.control<QLabel>("ipaddrLab")->text(), QStringLiteral("IP_Address"));

        // Fields are named by their labels.
        QCOMPARE(AccessibleName(rig.pin()), QStringLiteral("PIN"));
        QCOMPARE(AccessibleName(rig.phone()), QStringLiteral("Phone #"));
        QCOMPARE(AccessibleName(rig.address()), QStringLiteral("IP_Address"));
        QCOMPARE(AccessibleName(rig.remote()), QStringLiteral("Remote"));
        QCOMPARE(AccessibleName(rig.ok()), QStringLiteral("Ok"));

        // Until Remote is ticked the telephone number is out of use and grey.
        QVERIFY(!rig.remote()->isChecked());
        QVERIFY(!rig.phone()->isEnabled());
        QCOMPARE(rig.phoneBackground(), rig.dialog.palette().color(QPalette::Active, QPalette::Button));
        rig.remote()->click();
        QVERIFY(rig.phone()->isEnabled());
        QCOMPARE(rig.phoneBackground(), rig.dialog.palette().color(QPalette::Active, QPalette::Base));
        QCOMPARE(rig.dialog.focusWidget(), rig.phone());
        rig.remote()->click();
        QVERIFY(!rig.phone()->isEnabled());

        // Everything shown fits the fixed window.
        for (QWidget *child : rig.dialog.findChildren<QWidget *>()) {
            if (child->isVisible())
                QVERIFY2(rig.dialog.rect().contains(child->geometry()), qPrintable(child->objectName()));
        }
    }

    void okWithoutRememberKeepsOnlyThePort()
    {
        MessageRecorder messages;
        Rig rig(m_file);
        rig.serial = QStringLiteral("USB0");
        rig.dialog.show();
        QTest::keyClicks(rig.pin(), QStringLiteral("1234"));
        rig.remote()->click();
        QTest::keyClicks(rig.phone(), QStringLiteral("0800123"));
        QVERIFY(!rig.remember()->isChecked());
        QTest::mouseClick(rig.ok(), Qt::LeftButton);

        QCOMPARE(rig.dialog.result(), int(QDialog::Accepted));
        QVERIFY(!rig.dialog.isVisible());
        LinkDetails expected;
        expected.portName = QStringLiteral("USB0");
        QCOMPARE(ReadAll(m_file), EncodeLinkDetails(expected));
        // The log-on still gets what was typed.
        QCOMPARE(rig.dialog.pin(), QStringLiteral("1234"));
        QCOMPARE(rig.dialog.phoneNumber(), QStringLiteral("0800123"));
        QVERIFY(rig.dialog.remote());

        // With WiFi selected the flag is stored (the port name stays).
        rig.channel.WiFiSelected = true;
        rig.dialog.show();
        QTest::mouseClick(rig.ok(), Qt::LeftButton);
        expected.wifi = true;
        QCOMPARE(ReadAll(m_file), EncodeLinkDetails(expected));
        QCOMPARE(messages.count(), 0);
    }

    void okWithRememberStoresTheFields()
    {
        MessageRecorder messages;
        Rig rig(m_file);
        rig.serial = QStringLiteral("LONGNAME");
        rig.dialog.show();
        QTest::keyClicks(rig.pin(), QStringLiteral("2468"));
        rig.remote()->click();
        QTest::keyClicks(rig.phone(), QStringLiteral("01234567890123456789"));
        rig.remember()->click();
        QTest::mouseClick(rig.ok(), Qt::LeftButton);
        const auto stored = ReadLinkDetails(m_file);
        QVERIFY(stored.has_value());
        QCOMPARE(stored->pin, QStringLiteral("2468"));
        QCOMPARE(stored->phoneNumber, QStringLiteral("0123456789012345"));
        QVERIFY(stored->remember);
        QVERIFY(stored->remote);
        QVERIFY(!stored->wifi);
        QCOMPARE(stored->portName, QStringLiteral("LONGNA"));
    }

    void enterInPinAcceptsWithoutWriting()
    {
        MessageRecorder messages;
        LinkDetails old;
        old.pin = QStringLiteral("1111");
        old.remember = true;
        old.portName = QStringLiteral("S0");
        writeDetails(old);
        const QByteArray before = ReadAll(m_file);

        Rig rig(m_file);
        rig.serial = QStringLiteral("ACM0");
        rig.dialog.show();
        QCOMPARE(rig.pin()->text(), QStringLiteral("1111"));
        rig.pin()->clear();
        QTest::keyClicks(rig.pin(), QStringLiteral("9876"));
        QTest::keyClick(rig.pin(), Qt::Key_Return);
        QCOMPARE(rig.dialog.result(), int(QDialog::Accepted));
        QVERIFY(!rig.dialog.isVisible());
        QCOMPARE(rig.dialog.pin(), QStringLiteral("9876"));
        QCOMPARE(ReadAll(m_file), before);

        // The same in the IP address field (WiFi), with the keypad's Enter.
        rig.channel.WiFiSelected = true;
        rig.dialog.show();
        QVERIFY(rig.address()->isVisible());
        QTest::keyClick(rig.address(), Qt::Key_Enter);
        QCOMPARE(rig.dialog.result(), int(QDialog::Accepted));
        QCOMPARE(ReadAll(m_file), before);
    }

    void enterInPhoneFieldWrites()
    {
        MessageRecorder messages;
        Rig rig(m_file);
        rig.dialog.show();
        QTest::keyClicks(rig.pin(), QStringLiteral("55"));
        rig.remember()->click();
        rig.remote()->click();
        const QString twenty = QStringLiteral("09876543210987654321");
        QTest::keyClicks(rig.phone(), twenty);
        QTest::keyClick(rig.phone(), Qt::Key_Return);

        QCOMPARE(rig.dialog.result(), int(QDialog::Accepted));
        // Dialled in full, stored as its first 16 digits.
        QCOMPARE(rig.phone()->text(), twenty);
        QCOMPARE(rig.dialog.phoneNumber(), twenty);
        const auto stored = ReadLinkDetails(m_file);
        QVERIFY(stored.has_value());
        QCOMPARE(stored->phoneNumber, twenty.left(16));
        QCOMPARE(stored->pin, QStringLiteral("55"));
        QVERIFY(stored->remote);
    }

    void rememberedRemoteOpensTicked()
    {
        LinkDetails details;
        details.pin = QStringLiteral("4321");
        details.phoneNumber = QStringLiteral("5550100");
        details.remember = true;
        details.remote = true;
        writeDetails(details);

        Rig rig(m_file);
        rig.dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&rig.dialog));
        QVERIFY(rig.remote()->isChecked());
        QVERIFY(rig.remember()->isChecked());
        QVERIFY(rig.phone()->isEnabled());
        QVERIFY(rig.control<QLabel>("Label2")->isEnabled());
        QCOMPARE(rig.phoneBackground(), rig.dialog.palette().color(QPalette::Active, QPalette::Base));
        QCOMPARE(rig.pin()->text(), QStringLiteral("4321"));
        QCOMPARE(rig.phone()->text(), QStringLiteral("5550100"));
        QCOMPARE(rig.dialog.focusWidget(), rig.pin());
        QCOMPARE(QApplication::focusWidget(), rig.pin());

        // A file without Remote unticks it again: the number goes grey.
        rig.dialog.hide();
        details.remote = false;
        writeDetails(details);
        rig.dialog.show();
        QVERIFY(!rig.remote()->isChecked());
        QVERIFY(!rig.phone()->isEnabled());
        QCOMPARE(rig.phoneBackground(), rig.dialog.palette().color(QPalette::Active, QPalette::Button));
        QCOMPARE(rig.dialog.focusWidget(), rig.pin());
    }

    void wifiShowsTheAddressOnlyWithAFile()
    {
        Rig rig(m_file);
        rig.channel.WiFiSelected = true;
        rig.dialog.show();
        QVERIFY(rig.remote()->isVisible());
        QVERIFY(rig.phone()->isVisible());
        QVERIFY(!rig.address()->isVisible());
        QVERIFY(!rig.control<QLabel>("ipaddrLab")->isVisible());
        rig.dialog.hide();

        LinkDetails details;
        details.remember = true;
        details.wifi = true;
        details.ipAddress = QStringLiteral("192.168.0.50");
        writeDetails(details);
        rig.dialog.show();
        QVERIFY(rig.address()->isVisible());
        QVERIFY(rig.control<QLabel>("ipaddrLab")->isVisible());
        QCOMPARE(rig.address()->text(), QStringLiteral("192.168.0.50"));
        // In the place of Remote and the number: below the PIN, above Remember.
        QVERIFY(rig.address()->geometry().top() >= rig.pin()->geometry().bottom());
        QVERIFY(rig.address()->geometry().bottom() <= rig.remember()->geometry().top());
        QVERIFY(!rig.remote()->isVisible());
        QVERIFY(!rig.phone()->isVisible());
        QVERIFY(!rig.control<QLabel>("Label2")->isVisible());
        QCOMPARE(rig.dialog.focusWidget(), rig.pin());
        rig.dialog.hide();

        // A serial port chosen again: Remote and the number come back.
        rig.channel.WiFiSelected = false;
        rig.dialog.show();
        QVERIFY(rig.remote()->isVisible());
        QVERIFY(rig.phone()->isVisible());
        QVERIFY(!rig.address()->isVisible());
    }

    void fieldsKeptBetweenShowings()
    {
        Rig rig(m_file);
        rig.dialog.show();
        QTest::keyClicks(rig.pin(), QStringLiteral("777"));
        rig.remote()->click();
        QTest::keyClicks(rig.phone(), QStringLiteral("12"));
        QTest::mouseClick(rig.cancel(), Qt::LeftButton);
        QCOMPARE(rig.dialog.result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(m_file));

        rig.dialog.show();
        QCOMPARE(rig.pin()->text(), QStringLiteral("777"));
        QCOMPARE(rig.phone()->text(), QStringLiteral("12"));
        QVERIFY(rig.remote()->isChecked());
    }

    void writeFailureKeepsTheDialogOpen()
    {
        MessageRecorder messages;
        const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
        QFile block(blocker);
        QVERIFY(block.open(QIODevice::WriteOnly));
        block.close();

        Rig rig(blocker + QLatin1String("/Ostidata.ini"));
        rig.dialog.show();
        QTest::keyClicks(rig.pin(), QStringLiteral("1234"));
        QTest::mouseClick(rig.ok(), Qt::LeftButton);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.messages().first().kind, MessageService::Kind::Error);
        QVERIFY(messages.last().contains(QLatin1String("Ostidata.ini")));
        QVERIFY(rig.dialog.isVisible());
        QCOMPARE(rig.dialog.result(), int(QDialog::Rejected));

        // Enter in the number field goes the same way.
        rig.remote()->click();
        QTest::keyClick(rig.phone(), Qt::Key_Return);
        QCOMPARE(messages.count(), 2);
        QVERIFY(rig.dialog.isVisible());
    }

    void pinHintInMainStatusBar()
    {
        QMainWindow main;
        main.statusBar();
        Rig rig(m_file, &main);
        main.show();
        rig.dialog.show();
        QStatusTipEvent tip(rig.pin()->statusTip());
        QApplication::sendEvent(rig.pin(), &tip);
        QCOMPARE(main.statusBar()->currentMessage(), QStringLiteral("Enter the PIN to access Ostiarin Programme Mode"));
    }
};

QTEST_MAIN(TestEnterPin)
#include "tst_enterpin.moc"
