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

// Loads both tables from the file as the heartbeat does, and tells which hours were lit.
struct Loaded
{
    DayAgenda agenda;
    QList<int> appuntamentiLit;
    QList<int> promemoriaLit;

    void load(AgendaData& data, const QDate& day = Today)
    {
        appuntamentiLit.clear();
        promemoriaLit.clear();
        agenda.loadAppuntamenti(data.dtaAppun(), day, [this](int h) { appuntamentiLit.append(h); });
        agenda.loadPromemoria(data.dtaProm(), [this](int h) { promemoriaLit.append(h); });
    }
    QStringList texts(Kind kind) const
    {
        QStringList texts;
        for (int slot = 1; slot <= agenda.count(kind); ++slot)
            texts.append(agenda.table(kind)[slot].Testo);
        return texts;
    }
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
        QVERIFY(file.addAppointment(Today, QTime(9, 40), u"caffè"_s));
        QVERIFY(file.addAppointment(Today.addDays(-1), QTime(14, 0), u"ieri"_s));
        // Today's date, but not at midnight: not today's.
        QVERIFY(file.addRawAppointment(
            Today.toString(Qt::ISODate) + u"T12:00:00"_s, AgendaTestData::timeText(QTime(11, 0)), u"mezzogiorno"_s));
        QVERIFY(file.addAppointment(Today, QTime(0, 30), u"notte"_s));
        QVERIFY(file.addReminder(QTime(16, 0), u"passeggiata"_s));
        QVERIFY(file.addReminder(QTime(8, 0), u"medicina"_s));
        AgendaData data(file.path);
        QVERIFY2(data.open(), qPrintable(data.errorText()));

