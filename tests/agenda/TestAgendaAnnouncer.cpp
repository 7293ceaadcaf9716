// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"

#include <QLabel>
#include <QtTest>

namespace {
const QDate Today(2026, 12, 5);
const QString Title = QStringLiteral("Promemoria!!");
} // namespace

class TestAgendaAnnouncer : public QObject
{
    Q_OBJECT

    static QString readout(frmArriv& window) { return window.findChild<QLabel*>(QStringLiteral("lblDataOra"))->text(); }
    static bool lit(frmArriv& window, const QString& name) { return window.findChild<TimelineLetter*>(name)->isLit(); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The readout is Italian whatever the desktop's language.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void heartbeatRunsEverySecondFromTheStart()
    {
        MainWindowRig rig(QDateTime(Today, QTime(9, 0)));
        QVERIFY(rig.data.open());
        frmArriv window({ rig.clock, rig.settings, rig.speech.speaker, rig.boxes, rig.alert, rig.data, rig.tray });
        QVERIFY(window.tmrAgenda1.isActive());
        QCOMPARE(window.tmrAgenda1.interval(), 1000);
        QCOMPARE(window.tmrAgenda1.timerType(), Qt::PreciseTimer);
        QCOMPARE(readout(window), QStringLiteral("Lettura in corso..."));
        QTRY_COMPARE_WITH_TIMEOUT(readout(window), QStringLiteral("05/12/2026 09:00:00"), 3000);
        QCOMPARE(window.giornoAgenda, QStringLiteral("5"));
    }

    void readoutIsTheItalianGeneralDate_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("expected");
        QTest::newRow("morning") << QDateTime(Today, QTime(9, 5, 7)) << "05/12/2026 09:05:07";
        QTest::newRow("evening") << QDateTime(QDate(2027, 1, 31), QTime(23, 59, 59)) << "31/01/2027 23:59:59";
        QTest::newRow("midnight") << QDateTime(Today, QTime(0, 0, 0)) << "05/12/2026";
        QTest::newRow("midnight and a bit") << QDateTime(Today, QTime(0, 0, 0, 400)) << "05/12/2026";
        QTest::newRow("a second after") << QDateTime(Today, QTime(0, 0, 1)) << "05/12/2026 00:00:01";
        QTest::newRow("noon") << QDateTime(Today, QTime(12, 0, 0)) << "05/12/2026 12:00:00";
    }
    void readoutIsTheItalianGeneralDate()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, expected);
        MainWindowRig rig(now);
        QVERIFY(rig.open());
        rig.window->tick();
        QCOMPARE(readout(*rig.window), expected);
    }

    void announcesAnAppointmentInItsFirstSeconds_data()
    {
        QTest::addColumn<QTime>("at");
        QTest::addColumn<int>("boxes");
        QTest::newRow("14:30:00") << QTime(14, 30, 0) << 0;
        QTest::newRow("14:30:01") << QTime(14, 30, 1) << 1;
        QTest::newRow("14:30:02") << QTime(14, 30, 2) << 1;
        QTest::newRow("14:30:03") << QTime(14, 30, 3) << 0;
        QTest::newRow("14:30:59") << QTime(14, 30, 59) << 0;
        QTest::newRow("14:31:01") << QTime(14, 31, 1) << 0;
        QTest::newRow("02:30:01") << QTime(2, 30, 1) << 0;
    }
    void announcesAnAppointmentInItsFirstSeconds()
    {
        QFETCH(QTime, at);
        QFETCH(int, boxes);
        MainWindowRig rig(QDateTime(Today, QTime(14, 29, 58)));
        QVERIFY(rig.file.addAppointment(Today, QTime(14, 30), QStringLiteral("riunione")));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(14, 30), QStringLiteral("domani")));
        QVERIFY(rig.file.addAppointment(Today.addDays(-7), QTime(14, 30), QStringLiteral("settimana scorsa")));
        QVERIFY(rig.open());
        rig.window->tick();
        QVERIFY(lit(*rig.window, QStringLiteral("appu14")));

        rig.clock.set(at);
        rig.window->tick();
        QCOMPARE(rig.boxes.shown.size(), boxes);
        if (boxes == 0) {
            QVERIFY(rig.spoken.texts.isEmpty());
            return;
        }
        QCOMPARE(rig.spoken.texts, QStringList { QStringLiteral("Sono le 14 e 30. . riunione.") });
        QCOMPARE(rig.boxes.shown[0].text, QStringLiteral("riunione"));
        QCOMPARE(rig.boxes.shown[0].title, Title);
        QCOMPARE(rig.boxes.shown[0].style, 64);
        QTRY_COMPARE(rig.speech.spoken(), QStringList { QStringLiteral("Sono le 14 e 30. . riunione.") });
    }

    void announcesADailyReminderEveryDay()
    {
        MainWindowRig rig(QDateTime(Today, QTime(7, 59, 59)));
        QVERIFY(rig.file.addReminder(QTime(8, 0), QStringLiteral("medicina")));
        QVERIFY(rig.open());
        for (int day = 0; day < 3; ++day) {
            rig.clock.set(QDateTime(Today.addDays(day), QTime(7, 59, 59)));
            rig.window->tick();
            QCOMPARE(rig.window->giornoAgenda, QString::number(Today.addDays(day).day()));
            QVERIFY(lit(*rig.window, QStringLiteral("prom8")));
            rig.clock.set(QTime(8, 0, 1));
            rig.window->tick();
            rig.clock.set(QTime(8, 0, 3));
            rig.window->tick();
            QCOMPARE(rig.boxes.shown.size(), day + 1);
            QCOMPARE(rig.boxes.shown.last().text, QStringLiteral("medicina"));
            QCOMPARE(rig.boxes.shown.last().title, Title);
        }
        QCOMPARE(rig.spoken.texts, QStringList(3, QStringLiteral("Sono le 8 e 0. . medicina.")));
    }

    void hiddenWindowIsShownForTheBoxAndHiddenAgain()
    {
        MainWindowRig rig(QDateTime(Today, QTime(14, 29, 58)));
        QVERIFY(rig.file.addAppointment(Today, QTime(14, 30), QStringLiteral("riunione")));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        window.tick();
        QVERIFY(!window.isVisible());

        bool visibleWhileOpen = false;
        bool countdownWhileOpen = true;
        int speakingWhileOpen = 0;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            visibleWhileOpen = window.isVisible();
            countdownWhileOpen = window.tmrIcona.isActive();
            speakingWhileOpen = rig.speech.speaker.SpeakingState();
        };
        window.tmrIcona.start(60000); // a countdown left running: the wake-up stops it
        rig.clock.set(QTime(14, 30, 1));
        window.tick();
        QCOMPARE(rig.boxes.shown.size(), 1);
        QVERIFY(visibleWhileOpen);
        QVERIFY(!countdownWhileOpen);
        QCOMPARE(speakingWhileOpen, 1);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.tmrIcona.isActive()); // hidden: not re-armed

        // A window that was visible stays visible.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        rig.clock.set(QTime(14, 30, 2));
        window.tick();
        QCOMPARE(rig.boxes.shown.size(), 2);
        QVERIFY(window.isVisible());
    }

    void firstTickAfterMidnightReloadsBeforeTesting()
    {
        MainWindowRig rig(QDateTime(Today, QTime(23, 59, 59)));
        QVERIFY(rig.file.addAppointment(Today, QTime(23, 0), QStringLiteral("oggi tardi")));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(0, 0), QStringLiteral("capodanno")));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        window.tick();
        QVERIFY(lit(window, QStringLiteral("appu23")));
        QVERIFY(!lit(window, QStringLiteral("appu0")));

        rig.clock.set(QDateTime(Today.addDays(1), QTime(0, 0, 1)));
        window.tick();
        QCOMPARE(window.giornoAgenda, QStringLiteral("6"));
        QVERIFY(!lit(window, QStringLiteral("appu23")));
        QVERIFY(lit(window, QStringLiteral("appu0")));
        QCOMPARE(rig.spoken.texts, QStringList { QStringLiteral("Sono le 0 e 0. . capodanno.") });
        QCOMPARE(rig.boxTexts(), QStringList { QStringLiteral("capodanno") });
    }

    void emptiedGiornoAgendaReloadsAtTheNextTick()
    {
        MainWindowRig rig(QDateTime(Today, QTime(15, 29, 30)));
        QVERIFY(rig.file.addAppointment(Today, QTime(11, 0), QStringLiteral("da cancellare")));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        window.tick();
        QVERIFY(lit(window, QStringLiteral("appu11")));

        // Stored meanwhile, but not seen until a manager window asks for the reload.
        QVERIFY(rig.file.addAppointment(Today, QTime(15, 30), QStringLiteral("nuovo")));
        QVERIFY(rig.file.removeAppointments(QStringLiteral("da cancellare")));
        rig.data.dtaAppun().Refresh();
        rig.clock.set(QTime(15, 29, 31));
        window.tick();
        QVERIFY(!lit(window, QStringLiteral("appu15")));

        rig.dataChanged();
        rig.clock.set(QTime(15, 30, 1));
        window.tick();
        QCOMPARE(window.giornoAgenda, QStringLiteral("5"));
        QVERIFY(lit(window, QStringLiteral("appu15")));
        QVERIFY(!lit(window, QStringLiteral("appu11")));
        QCOMPARE(rig.boxTexts(), QStringList { QStringLiteral("nuovo") });
    }

    void aTickWhileTheBoxIsOpenOnlyRefreshesTheReadout()
    {
        MainWindowRig rig(QDateTime(Today, QTime(14, 29, 58)));
        QVERIFY(rig.file.addAppointment(Today, QTime(14, 30), QStringLiteral("riunione")));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        window.tick();

        QString readoutWhileOpen;
        bool nested = false;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            if (std::exchange(nested, true))
                return;
            // The user reads the box for a second: the heartbeat goes on meanwhile.
            rig.clock.set(QTime(14, 30, 2));
            window.tick();
            readoutWhileOpen = readout(window);
        };
        rig.clock.set(QTime(14, 30, 1));
        window.tick();
        QCOMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(readoutWhileOpen, QStringLiteral("05/12/2026 14:30:02"));

        // Closed while the entry is still due: the next tick announces it once more.
        rig.boxes.whileOpen = nullptr;
        window.tick();
        QCOMPARE(rig.boxes.shown.size(), 2);
        QCOMPARE(rig.spoken.texts.size(), 2);
    }

    void secondEntryOfAMinuteIsTestedWhenTheFirstBoxCloses()
    {
        MainWindowRig rig(QDateTime(Today, QTime(9, 4, 59)));
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), QStringLiteral("primo")));
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), QStringLiteral("secondo")));
        QVERIFY(rig.file.addReminder(QTime(9, 5), QStringLiteral("terzo")));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        window.tick();

        // The first box stays open a moment; the second is still in its window when it closes.
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box& box) {
            if (box.text == QLatin1String("primo"))
                rig.clock.set(QTime(9, 5, 2));
            else
                rig.clock.set(QTime(9, 5, 3)); // too late for the reminder
        };
        rig.clock.set(QTime(9, 5, 1));
        window.tick();
        QCOMPARE(rig.boxTexts(), (QStringList { QStringLiteral("primo"), QStringLiteral("secondo") }));
        QCOMPARE(rig.spoken.texts,
            (QStringList { QStringLiteral("Sono le 9 e 5. . primo."), QStringLiteral("Sono le 9 e 5. . secondo.") }));
    }

    void badRecordsNeitherCrashNorComplain()
    {
        MainWindowRig rig(QDateTime(Today, QTime(0, 0, 0)));
        const QString today = AgendaTestData::dateText(Today);
        QVERIFY(rig.file.addRawAppointment(today, QStringLiteral("mezzogiorno"), QStringLiteral("ora illeggibile")));
        QVERIFY(rig.file.addRawAppointment(today, QVariant(), QVariant()));
        QVERIFY(rig.file.addRawAppointment(
            QStringLiteral("ieri"), QStringLiteral("??"), QStringLiteral("data illeggibile")));
        QVERIFY(rig.file.addRawAppointment(QVariant(), QVariant(), QStringLiteral("tutto vuoto")));
        QVERIFY(rig.file.addRawReminder(QString(), QString()));
        QVERIFY(rig.open());
        rig.window->tick();
        QVERIFY(rig.boxes.shown.isEmpty());
        QVERIFY(rig.spoken.texts.isEmpty());
        QVERIFY(lit(*rig.window, QStringLiteral("appu0")));
        QVERIFY(lit(*rig.window, QStringLiteral("prom0")));
        // An unreadable time is treated as an entry at 00:00.
        rig.clock.set(QTime(0, 0, 1));
        rig.window->tick();
        QCOMPARE(rig.boxTexts(), (QStringList { QStringLiteral("ora illeggibile"), QString(), QString() }));
        QCOMPARE(rig.spoken.texts.first(), QStringLiteral("Sono le 0 e 0. . ora illeggibile."));
    }

    void heartbeatArmsTheCountdownOnlyWhenNothingHoldsItBack()
    {
        MainWindowRig rig(QDateTime(Today, QTime(10, 0, 10)));
        QVERIFY(rig.open());
        frmArriv& window = *rig.window;
        window.tmrIcona.setInterval(60000);

        window.tick(); // hidden
        QVERIFY(!window.tmrIcona.isActive());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.finestraAperta = true;
        window.tick();
        QVERIFY(!window.tmrIcona.isActive());
        window.finestraAperta = false;
        rig.speech.speaker.Speak(QStringLiteral("Ciao"));
        QCOMPARE(rig.speech.speaker.SpeakingState(), 1);
        QTRY_VERIFY(rig.speech.output.playing()); // started: its start stops a countdown
        window.tick();
        QVERIFY(!window.tmrIcona.isActive());
        rig.speech.speaker.Pause();
        window.tick(); // paused (2) is not speaking (1)
        QVERIFY(window.tmrIcona.isActive());

        // A running countdown goes on: another tick does not start it afresh.
        QTRY_VERIFY(window.tmrIcona.remainingTime() < 59950);
        const int remaining = window.tmrIcona.remainingTime();
        window.tick();
        QVERIFY(window.tmrIcona.isActive());
        QVERIFY(window.tmrIcona.remainingTime() <= remaining);
        rig.speech.speaker.Reset();
    }
};

QTEST_MAIN(TestAgendaAnnouncer)
#include "TestAgendaAnnouncer.moc"
