#include "window/mainwindow.h"
#include "widgets/statuspanels.h"
#include "common/hint.h"

#include <QAction>
#include <QTest>
#include <QToolButton>

// Panel 0 of the status bar shows whichever came last: a status text or the
// hint of the control the pointer rests on.
class TestStatusPanels : public QObject {
    Q_OBJECT
private slots:
    void lastWriterWins()
    {
        TostiForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        StatusPanels *panels = form.StatusBar;

        // The pointer comes to rest on the lamp: its hint is shown.
        QTest::mouseMove(form.led);
        QTRY_VERIFY(form.led->underMouse());
        QTRY_COMPARE(panels->shownText(0), QStringLiteral("Set Port First"));

        // A status text (a log-on step) replaces it at once.
        panels->setPanel(0, QStringLiteral("Loging on Please Wait"));
        QCOMPARE(panels->shownText(0), QStringLiteral("Loging on Please Wait"));

        // The lamp's hint changes under the resting pointer: the new one shows.
        SetHint(form.ledAction, QStringLiteral("Log Off"));
        QCOMPARE(panels->shownText(0), QStringLiteral("Log Off"));
        // The same hint again changes nothing that was written since.
        panels->setPanel(0, QStringLiteral("Connected"));
        SetHint(form.ledAction, QStringLiteral("Log Off"));
        QCOMPARE(panels->shownText(0), QStringLiteral("Connected"));

        // The pointer leaves: the status text is back.
        SetHint(form.ledAction, QStringLiteral("Log On"));
        QTest::mouseMove(form.StatusBar, QPoint(600, 5)); // nothing with a hint there
        QTRY_VERIFY(!form.led->underMouse());
        QTRY_COMPARE(panels->shownText(0), QStringLiteral("Connected"));
        QCOMPARE(panels->panel(0), QStringLiteral("Connected"));

        // A hint that changes away from the pointer shows nothing.
        SetHint(form.ledAction, QStringLiteral("Log Off"));
        QCOMPARE(panels->shownText(0), QStringLiteral("Connected"));
    }
};

QTEST_MAIN(TestStatusPanels)
#include "tst_statuspanels.moc"
