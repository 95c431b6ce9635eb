#include "faultsrig.h"

#include "link/linkdetails.h"

#include <QTimer>
#include <QUdpSocket>

// Over WiFi, another device on the network sends to the program's port
// while it logs on and downloads the directory: its datagrams must change
// nothing.
using namespace Faults;

class TestFaultsUdp : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QFile::remove(kLinkDetailsFileName); }

    void foreignSenderIsIgnored()
    {
        MessageRecorder messages;
        Simulator sim(options());
        for (int i = 0; i < 5; ++i)
            sim.unit().memory().directory.insert(0x1000 + i * 0x20, QStringLiteral("%1,,,,555%1,RES %1").arg(i).toLatin1());
        QVERIFY(sim.startUdp(QHostAddress(QStringLiteral("127.0.0.2"))));
        LinkDetails details;
        details.wifi = true;
        details.remember = true;
        details.ipAddress = QStringLiteral("127.0.0.2");
        WriteLinkDetails(kLinkDetailsFileName, details);

        // Something else on the network: an "OK", an identification and a
        // slot line, over and over.
        QUdpSocket stranger;
        QVERIFY(stranger.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0));
        QTimer noise;
        int sent = 0;
        connect(&noise, &QTimer::timeout, &stranger, [&] {
            const QByteArray junk[] = {"OK\r\n", "\r\nA\r\nB\r\nOstiarin_100_Gn4\r\n", "1FE0,99,,,,,STRANGER:0\r\nOK\r\n"};
            stranger.writeDatagram(junk[sent++ % 3], QHostAddress(QStringLiteral("127.0.0.1")), 8000);
        });
        noise.start(20);

        TostiForm form;
        UiDriver::answerLogOnDialog(UiDriver::LogOnAnswer{.pin = QStringLiteral("1234")});
        form.ledAction->trigger();
        QVERIFY(form.Link->LoggedOn);
        QCOMPARE(form.Link->DirectoryEndAddress, 20736); // the unit's model, not the stranger's
        form.directoryPage->GetData->click();
        noise.stop();

        QCOMPARE(messages.texts(), QStringList{});
        QCOMPARE(form.DirectoryTable.recordCount(), 5);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(form.DirectoryTable.storedValue(i, 0), QStringLiteral("RES %1").arg(i));
        QVERIFY(form.DirectoryInSync);
        QVERIFY(sent > 20);
        QVERIFY(form.Channel.discardedDatagrams() > 0);
        verifyOnLine(form);
        form.close();
        QVERIFY(!form.isVisible());
        QCOMPARE(messages.texts(), QStringList{});
    }
};

QTEST_MAIN(TestFaultsUdp)
#include "tst_faults_udp.moc"
