// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"

#include <QLabel>
#include <QtTest>

namespace {
const QDate Today(2026, 12, 5);
const MainWindowRig::Options NoLoad { .load = false };

QString readout(const MainWindowRig& rig) { return rig.child<QLabel>("lblDataOra")->text(); }
bool lit(const MainWindowRig& rig, const char* name) { return rig.child<TimelineLetter>(name)->isLit(); }

// The window at 14:29:58 of a day with "riunione" at 14:30, after a first tick.
bool startWithRiunione(MainWindowRig& rig)
{
    if (!rig.file.addAppointment(Today, QTime(14, 30), QStringLiteral("riunione")) || !rig.start())
        return false;
    rig.window->heartbeat().tick();
    return lit(rig, "appu14");
}
} // namespace

class TestAgendaAnnouncer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The readout is Italian whatever the desktop's language.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void heartbeatRunsEverySecondFromTheStart()
    {
        MainWindowRig rig({ .load = false, .heartbeat = true }, QDateTime(Today, QTime(9, 0)));
        QVERIFY(rig.start());
        QCOMPARE(rig.window->heartbeat().tmrAgenda1.interval(), 1000);
        QCOMPARE(rig.window->heartbeat().tmrAgenda1.timerType(), Qt::PreciseTimer);
        QCOMPARE(readout(rig), QStringLiteral("Lettura in corso..."));
        QTRY_COMPARE_WITH_TIMEOUT(readout(rig), QStringLiteral("05/12/2026 09:00:00"), 3000);
        QCOMPARE(rig.window->heartbeat().giornoAgenda, QStringLiteral("5"));
    }

    void readoutIsTheItalianGeneralDate_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("expected");
        QTest::newRow("morning") << QDateTime(Today, QTime(9, 5, 7)) << "05/12/2026 09:05:07";
        QTest::newRow("midnight") << QDateTime(Today, QTime(0, 0, 0)) << "05/12/2026";
        QTest::newRow("midnight and a bit") << QDateTime(Today, QTime(0, 0, 0, 400)) << "05/12/2026";
        QTest::newRow("a second after") << QDateTime(Today, QTime(0, 0, 1)) << "05/12/2026 00:00:01";
    }
    void readoutIsTheItalianGeneralDate()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, expected);
        MainWindowRig rig(NoLoad, now);
        QVERIFY(rig.start());
        rig.window->heartbeat().tick();
        QCOMPARE(readout(rig), expected);
    }

    void announcesAnAppointmentInItsFirstSeconds_data()
    {
        QTest::addColumn<QTime>("at");
        QTest::addColumn<bool>("announced");
        QTest::newRow("14:30:00") << QTime(14, 30, 0) << false;
        QTest::newRow("14:30:01") << QTime(14, 30, 1) << true;
        QTest::newRow("14:30:02") << QTime(14, 30, 2) << true;
        QTest::newRow("14:30:03") << QTime(14, 30, 3) << false;
        QTest::newRow("14:31:01") << QTime(14, 31, 1) << false;
        QTest::newRow("02:30:01") << QTime(2, 30, 1) << false;
    }
    void announcesAnAppointmentInItsFirstSeconds()
    {
        QFETCH(QTime, at);
        QFETCH(bool, announced);
        MainWindowRig rig(NoLoad, QDateTime(Today, QTime(14, 29, 58)));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(14, 30), QStringLiteral("domani")));
        QVERIFY(rig.file.addAppointment(Today.addDays(-7), QTime(14, 30), QStringLiteral("settimana scorsa")));
        QVERIFY(startWithRiunione(rig));
        rig.clock.set(at);
        rig.window->heartbeat().tick();
        QCOMPARE(rig.speech.speaker.SpeakingState(), announced ? int(Speaker::Speaking) : int(Speaker::Idle));
        QCOMPARE(rig.boxTexts(), announced ? QStringList { "riunione" } : QStringList());
        if (!announced)
            return;
        QCOMPARE(rig.boxes.shown[0].title, QStringLiteral("Promemoria!!"));
        QCOMPARE(rig.boxes.shown[0].style, 64);
        QTRY_COMPARE(rig.speech.spoken(), QStringList { "Sono le 14 e 30. . riunione." });
    }

    void announcesADailyReminderEveryDay()
    {
        MainWindowRig rig(NoLoad, QDateTime(Today, QTime(7, 59, 59)));
        QVERIFY(rig.file.addReminder(QTime(8, 0), QStringLiteral("medicina")));
        QVERIFY(rig.start());
        for (int day = 0; day < 3; ++day) {
            rig.clock.set(QDateTime(Today.addDays(day), QTime(7, 59, 59)));
            rig.window->heartbeat().tick();
            QCOMPARE(rig.window->heartbeat().giornoAgenda, QString::number(Today.addDays(day).day()));
            QVERIFY(lit(rig, "prom8"));
            rig.clock.set(QTime(8, 0, 1));
            rig.window->heartbeat().tick();
            rig.clock.set(QTime(8, 0, 3));
            rig.window->heartbeat().tick();
            QCOMPARE(rig.boxTexts(), QStringList(day + 1, QStringLiteral("medicina")));
            QCOMPARE(rig.boxes.shown.last().title, QStringLiteral("Promemoria!!"));
            QVERIFY(rig.speech.finishCurrent());
        }
        QCOMPARE(rig.speech.spoken(), QStringList(3, QStringLiteral("Sono le 8 in punto. . medicina.")));
    }

    void hiddenWindowIsShownForTheBoxAndHiddenAgain()
    {
        MainWindowRig rig(NoLoad, QDateTime(Today, QTime(14, 29, 58)));
        QVERIFY(startWithRiunione(rig));
        frmArriv& window = *rig.window;
        QVERIFY(!window.isVisible());
        bool visibleWhileOpen = false;
        bool countdownWhileOpen = true;
        int speakingWhileOpen = 0;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            visibleWhileOpen = window.isVisible();
            countdownWhileOpen = window.countdown().tmrIcona.isActive();
            speakingWhileOpen = rig.speech.speaker.SpeakingState();
        };
        window.countdown().tmrIcona.start(60000); // a countdown left running: the wake-up stops it
        rig.clock.set(QTime(14, 30, 1));
        window.heartbeat().tick();
        QCOMPARE(rig.boxes.shown.size(), 1);
        QVERIFY(visibleWhileOpen);
        QVERIFY(!countdownWhileOpen);
        QCOMPARE(speakingWhileOpen, 1);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.countdown().tmrIcona.isActive()); // hidden: not re-armed

        // A window that was visible stays visible.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        rig.clock.set(QTime(14, 30, 2));
        window.heartbeat().tick();
        QCOMPARE(rig.boxes.shown.size(), 2);
        QVERIFY(window.isVisible());
    }

    void aTickWhileTheBoxIsOpenOnlyRefreshesTheReadout()
    {
        MainWindowRig rig(NoLoad, QDateTime(Today, QTime(14, 29, 58)));
        QVERIFY(startWithRiunione(rig));
        QString readoutWhileOpen;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            if (!readoutWhileOpen.isEmpty())
                return;
            // The user reads the box for a second: the heartbeat goes on meanwhile.
            rig.clock.set(QTime(14, 30, 2));
            rig.window->heartbeat().tick();
            readoutWhileOpen = readout(rig);
        };
        rig.clock.set(QTime(14, 30, 1));
        rig.window->heartbeat().tick();
        QCOMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(readoutWhileOpen, QStringLiteral("05/12/2026 14:30:02"));

        // Closed while the entry is still due: the next tick announces it once more.
        rig.window->heartbeat().tick();
        QCOMPARE(rig.boxes.shown.size(), 2);
    }

    void firstTickAfterMidnightReloadsBeforeTesting()
    {
        MainWindowRig rig(NoLoad, QDateTime(Today, QTime(23, 59, 59)));
        QVERIFY(rig.file.addAppointment(Today, QTime(23, 0), QStringLiteral("oggi tardi")));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(0, 0), QStringLiteral("capodanno")));
        QVERIFY(rig.start());
        rig.window->heartbeat().tick();
        QVERIFY(lit(rig, "appu23") && !lit(rig, "appu0"));

        rig.clock.set(QDateTime(Today.addDays(1), QTime(0, 0, 1)));
        rig.window->heartbeat().tick();
        QCOMPARE(rig.window->heartbeat().giornoAgenda, QStringLiteral("6"));
        QVERIFY(!lit(rig, "appu23") && lit(rig, "appu0"));
        QCOMPARE(rig.boxTexts(), QStringList { "capodanno" });
        QTRY_COMPARE(rig.speech.spoken(), QStringList { "È mezzanotte in punto. . capodanno." });
    }

    void emptiedGiornoAgendaReloadsAtTheNextTick()
    {
        MainWindowRig rig(NoLoad, QDateTime(Today, QTime(15, 29, 30)));
        QVERIFY(rig.file.addAppointment(Today, QTime(11, 0), QStringLiteral("da cancellare")));
        QVERIFY(rig.start());
        rig.window->heartbeat().tick();
        QVERIFY(lit(rig, "appu11"));

        // Stored meanwhile, but not seen until a manager window asks for the reload.
        QVERIFY(rig.file.addAppointment(Today, QTime(15, 30), QStringLiteral("nuovo")));
        QVERIFY(rig.file.removeAppointments(QStringLiteral("da cancellare")));
        rig.data.dtaAppun().Refresh();
        rig.clock.set(QTime(15, 29, 31));
        rig.window->heartbeat().tick();
        QVERIFY(!lit(rig, "appu15"));

        rig.dataChanged();
        rig.clock.set(QTime(15, 30, 1));
        rig.window->heartbeat().tick();
        QCOMPARE(rig.window->heartbeat().giornoAgenda, QStringLiteral("5"));
        QVERIFY(lit(rig, "appu15") && !lit(rig, "appu11"));
        QCOMPARE(rig.boxTexts(), QStringList { "nuovo" });
    }

    void secondEntryOfAMinuteIsTestedWhenTheFirstBoxCloses()
    {
        MainWindowRig rig(NoLoad, QDateTime(Today, QTime(9, 4, 59)));
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), QStringLiteral("primo")));
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), QStringLiteral("secondo")));
        QVERIFY(rig.file.addReminder(QTime(9, 5), QStringLiteral("terzo")));
        QVERIFY(rig.start());
        rig.window->heartbeat().tick();

        // The first box stays open a moment; the second is still in its window when it closes.
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box& box) {
            QVERIFY(rig.speech.finishCurrent());
            rig.clock.set(box.text == QLatin1String("primo") ? QTime(9, 5, 2) : QTime(9, 5, 3)); // too late for "terzo"
        };
        rig.clock.set(QTime(9, 5, 1));
        rig.window->heartbeat().tick();
        QCOMPARE(rig.boxTexts(), (QStringList { "primo", "secondo" }));
        QCOMPARE(rig.speech.spoken(), (QStringList { "Sono le 9 e 5. . primo.", "Sono le 9 e 5. . secondo." }));
    }

    void badRecordsNeitherCrashNorComplain()
    {
        MainWindowRig rig(NoLoad, QDateTime(Today, QTime(0, 0, 0)));
        const QString today = AgendaTestData::dateText(Today);
        QVERIFY(rig.file.addRawAppointment(today, QStringLiteral("mezzogiorno"), QStringLiteral("ora illeggibile")));
        QVERIFY(rig.file.addRawAppointment(today, QVariant(), QVariant()));
        QVERIFY(rig.file.addRawAppointment(QStringLiteral("ieri"), QStringLiteral("??"), QStringLiteral("data?")));
        QVERIFY(rig.file.addRawAppointment(QVariant(), QVariant(), QStringLiteral("tutto vuoto")));
        QVERIFY(rig.file.addRawReminder(QString(), QString()));
        QVERIFY(rig.start());
        rig.window->heartbeat().tick();
        QVERIFY(rig.boxes.shown.isEmpty());
        QCOMPARE(rig.speech.speaker.SpeakingState(), int(Speaker::Idle));
        QVERIFY(lit(rig, "appu0") && lit(rig, "prom0"));
        // An unreadable time is treated as an entry at 00:00.
        rig.clock.set(QTime(0, 0, 1));
        rig.window->heartbeat().tick();
        QCOMPARE(rig.boxTexts(), (QStringList { "ora illeggibile", QString(), QString() }));
        QTRY_COMPARE(rig.speech.spoken(), QStringList { "È mezzanotte in punto. . ora illeggibile." });
    }

    void heartbeatArmsTheCountdownOnlyWhenNothingHoldsItBack()
    {
        MainWindowRig rig(NoLoad, QDateTime(Today, QTime(10, 0, 10)));
        QVERIFY(rig.start());
        frmArriv& window = *rig.window;
        window.countdown().tmrIcona.setInterval(60000);

        window.heartbeat().tick(); // hidden
        QVERIFY(!window.countdown().tmrIcona.isActive());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setFinestraAperta(true);
        window.heartbeat().tick();
        QVERIFY(!window.countdown().tmrIcona.isActive());
        window.setFinestraAperta(false);
        rig.speech.speaker.Speak(QStringLiteral("Ciao"));
        QTRY_VERIFY(rig.speech.output.playing()); // started: its start stops a countdown
        window.heartbeat().tick();
        QVERIFY(!window.countdown().tmrIcona.isActive());
        rig.speech.speaker.Pause();
        window.heartbeat().tick(); // paused (2) is not speaking (1)
        QVERIFY(window.countdown().tmrIcona.isActive());

        // A running countdown goes on: another tick does not start it afresh.
        QTRY_VERIFY(window.countdown().tmrIcona.remainingTime() < 59950);
        const int remaining = window.countdown().tmrIcona.remainingTime();
        window.heartbeat().tick();
        QVERIFY(window.countdown().tmrIcona.isActive());
        QVERIFY(window.countdown().tmrIcona.remainingTime() <= remaining);
        rig.speech.speaker.Reset();
    }
};

QTEST_MAIN(TestAgendaAnnouncer)
#include "TestAgendaAnnouncer.moc"
