// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "core/SvgPicture.h"
#include "mainwindow/AppIcon.h"
#include "mainwindow/PageStrip.h"

#include <QAccessible>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestTrayAndSleep : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Only the icon's left click changes its tip; a double click, after its first press, does nothing.
    void iconMenusAndFace()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(rig.shown());
        QVERIFY(rig.tray.isVisible());
        QVERIFY(rig.tray.hasIcon);
        QVERIFY(!appIcon().pixmap(16).isNull());
        // The face's five pictures and the address book's.
        QStringList pictures;
        for (const SvgPicture* picture : rig.window->findChildren<SvgPicture*>()) {
            QVERIFY2(picture->isLoaded(), qPrintable(picture->objectName()));
            pictures << picture->objectName();
        }
        pictures.sort();
        QCOMPARE(pictures, (QStringList { "Image1", "Image2", "Image3", "Image4", "Image5", "Image6" }));
        rig.tray.leftClick();
        QVERIFY(!rig.window->isVisible());
        rig.tray.leftClick();
        rig.tray.doubleClick();
        QVERIFY(rig.shown());
        rig.action("mnuRiduci")->trigger();
        QVERIFY(!rig.window->isVisible());
        rig.action("mnuIcoVisualizza")->trigger();
        QVERIFY(rig.shown());
        rig.action("mnuIcoVisualizza")->trigger();
        QVERIFY(!rig.window->isVisible());
        QCOMPARE(rig.tray.tips.size(), 3);
        QCOMPARE(rig.tray.tips[2], rig.tray.tips[0]);
        QCOMPARE_NE(rig.tray.tips[1], rig.tray.tips[0]);
        QCOMPARE(rig.tray.contextMenu(), rig.child<QMenu>("mnuIcona"));

        // "Nascondi comandi" folds the window to the face, where Tab finds no control out of sight; a
        // second use unfolds it, not a pixel lost.
        rig.action("mnuIcoVisualizza")->trigger();
        const QSize size = rig.window->size();
        QAction* mnuNascondi = rig.action("mnuNascondi");
        mnuNascondi->trigger();
        QVERIFY(mnuNascondi->isChecked());
        QVERIFY(rig.window->isVisible());
        QCOMPARE_LT(rig.window->height(), size.height());
        QVERIFY(rig.widget("Image1")->geometry().bottom() < rig.window->height());
        QVERIFY(!rig.widget("TabStrip1")->isVisible());
        QVERIFY(!rig.widget("Command1")->isVisible());
        mnuNascondi->trigger();
        QVERIFY(!mnuNascondi->isChecked());
        QCOMPARE(rig.window->size(), size);
        QVERIFY(rig.widget("TabStrip1")->isVisible());
        QVERIFY(rig.widget("Command1")->isVisible());

        // Timer3 wakes only at the edges of the blink; asleep, the count holds where it was.
        QTimer* timer3 = rig.timer("Timer3");
        QCOMPARE(timer3->interval(), 5050);
        rig.clock.advance(5050);
        rig.face().Timer3Timer();
        QVERIFY(rig.eyesClosed());
        QCOMPARE(timer3->interval(), 50);
        rig.clock.advance(50);
        rig.face().Timer3Timer();
        QVERIFY(rig.eyesOpen());
        QCOMPARE(timer3->interval(), 5050);
        rig.clock.advance(3000);
        rig.window->countdown().tmrIconaTimer();
        QCOMPARE(rig.face().contaBattito(), 60);
        // Closed, the eyes can still be clicked: the hot spots are over them.
        for (const char* eye : { "Label1", "Label2" }) {
            const QWidget* atCentre = rig.window->childAt(rig.widget(eye)->geometry().center());
            QCOMPARE(atCentre ? atCentre->objectName() : QString(), QLatin1String(eye));
        }
        rig.clock.advance(60000);
        rig.window->wakeUp();
        QCOMPARE(timer3->interval(), 41 * 50);

        // The program started again: asleep and hidden, she comes forward awake; not
        // once the farewell has begun.
        rig.window->countdown().tmrIconaTimer();
        rig.action("mnuRiduci")->trigger();
        QVERIFY(rig.window->comeForward());
        QVERIFY(rig.shown());
        QVERIFY(rig.eyesOpen());
        QCOMPARE(rig.tray.tips.size(), 4);
        QCOMPARE(rig.tray.tips[3], rig.tray.tips[0]);
        rig.window->exitProgram();
        QVERIFY(!rig.window->comeForward());
    }

    // With "Automin" the window goes as "Riduci a icona" takes it: to the task bar where there is no
    // notification area. The message is said once, not at every countdown a minimised window allows.
    void fallsAsleepAfterTheIdleTime_data()
    {
        QTest::addColumn<bool>("automin");
        QTest::addColumn<bool>("messMin");
        QTest::addColumn<bool>("tray"); // a notification area
        QTest::newRow("no Automin: stays, silent even with Mess Min") << false << true << true;
        QTest::newRow("Automin: hides silently") << true << false << true;
        QTest::newRow("Automin, Mess Min: hides and says where") << true << true << true;
        QTest::newRow("no notification area: minimises and says so") << true << true << false;
    }
    void fallsAsleepAfterTheIdleTime()
    {
        QFETCH(bool, automin);
        QFETCH(bool, messMin);
        QFETCH(bool, tray);
        MainWindowRig rig;
        rig.tray.available = tray;
        rig.settings.setAutomin(automin);
        rig.settings.setMessMin(messMin);
        rig.settings.setSecondiInatt(u"0.2"_s);
        QVERIFY(rig.start());
        rig.action("mnuRiduci")->trigger();
        QCOMPARE(rig.window->isVisible(), !tray);
        QCOMPARE(rig.window->isMinimized(), !tray);
        rig.window->showNormal();
        QTimer& countdown = rig.window->countdown().tmrIcona;
        QVERIFY(rig.eyesOpen());
        QVERIFY(!countdown.isActive());
        rig.window->heartbeat().tick(); // the heartbeat starts the countdown
        QVERIFY(countdown.isActive());
        QCOMPARE(countdown.interval(), 200);
        QTRY_VERIFY(rig.eyesClosed());
        QVERIFY(!rig.timer("Timer3")->isActive());
        QVERIFY(!countdown.isActive());
        QCOMPARE(rig.shown(), !automin);
        QCOMPARE(rig.window->isMinimized(), automin && !tray);
        QCOMPARE(rig.speech.finishAll().size(), automin && messMin ? 1 : 0);
        rig.window->countdown().tmrIconaTimer();
        QCOMPARE(rig.speech.finishAll().size(), automin && messMin ? 1 : 0);
        QCOMPARE(rig.tray.tips.size(), 1);
    }

    // Armed by the heartbeat only while shown, with no other window open and nothing being said.
    void neverSleepsWhileAWindowIsOpenOrItSpeaks()
    {
        MainWindowRig rig({ .load = false });
        QVERIFY(rig.start());
        QTimer& countdown = rig.window->countdown().tmrIcona;
        countdown.setInterval(60000);
        countdown.setTimerType(Qt::PreciseTimer); // so that a restart shows in remainingTime()
        const auto armedByATick = [&] {
            rig.window->heartbeat().tick();
            return countdown.isActive();
        };
        QVERIFY(!armedByATick()); // hidden
        rig.window->show();
        rig.window->setFinestraAperta(true);
        QVERIFY(!armedByATick());
        rig.window->setFinestraAperta(false);
        rig.speech.speaker.Speak(u"una frase lunga"_s, Speaker::Lane::Reading);
        QTRY_VERIFY(rig.speech.output.playing()); // its start stops any countdown
        QVERIFY(!armedByATick());
        rig.speech.speaker.PauseReading();
        QVERIFY(armedByATick()); // paused is not speaking
        QTRY_VERIFY(countdown.remainingTime() < 59950);
        const int remaining = countdown.remainingTime();
        QVERIFY(armedByATick());
        QCOMPARE_LE(countdown.remainingTime(), remaining); // not started afresh
        // A text that begins while the countdown runs stops it.
        rig.speech.speaker.ResumeReading();
        QVERIFY(rig.speech.finishCurrent());
        QVERIFY(armedByATick());
        rig.speech.speaker.Speak(u"Ahia!"_s);
        QTRY_VERIFY(!countdown.isActive());
    }

    // Over her surfaces the pointer wakes her, over a page's controls it only stops the countdown.
    // A press on the face, the hands or the window opens the main menu; an eye complains first.
    void pointerWakesTheFaceOnlyOverItsSurfaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("wakes"); // the pointer there wakes her
        QTest::addColumn<bool>("stops"); // and stops the countdown
        QTest::addColumn<bool>("menu"); // a press opens the main menu
        const QList<std::tuple<const char*, QPoint, bool, bool, bool>> spots {
            { "Image1", { 100, 120 }, true, true, true }, { "Image2", { 20, 100 }, true, true, true },
            { "Image3", { 40, 100 }, true, true, true }, { "frmArriv", { 3, 50 }, true, true, true },
            { "TabStrip1", { 10, 10 }, true, true, false }, { "frmAgenda", { 3, 3 }, true, true, false },
            { "appu7", { 3, 3 }, false, true, false }, { "prom20", { 3, 3 }, false, true, false },
            { "Label9", { 3, 3 }, false, true, false }, { "lblDataOra", { 3, 3 }, false, true, false },
            { "cmdPromemoria", { 3, 3 }, false, true, false }, { "lblOra12", { 3, 3 }, false, false, false },
            { "Label1", { 5, 5 }, false, false, false }, { "Label2", { 5, 5 }, false, false, false }
        };
        for (const auto& [name, at, wakes, stops, menu] : spots)
            QTest::newRow(name) << QString::fromLatin1(name) << at << wakes << stops << menu;
    }
    void pointerWakesTheFaceOnlyOverItsSurfaces()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, at);
        QFETCH(bool, wakes);
        QFETCH(bool, stops);
        QFETCH(bool, menu);
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        rig.window->pages().showPage(PageStrip::Agenda);
        QVERIFY(!rig.widget("frmAgenda")->childAt(3, 3));
        QTimer& countdown = rig.window->countdown().tmrIcona;
        auto* mnuPrinc = rig.child<QMenu>("mnuPrinc");
        QWidget* widget = name == u"frmArriv"_s ? rig.window.get() : rig.widget(qPrintable(name));
        QVERIFY(widget);
        rig.window->countdown().tmrIconaTimer(); // asleep
        countdown.start(60000);
        QTest::mouseMove(widget, at);
        QTest::mouseMove(widget, at + QPoint(1, 1));
        QCOMPARE(rig.eyesOpen(), wakes);
        QCOMPARE(rig.timer("Timer3")->isActive(), wakes);
        QCOMPARE(countdown.isActive(), !stops);
        QTest::mousePress(widget, Qt::RightButton, {}, at);
        QCOMPARE(mnuPrinc->isVisible(), menu);
        mnuPrinc->hide();
        QTest::mouseRelease(widget, Qt::RightButton, {}, at); // no button held into the next row
    }

    void anEyeComplainsBeforeTheMenu()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        auto* mnuPrinc = rig.child<QMenu>("mnuPrinc");
        QTest::mouseClick(rig.widget("Label2"), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(mnuPrinc->isVisible());
        QCOMPARE(rig.speech.finishAll().size(), 1);
    }

    // From the keyboard: the face comes before the tabs; Space, Enter or Shift+F10 there open the
    // menu, and so does the menu key on a control without a menu of its own.
    void theKeyboardOpensTheMenu_data()
    {
        QTest::addColumn<int>("key"); // none: the menu key on cmdPromemoria
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Shift+F10") << int(Qt::Key_F10);
        QTest::newRow("menu key on a button") << 0;
    }
    void theKeyboardOpensTheMenu()
    {
        QFETCH(int, key);
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        rig.window->pages().showPage(PageStrip::Agenda);
        auto* mnuPrinc = rig.child<QMenu>("mnuPrinc");
        QWidget* face = rig.widget("Image1");
        face->setFocus();
        QTest::keyClick(face, Qt::Key_Tab);
        QCOMPARE(rig.window->focusWidget(), rig.widget("TabStrip1"));
        if (key) {
            QTest::keyClick(face, Qt::Key(key), key == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier);
        } else {
            QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
            QApplication::sendEvent(rig.widget("cmdPromemoria"), &menuKey);
        }
        QVERIFY(mnuPrinc->isVisible());
        // On its first item, which a screen reader then says.
        QCOMPARE(mnuPrinc->activeAction(), mnuPrinc->actions().value(0));
        QCOMPARE(QAccessible::queryAccessibleInterface(face)->text(QAccessible::Description),
            u"Apre il menu: Invio, Spazio o un clic"_s);
        mnuPrinc->close();
    }
};

QTEST_MAIN(TestTrayAndSleep)
#include "TestTrayAndSleep.moc"
