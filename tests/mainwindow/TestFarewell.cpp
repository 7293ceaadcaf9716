// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "mainwindow/SessionWatcher.h"

#include <QSignalSpy>
#include <QtGui/private/qguiapplication_p.h>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QString Farewell = u"spero di esserti stata utile. . arrivederci"_s;

// Runs the closing countdown's steps up to (not including) the one with this count.
void countdownTo(MainWindowRig& rig, int count)
{
    while (rig.window->exitRoutine().closingStep() < count)
        rig.window->exitRoutine().Timer2Timer();
}
} // namespace

class TestFarewell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void saysGoodbyeWinksAndUnloads_data()
    {
        QTest::addColumn<QString>("tipoFinale");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("Standard") << u"Standard"_s << u""_s << QStringList { Farewell };
        QTest::newRow("Personalizzato") << u"Personalizzato"_s << u"a domani, capo"_s
                                        << QStringList { "a domani, capo" };
        QTest::newRow("Personalizzato, empty: reported at once") << u"Personalizzato"_s << u""_s << QStringList {};
        QTest::newRow("Nessuno") << u"Nessuno"_s << u"a domani"_s << QStringList {};
        // An unknown value must not leave a program that cannot be closed.
        QTest::newRow("unknown value") << u"standard"_s << u""_s << QStringList { Farewell };
    }
    void saysGoodbyeWinksAndUnloads()
    {
        QFETCH(QString, tipoFinale);
        QFETCH(QString, messaggio);
        QFETCH(QStringList, said);
        MainWindowRig rig;
        rig.set("Tipo finale", tipoFinale);
        rig.set("Messaggio finale", messaggio);
        QVERIFY(rig.start());
        QWidget secondary; // goes with the main window
        secondary.show();
        QSignalSpy unloaded(rig.window.get(), &frmArriv::unloaded);
        ExitRoutine& exit = rig.window->exitRoutine();
        rig.window->countdown().tmrIconaTimer(); // asleep: the farewell opens the eyes

        QVERIFY(!rig.window->close()); // the close box
        QVERIFY(rig.window->isVisible());
        QVERIFY(rig.eyesOpen());
        QVERIFY(!rig.timer("Timer3")->isActive());
        QCOMPARE(exit.farewellUnderWay(), tipoFinale != QLatin1String("Nessuno"));
        QCOMPARE(exit.counting(), said.isEmpty()); // waits for the farewell to be heard
        QCOMPARE(rig.speech.finishAll(), said);
        QVERIFY(exit.counting());

        // Blinking stays halted, even if the pointer wakes the face.
        rig.window->wakeUp();
        rig.clock.advance(10000);
        rig.face().Timer3Timer();
        QVERIFY(rig.eyesOpen());
        QVERIFY(!rig.timer("Timer3")->isActive());

        countdownTo(rig, 5);
        QVERIFY(rig.eyesOpen());
        exit.Timer2Timer(); // 1.2 s: the wink
        QVERIFY(!rig.widget("Image4")->isHidden());
        QVERIFY(rig.widget("Image5")->isHidden());
        exit.Timer2Timer(); // 1.4 s
        QVERIFY(rig.eyesOpen());
        exit.Timer2Timer();
        QCOMPARE(unloaded.size(), 0);
        QVERIFY(rig.tray.isVisible());
        exit.Timer2Timer(); // 1.8 s
        QCOMPARE(unloaded.size(), 1);
        QVERIFY(!rig.window->isVisible());
        QVERIFY(!rig.tray.isVisible());
        QVERIFY(!secondary.isVisible());
        QVERIFY(!exit.counting());
    }

    // A close during the greeting stops it; only the farewell's own end starts the countdown.
    void aFarewellAfterTheGreetingIsHeardWhole()
    {
        MainWindowRig rig({ .quiet = false }); // the first run greets
        QVERIFY(rig.start());
        QTRY_VERIFY(rig.speech.output.playing());
        QVERIFY(!rig.window->close());
        QTRY_COMPARE(rig.speech.spoken().value(1), Farewell);
        QVERIFY(!rig.window->exitRoutine().counting());
        QVERIFY(rig.speech.finishCurrent());
        QVERIFY(rig.window->exitRoutine().counting());
    }

    // Without the engine's report the program stays, not blinking; a new request queues the farewell
    // again, and so does a close during the countdown, which goes on from where it was.
    void furtherRequestsQueueTheFarewellAgain()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        QSignalSpy unloaded(rig.window.get(), &frmArriv::unloaded);
        rig.tray.leftClick();
        rig.action("mnuIcoEsci")->trigger();
        QVERIFY(rig.window->isVisible());
        QTRY_VERIFY(rig.speech.output.playing()); // the countdown waits for the farewell's end
        QVERIFY(!rig.window->exitRoutine().counting());
        QVERIFY(!rig.timer("Timer3")->isActive());
        rig.action("mnuEsci")->trigger(); // the farewell starts again
        QVERIFY(rig.speech.finishCurrent());
        QVERIFY(rig.window->exitRoutine().counting());
        countdownTo(rig, 6); // the eye on the right is closed
        QVERIFY(!rig.window->close());
        QVERIFY(rig.eyesOpen());
        QVERIFY(rig.speech.finishCurrent()); // does not restart the countdown
        QCOMPARE(rig.speech.spoken(), QStringList(3, Farewell));
        QCOMPARE(rig.window->exitRoutine().closingStep(), 6);
        QVERIFY(rig.window->exitRoutine().counting());
        countdownTo(rig, 9);
        QCOMPARE(unloaded.size(), 1);
    }

    // A request to save the session's state is no reason to go; its end is, at once, without a farewell.
    void onlyTheEndOfTheSessionUnloadsAndAtOnce()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        const SessionWatcher session(*rig.window);
        QSignalSpy unloaded(rig.window.get(), &frmArriv::unloaded);
        QGuiApplicationPrivate::instance()->commitData();
        QCoreApplication::sendPostedEvents(); // whatever the request set going has run
        QCOMPARE(rig.speech.speaker.SpeakingState(), Speaker::Idle);
        QVERIFY(rig.window->isVisible());
        QVERIFY(rig.tray.isVisible());
        QCOMPARE(unloaded.size(), 0);

        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
        QCOMPARE(unloaded.size(), 1);
        QVERIFY(!rig.window->isVisible());
        QVERIFY(!rig.tray.isVisible());
        QVERIFY(!rig.timer("Timer3")->isActive());
        rig.window->close();
        QCOMPARE(unloaded.size(), 1);
        QCOMPARE(rig.speech.speaker.SpeakingState(), Speaker::Idle); // no farewell at any point
    }
};

QTEST_MAIN(TestFarewell)
#include "TestFarewell.moc"
