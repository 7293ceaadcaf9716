// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"

#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QString TipShown = QStringLiteral("Vespelinda - Click per minimizzare");
const QString TipHidden = QStringLiteral("Vespelinda - Click per visualizzare");
const QString GoneToTray = QStringLiteral("Se hai bisogno di me, mi trovi sulla barra delle applicazioni.");

QStringList captions(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts.append(action->objectName() + QLatin1Char('=') + action->text());
    return texts;
}

// A point of the widget's own surface, not covered by any child.
QPoint bareSpot(QWidget* widget)
{
    for (int y = 1; y < widget->height(); y += 3)
        for (int x = 1; x < widget->width(); x += 3)
            if (!widget->childAt(x, y))
                return { x, y };
    return { -1, -1 };
}
} // namespace

class TestTrayAndSleep : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void clicksOnTheIconAndItsMenus()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(rig.shown());
        QVERIFY(rig.tray.isVisible());
        QVERIFY(rig.tray.hasIcon);
        QCOMPARE(rig.tray.toolTip(), TipShown);

        rig.tray.leftClick();
        QVERIFY(!rig.window->isVisible());
        QCOMPARE(rig.tray.toolTip(), TipHidden);
        rig.tray.leftClick();
        QVERIFY(rig.shown());
        QCOMPARE(rig.tray.toolTip(), TipShown);

        // A double click is one press that toggles, then a double click that does nothing.
        rig.tray.doubleClick();
        QVERIFY(rig.shown());
        QCOMPARE(rig.tray.tips, (QStringList { TipShown, TipHidden, TipShown }));

        // Only the left click on the icon changes the tip; the menus hide and show all the same.
        rig.action("mnuRiduci")->trigger();
        QVERIFY(!rig.window->isVisible());
        rig.action("mnuIcoVisualizza")->trigger();
        QVERIFY(rig.shown());
        rig.action("mnuIcoVisualizza")->trigger();
        QVERIFY(!rig.window->isVisible());
        QCOMPARE(rig.tray.tips, (QStringList { TipShown, TipHidden, TipShown }));

        // The right click opens the icon's menu, and does nothing else.
        rig.action("mnuIcoVisualizza")->trigger();
        auto* mnuIcona = rig.child<QMenu>("mnuIcona");
        QCOMPARE(rig.tray.contextMenu(), mnuIcona);
        QCOMPARE(captions(mnuIcona),
            (QStringList { "mnuIcoEsci=Esci", "mnuIcoVisualizza=Visualizza / Nascondi", "mnuIcoInfo=Info" }));
        QCOMPARE(captions(rig.child<QMenu>("mnuPrinc")),
            (QStringList { "mnuEsci=Esci", "mnuInfo=Info", "mnuOpzioni=Opzioni", "mnuRiduci=Riduci a icona",
                "mnuNascondi=Nascondi comandi" }));

        rig.tray.rightClick();
        QVERIFY(mnuIcona->isVisible());
        QVERIFY(rig.shown());
        QCOMPARE(rig.tray.tips.size(), 3);
        mnuIcona->hide();
    }

    // Without a notification area there would be no way back: the window goes to the task bar.
    void withoutNotificationAreaTheWindowMinimises()
    {
        MainWindowRig rig;
        rig.tray.available = false;
        rig.set("Riduci icona", QStringLiteral("1"));
        rig.set("Automin", QStringLiteral("1"));
        rig.set("Mess Min", QStringLiteral("1"));
        QVERIFY(rig.start());
        QVERIFY(rig.window->isVisible());
        QVERIFY(rig.window->isMinimized());
        QVERIFY(rig.tray.isVisible()); // the icon is added as soon as an area appears

        rig.window->showNormal();
        rig.action("mnuRiduci")->trigger();
        QVERIFY(rig.window->isVisible());
        QVERIFY(rig.window->isMinimized());

        // Asleep while minimised: the message is said once, when the window goes, not again at
        // every countdown that a minimised (still visible) window lets the heartbeat start.
        rig.window->showNormal();
        rig.window->countdown().tmrIconaTimer();
        QVERIFY(rig.window->isMinimized());
        rig.window->countdown().tmrIconaTimer();
        QTRY_COMPARE(rig.speech.spoken(), QStringList { GoneToTray });
        QTest::qWait(50);
        QCOMPARE(rig.speech.spoken(), QStringList { GoneToTray });

        // The area has appeared: the icon brings the window back, and hiding hides again.
        rig.tray.available = true;
        rig.tray.leftClick();
        QVERIFY(rig.shown());
        QCOMPARE(rig.tray.toolTip(), TipShown);
        rig.action("mnuRiduci")->trigger();
        QVERIFY(!rig.window->isVisible());
    }

    void fallsAsleepAfterTheIdleTime_data()
    {
        QTest::addColumn<QString>("automin");
        QTest::addColumn<QString>("messMin");
        QTest::addColumn<bool>("hides");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("stays, silent even with Mess Min") << "0" << u"1"_s << false << QStringList {};
        QTest::newRow("hides silently") << "1" << u"0"_s << true << QStringList {};
        QTest::newRow("hides and says where") << "1" << u"1"_s << true << QStringList { GoneToTray };
    }

    void fallsAsleepAfterTheIdleTime()
    {
        QFETCH(QString, automin);
        QFETCH(QString, messMin);
        QFETCH(bool, hides);
        QFETCH(QStringList, said);
        MainWindowRig rig;
        rig.set("Automin", automin);
        rig.set("Mess Min", messMin);
        rig.set("Secondi inatt", QStringLiteral("0.2"));
        QVERIFY(rig.start());
        QCOMPARE(rig.window->countdown().tmrIcona.interval(), 200);
        QVERIFY(!rig.window->countdown().tmrIcona.isActive());
        QVERIFY(rig.eyesOpen());

        rig.window->heartbeat().tick(); // the heartbeat starts the countdown
        QVERIFY(rig.window->countdown().tmrIcona.isActive());
        QTRY_VERIFY(rig.eyesClosed());
        QVERIFY(!rig.timer("Timer3")->isActive());
        QVERIFY(!rig.window->countdown().tmrIcona.isActive());
        QCOMPARE(rig.window->isVisible(), !hides);
        QTest::qWait(20);
        QCOMPARE(rig.speech.spoken(), said);
        QCOMPARE(rig.tray.tips, QStringList { TipShown });
    }

    void neverSleepsWhileAWindowIsOpenOrItSpeaks()
    {
        MainWindowRig rig;
        rig.set("Secondi inatt", QStringLiteral("0.05"));
        QVERIFY(rig.start());

        rig.window->setFinestraAperta(true);
        rig.window->heartbeat().tick();
        QVERIFY(!rig.window->countdown().tmrIcona.isActive());
        rig.window->setFinestraAperta(false);

        rig.speech.speaker.Speak(QStringLiteral("una frase lunga"));
        QCOMPARE(rig.speech.speaker.SpeakingState(), 1);
        rig.window->heartbeat().tick();
        QVERIFY(!rig.window->countdown().tmrIcona.isActive());
        QTest::qWait(100);
        QVERIFY(rig.eyesOpen());

        QVERIFY(rig.speech.finishCurrent());
        rig.window->heartbeat().tick();
        QVERIFY(rig.window->countdown().tmrIcona.isActive());
        QTRY_VERIFY(rig.eyesClosed());

        // A text that begins while the countdown runs stops it.
        rig.set("Secondi inatt", QStringLiteral("60"));
        rig.window->countdown().tmrIcona.start(60000);
        rig.speech.speaker.Speak(QStringLiteral("Ahia!"));
        QTRY_VERIFY(!rig.window->countdown().tmrIcona.isActive());
    }

    void pointerWakesTheFaceOnlyOverItsSurfaces()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        auto* page = rig.widget("frmLeggi");
        QVERIFY(page->isVisible());
        auto* button = new QPushButton(QStringLiteral("prova"), page);
        button->setGeometry(40, 40, 80, 30);
        button->setMouseTracking(true); // as the pages' controls that stop the countdown do
        button->show();

        const auto asleep = [&] {
            rig.window->countdown().tmrIconaTimer();
            QVERIFY(rig.eyesClosed());
            rig.window->countdown().tmrIcona.start(60000);
        };
        const auto awake = [&] {
            return rig.eyesOpen() && rig.timer("Timer3")->isActive() && !rig.window->countdown().tmrIcona.isActive();
        };

        // Controls without a reaction of their own leave the face asleep.
        asleep();
        QTest::mouseMove(button, QPoint(10, 10));
        QTest::mouseMove(rig.widget("Label1"), QPoint(5, 5));
        QTest::mouseMove(rig.widget("Label2"), QPoint(5, 5));
        QVERIFY(rig.eyesClosed());

        const QList<QPair<QWidget*, QPoint>> wakers {
            { rig.widget("Image1"), QPoint(100, 120) },
            { rig.widget("Image2"), QPoint(20, 100) },
            { rig.widget("Image3"), QPoint(40, 100) },
            { rig.window.get(), QPoint(3, 50) },
            { rig.widget("TabStrip1"), QPoint(10, 10) },
            { page, bareSpot(page) },
        };
        for (const auto& [widget, where] : wakers) {
            QTest::mouseMove(button, QPoint(10, 10));
            asleep();
            QTest::mouseMove(widget, where);
            QVERIFY2(awake(), qPrintable(widget->objectName()));
        }
    }

    void blinksEveryFiveSecondsAndAHalfTenth()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        QTimer* timer3 = rig.timer("Timer3");
        QVERIFY(timer3->isActive());
        QCOMPARE(timer3->interval(), 5050);
        QCOMPARE(rig.window->face().contaBattito(), 0);

        rig.clock.advance(5050);
        rig.face().Timer3Timer();
        QVERIFY(rig.eyesClosed());
        QCOMPARE(rig.window->face().contaBattito(), 101);
        QCOMPARE(timer3->interval(), 50);
        rig.clock.advance(50);
        rig.face().Timer3Timer();
        QVERIFY(rig.eyesOpen());
        QCOMPARE(rig.window->face().contaBattito(), 102);
        QCOMPARE(timer3->interval(), 5050);

        // Asleep at tick 60 of the next cycle: the count stops there and goes on after waking.
        rig.clock.advance(3000);
        rig.window->countdown().tmrIconaTimer();
        QCOMPARE(rig.window->face().contaBattito(), 60);
        rig.clock.advance(60000);
        rig.window->wakeUp();
        QVERIFY(rig.eyesOpen());
        QCOMPARE(timer3->interval(), 41 * 50);
    }

    void foldsToTheFaceAndBack()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        QAction* mnuNascondi = rig.action("mnuNascondi");
        QVERIFY(mnuNascondi->isCheckable());
        QVERIFY(!mnuNascondi->isChecked());
        QCOMPARE(rig.window->height(), 528);

        // 100 steps of 39.5 twips, each rounded to whole pixels: 3 pixels each.
        mnuNascondi->trigger();
        QVERIFY(mnuNascondi->isChecked());
        QCOMPARE(rig.window->height(), 228);
        QCOMPARE(rig.window->width(), 228);
        QVERIFY(rig.window->isVisible());
        QVERIFY(rig.widget("Image1")->geometry().bottom() < rig.window->height());

        // A second fold is impossible: the item now unfolds.
        mnuNascondi->trigger();
        QVERIFY(!mnuNascondi->isChecked());
        QCOMPARE(rig.window->height(), 528);
    }

    void pressOnTheFaceOpensTheMainMenu()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        auto* mnuPrinc = rig.child<QMenu>("mnuPrinc");
        for (const char* name : { "Image1", "Image2", "Image3" }) {
            QTest::mousePress(rig.widget(name), Qt::RightButton, {}, QPoint(30, 110));
            QVERIFY2(mnuPrinc->isVisible(), name);
            mnuPrinc->hide();
        }
        QTest::mousePress(rig.window.get(), Qt::LeftButton, {}, QPoint(3, 50));
        QVERIFY(mnuPrinc->isVisible());
        mnuPrinc->hide();
        QTest::mousePress(rig.widget("TabStrip1"), Qt::RightButton, {}, QPoint(10, 10));
        QVERIFY(!mnuPrinc->isVisible());

        // An eye complains, then offers the menu.
        QTest::mouseClick(rig.widget("Label2"), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(mnuPrinc->isVisible());
        QTRY_COMPARE(rig.speech.spoken(), QStringList { "Ahia! mi hai messo il puntatore nell'occhio!" });
        mnuPrinc->hide();
    }
};

QTEST_MAIN(TestTrayAndSleep)
#include "TestTrayAndSleep.moc"
