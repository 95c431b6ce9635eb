#include "window/mainwindow.h"
#include "link/blockaccess.h"
#include "link/logon.h"
#include "messagerecorder.h"
#include "simulator.h"
#include "uidriver.h"

#include <QFile>
#include <QTest>

using UiDriver::LogOnAnswer;

namespace {
const QString kPort = QStringLiteral("SIM0");

int countOf(const Simulator &sim, char letter)
{
    int n = 0;
    for (const ReceivedCommand &c : sim.commands())
        n += c.bytes.startsWith(letter) ? 1 : 0;
    return n;
}
} // namespace

// A verified block write, from the real main window logged on to the
// simulated unit: the write only counts once the unit's read-back arrived.
class TestBlockVerify : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(QStringLiteral("Ostidata.ini")); }

    void readBackMustArrive_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("readsAnswered");
        QTest::addColumn<bool>("verified");
        const QString nulFirst = QString(QChar(0)) + QString(31, QLatin1Char('0'));
        QTest::newRow("NUL first, no read-back") << nulFirst << false << false;
        QTest::newRow("empty, no read-back") << QString() << false << false;
        QTest::newRow("empty, read back") << QString() << true << true;
        QTest::newRow("data, read back") << QString(64, QLatin1Char('5')) << true << true;
    }
    void readBackMustArrive()
    {
        QFETCH(QString, data);
        QFETCH(bool, readsAnswered);
        QFETCH(bool, verified);
        MessageRecorder messages;
        SimOptions options;
        options.unit.pin = "1234";
        options.baud = 0;
        Simulator sim(options);
        QVERIFY(sim.startSerial(kPort));
        TostiForm form;
        UiDriver::logOn(form, kPort, LogOnAnswer{.pin = QStringLiteral("1234")});
        QVERIFY(form.Link->LoggedOn);
        // The unit stores the block but never answers its read.
        sim.unit().options().dropCommands = readsAnswered ? QByteArray() : QByteArray("r");
        sim.clearCommands();

        QCOMPARE(ProgramBlock(form.Channel, QStringLiteral("0012"), data), verified);
        const int attempts = verified ? 1 : 4;
        QCOMPARE(countOf(sim, 'p'), attempts);
        QTRY_COMPARE(countOf(sim, 'r'), attempts);
        QVERIFY(messages.texts().isEmpty());
        form.ledAction->trigger();
    }
};

QTEST_MAIN(TestBlockVerify)
#include "tst_blockverify.moc"
