#include "serialline.h"
#include "link/blockaccess.h"
#include "link/commandchannel.h"
#include "link/receivelog.h"
#include "ptypeer.h"
#include "simulator.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// Reading and programming blocks over a real serial line, against the
// simulated unit and against a scripted far end.
namespace {
QString L1(const QByteArray &bytes) { return QString::fromLatin1(bytes); }

// A command channel whose serial port is open on a pseudo-terminal.
struct Line {
    explicit Line(const QString &device)
    {
        opened = OpenSerialLine(channel.ComPort1, device);
    }
    ReceiveLog log;
    CommandChannel channel{log};
    bool opened = false;
};

// The simulated unit, logged on.
struct UnitRig {
    explicit UnitRig(UnitOptions options = {}) : sim(SimOptions{.unit = options})
    {
        started = sim.startSerial(QString());
        line = std::make_unique<Line>(sim.serialDevice());
        line->channel.SendRaw(QStringLiteral("a1234\r"));
        loggedOn = line->channel.WaitReply(20);
        sim.clearCommands();
    }
    QList<QByteArray> commands() const
    {
        QList<QByteArray> texts;
        for (const ReceivedCommand &c : sim.commands())
            texts << c.bytes;
        return texts;
    }
    Simulator sim;
    std::unique_ptr<Line> line;
    bool started = false;
    bool loggedOn = false;
};

QByteArray data64(char seed)
{
    QByteArray data;
    for (int i = 0; i < 64; ++i)
        data += char('0' + (seed + i) % 16); // nibble characters
    return data;
}
} // namespace

class TestBlockAccess : public QObject {
    Q_OBJECT
private slots:
    void programmedAtTheFirstAttempt()
    {
        UnitRig rig;
        QVERIFY(rig.started && rig.line->opened && rig.loggedOn);
        const QByteArray data = data64(3);
        QVERIFY(ProgramBlock(rig.line->channel, QStringLiteral("0001"), L1(data)));
        // One program command, then one read-back.
        QTRY_COMPARE(rig.commands(), (QList<QByteArray>{"p0001" + data, "r0001"}));
        QCOMPARE(rig.sim.unit().memory().block(1), data);

        // A read leaves the reply where the callers parse it.
        RequestBlock(rig.line->channel, QStringLiteral("0001"));
        QVERIFY(rig.line->channel.ReplyReady);
        QCOMPARE(rig.line->log.line(0).mid(5), L1(data));
        QCOMPARE(rig.line->channel.LastReply, QStringLiteral("OK"));
    }

    void unitThatNeverAnswers()
    {
        UnitOptions options;
        options.dropCommands = "pr";
        UnitRig rig(options);
        QVERIFY(rig.loggedOn);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!ProgramBlock(rig.line->channel, QStringLiteral("0002"), L1(data64(1))));
        // Four program commands and no read: a read-back follows only an OK.
        QTRY_COMPARE(rig.commands().size(), 4);
        for (const QByteArray &command : rig.commands())
            QVERIFY(command.startsWith("p0002"));
        QVERIFY2(clock.elapsed() >= 4 * 1296 - 50, qPrintable(QString::number(clock.elapsed())));
    }

    void readBackThatDiffers()
    {
        UnitOptions options;
        options.corruptReadback = true;
        UnitRig rig(options);
        QVERIFY(!ProgramBlock(rig.line->channel, QStringLiteral("0008"), L1(data64(5))));
        QTRY_COMPARE(rig.commands().size(), 8);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(rig.commands().at(i).left(5), QByteArray(i % 2 ? "r0008" : "p0008"));
    }

    void pinBlockNeverShown()
    {
        UnitRig rig;
        QSignalSpy shown(&rig.line->channel, &CommandChannel::commandShown);
        rig.line->channel.KeepAliveTicks = 14;
        QVERIFY(ProgramBlock(rig.line->channel, QStringLiteral("0003"), L1("1234????5678????" + QByteArray(48, '?'))));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().first().toString(), QStringLiteral("r0003\r"));
        QCOMPARE(rig.line->channel.KeepAliveTicks, 0);
        QTRY_COMPARE(rig.commands().size(), 2);
        QVERIFY(rig.commands().first().startsWith("p00031234????5678"));
    }

    void verifyComparesWhatWasWritten()
    {
        PtyPeer peer;
        Line line(peer.slavePath());
        QVERIFY(line.opened);
        QByteArray reply;
        peer.setResponder([&reply](const QByteArray &) { return reply; });

        // 32 characters written, 64 read back: only the 32 count.
        const QByteArray message = "WELCOME TO THE GRANGE HALL ?????";
        reply = "r0012" + message + QByteArray(32, char(0xFF)) + "\r\nOK\r\n";
        QVERIFY(VerifyBlock(line.channel, QStringLiteral("0012"), L1(message)));
        reply = "r0012" + message.left(31) + "X\r\nOK\r\n";
        QVERIFY(!VerifyBlock(line.channel, QStringLiteral("0012"), L1(message)));

        // A NUL at position 20: the 19 characters before it must be all the
        // unit sends back.
        QByteArray withNul = QByteArray("NINETEEN CHARACTERS") + '\0' + QByteArray(12, 'Z');
        QCOMPARE(withNul.size(), 32);
        reply = "r0013NINETEEN CHARACTERS\r\nOK\r\n";
        QVERIFY(VerifyBlock(line.channel, QStringLiteral("0013"), L1(withNul)));
        reply = "r0013" + withNul.left(19) + QByteArray(13, 'Z') + "\r\nOK\r\n";
        QVERIFY(!VerifyBlock(line.channel, QStringLiteral("0013"), L1(withNul)));

        // No answer: nothing verifies, not even data that is empty or
        // starts with NUL (it would compare equal to the silence).
        reply.clear();
        QVERIFY(!VerifyBlock(line.channel, QStringLiteral("0014"), QStringLiteral("A")));
        QVERIFY(!VerifyBlock(line.channel, QStringLiteral("0014"), QString()));
        QVERIFY(!VerifyBlock(line.channel, QStringLiteral("0014"), QString(QChar(0)) + QStringLiteral("ABC")));
        // Garbage and short data never pass for the block.
        reply = "\xff\xfe\r\n";
        QVERIFY(!VerifyBlock(line.channel, QStringLiteral("0014"), L1(message)));
        reply = "r00\r\nOK\r\n";
        QVERIFY(!VerifyBlock(line.channel, QStringLiteral("0014"), L1(message)));
    }
};

QTEST_GUILESS_MAIN(TestBlockAccess)
#include "tst_blockaccess.moc"
