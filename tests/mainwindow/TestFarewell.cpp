// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QString Farewell = QStringLiteral("spero di esserti stata utile. . arrivederci");

// Runs the closing countdown's steps up to (not including) the one with this count.
void countdownTo(MainWindowRig& rig, int count)
{
    while (rig.window->exitRoutine().contaChiusura < count)
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
        QTest::addColumn<bool>("waitsForSpeech");
        QTest::newRow("Standard") << "Standard" << u""_s << QStringList { Farewell } << true;
        QTest::newRow("Personalizzato") << "Personalizzato" << u"a domani, capo"_s << QStringList { "a domani, capo" }
                                        << true;
        // An empty text is reported at once.
        QTest::newRow("Personalizzato, empty") << "Personalizzato" << u""_s << QStringList {} << false;
        QTest::newRow("Nessuno") << "Nessuno" << u"a domani"_s << QStringList {} << false;
        // An unknown value must not leave a program that cannot be closed.
        QTest::newRow("unknown value") << "standard" << u""_s << QStringList { Farewell } << true;
    }

    void saysGoodbyeWinksAndUnloads()
    {
        QFETCH(QString, tipoFinale);
        QFETCH(QString, messaggio);
        QFETCH(QStringList, said);
        QFETCH(bool, waitsForSpeech);
        MainWindowRig rig;
        rig.set("Tipo finale", tipoFinale);
        rig.set("Messaggio finale", messaggio);
        QVERIFY(rig.start());
        QSignalSpy unloaded(rig.window.get(), &frmArriv::unloaded);
        QTimer* timer2 = rig.timer("Timer2");
        QCOMPARE(timer2->interval(), 200);
        rig.window->countdown().tmrIconaTimer(); // asleep: the farewell opens the eyes

        QVERIFY(!rig.window->close()); // the close box
        QVERIFY(rig.window->isVisible());
        QVERIFY(rig.eyesOpen());
        QVERIFY(!rig.timer("Timer3")->isActive());
        QCOMPARE(rig.window->exitRoutine().congedoInCorso, tipoFinale != QLatin1String("Nessuno"));
        if (waitsForSpeech) {
            QVERIFY(!timer2->isActive());
            QTRY_COMPARE(rig.speech.spoken(), said);
            QVERIFY(rig.speech.finishCurrent());
        }
        QTRY_VERIFY(timer2->isActive());
        QCOMPARE(rig.speech.spoken(), said);

        // Blinking halts during the farewell, even if the pointer wakes the face.
        if (rig.window->exitRoutine().congedoInCorso) {
            const int battito = rig.window->face().contaBattito();
            rig.window->wakeUp();
            rig.clock.advance(10000);
            rig.face().Timer3Timer();
            QCOMPARE(rig.window->face().contaBattito(), battito);
            QVERIFY(rig.eyesOpen());
        }

        countdownTo(rig, 5);
        QVERIFY(rig.eyesOpen());
        rig.window->exitRoutine().Timer2Timer(); // 1.2 s: the wink
        QVERIFY(!rig.widget("Image4")->isHidden());
        QVERIFY(rig.widget("Image5")->isHidden());
        rig.window->exitRoutine().Timer2Timer(); // 1.4 s
        QVERIFY(rig.eyesOpen());
        rig.window->exitRoutine().Timer2Timer();
        QCOMPARE(unloaded.count(), 0);
        QVERIFY(rig.tray.isVisible());
        rig.window->exitRoutine().Timer2Timer(); // 1.8 s
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!rig.window->isVisible());
        QVERIFY(!rig.tray.isVisible());
        QVERIFY(!timer2->isActive());
        QVERIFY(!rig.window->exitRoutine().intercettaChiusura);
    }

    void aSecondCloseQueuesTheFarewellAgainAndTheCountdownGoesOn()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        QSignalSpy unloaded(rig.window.get(), &frmArriv::unloaded);
        rig.window->close();
        QVERIFY(rig.speech.finishCurrent());
        QTRY_VERIFY(rig.timer("Timer2")->isActive());
        countdownTo(rig, 6); // the eye on the right is closed
        QVERIFY(!rig.widget("Image4")->isHidden());

        QVERIFY(!rig.window->close());
        QVERIFY(rig.eyesOpen());
        QTRY_COMPARE(rig.speech.spoken(), (QStringList { Farewell, Farewell }));
        QCOMPARE(rig.window->exitRoutine().contaChiusura, 6);
        QVERIFY(rig.timer("Timer2")->isActive());
        QVERIFY(rig.speech.finishCurrent()); // does not restart the countdown
        QCOMPARE(rig.window->exitRoutine().contaChiusura, 6);
        countdownTo(rig, 9);
        QCOMPARE(unloaded.count(), 1);
    }

    void exitFromTheTrayShowsTheWindowForTheFarewell()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        rig.tray.leftClick();
        QVERIFY(!rig.window->isVisible());
        rig.action("mnuIcoEsci")->trigger();
        QVERIFY(rig.window->isVisible());
        QTRY_COMPARE(rig.speech.spoken(), QStringList { Farewell });
    }

    // Without the engine's report the program stays, not blinking; a new Esci queues again.
    void withoutTheReportTheProgramStays()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
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

    void otherWindowsCloseWithTheMainOne()
    {
        MainWindowRig rig;
        rig.set("Tipo finale", QStringLiteral("Nessuno"));
        QVERIFY(rig.start());
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
        MainWindowRig rig;
        QVERIFY(rig.start());
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
