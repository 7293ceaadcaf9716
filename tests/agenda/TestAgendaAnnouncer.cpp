// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"

#include <QLabel>
#include <QtTest>

namespace {
const QDate Today(2026, 12, 5);
const MainWindowRig::Options Hidden { .load = false };

QString readout(const MainWindowRig& rig) { return rig.child<QLabel>("lblDataOra")->text(); }
bool lit(const MainWindowRig& rig, const char* name) { return rig.child<TimelineLetter>(name)->isLit(); }
} // namespace

// The heartbeat, driven tick by tick on a set clock.
class TestAgendaAnnouncer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // Italian all the same
    }

    void announcesAnEntryInItsMinuteOnly()
    {
        MainWindowRig rig(Hidden, QDateTime(Today, QTime(14, 29, 58)));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(14, 30), QStringLiteral("domani")));
        QVERIFY(rig.file.addAppointment(Today, QTime(14, 30), QStringLiteral("riunione")));
        QVERIFY(rig.start());
        rig.tickAt(QTime(14, 29, 58));
        QVERIFY(lit(rig, "appu14"));
        QCOMPARE(readout(rig), QStringLiteral("05/12/2026 14:29:58"));
        rig.tickAt(QTime(14, 30, 0));
        QVERIFY(rig.boxes.shown.isEmpty());
        QCOMPARE(rig.speech.speaker.SpeakingState(), int(Speaker::Idle));
        rig.tickAt(QTime(14, 30, 1));
        QCOMPARE(rig.boxTexts(), QStringList { "riunione" });
        QVERIFY(rig.boxes.shown[0].title == "Promemoria!!" && rig.boxes.shown[0].style == 64);
        QCOMPARE(rig.speech.finishAll(), QStringList { "Sono le 14 e 30. . riunione." });
    }

    // The first tick of a day reloads before it tests: a reminder comes every day, an appointment
    // only on its own.
    void aNewDayIsLoadedBeforeItsFirstTest()
    {
        MainWindowRig rig(Hidden, QDateTime(Today, QTime(23, 59, 59)));
        QVERIFY(rig.file.addAppointment(Today, QTime(23, 0), QStringLiteral("oggi tardi")));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(0, 0), QStringLiteral("capodanno")));
        QVERIFY(rig.file.addReminder(QTime(0, 0), QStringLiteral("medicina")));
        QVERIFY(rig.start());
        rig.window->heartbeat().tick();
        QVERIFY(lit(rig, "appu23") && !lit(rig, "appu0") && lit(rig, "prom0"));
        for (const int day : { 1, 2 }) {
            rig.clock.set(QDateTime(Today.addDays(day), QTime(0, 0, 1)));
            rig.window->heartbeat().tick();
            QCOMPARE(rig.window->heartbeat().giornoAgenda, QString::number(Today.addDays(day).day()));
            QVERIFY(!lit(rig, "appu23") && lit(rig, "appu0") == (day == 1) && lit(rig, "prom0"));
        }
        QCOMPARE(rig.boxTexts(), (QStringList { "capodanno", "medicina", "medicina" }));
    }

    void hiddenWindowIsShownForTheBoxAndHiddenAgain()
    {
        MainWindowRig rig(Hidden, QDateTime(Today, QTime(14, 29, 58)));
        QVERIFY(rig.file.addAppointment(Today, QTime(14, 30), QStringLiteral("riunione")));
        QVERIFY(rig.start());
        frmArriv& window = *rig.window;
        bool shownWhileOpen = false;
        bool countdownWhileOpen = true;
        int speakingWhileOpen = 0;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            shownWhileOpen = rig.shown();
            countdownWhileOpen = window.countdown().tmrIcona.isActive();
            speakingWhileOpen = rig.speech.speaker.SpeakingState();
        };
        window.countdown().tmrIcona.start(60000); // a countdown left running: the wake-up stops it
        rig.tickAt(QTime(14, 30, 1));
        QVERIFY(shownWhileOpen && !countdownWhileOpen && speakingWhileOpen == Speaker::Speaking);
        QVERIFY(!window.isVisible() && !window.countdown().tmrIcona.isActive()); // hidden: not armed again

        // A window that was shown stays shown.
        window.show();
        rig.tickAt(QTime(14, 30, 2));
        QVERIFY(rig.boxes.shown.size() == 2 && window.isVisible());
    }

    // Qt delivers timer events inside a modal box's own event loop: a tick then only refreshes
    // the readout, or the entry, still due, would get a second box over the first.
    void aTickWhileTheBoxIsOpenOnlyRefreshesTheReadout()
    {
        MainWindowRig rig(Hidden, QDateTime(Today, QTime(14, 30, 1)));
        QVERIFY(rig.file.addAppointment(Today, QTime(14, 30), QStringLiteral("riunione")));
        QVERIFY(rig.start());
        QString readoutWhileOpen;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            if (readoutWhileOpen.isEmpty()) {
                rig.tickAt(QTime(14, 30, 2));
                readoutWhileOpen = readout(rig);
            }
        };
        rig.window->heartbeat().tick();
        QCOMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(readoutWhileOpen, QStringLiteral("05/12/2026 14:30:02"));
        rig.window->heartbeat().tick(); // closed while still due: announced once more
        QCOMPARE(rig.boxes.shown.size(), 2);
    }

    // What a manager window stores is seen once it has asked for the reload, at the next tick.
    void aChangedTableIsReloadedAtTheNextTick()
    {
        MainWindowRig rig(Hidden, QDateTime(Today, QTime(15, 29, 30)));
        QVERIFY(rig.file.addAppointment(Today, QTime(11, 0), QStringLiteral("da cancellare")));
        QVERIFY(rig.start());
        rig.window->heartbeat().tick();
        QVERIFY(lit(rig, "appu11"));
        QVERIFY(rig.file.addAppointment(Today, QTime(15, 30), QStringLiteral("nuovo")));
        QVERIFY(rig.file.removeAppointments(QStringLiteral("da cancellare")));
        rig.data.dtaAppun().Refresh();
        rig.tickAt(QTime(15, 29, 31));
        QVERIFY(!lit(rig, "appu15"));
        rig.dataChanged();
        QVERIFY(rig.window->heartbeat().giornoAgenda.isEmpty());
        rig.tickAt(QTime(15, 30, 1));
        QVERIFY(lit(rig, "appu15") && !lit(rig, "appu11"));
        QCOMPARE(rig.boxTexts(), QStringList { "nuovo" });
    }

    // A box holds the tick: the entries after it are tested against the clock of when it closed.
    void entriesAfterABoxAreTestedAtTheTimeItCloses()
    {
        MainWindowRig rig(Hidden, QDateTime(Today, QTime(9, 5, 1)));
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), QStringLiteral("primo")));
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), QStringLiteral("secondo")));
        QVERIFY(rig.file.addReminder(QTime(9, 5), QStringLiteral("terzo")));
        QVERIFY(rig.start());
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box& box) {
            rig.clock.set(box.text == QLatin1String("primo") ? QTime(9, 5, 2) : QTime(9, 5, 3)); // too late for "terzo"
        };
        rig.window->heartbeat().tick();
        QCOMPARE(rig.boxTexts(), (QStringList { "primo", "secondo" }));
        QCOMPARE(rig.speech.finishAll(), (QStringList { "Sono le 9 e 5. . primo.", "Sono le 9 e 5. . secondo." }));
    }
};

QTEST_MAIN(TestAgendaAnnouncer)
#include "TestAgendaAnnouncer.moc"
