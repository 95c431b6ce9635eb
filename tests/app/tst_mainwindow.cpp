#include "window/aboutbox.h"
#include "widgets/clipanimation.h"
#include "window/mainwindow.h"
#include "widgets/receivelogview.h"
#include "widgets/statuspanels.h"
#include "widgets/transferwindow.h"
#include "common/errors.h"
#include "common/handler.h"
#include "link/unitgate.h"
#include "messagerecorder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startsWithGenericTitleAndDefaultFile()
    {
        TostiForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("RVX Ostiarin GN4_       Programmer   =Osti-Kit=  V8.8"));
        const QString expected =
            QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator() + QStringLiteral("OstiPhList.csv");
        QCOMPARE(form.DBFiles->text(), expected);
        QVERIFY(form.FileSaveItem->isEnabled());
        QVERIFY(form.SaveAs->isEnabled());
        QVERIFY(!form.DirectoryInSync);
        QVERIFY(!form.ledAction->isEnabled());
        QVERIFY(!form.OnLine1->isEnabled());
        QCOMPARE(form.ledAction->toolTip(), QStringLiteral("Set Port First"));
        QVERIFY(!form.Timer1.isActive());
        QVERIFY(form.Timer4.isActive());
        QCOMPARE(form.Timer4.interval(), 50);
        QCOMPARE(form.Animate1->frameCount(), 7);
        QVERIFY(!form.Animate1->isPlaying());
    }

    void noSecondSeparatorAtARoot()
    {
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QDir::rootPath()));
        TostiForm form;
        QDir::setCurrent(before);
        QCOMPARE(form.DBFiles->text(), QDir::toNativeSeparators(QDir::rootPath()) + QStringLiteral("OstiPhList.csv"));
        QVERIFY(!form.DBFiles->text().contains(QString(QDir::separator()) + QDir::separator()));
    }

    void resetRunsTheOtherPartsStepsInOrder()
    {
        TostiForm form;
        QStringList order;
        form.Hooks.defineDirectoryTable = [&] { order << QStringLiteral("define"); };
        form.Hooks.layoutDirectoryGrids = [&] { order << QStringLiteral("layout"); };
        form.Hooks.setOffline = [&] { order << QStringLiteral("offline"); };
        form.Hooks.listSerialPorts = [&] { order << QStringLiteral("ports"); };
        form.Hooks.loadLinkDetails = [&] {
            order << QStringLiteral("details");
            return QStringLiteral("S0");
        };
        form.Hooks.preselectPort = [&](const QString &port) { order << QStringLiteral("select ") + port; };
        form.Hooks.writeEachChangeEnabled = [&](bool on) { order << (on ? QStringLiteral("wrtchg on") : QStringLiteral("wrtchg off")); };
        form.setWindowTitle(QStringLiteral("RVX Ostiarin GN4_500    Programmer   =Osti-Kit=  V8.8"));
        form.setDirectoryInSync(true);
        order.clear();
        form.FileNew1Execute();
        QCOMPARE(order, (QStringList{QStringLiteral("define"), QStringLiteral("wrtchg off"), QStringLiteral("layout"),
                                     QStringLiteral("offline"), QStringLiteral("ports"), QStringLiteral("details"),
                                     QStringLiteral("select S0")}));
        QCOMPARE(form.windowTitle(), TostiForm::kGenericTitle);
        QVERIFY(!form.DirectoryInSync);
    }

    void menuBarPlaces()
    {
        TostiForm form;
        const QList<QAction *> places = form.menuBar()->actions();
        QCOMPARE(places.size(), 8);
        const QStringList captions{QStringLiteral("&File"),       QStringLiteral("&Edit"), QStringLiteral("Window"),
                                   QStringLiteral("&About..."),   QString(),               QStringLiteral("Connect"),
                                   QStringLiteral("Ports"),       QStringLiteral("UpdatePorts")};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(places.at(i)->text(), captions.at(i));
        QCOMPARE(form.menuAt(5)->menu(), form.ConnectMenu);
        QCOMPARE(form.menuAt(6)->menu(), form.PortsMenu);
        QVERIFY(!form.menuAt(7)->menu());
        QCOMPARE(form.FileMenu->actions().size(), 6);
        QCOMPARE(form.FileNew1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(form.FileNew1->toolTip(), QStringLiteral("New"));
        QCOMPARE(form.FileNew1->statusTip(), QStringLiteral("Create a new file"));
        QCOMPARE(form.FileSaveItem->statusTip(), QStringLiteral("Save current file"));
    }

    void toolBarOrderAndSizes()
    {
        TostiForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QStringList names{QStringLiteral("TBnew"), QStringLiteral("TBOpen"), QStringLiteral("TBSave"),
                                QStringLiteral("PHBut"), QStringLiteral("Pbutt"),  QStringLiteral("Ebutt"),
                                QStringLiteral("RFbutt"), QStringLiteral("led")};
        int lastX = -1;
        for (const QString &name : names) {
            auto *button = form.findChild<QToolButton *>(name);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(button->size(), QSize(34, 32));
            QVERIFY2(button->x() > lastX, qPrintable(name));
            QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(name));
            lastX = button->x();
        }
        QVERIFY(form.Animate1->x() > lastX);
        QCOMPARE(form.PHBut->toolTip(), QStringLiteral("Phone List Page"));
        QCOMPARE(form.Ebutt->toolTip(), QStringLiteral("Event display Page"));
        QCOMPARE(form.Page->count(), 4);
        QCOMPARE(form.Page->tabText(0), QStringLiteral("PhoneDataBase"));
        QCOMPARE(form.Page->tabText(3), QStringLiteral("RFid_SU"));
        QCOMPARE(form.RxMemo->size(), QSize(220, 113));
        QCOMPARE(form.DBFiles->width(), 497);
    }

    void pageSwitchesEnableTheFileCommands()
    {
        TostiForm form;
        bool settingsRead = false;
        bool online = false;
        form.Hooks.loggedOn = [&] { return online; };
        form.Hooks.readSettingsFirstTime = [&] {
            settingsRead = true;
            return true;
        };

        form.PbuttClick();
        QCOMPARE(form.Page->currentWidget(), form.system);
        QVERIFY(!form.FileNew1->isEnabled());
        QVERIFY(form.FileOpen1->isEnabled());
        QVERIFY(!form.FileSaveItem->isEnabled());
        QVERIFY(!form.TBSave->isEnabled());
        QVERIFY(form.TBOpen->isEnabled());
        QVERIFY(form.SaveAs->isEnabled());
        QVERIFY(!form.EditMenu->isEnabled());
        QVERIFY(!settingsRead); // off line: nothing to read

        form.EbuttClick();
        QCOMPARE(form.Page->currentWidget(), form.Events);
        QVERIFY(!form.SaveAs->isEnabled());
        QVERIFY(!form.FileOpen1->isEnabled());
        form.EventsSaveAsEnabled = true;
        form.EbuttClick();
        QVERIFY(form.SaveAs->isEnabled());

        form.RFbuttClick();
        QCOMPARE(form.Page->currentWidget(), form.RFid_SU);
        QVERIFY(!form.SaveAs->isEnabled());
        QVERIFY(!form.TBnew->isEnabled());

        form.PHButClick();
        QCOMPARE(form.Page->currentWidget(), form.phdir);
        for (QAction *a : {form.FileNew1, form.FileOpen1, form.FileSaveItem, form.SaveAs})
            QVERIFY(a->isEnabled());
        QVERIFY(form.EditMenu->isEnabled());

        // The settings are read from the unit on the first showing while on line only.
        online = true;
        form.PbuttClick();
        QVERIFY(settingsRead);
        settingsRead = false;
        form.PbuttClick();
        QVERIFY(!settingsRead);
    }

    // While an operation talks to the unit, nothing may replace or save the
    // tables under it; afterwards each command is as its page left it.
    void fileCommandsWaitForTheRunningOperation()
    {
        TostiForm form;
        int opened = 0, saved = 0, savedAs = 0;
        form.Hooks.openDirectoryFile = [&] { ++opened; };
        form.Hooks.saveDirectoryFile = [&] { ++saved; };
        form.Hooks.saveDirectoryFileAs = [&] { ++savedAs; };
        form.PHButClick();
        form.DBFiles->setText(QStringLiteral("kept.csv"));

        auto operation = std::make_unique<UnitOperation>(form.Channel.Gate, QStringLiteral("GetData"));
        QVERIFY(bool(*operation));
        const QList<QAction *> commands{form.FileNew1, form.FileOpen1, form.FileSaveItem, form.SaveAs};
        for (QAction *a : commands)
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(!form.TBOpen->isEnabled() && !form.TBnew->isEnabled() && !form.TBSave->isEnabled());
        // Shortcuts and direct calls are refused as well.
        for (QAction *a : commands)
            a->trigger();
        form.FileNew1Execute();
        form.FileOpen1Execute();
        form.FileSave1Execute();
        form.SaveAsClick();
        QCOMPARE(opened + saved + savedAs, 0);
        QCOMPARE(form.DBFiles->text(), QStringLiteral("kept.csv")); // no reset of the tables either

        // A page switch or a transfer's end sets the states meanwhile; they
        // show once the operation is over.
        form.PbuttClick();
        for (QAction *a : commands)
            QVERIFY(!a->isEnabled());
        form.FileSaveItem->setEnabled(true);
        operation.reset();
        QVERIFY(!form.FileNew1->isEnabled());
        QVERIFY(form.FileOpen1->isEnabled());
        QVERIFY(form.FileSaveItem->isEnabled());
        QVERIFY(form.SaveAs->isEnabled());

        form.PHButClick();
        form.FileOpen1Execute();
        form.FileSave1Execute();
        QCOMPARE(opened, 1);
        QCOMPARE(saved, 1);
    }

    void ledBlinkAlternatesGreenAndGrey()
    {
        TostiForm form;
        QCOMPARE(form.ledPicture(), 22);
        form.Timer1Timer();
        QCOMPARE(form.ledPicture(), 21);
        form.Timer1Timer();
        QCOMPARE(form.ledPicture(), 22);
        form.setLedPicture(20);
        form.Timer1Timer();
        QCOMPARE(form.ledPicture(), 22);
    }

    void longHintShownInPanelZeroWhileHovering()
    {
        TostiForm form;
        form.StatusBar->setPanel(0, QStringLiteral("Connected"));
        QStatusTipEvent tip(QStringLiteral("Create a new file"));
        QApplication::sendEvent(&form, &tip);
        QCOMPARE(form.StatusBar->shownText(0), QStringLiteral("Create a new file"));
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("Connected"));
        QStatusTipEvent none{QString()};
        QApplication::sendEvent(&form, &none);
        QCOMPARE(form.StatusBar->shownText(0), QStringLiteral("Connected"));
    }

    void transferWindowCyclesItsPictures()
    {
        TostiForm form;
        TTransferF *t = form.TransferF;
        QCOMPARE(t->size(), QSize(271, 79));
        QVERIFY(t->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(t->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(t->Timer1.isActive());
        QCOMPARE(t->Timer1.interval(), 300);
        QCOMPARE(t->Image1->pixmap().size(), QSize(265, 73));

        t->Timer1Timer(); // ticks before showing do not matter
        t->show();
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("DownLoading."));
        QCOMPARE(t->frameCounter(), 0);
        QList<int> seen;
        for (int i = 0; i < 8; ++i) {
            t->Timer1Timer();
            seen << t->visibleImage();
        }
        QCOMPARE(seen, (QList<int>{2, 3, 2, 1, 2, 3, 2, 1}));
        t->Timer1Timer();
        t->hide();
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("Done"));
        t->show(); // showing again restarts the cycle
        QCOMPARE(form.StatusBar->panel(0), QStringLiteral("DownLoading."));
        t->Timer1Timer();
        QCOMPARE(t->visibleImage(), 2);
        // The real timer drives it too.
        QTRY_COMPARE_WITH_TIMEOUT(t->visibleImage(), 3, 2000);
        t->hide();
    }

    void aboutBoxWaitsForOk()
    {
        TostiForm form;
        QCOMPARE(form.AboutBox->windowTitle(), QStringLiteral("About"));
        QCOMPARE(form.AboutBox->size(), QSize(298, 185));
        bool wasShown = false;
        QTimer::singleShot(50, [&] {
            wasShown = form.AboutBox->isVisible();
            form.AboutBox->OKButton->click();
        });
        form.HelpAbout1Execute();
        QVERIFY(wasShown);
        QVERIFY(!form.AboutBox->isVisible());
        QVERIFY(form.AboutBox->OKButton->isDefault());
    }

    void uncaughtErrorIsReportedAndTheProgramCarriesOn()
    {
        MessageRecorder messages;
        TostiForm form;
        QAction action;
        bool after = false;
        connectHandler(&action, &QAction::triggered, &form, [&] {
            throw ConversionError(QStringLiteral("12a"));
            after = true;
        });
        action.trigger();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last(), QStringLiteral("'12a' is not a valid integer value"));
        QCOMPARE(messages.messages().last().kind, MessageService::Kind::Error);
        QVERIFY(!after);
        action.trigger(); // still alive, still reporting
        QCOMPARE(messages.count(), 2);
    }

    void exitLogsOffFirst()
    {
        TostiForm form;
        form.show();
        // What happens, in order: each log-off, and whether the window was
        // still shown then; the close the window receives.
        QStringList order;
        form.Hooks.logOff = [&] {
            order << (form.isVisible() ? QStringLiteral("logoff shown") : QStringLiteral("logoff hidden"));
        };
        struct CloseWatch : QObject {
            QStringList *order;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Close)
                    *order << QStringLiteral("close");
                return false;
            }
        } watch;
        watch.order = &order;
        form.installEventFilter(&watch);
        form.FileExit1Execute();
        form.removeEventFilter(&watch);
        QVERIFY(!form.isVisible());
        QVERIFY2(order.size() >= 2, qPrintable(order.join(QLatin1Char(','))));
        QCOMPARE(order.first(), QStringLiteral("logoff shown"));
        QVERIFY2(order.indexOf(QStringLiteral("close")) > 0, qPrintable(order.join(QLatin1Char(','))));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
