// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"

#include <QLabel>
#include <QtTest>

using namespace Qt::StringLiterals;

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

    // The hidden window shows for the box, the face wakes and the text is on its way. A tick while
    // the box is open (inside its event loop) only refreshes the readout: no second box.
    void announcesAnEntryInItsMinuteOnly()
    {
        MainWindowRig rig(Hidden, QDateTime(Today, QTime(14, 29, 58)));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(14, 30), u"domani"_s));
        QVERIFY(rig.file.addAppointment(Today, QTime(14, 30), u"riunione"_s));
        QVERIFY(rig.start());
        rig.tickAt(QTime(14, 29, 58));
        QVERIFY(lit(rig, "appu14"));
        QCOMPARE(readout(rig), u"05/12/2026 14:29:58"_s);
        rig.tickAt(QTime(14, 30, 0));
        QCOMPARE(rig.boxes.shown.size(), 0);
        QCOMPARE(rig.speech.speaker.SpeakingState(), Speaker::Idle);

        QTimer& countdown = rig.window->countdown().tmrIcona;
        countdown.start(60000);
        bool shownWhileOpen = false;
        bool countingWhileOpen = true;
        Speaker::State speakingWhileOpen = Speaker::Idle;
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            if (rig.boxes.shown.size() > 1)
                return;
            shownWhileOpen = rig.shown();
            countingWhileOpen = countdown.isActive();
            speakingWhileOpen = rig.speech.speaker.SpeakingState();
            rig.tickAt(QTime(14, 30, 2));
        };
        rig.tickAt(QTime(14, 30, 1));
        QCOMPARE(rig.boxTexts(), QStringList { "Alle 14:30: riunione" }); // the time, as the voice says it
        QCOMPARE(rig.boxes.shown[0].title, u"Appuntamento!!"_s); // which of the two
        QCOMPARE(rig.boxes.shown[0].style, 64);
        QVERIFY(shownWhileOpen);
        QVERIFY(!countingWhileOpen);
        QCOMPARE(speakingWhileOpen, Speaker::Speaking);
        QCOMPARE(readout(rig), u"05/12/2026 14:30:02"_s);
        QVERIFY(!rig.window->isVisible());
        QVERIFY(!countdown.isActive()); // hidden: not armed again
        QCOMPARE(rig.speech.finishAll(), QStringList { "Sono le 14 e 30. . riunione." });

        // Closed while still in its minute: not announced again; a window that was shown stays shown.
        rig.window->show();
        rig.tickAt(QTime(14, 30, 2));
        QCOMPARE(rig.boxes.shown.size(), 1);
        QVERIFY(rig.window->isVisible());
    }

    // Reloaded before the first tick of a day tests, after a manager window asked (not before), and
    // after another program's change: a reminder comes every day, an appointment on its own day.
    void reloadsOnANewDayAndAfterAChange()
    {
        MainWindowRig rig(Hidden, QDateTime(Today, QTime(23, 59, 59)));
        QVERIFY(rig.file.addAppointment(Today, QTime(23, 0), u"oggi tardi"_s));
        QVERIFY(rig.file.addAppointment(Today.addDays(1), QTime(0, 0), u"capodanno"_s));
        QVERIFY(rig.file.addReminder(QTime(0, 0), u"medicina"_s));
        QVERIFY(rig.start());
        rig.window->heartbeat().tick();
        QVERIFY(lit(rig, "appu23"));
        QVERIFY(!lit(rig, "appu0"));
        QVERIFY(lit(rig, "prom0"));
        rig.clock.set(QDateTime(Today.addDays(1), QTime(0, 0, 1)));
        rig.window->heartbeat().tick();
        QCOMPARE(rig.window->heartbeat().giornoAgenda, u"6"_s);
        QVERIFY(!lit(rig, "appu23"));
        QVERIFY(lit(rig, "appu0"));
        QVERIFY(lit(rig, "prom0"));
        rig.clock.set(QDateTime(Today.addDays(2), QTime(0, 0, 1)));
        rig.window->heartbeat().tick();
        QCOMPARE(rig.window->heartbeat().giornoAgenda, u"7"_s);
        QVERIFY(!lit(rig, "appu23"));
        QVERIFY(!lit(rig, "appu0"));
        QVERIFY(lit(rig, "prom0"));
        QCOMPARE(
            rig.boxTexts(), (QStringList { "Alle 0:00: capodanno", "Alle 0:00: medicina", "Alle 0:00: medicina" }));

        // Written through the program's own connection, as a manager window writes: read once the
        // window has been told.
        auto own = rig.data.openRecordSet(u"Appuntamenti"_s);
        QVERIFY(own);
        QVERIFY(own->AddNew());
        QVERIFY(own->setValue(u"Data"_s, Today.addDays(2)));
        QVERIFY(own->setValue(u"Ora"_s, QTime(0, 1)));
        QVERIFY(own->setValue(u"Testo"_s, u"nuovo"_s));
        QVERIFY2(own->Update(), qPrintable(own->lastError()));
        rig.tickAt(QTime(0, 0, 30));
        QVERIFY(!lit(rig, "appu0"));
        rig.window->tableChanged(MainWindowLink::Table::Appuntamenti); // as the appointment window does
        rig.tickAt(QTime(0, 0, 31));
        QVERIFY(lit(rig, "appu0"));
        // Another program's change is read at the next tick, without a word from anyone.
        QVERIFY(rig.file.addAppointment(Today.addDays(2), QTime(0, 2), u"altrove"_s));
        rig.tickAt(QTime(0, 1, 1));
        QCOMPARE(rig.boxTexts().last(), u"Alle 0:01: nuovo"_s);
        rig.tickAt(QTime(0, 2, 1));
        QCOMPARE(rig.boxTexts().last(), u"Alle 0:02: altrove"_s);
    }

    // With a screen reader running, the box is all: the reader reads it, time included, and the
    // program's voice does not speak over it.
    void aScreenReaderReadsTheBoxAlone()
    {
        MainWindowRig rig(Hidden, QDateTime(Today, QTime(14, 29, 0)));
        QVERIFY(rig.file.addAppointment(Today, QTime(14, 30), u"riunione"_s));
        QVERIFY(rig.start());
        rig.screenReader.setPresent(true);
        rig.tickAt(QTime(14, 30, 1));
        QCOMPARE(rig.boxTexts(), QStringList { "Alle 14:30: riunione" });
        QCOMPARE(rig.speech.finishAll(), QStringList());
        rig.screenReader.setPresent(false); // it has stopped: the voice speaks again
        QVERIFY(rig.file.addReminder(QTime(14, 31), u"medicina"_s));
        rig.dataChanged();
        rig.tickAt(QTime(14, 31, 1));
        QCOMPARE(rig.speech.finishAll(), QStringList { "Sono le 14 e 31. . medicina." });
    }

    // A box holds the tick: the entries of the same minute follow as the boxes close, none dropped,
    // each said with the clock of its own moment.
    void entriesAfterABoxAreTestedAtTheTimeItCloses()
    {
        MainWindowRig rig(Hidden, QDateTime(Today, QTime(9, 5, 1)));
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), u"primo"_s));
        QVERIFY(rig.file.addAppointment(Today, QTime(9, 5), u"secondo"_s));
        QVERIFY(rig.file.addReminder(QTime(9, 5), u"terzo"_s));
        QVERIFY(rig.start());
        rig.boxes.whileOpen = [&](const FakeMessageBoxes::Box& box) {
            rig.clock.set(box.text == QLatin1String("Alle 9:05: primo") ? QTime(9, 5, 2) : QTime(9, 6, 3));
        };
        rig.window->heartbeat().tick();
        QCOMPARE(rig.boxTexts(), (QStringList { "Alle 9:05: primo", "Alle 9:05: secondo", "Alle 9:05: terzo" }));
        QCOMPARE(rig.boxes.shown.last().title, u"Promemoria!!"_s); // a reminder's
        QCOMPARE(rig.speech.finishAll(),
            (QStringList { "Sono le 9 e 5. . primo.", "Sono le 9 e 5. . secondo.", "Sono le 9 e 6. . terzo." }));
    }
};

QTEST_MAIN(TestAgendaAnnouncer)
#include "TestAgendaAnnouncer.moc"
