// SPDX-License-Identifier: GPL-3.0-or-later
#include "AgendaTestData.h"
#include "FakeClock.h"
#include "agenda/AnnouncementSchedule.h"
#include "datafile/AgendaData.h"

#include <QtTest>
#include <optional>

namespace {
// The schedule over a data file, reloaded on each new day (or when `loaded` is emptied) as by the
// heartbeat; every announcement is answered after 10 s.
struct Rig
{
    AnnouncementSchedule::Moment now() const { return { clock.now(), clock.monotonicMs() }; }
    void run(int ticks, qint64 stepMs, qint64 jumpMs = 0)
    {
        if (!schedule && data.open())
            schedule.emplace(now());
        for (int tick = 0; tick < ticks; ++tick, clock.advance(stepMs)) {
            clock.set(clock.now().addMSecs(tick == 0 ? jumpMs : 0));
            if (clock.now().date() != loaded && data.dtaAppun().Refresh() && data.dtaProm().Refresh()) {
                agenda.loadAppuntamenti(data.dtaAppun(), loaded = clock.now().date(), [](int) {});
                agenda.loadPromemoria(data.dtaProm(), [](int) {});
                schedule->setDay(loaded, agenda);
            }
            for (schedule->advance(now()); const auto next = schedule->takeNext(); schedule->advance(now())) {
                announced.append(clock.now().toString(QStringLiteral("HH:mm ")) + next->voce.Testo);
                clock.advance(10000);
            }
        }
    }
    AgendaTestData file;
    AgendaData data { file.path };
    FakeClock clock;
    std::optional<AnnouncementSchedule> schedule;
    DayAgenda agenda;
    QDate loaded;
    QStringList announced; // "HH:mm text", the clock's at each announcement
};
} // namespace

class TestAnnouncementSchedule : public QObject
{
    Q_OBJECT

private slots:
    // `entries` appointments a minute apart or all at once, the first at 14:30 (02:30 on the nights
    // the clocks change); the clock runs 4 s, is set by `jumpMs` (real time standing still, as for
    // a suspended machine or a clock set by hand), then runs a day.
    void everyOccurrenceOnceInOrderWhateverTheClockDoes_data()
    {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<qint64>("jumpMs");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("firstAt"); // none announced when empty
        const QDateTime before(QDate(2026, 12, 5), QTime(14, 29, 57));
        QTest::newRow("two in a minute") << before << 0LL << 2 << "14:30";
        QTest::newRow("thirty in a minute") << before << 0LL << 30 << "14:30";
        QTest::newRow("500 in a day") << before << 0LL << -500 << "14:30";
        QTest::newRow("gap of 2 minutes") << before << 120000LL << 1 << "14:32";
        QTest::newRow("gap of 59 minutes") << before << 3540000LL << 1 << "15:29";
        QTest::newRow("gap of 61 minutes") << before << 3660000LL << 1 << "";
        QTest::newRow("started during its second 1") << before.addMSecs(4500) << 0LL << 1 << "14:30";
        QTest::newRow("started after it") << before.addSecs(5) << 0LL << 1 << "";
        QTest::newRow("set back an hour after it") << before.addSecs(4) << -3600000LL << 1 << "14:30";
        const QTimeZone rome("Europe/Rome");
        QTest::newRow("spring forward") << QDateTime({ 2026, 3, 29 }, { 1, 59, 57 }, rome) << 0LL << 1 << "03:00";
        QTest::newRow("fall back") << QDateTime({ 2026, 10, 25 }, { 1, 59, 57 }, rome) << 0LL << 1 << "02:30";
    }
    void everyOccurrenceOnceInOrderWhateverTheClockDoes()
    {
        QFETCH(QDateTime, start);
        QFETCH(qint64, jumpMs);
        QFETCH(int, entries);
        QFETCH(QString, firstAt);
        Rig rig;
        rig.clock.set(start);
        QStringList texts;
        for (int i = 0; i < std::abs(entries); ++i) {
            texts.append(QString::number(1000 + i));
            const QTime at = QTime(start.time().hour() == 1 ? 2 : 14, 30).addSecs(entries < 0 ? 60 * i : 0);
            QVERIFY(rig.file.addAppointment(start.date(), at, texts.last()));
        }
        if (jumpMs > 3600000)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Appointment 1 of .* not ann")));
        rig.run(4, 1000);
        rig.run(2880, 30000, jumpMs);
        QCOMPARE(rig.announced.value(0).left(5), firstAt);
        QCOMPARE(rig.announced.replaceInStrings(QRegularExpression(QStringLiteral("^.* ")), QString()),
            firstAt.isEmpty() ? QStringList() : texts);
    }

    // Through a reload: an entry added for the minute under way comes in it, a moved one at its
    // new time only, a deleted one never.
    void changedDataIsAnnouncedByItsNewTime()
    {
        Rig rig;
        rig.clock.set(QDateTime(QDate(2026, 12, 5), QTime(15, 29, 30)));
        QVERIFY(rig.file.addAppointment(rig.clock.now().date(), QTime(15, 45), QStringLiteral("spostato")));
        QVERIFY(rig.file.addAppointment(rig.clock.now().date(), QTime(15, 31), QStringLiteral("cancellato")));
        rig.run(1, 1000);
        QVERIFY(rig.file.addAppointment(rig.clock.now().date(), QTime(15, 29), QStringLiteral("nuovo")));
        QVERIFY(rig.file.moveAppointments(QStringLiteral("spostato"), QTime(15, 30)));
        QVERIFY(rig.file.removeAppointments(QStringLiteral("cancellato")));
        rig.loaded = {};
        rig.run(60, 30000);
        QCOMPARE(rig.announced, (QStringList { "15:29 nuovo", "15:30 spostato" }));
    }

    // Day after day, what is remembered stays that of two days, every reminder is said once a day,
    // and a reminder whose time cannot be read is logged once, not once a day.
    void theRecordKeepsOnlyWhatCanStillMatter()
    {
        Rig rig;
        rig.clock.set(QDateTime(QDate(2026, 12, 5), QTime(7, 0)));
        for (const QTime at : { QTime(8, 0), QTime(12, 0), QTime(20, 0) })
            QVERIFY(rig.file.addReminder(at, u"alle "_qs + at.toString(u"HH"_qs)));
        QVERIFY(rig.file.addRawReminder(u"25:99"_qs, u"rotto"_qs));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Reminder 4: its time \\(Ora\\) cannot be read"_qs));
        QTest::failOnWarning(QRegularExpression(u"cannot be read"_qs));
        int mostRemembered = 0;
        for (int day = 0; day < 10; ++day) {
            rig.run(48, 30 * 60 * 1000);
            mostRemembered = std::max(mostRemembered, rig.schedule->remembered());
        }
        QCOMPARE(rig.announced.size(), 30);
        QCOMPARE(rig.announced.filter(QRegularExpression(u" alle 20$"_qs)).size(), 10);
        QVERIFY2(mostRemembered <= 6, qPrintable(QString::number(mostRemembered)));

        // The clock set back a day: that day's reminders, already said, are not said again; the
        // next day's are, when they come.
        rig.run(1, 1000, -24LL * 3600 * 1000);
        rig.run(48, 30 * 60 * 1000);
        QCOMPARE(rig.announced.size(), 30);
        rig.run(4, 30 * 60 * 1000);
        QCOMPARE(rig.announced.size(), 31);
        QVERIFY(rig.announced.last().endsWith(u" alle 08"_qs));
    }
};

QTEST_GUILESS_MAIN(TestAnnouncementSchedule)
#include "TestAnnouncementSchedule.moc"
