#include "link/receivelog.h"

#include <QTest>

class TestReceiveLog : public QObject {
    Q_OBJECT
private slots:
    void linesSplitAtCrLfOnly()
    {
        ReceiveLog log;
        log.setText(QString::fromLatin1("a\rb\r\nc\nd\r\n\r\ne"));
        QCOMPARE(log.line(0), QString::fromLatin1("a\rb"));
        QCOMPARE(log.line(1), QString::fromLatin1("c\nd"));
        QCOMPARE(log.line(2), QString());
        QCOMPARE(log.line(3), QStringLiteral("e"));
        QCOMPARE(log.line(4), QString());
        QCOMPARE(log.line(-1), QString());
        QCOMPARE(log.lineCount(), 4);
    }
    void trailingLineEndIsNoLine()
    {
        ReceiveLog log;
        log.setText(QStringLiteral("first\r\nOK\r\n"));
        QCOMPARE(log.lineCount(), 2);
        QCOMPARE(log.lines(), (QStringList{QStringLiteral("first"), QStringLiteral("OK")}));
        log.clear();
        QCOMPARE(log.lineCount(), 0);
        QCOMPARE(log.line(0), QString());
    }
    void highBytesKept()
    {
        ReceiveLog log;
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        log.append(QString::fromLatin1(all));
        QCOMPARE(log.text().toLatin1(), all);
    }
};

QTEST_GUILESS_MAIN(TestReceiveLog)
#include "tst_receivelog.moc"
