#include "widgets/receivelogview.h"
#include "link/receivelog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// The view of the receive log: it shows the log's text, but does not redraw
// for every piece of text a transfer brings.
class TestReceiveLogView : public QObject {
    Q_OBJECT

private slots:
    void showsTheLogsTextWithLineEndsAndControlCharacters()
    {
        ReceiveLog log;
        ReceiveLogView view(log);
        log.setText(QStringLiteral("a\x01" "b\r\nOK\r\n"));
        QTRY_COMPARE(view.toPlainText(), QStringLiteral("a.b\nOK\n"));
        log.clear();
        QTRY_COMPARE(view.toPlainText(), QString());
    }

    // A bulk transfer replaces the log's text by a line count for every piece
    // that completes a line: hundreds of changes, each handled in its own
    // pass of the event loop, must not mean hundreds of redraws.
    void aStreamOfChangesIsShownWithoutARedrawForEach()
    {
        ReceiveLog log;
        ReceiveLogView view(log);
        view.show();
        QSignalSpy redraws(&view, &QPlainTextEdit::textChanged);
        QElapsedTimer timer;
        timer.start();
        int changes = 0;
        while (changes < 400 || timer.elapsed() < 3 * ReceiveLogView::kRefreshIntervalMs) {
            log.setText(QString::number(++changes));
            QCoreApplication::processEvents();
        }
        const qint64 elapsed = timer.elapsed();
        // A steady stream is still shown as it comes, not only at its end.
        QVERIFY2(redraws.count() >= 1, "nothing shown while the text kept changing");
        QVERIFY2(redraws.count() <= 2 + elapsed / ReceiveLogView::kRefreshIntervalMs,
                 qPrintable(QStringLiteral("%1 redraws for %2 changes in %3 ms").arg(redraws.count()).arg(changes).arg(elapsed)));
        QTRY_COMPARE(view.toPlainText(), QString::number(changes));
    }
};

QTEST_MAIN(TestReceiveLogView)
#include "tst_receivelogview.moc"
