// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowRig.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QString Farewell = QStringLiteral("spero di esserti stata utile. . arrivederci");

// Runs the closing countdown's steps up to (not including) the one with this count.
void countdownTo(WindowRig& rig, int count)
{
    while (rig.window->contaChiusura < count)
        rig.window->Timer2Timer();
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
        QTest::addColumn<bool>("waitsForSpeech");
        QTest::newRow("Standard") << "Standard"
                                  << "" << QStringList { Farewell } << true;
        QTest::newRow("Personalizzato") << "Personalizzato"
                                        << "a domani, capo" << QStringList { "a domani, capo" } << true;
        // An empty text is reported at once.
        QTest::newRow("Personalizzato, empty") << "Personalizzato"
                                               << "" << QStringList {} << false;
        QTest::newRow("Nessuno") << "Nessuno"
                                 << "a domani" << QStringList {} << false;
        // An unknown value must not leave a program that cannot be closed.
        QTest::newRow("unknown value") << "standard"
                                       << "" << QStringList { Farewell } << true;
    }

    void saysGoodbyeWinksAndUnloads()
    {
        QFETCH(QString, tipoFinale);
        QFETCH(QString, messaggio);
        QFETCH(QStringList, said);
        QFETCH(bool, waitsForSpeech);
        WindowRig rig;
        rig.set("Tipo finale", tipoFinale);
        rig.set("Messaggio finale", messaggio);
        QVERIFY(rig.load());
        QSignalSpy unloaded(rig.window.get(), &frmArriv::unloaded);
        QTimer* timer2 = rig.timer("Timer2");
        QCOMPARE(timer2->interval(), 200);
        rig.window->tmrIconaTimer(); // asleep: the farewell opens the eyes

        QVERIFY(!rig.window->close()); // the close box
        QVERIFY(rig.window->isVisible());
        QVERIFY(rig.eyesOpen());
        QVERIFY(!rig.timer("Timer3")->isActive());
        QCOMPARE(rig.window->congedoInCorso, tipoFinale != QLatin1String("Nessuno"));
        if (waitsForSpeech) {
            QVERIFY(!timer2->isActive());
            QTRY_COMPARE(rig.speech.spoken(), said);
            QVERIFY(rig.speech.finishCurrent());
        }
        QTRY_VERIFY(timer2->isActive());
        QCOMPARE(rig.speech.spoken(), said);

        // Blinking halts during the farewell, even if the pointer wakes the face.
        if (rig.window->congedoInCorso) {
            const int battito = rig.window->contaBattito;
            rig.window->wakeUp();
            rig.clock.advance(10000);
            rig.face()->Timer3Timer();
            QCOMPARE(rig.window->contaBattito, battito);
            QVERIFY(rig.eyesOpen());
        }

        countdownTo(rig, 5);
        QVERIFY(rig.eyesOpen());
        rig.window->Timer2Timer(); // 1.2 s: the wink
        QVERIFY(!rig.widget("Image4")->isHidden());
        QVERIFY(rig.widget("Image5")->isHidden());
        rig.window->Timer2Timer(); // 1.4 s
        QVERIFY(rig.eyesOpen());
        rig.window->Timer2Timer();
        QCOMPARE(unloaded.count(), 0);
        QVERIFY(rig.tray.isVisible());
        rig.window->Timer2Timer(); // 1.8 s
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!rig.window->isVisible());
        QVERIFY(!rig.tray.isVisible());
        QVERIFY(!timer2->isActive());
        QVERIFY(!rig.window->intercettaChiusura);
    }

    void aSecondCloseQueuesTheFarewellAgainAndTheCountdownGoesOn()
    {
        WindowRig rig;
        QVERIFY(rig.load());
        QSignalSpy unloaded(rig.window.get(), &frmArriv::unloaded);
        rig.window->close();
        QVERIFY(rig.speech.finishCurrent());
        QTRY_VERIFY(rig.timer("Timer2")->isActive());
        countdownTo(rig, 6); // the eye on the right is closed
        QVERIFY(!rig.widget("Image4")->isHidden());

        QVERIFY(!rig.window->close());
        QVERIFY(rig.eyesOpen());
        QTRY_COMPARE(rig.speech.spoken(), (QStringList { Farewell, Farewell }));
        QCOMPARE(rig.window->contaChiusura, 6);
        QVERIFY(rig.timer("Timer2")->isActive());
        QVERIFY(rig.speech.finishCurrent()); // does not restart the countdown
        QCOMPARE(rig.window->contaChiusura, 6);
        countdownTo(rig, 9);
        QCOMPARE(unloaded.count(), 1);
    }

    void exitFromTheTrayShowsTheWindowForTheFarewell()
    {
        WindowRig rig;
        QVERIFY(rig.load());
        rig.tray.leftClick();
        QVERIFY(!rig.window->isVisible());
        rig.action("mnuIcoEsci")->trigger();
        QVERIFY(rig.window->isVisible());
        QTRY_COMPARE(rig.speech.spoken(), QStringList { Farewell });
    }

    void exitFromTheMainMenu()
    {
        WindowRig rig;
        rig.set("Tipo finale", QStringLiteral("Nessuno"));
        QVERIFY(rig.load());
        rig.action("mnuEsci")->trigger();
        QVERIFY(rig.timer("Timer2")->isActive());
        QVERIFY(rig.window->isVisible());
    }

    // Without the engine's report the program stays, not blinking; a new Esci queues again.
    void withoutTheReportTheProgramStays()
    {
        WindowRig rig;
        QVERIFY(rig.load());
        rig.action("mnuEsci")->trigger();
        QTRY_COMPARE(rig.speech.spoken(), QStringList { Farewell });
        QTest::qWait(50);
        QVERIFY(!rig.timer("Timer2")->isActive());
        QVERIFY(!rig.timer("Timer3")->isActive());
        QVERIFY(rig.window->isVisible());
        rig.action("mnuEsci")->trigger();
        QCOMPARE(rig.speech.speaker.SpeakingState(), 1);
        QVERIFY(rig.speech.finishCurrent());
        QTRY_COMPARE(rig.speech.spoken(), (QStringList { Farewell, Farewell }));
    }

    // The whole countdown on the real timer.
    void unloadsAboutOnePointEightSecondsAfterTheFarewell()
    {
        WindowRig rig;
        QVERIFY(rig.load());
        QSignalSpy unloaded(rig.window.get(), &frmArriv::unloaded);
        rig.window->close();
        QVERIFY(rig.speech.finishCurrent());
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(unloaded.wait(3000));
        QVERIFY2(elapsed.elapsed() >= 1750 && elapsed.elapsed() < 5000, qPrintable(QString::number(elapsed.elapsed())));
    }

    void otherWindowsCloseWithTheMainOne()
    {
        WindowRig rig;
        rig.set("Tipo finale", QStringLiteral("Nessuno"));
        QVERIFY(rig.load());
        QWidget secondary;
        secondary.setWindowTitle(QStringLiteral("Opzioni"));
        secondary.show();
        rig.window->close();
        countdownTo(rig, 9);
        QVERIFY(!secondary.isVisible());
    }

    // Log-out or shut-down: no farewell to wait for, the program goes at once.
    void theEndOfTheSessionIsNotHeldUp()
    {
        WindowRig rig;
        QVERIFY(rig.load());
        QSignalSpy unloaded(rig.window.get(), &frmArriv::unloaded);
        rig.window->endSession();
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!rig.window->isVisible());
        QVERIFY(!rig.tray.isVisible());
        QVERIFY(!rig.timer("Timer3")->isActive());
        rig.window->close();
        QCOMPARE(unloaded.count(), 1);
    }
};

QTEST_MAIN(TestFarewell)
#include "TestFarewell.moc"
