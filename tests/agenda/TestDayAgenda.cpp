// SPDX-License-Identifier: GPL-3.0-or-later
#include "AgendaTestData.h"
#include "agenda/AgendaTexts.h"
#include "agenda/DayAgenda.h"
#include "datafile/AgendaData.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QDate Today(2026, 12, 5);
using Kind = DayAgenda::Kind;

// Today's agenda loaded from a file as the heartbeat loads it, with the hours it lit.
struct Loaded
{
    explicit Loaded(const QString& path)
        : data(path)
    {
    }
    bool load(const QDate& day = Today)
    {
        lit[0].clear();
        lit[1].clear();
        if (!(data.dtaAppun().Refresh() && data.dtaProm().Refresh()) && !data.open())
            return false;
        agenda.loadAppuntamenti(data.dtaAppun(), day, [this](int h) { lit[0].append(h); });
        agenda.loadPromemoria(data.dtaProm(), [this](int h) { lit[1].append(h); });
        return true;
    }
    QStringList texts(Kind kind) const
    {
        QStringList texts;
        for (int slot = 1; slot <= agenda.count(kind); ++slot)
            texts.append(agenda.table(kind)[slot].Testo);
        return texts;
    }

    AgendaData data;
    DayAgenda agenda;
    QList<int> lit[2]; // appointments, reminders
};
} // namespace

class TestDayAgenda : public QObject
{
    Q_OBJECT

private slots:
    void loadsTodaysAppointmentsAndEveryReminderInRecordOrder()
    {
        AgendaTestData file;
        QVERIFY(file.addAppointment(Today, QTime(9, 5), u"dentista"_s));
        QVERIFY(file.addAppointment(Today.addDays(1), QTime(10, 0), u"domani"_s));
        QVERIFY(file.addAppointment(Today.addDays(-1), QTime(14, 0), u"ieri"_s));
        // Today's date, but not at midnight: not today's.
        QVERIFY(file.addRawAppointment(u"2026-12-05T12:00:00"_s, AgendaTestData::timeText(QTime(11, 0)), u"no"_s));
        QVERIFY(file.addAppointment(Today, QTime(0, 30), u"notte"_s));
        QVERIFY(file.addReminder(QTime(16, 0), u"passeggiata"_s));
        QVERIFY(file.addReminder(QTime(8, 0), u"medicina"_s));
        Loaded loaded(file.path);
        QVERIFY(loaded.load());
        QCOMPARE(loaded.texts(Kind::Appuntamento), (QStringList { "dentista", "notte" }));
        QCOMPARE(loaded.agenda.appuntamentiOggi()[1].Ora.time(), QTime(9, 5));
        QCOMPARE(loaded.texts(Kind::Promemoria), (QStringList { "passeggiata", "medicina" }));
        QCOMPARE(loaded.lit[0], QList<int>({ 9, 0 }));
        QCOMPARE(loaded.lit[1], QList<int>({ 16, 8 }));
        // Another day: that day's appointments; nothing of the earlier load stays, even when none is left.
        QVERIFY(loaded.load(Today.addDays(1)));
        QCOMPARE(loaded.texts(Kind::Appuntamento), QStringList { "domani" });
        QVERIFY(file.removeAppointments(u"domani"_s));
        QVERIFY(loaded.load(Today.addDays(1)));
        QCOMPARE(loaded.agenda.appuntamentiCount(), 0);
        QCOMPARE(loaded.lit[0], QList<int>());
        QVERIFY(loaded.agenda.appuntamentiOggi().size() <= 1);

        // No cap: the 101st entry of a day counts and lights its hour like the others.
        for (int i = 1; i <= 101; ++i) {
            const QTime at = i <= 100 ? QTime(10, i % 60) : QTime(23, 0);
            QVERIFY2(file.addAppointment(Today, at, u"voce %1"_s.arg(i)), qPrintable(u"voce %1"_s.arg(i)));
            QVERIFY2(file.addReminder(at, u"promemoria"_s), qPrintable(u"promemoria %1"_s.arg(i)));
        }
        QVERIFY(loaded.load());
        QCOMPARE(loaded.agenda.appuntamentiCount(), 103);
        QCOMPARE(loaded.agenda.promemoriaCount(), 103);
        QVERIFY(loaded.lit[0].contains(23));
        QVERIFY(loaded.lit[1].contains(23));
        QCOMPARE(loaded.agenda.appuntamentiOggi()[100].Testo, u"voce 98"_s); // after "dentista" and "notte"
    }

    // Unreadable: a row without a time is left out, a text is empty, a date is not today.
    void badRecordsLoadAsFarAsTheyCanBeRead()
    {
        AgendaTestData file;
        const QString today = AgendaTestData::dateText(Today);
        QVERIFY(file.addRawAppointment(today, QVariant(), u"senza ora"_s));
        QVERIFY(file.addRawAppointment(today, u"alle dieci"_s, u"ora illeggibile"_s));
        QVERIFY(file.addRawAppointment(today, u"1899-12-30T25:61:00"_s, u"ora impossibile"_s));
        QVERIFY(file.addRawAppointment(today, AgendaTestData::timeText(QTime(10, 0)), QVariant()));
        for (const QVariant& date : { QVariant(), QVariant(u"oggi"_s), QVariant(u"2026-02-30T00:00:00"_s) })
            QVERIFY(file.addRawAppointment(date, AgendaTestData::timeText(QTime(12, 0)), u"data illeggibile"_s));
        QVERIFY(file.addRawReminder(u"xx"_s, QVariant()));
        Loaded loaded(file.path);
        QVERIFY(loaded.load());
        // An unreadable time is neither lit nor announced: the row is left out.
        QCOMPARE(loaded.texts(Kind::Appuntamento), QStringList { QString() });
        QCOMPARE(loaded.lit[0], QList<int>({ 10 }));
        QCOMPARE(loaded.lit[1], QList<int>());
        QVERIFY(loaded.texts(Kind::Promemoria).isEmpty());
        QVERIFY(loaded.agenda.readoutEntries(Kind::Appuntamento, 0).isEmpty());
        QCOMPARE(loaded.agenda.readoutEntries(Kind::Appuntamento, 10).size(), 1);
        QVERIFY(loaded.agenda.readoutEntries(Kind::Promemoria, 0).isEmpty());
    }

    // The readout's date and time; at midnight exactly, the date alone.
    void generalDate()
    {
        QCOMPARE(AgendaTexts::generalDate(QDateTime(Today, QTime(9, 5, 7))), "05/12/2026 09:05:07");
        QCOMPARE(AgendaTexts::generalDate(QDateTime(Today, QTime(0, 0, 0, 400))), "05/12/2026");
        QCOMPARE(AgendaTexts::generalDate(QDateTime(Today, QTime(0, 0, 1))), "05/12/2026 00:00:01");
    }
};

QTEST_GUILESS_MAIN(TestDayAgenda)
#include "TestDayAgenda.moc"
