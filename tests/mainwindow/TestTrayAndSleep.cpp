// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "mainwindow/AppIcon.h"
#include "mainwindow/PageStrip.h"
#include "mainwindow/SvgPicture.h"

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
        QVERIFY(rig.shown() && rig.tray.isVisible() && rig.tray.hasIcon && !appIcon().pixmap(16).isNull());
        const QList<SvgPicture*> pictures = rig.window->findChildren<SvgPicture*>();
        QVERIFY(pictures.size() == 5
            && std::all_of(pictures.begin(), pictures.end(), [](auto* p) { return p->isLoaded(); }));
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
        QVERIFY(rig.tray.tips[0] == rig.tray.tips[2] && rig.tray.tips[0] != rig.tray.tips[1]);
        QCOMPARE(rig.tray.contextMenu(), rig.child<QMenu>("mnuIcona"));

        // "Nascondi comandi" folds the window to the face, where Tab finds no control out of sight; a
        // second use unfolds it, not a pixel lost.
        rig.action("mnuIcoVisualizza")->trigger();
        const QSize size = rig.window->size();
        QAction* mnuNascondi = rig.action("mnuNascondi");
        mnuNascondi->trigger();
        QVERIFY(mnuNascondi->isChecked() && rig.window->isVisible() && rig.window->height() < size.height());
        QVERIFY(rig.widget("Image1")->geometry().bottom() < rig.window->height());
        QVERIFY(!rig.widget("TabStrip1")->isVisible() && !rig.widget("Command1")->isVisible());
        mnuNascondi->trigger();
        QVERIFY(!mnuNascondi->isChecked() && rig.window->size() == size);
        QVERIFY(rig.widget("TabStrip1")->isVisible() && rig.widget("Command1")->isVisible());

        // Timer3 wakes only at the edges of the blink; asleep, the count holds where it was.
        QTimer* timer3 = rig.timer("Timer3");
        QCOMPARE(timer3->interval(), 5050);
        rig.clock.advance(5050);
        rig.face().Timer3Timer();
        QVERIFY(rig.eyesClosed() && timer3->interval() == 50);
        rig.clock.advance(50);
        rig.face().Timer3Timer();
        QVERIFY(rig.eyesOpen() && timer3->interval() == 5050);
        rig.clock.advance(3000);
        rig.window->countdown().tmrIconaTimer();
        QCOMPARE(rig.face().contaBattito(), 60);
        // Closed, the eyes can still be clicked: the hot spots are over them.
        for (const char* eye : { "Label1", "Label2" })
            QCOMPARE(rig.window->childAt(rig.widget(eye)->geometry().center()), rig.widget(eye));
        rig.clock.advance(60000);
        rig.window->wakeUp();
        QCOMPARE(timer3->interval(), 41 * 50);

        // The program started again: asleep and hidden, she comes forward awake; not
        // once the farewell has begun.
        rig.window->countdown().tmrIconaTimer();
        rig.action("mnuRiduci")->trigger();
        QVERIFY(rig.window->comeForward());
        QVERIFY(rig.shown() && rig.eyesOpen() && rig.tray.tips.size() == 4 && rig.tray.tips[3] == rig.tray.tips[0]);
        rig.window->exitProgram();
        QVERIFY(!rig.window->comeForward());
    }

    // With "Automin" the window goes as "Riduci a icona" takes it: to the task bar where there is no
    // notification area. The message is said once, not at every countdown a minimised window allows.
    void fallsAsleepAfterTheIdleTime()
    {
        // "Automin", "Mess Min", a notification area: stays silent even with "Mess Min"; hides silently;
        // hides and says where; minimises and says so.
        for (const auto& [automin, messMin, tray] :
            { std::tuple { false, true, true }, std::tuple { true, false, true }, std::tuple { true, true, true },
                std::tuple { true, true, false } }) {
            MainWindowRig rig;
            rig.tray.available = tray;
            rig.settings.setAutomin(automin);
            rig.settings.setMessMin(messMin);
            rig.settings.setSecondiInatt(u"0.2"_s);
            QVERIFY(rig.start());
            rig.action("mnuRiduci")->trigger();
            QVERIFY(rig.window->isVisible() != tray && rig.window->isMinimized() != tray);
            rig.window->showNormal();
            QTimer& countdown = rig.window->countdown().tmrIcona;
            QVERIFY(rig.eyesOpen() && !countdown.isActive());
            rig.window->heartbeat().tick(); // the heartbeat starts the countdown
            QVERIFY(countdown.isActive() && countdown.interval() == 200);
            QTRY_VERIFY(rig.eyesClosed());
            QVERIFY(!rig.timer("Timer3")->isActive() && !countdown.isActive());
            QVERIFY(rig.shown() != automin && rig.window->isMinimized() == (automin && !tray));
            QCOMPARE(rig.speech.finishAll().size(), automin && messMin ? 1 : 0);
            rig.window->countdown().tmrIconaTimer();
            QCOMPARE(rig.speech.finishAll().size(), automin && messMin ? 1 : 0);
            QCOMPARE(rig.tray.tips.size(), 1);
        }
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
        QVERIFY(armedByATick() && countdown.remainingTime() <= remaining); // not started afresh
        // A text that begins while the countdown runs stops it.
        rig.speech.speaker.ResumeReading();
        QVERIFY(rig.speech.finishCurrent() && armedByATick());
        rig.speech.speaker.Speak(u"Ahia!"_s);
        QTRY_VERIFY(!countdown.isActive());
    }

    // Over her surfaces the pointer wakes her, over a page's controls it only stops the countdown.
    // A press on the face, the hands or the window opens the main menu; an eye complains first.
    void pointerWakesTheFaceOnlyOverItsSurfaces()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        rig.window->pages().showPage(PageStrip::Agenda);
        QVERIFY(!rig.widget("frmAgenda")->childAt(3, 3));
        QTimer& countdown = rig.window->countdown().tmrIcona;
        auto* mnuPrinc = rig.child<QMenu>("mnuPrinc");
        // Where, whether the pointer there wakes her, stops the countdown, a press opens the menu.
        const QList<std::tuple<const char*, QPoint, bool, bool, bool>> spots {
            { "Image1", { 100, 120 }, true, true, true }, { "Image2", { 20, 100 }, true, true, true },
            { "Image3", { 40, 100 }, true, true, true }, { "frmArriv", { 3, 50 }, true, true, true },
            { "TabStrip1", { 10, 10 }, true, true, false }, { "frmAgenda", { 3, 3 }, true, true, false },
            { "appu7", { 3, 3 }, false, true, false }, { "prom20", { 3, 3 }, false, true, false },
            { "Label9", { 3, 3 }, false, true, false }, { "lblDataOra", { 3, 3 }, false, true, false },
            { "cmdPromemoria", { 3, 3 }, false, true, false }, { "lblOra12", { 3, 3 }, false, false, false },
            { "Label1", { 5, 5 }, false, false, false }, { "Label2", { 5, 5 }, false, false, false }
        };
        for (const auto& [name, at, wakes, stops, menu] : spots) {
            QWidget* widget = QLatin1String(name) == QLatin1String("frmArriv") ? rig.window.get() : rig.widget(name);
            rig.window->countdown().tmrIconaTimer(); // asleep
            countdown.start(60000);
            QTest::mouseMove(widget, at);
            QTest::mouseMove(widget, at + QPoint(1, 1));
            QVERIFY2(rig.eyesOpen() == wakes && rig.timer("Timer3")->isActive() == wakes, name);
            QVERIFY2(countdown.isActive() != stops, name);
            QTest::mousePress(widget, Qt::RightButton, {}, at);
            QVERIFY2(mnuPrinc->isVisible() == menu, name);
            mnuPrinc->hide();
        }
        QTest::mouseClick(rig.widget("Label2"), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(mnuPrinc->isVisible() && rig.speech.finishAll().size() == 1);
        mnuPrinc->hide();

        // From the keyboard: the face comes before the tabs; Space, Enter or Shift+F10 there open the
        // menu, and so does the menu key on a control without a menu of its own.
        QWidget* face = rig.widget("Image1");
        face->setFocus();
        QTest::keyClick(face, Qt::Key_Tab);
        QCOMPARE(rig.window->focusWidget(), rig.widget("TabStrip1"));
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
        for (int key : { int(Qt::Key_Space), int(Qt::Key_Return), int(Qt::Key_F10), 0 }) {
            if (key)
                QTest::keyClick(face, Qt::Key(key), key == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier);
            else
                QApplication::sendEvent(rig.widget("cmdPromemoria"), &menuKey);
            QVERIFY2(mnuPrinc->isVisible(), qPrintable(QString::number(key)));
            mnuPrinc->hide();
        }
    }
};

QTEST_MAIN(TestTrayAndSleep)
#include "TestTrayAndSleep.moc"