        Loaded loaded;
        loaded.load(data);
        QCOMPARE(loaded.texts(Kind::Appuntamento), (QStringList { "dentista", "caffè", "notte" }));
        QCOMPARE(loaded.appuntamentiLit, (QList<int> { 9, 9, 0 }));
        QCOMPARE(loaded.agenda.appuntamentiOggi()[1].Ora.time(), QTime(9, 5));
        QCOMPARE(loaded.texts(Kind::Promemoria), (QStringList { "passeggiata", "medicina" }));
        QCOMPARE(loaded.promemoriaLit, (QList<int> { 16, 8 }));
        // Another day: the reminders and that day's appointments; nothing of the earlier load stays.
        loaded.load(data, Today.addDays(1));
        QCOMPARE(loaded.texts(Kind::Appuntamento), QStringList { "domani" });
        for (const int slot : { 0, 2, 100 })
            QVERIFY(loaded.agenda.appuntamentiOggi()[slot].Ora == VoceAgenda::clearedTime()
                && loaded.agenda.appuntamentiOggi()[slot].Testo.isEmpty());
        QVERIFY(file.removeAppointments(u"domani"_s) && data.dtaAppun().Refresh());
        loaded.load(data, Today.addDays(1));
        QVERIFY(loaded.agenda.appuntamentiCount() == 0 && loaded.appuntamentiLit.isEmpty());
        QCOMPARE(loaded.agenda.appuntamentiOggi()[1].Testo, QString());
    }

    // An unreadable time is taken as 00:00, an unreadable text as empty; at hour 0 a readout leaves
    // out the entries without text, and with them every empty slot.
    void badRecordsLoadAsFarAsTheyCanBeRead()
    {
        AgendaTestData file;
        const QString today = AgendaTestData::dateText(Today);
        const QString long150 = u"L'avvocato dice: \"è là, perché?\" "_s.leftJustified(150, QChar(u'à'));
        QVERIFY(file.addRawAppointment(today, QVariant(), u"senza ora"_s));
        QVERIFY(file.addRawAppointment(today, u"alle dieci"_s, u"ora illeggibile"_s));
        QVERIFY(file.addRawAppointment(today, u"1899-12-30T25:61:00"_s, u"ora impossibile"_s));
        QVERIFY(file.addRawAppointment(today, AgendaTestData::timeText(QTime(10, 0)), QVariant()));
        for (const QVariant& date : { QVariant(), QVariant(u"oggi"_s), QVariant(u"2026-02-30T00:00:00"_s) })
            QVERIFY(file.addRawAppointment(date, AgendaTestData::timeText(QTime(12, 0)), u"data illeggibile"_s));
        QVERIFY(file.addAppointment(Today, QTime(13, 45), long150));
        QVERIFY(file.addRawReminder(u"xx"_s, QVariant()));
        QVERIFY(file.addRawReminder(AgendaTestData::timeText(QTime(7, 30)), u"'; DROP TABLE Promemoria; --"_s));
        AgendaData data(file.path);
        QVERIFY(data.open());

        Loaded loaded;
        loaded.load(data);
        QCOMPARE(loaded.texts(Kind::Appuntamento),
            (QStringList { "senza ora", "ora illeggibile", "ora impossibile", QString(), long150 }));
        QCOMPARE(loaded.appuntamentiLit, (QList<int> { 0, 0, 0, 10, 13 }));
        QCOMPARE(loaded.agenda.appuntamentiOggi()[2].Ora, VoceAgenda::clearedTime());
        QCOMPARE(loaded.texts(Kind::Promemoria), (QStringList { QString(), "'; DROP TABLE Promemoria; --" }));
        QCOMPARE(loaded.promemoriaLit, (QList<int> { 0, 7 }));
        QCOMPARE(loaded.agenda.readoutEntries(Kind::Appuntamento, 0).size(), 3);
        QCOMPARE(loaded.agenda.readoutEntries(Kind::Appuntamento, 10).size(), 1);
        QVERIFY(loaded.agenda.readoutEntries(Kind::Promemoria, 0).isEmpty());
    }

    void keepsAtMostOneHundredEntries()
    {
        AgendaTestData file;
        // Other days' appointments take no slot; past the 100th of today nothing counts.
        for (int i = 1; i <= 5; ++i)
            QVERIFY(file.addAppointment(Today.addDays(1), QTime(6, 0), u"domani"_s));
        for (int i = 1; i <= 101; ++i) {
            const QTime at = i <= 100 ? QTime(10, i % 60) : QTime(23, 0);
            QVERIFY(file.addAppointment(Today, at, u"voce %1"_s.arg(i)));
            QVERIFY(file.addReminder(at, u"promemoria %1"_s.arg(i)));
        }
        AgendaData data(file.path);
        QVERIFY(data.open());
        Loaded loaded;
        loaded.load(data);
        QVERIFY(loaded.agenda.appuntamentiCount() == 100 && loaded.agenda.promemoriaCount() == 100);
        QVERIFY(!loaded.appuntamentiLit.contains(23) && !loaded.promemoriaLit.contains(23));
        QCOMPARE(loaded.agenda.appuntamentiOggi()[100].Testo, u"voce 100"_s);
        QCOMPARE(loaded.agenda.promemoriaOggi()[100].Testo, u"promemoria 100"_s);
    }

    // Due in the first two seconds of its minute, whatever the date.
    void isDueInSecondsOneAndTwo_data()
    {
        QTest::addColumn<QDateTime>("entry");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("due");
        const QDateTime at1430(QDate(1899, 12, 30), QTime(14, 30));
        for (const auto& [time, due] : { std::pair { QTime(14, 30, 0), false }, std::pair { QTime(14, 30, 1), true },
                 std::pair { QTime(14, 30, 2, 999), true }, std::pair { QTime(14, 30, 3), false },
                 std::pair { QTime(14, 31, 1), false }, std::pair { QTime(2, 30, 1), false } })
            QTest::newRow(qPrintable(time.toString())) << at1430 << QDateTime(Today, time) << due;
        QTest::newRow("another date") << QDateTime(Today.addDays(9), QTime(14, 30))
                                      << QDateTime(Today, QTime(14, 30, 1)) << true;
        QTest::newRow("cleared slot") << VoceAgenda::clearedTime() << QDateTime(Today, QTime(0, 0, 2)) << true;
    }
    void isDueInSecondsOneAndTwo()
    {
        QFETCH(QDateTime, entry);
        QFETCH(QDateTime, now);
        QFETCH(bool, due);
        QCOMPARE(DayAgenda::isDue(VoceAgenda { entry, u"x"_s }, now), due);
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
