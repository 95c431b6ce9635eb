#include "window/aboutbox.h"
#include "window/mainwindow.h"
#include "link/enterpin.h"
#include "link/portselector.h"
#include "messagerecorder.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

// Every control a person can operate is announced by a screen reader with
// a name: its label, its caption or its hint.
namespace {
QString accessibleName(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}

bool operable(QWidget *w)
{
    return qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractItemView *>(w)
           || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QPlainTextEdit *>(w)
           || qobject_cast<QTabBar *>(w);
}

// The operable controls of a window that have no name, as "objectName (class)".
QStringList nameless(QWidget *window)
{
    QStringList missing;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!operable(w) || !w->isVisibleTo(window))
            continue;
        // Scroll arrows of a tab bar and the like belong to their control.
        if (qobject_cast<QToolButton *>(w) && qobject_cast<QTabBar *>(w->parentWidget()))
            continue;
        if (accessibleName(w).isEmpty())
            missing << QStringLiteral("%1 (%2)").arg(w->objectName(), QLatin1String(w->metaObject()->className()));
        if (auto *tabs = qobject_cast<QTabBar *>(w))
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->tabText(i).isEmpty() && tabs->accessibleTabName(i).isEmpty())
                    missing << QStringLiteral("tab %1 of %2").arg(i).arg(w->objectName());
    }
    return missing;
}
} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasAName()
    {
        MessageRecorder messages;
        TostiForm form;
        form.show();
        for (int page = 0; page < form.Page->count(); ++page) {
            form.Page->setCurrentIndex(page);
            const QStringList missing = nameless(&form);
            QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
        }
        for (QAction *entry : form.menuBar()->actions())
            for (QAction *item : entry->menu() ? entry->menu()->actions() : QList<QAction *>{})
                QVERIFY(item->isSeparator() || !item->text().isEmpty());

        form.EnterPin->show();
        QVERIFY2(nameless(form.EnterPin).isEmpty(), qPrintable(nameless(form.EnterPin).join(QLatin1String(", "))));
        form.EnterPin->hide();
        form.AboutBox->show();
        QVERIFY2(nameless(form.AboutBox).isEmpty(), qPrintable(nameless(form.AboutBox).join(QLatin1String(", "))));
        form.AboutBox->hide();
    }

    void logOnButtonSaysWhatItDoesNow()
    {
        MessageRecorder messages;
        TostiForm form;
        QCOMPARE(accessibleName(form.led), QStringLiteral("Set Port First"));
        QCOMPARE(form.ledAction->statusTip(), QStringLiteral("Set Port First"));
        form.Ports->ChangeComClick(form.Ports->entries().constLast()); // WiFi
        QCOMPARE(accessibleName(form.led), QStringLiteral("Log On"));
        // The page buttons' hints reach the status bar too.
        QCOMPARE(form.PHBut->defaultAction()->statusTip(), QStringLiteral("Phone List Page"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
