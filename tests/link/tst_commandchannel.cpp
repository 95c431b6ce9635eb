#include "common/errors.h"
#include "link/commandchannel.h"
#include "link/delay.h"
#include "link/receivelog.h"
#include "messagerecorder.h"
#include "ptypeer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
QString L1(const char *text) { return QString::fromLatin1(text); }
QString L1(const QByteArray &bytes) { return QString::fromLatin1(bytes); }
} // namespace

class TestCommandChannel : public QObject {
    Q_OBJECT
private slots:
    void replyInPieces()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.ReceiveText(L1("O"));
        QVERIFY(!ch.ReplyReady);
        QVERIFY(ch.DataReceived);
        ch.ReceiveText(L1("K\r\n"));
        QVERIFY(ch.ReplyReady);
        QVERIFY(ch.LineComplete);
        QVERIFY(ch.LineBuffer.isEmpty());
        QCOMPARE(log.text(), L1("OK\r\n"));
        QCOMPARE(ch.RxBuffer, L1("OK\r\n"));
    }

    void okWithoutLineEnd()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.ReceiveText(L1("OK"));
        QVERIFY(ch.ReplyReady);
        QVERIFY(!ch.LineComplete);
        QCOMPARE(ch.LineBuffer, L1("OK"));
    }

    void bareLineEndKeepsFlags()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.ReplyReady = true;
        ch.LineComplete = false;
        ch.ReceiveText(L1("\r\n"));
        QVERIFY(ch.LineBuffer.isEmpty());
        QVERIFY(ch.ReplyReady);
        QVERIFY(!ch.LineComplete);
        ch.ReplyReady = false;
        ch.LineComplete = true;
        ch.ReceiveText(L1("\r\n"));
        QVERIFY(!ch.ReplyReady);
        QVERIFY(ch.LineComplete);
    }

    void severalLinesInOnePiece()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.ReceiveText(L1("DATA\r\nOK\r\nXY"));
        QVERIFY(ch.ReplyReady);
        QVERIFY(ch.LineComplete);
        // The start of the next line stays to be completed.
        QCOMPARE(ch.LineBuffer, L1("XY"));
        QVERIFY(ch.RxBuffer.endsWith(L1("XY")));
        QVERIFY(log.text().endsWith(L1("XY")));
        // The following line is judged on its own.
        ch.ReceiveText(L1("next\r\n"));
        QVERIFY(!ch.ReplyReady);
        QVERIFY(ch.LineBuffer.isEmpty());
    }

    void okSplitRightAfterALineEnd()
    {
        // A line's end and the first letter of "OK" in one piece, the rest
        // in the next, as a paced line delivers a modem's echo and result.
        ReceiveLog log;
        CommandChannel ch(log);
        ch.ReceiveText(L1("ate0\r"));
        ch.ReceiveText(L1("\r\nO"));
        QVERIFY(!ch.ReplyReady);
        ch.ReceiveText(L1("K\r\n"));
        QVERIFY(ch.ReplyReady);
        QVERIFY(ch.LineBuffer.isEmpty());
    }

    void okIsASubstringTest()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.ReceiveText(L1("BOOK\r\n"));
        QVERIFY(ch.ReplyReady);
        ch.ReceiveText(L1("Ok\r\n"));
        QVERIFY(!ch.ReplyReady);
    }

    void nulNeverStoredHighBytesKept()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
        ch.ReceiveText(L1(bytes));
        QByteArray expected = bytes;
        expected.remove(0, 1);
        QCOMPARE(ch.RxBuffer.toLatin1(), expected);
        QCOMPARE(log.text().toLatin1(), expected);
        QVERIFY(!ch.LineBuffer.contains(QChar(0)));
    }

    void bulkTransferCountsLines()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.BulkTransfer = true;
        ch.ReceiveText(L1("first\r\n"));
        ch.ReceiveText(L1("a\r\nb\r\n")); // one count per text that completes a line
        ch.ReceiveText(L1("par"));
        QCOMPARE(ch.LineCount, 2);
        QCOMPARE(log.text(), L1("2"));
        QCOMPARE(ch.RxBuffer, L1("first\r\na\r\nb\r\npar"));
    }

    void connectOnlyInRemoteMode()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.ReceiveText(L1("CONNECT 9600\r\n"));
        QVERIFY(!ch.ModemConnected);
        ch.RemoteMode = true;
        ch.ReceiveText(L1("CONN"));
        QVERIFY(!ch.ModemConnected); // the line is not complete yet
        ch.ReceiveText(L1("ECT 9600\r\n"));
        QVERIFY(ch.ModemConnected);
    }

    void sendWithoutLinkSendsNothing()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        QSignalSpy sent(&ch, &CommandChannel::bytesSent);
        QSignalSpy shown(&ch, &CommandChannel::commandShown);
        ch.KeepAliveTicks = 7;
        ch.SendRaw(L1("r0000\r"));
        QCOMPARE(ch.KeepAliveTicks, 7);
        QCOMPARE(shown.count(), 0);
        ch.WiFiSelected = true; // selected, but no endpoint open
        ch.SendCommand(L1("r0000\r"));
        QCOMPARE(sent.count(), 0);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.at(0).at(0).toString(), L1("r0000\r"));
        QCOMPARE(ch.KeepAliveTicks, 0);
    }

    void commandWithALineEndInsideIsNotSent_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("CR inside") << L1("b0128,,,,,X\rf5a\r");
        QTest::newRow("LF inside") << L1("b0128,,,,,X\nY\r");
        QTest::newRow("two CRs at the end") << L1("r0000\r\r");
        QTest::newRow("LF at the end") << L1("r0000\n");
    }
    void commandWithALineEndInsideIsNotSent()
    {
        QFETCH(QString, command);
        PtyPeer peer;
        QVERIFY(peer.isOpen());
        ReceiveLog log;
        CommandChannel ch(log);
        ch.ComPort1.setPortName(peer.slavePath());
        QVERIFY(ch.ComPort1.open(QIODevice::ReadWrite));
        QSignalSpy sent(&ch, &CommandChannel::bytesSent);
        MessageRecorder messages;
        ch.SendCommand(command);
        // The log-on's "a" + PIN goes out raw; a PIN from a damaged link-details
        // file must not smuggle a command in either.
        ch.SendRaw(command);
        QCOMPARE(sent.count(), 0);
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.messages().first().kind, MessageService::Kind::Error);
        QCOMPARE(messages.messages().last().kind, MessageService::Kind::Error);
        // A well-formed command still goes out whole, and so does a bare CR.
        ch.SendCommand(L1("r0000\r"));
        ch.SendCommand(L1("\r"));
        ch.SendRaw(L1("a1234\r"));
        QTRY_COMPARE(peer.received(), QByteArray("r0000\r\ra1234\r"));
        QCOMPARE(messages.count(), 2);
        ch.ComPort1.close();
    }

    void waitReplyTimesOutInSteps()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        ch.LastReply = L1("stale");
        QElapsedTimer clock;
        clock.start();
        const DelayTally before = DelaysSoFar();
        QVERIFY(!ch.WaitReply(10));
        const qint64 ms = clock.elapsed();
        QVERIFY2(ms >= 860, qPrintable(QString::number(ms)));
        // Ten steps of 100 units each, and not one more.
        QCOMPARE(DelaysSoFar().waits - before.waits, 10LL);
        QCOMPARE(DelaysSoFar().units - before.units, 1000LL);
        QVERIFY(ch.LastReply.isEmpty());
    }

    void waitReplyEndsAtTheStepAfterTheReply()
    {
        ReceiveLog log;
        CommandChannel ch(log);
        long long stepsAtReply = -1;
        QTimer::singleShot(200, [&] {
            stepsAtReply = DelaysSoFar().waits;
            ch.ReceiveText(L1("line0\r\nOK\r\n"));
        });
        log.clear();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(ch.WaitReply(10));
        const qint64 ms = clock.elapsed();
        // Whole steps of 86.4 ms: the step running when the reply came is the
        // last one; no step starts after it.
        QVERIFY2(ms >= 259, qPrintable(QString::number(ms)));
        QVERIFY(stepsAtReply >= 0);
        QCOMPARE(DelaysSoFar().waits, stepsAtReply);
        QCOMPARE(ch.LastReply, L1("OK"));
    }

    void serialRoundTripsEveryByte()
    {
        PtyPeer peer;
        QVERIFY(peer.isOpen());
        ReceiveLog log;
        CommandChannel ch(log);
        ch.ComPort1.setPortName(peer.slavePath());
        QVERIFY(ch.ComPort1.open(QIODevice::ReadWrite));

        // Every byte value, with a CR only as the closing one: a CR or LF
        // inside would end the command early (the channel refuses that).
        QByteArray all;
        for (int b = 0; b < 256; ++b) {
            if (b != '\r' && b != '\n')
                all.append(char(b));
        }
        all.append('\r');
        QSignalSpy shown(&ch, &CommandChannel::commandShown);
        ch.SendRaw(L1(all));
        QTRY_COMPARE(peer.received(), all);
        QCOMPARE(shown.count(), 0);
        peer.clearReceived();

        peer.setResponder([](const QByteArray &command) {
            return command == "x" ? QByteArray() : QByteArray("r0001 ") + QByteArray("\x80\xff\x00z", 4) + "\r\nOK\r\n";
        });
        log.clear();
        ch.SendCommand(L1("r0001\r"));
        QVERIFY(ch.WaitReply(20));
        QCOMPARE(log.line(0).toLatin1(), QByteArray("r0001 \x80\xffz"));
        QCOMPARE(peer.commands().last(), QByteArray("r0001"));
        ch.ComPort1.close();
    }

    void delayKeepsEventsFlowing()
    {
        bool fired = false;
        QTimer::singleShot(10, [&] { fired = true; });
        QElapsedTimer clock;
        clock.start();
        Delay(100); // 86.4 ms
        QVERIFY(fired);
        QVERIFY(clock.elapsed() >= 86);
        // A zero wait still handles what is pending.
        bool posted = false;
        QMetaObject::invokeMethod(this, [&] { posted = true; }, Qt::QueuedConnection);
        Delay(0);
        QVERIFY(posted);
    }
};

QTEST_GUILESS_MAIN(TestCommandChannel)
#include "tst_commandchannel.moc"
