// SPDX-License-Identifier: GPL-3.0-or-later
#include "AgendaTestData.h"
#include "agenda/DayAgenda.h"
#include "datafile/AgendaData.h"

#include <QtTest>

namespace {
const QDate Today(2026, 12, 5);

// Loads both tables from the file as the main window does, and tells which hours were lit.
struct Loaded
{
    DayAgenda agenda;
    QStringList appuntamentiLit;
    QStringList promemoriaLit;

    void load(AgendaData& data)
    {
        appuntamentiLit.clear();
        promemoriaLit.clear();
        agenda.loadAppuntamenti(data.dtaAppun(), Today, [this](int h) { appuntamentiLit.append(QString::number(h)); });
        agenda.loadPromemoria(data.dtaProm(), [this](int h) { promemoriaLit.append(QString::number(h)); });
    }
};

QTime timeOf(const VoceAgenda& entry) { return entry.Ora.time(); }
} // namespace

class TestDayAgenda : public QObject
{
    Q_OBJECT

private slots:
    void loadsTodaysAppointmentsAndEveryReminderInRecordOrder()
    {
        AgendaTestData file;
        QVERIFY2(!file.path.isEmpty(), qPrintable(file.error));
        QVERIFY(file.addAppointment(Today, QTime(9, 5), QStringLiteral("dentista")));
        QVERIFY(file.addAppointment(Today.addDays(1), QTime(10, 0), QStringLiteral("domani")));
        QVERIFY(file.addAppointment(Today, QTime(9, 40), QStringLiteral("caffè")));
        QVERIFY(file.addAppointment(Today.addDays(-1), QTime(14, 0), QStringLiteral("ieri")));
        QVERIFY(file.addAppointment(Today, QTime(14, 0), QStringLiteral("riunione")));
        // Today's date, but not at midnight: not today's.
        QVERIFY(file.addRawAppointment(Today.toString(Qt::ISODate) + QStringLiteral("T12:00:00"),
            AgendaTestData::timeText(QTime(11, 0)), QStringLiteral("mezzogiorno")));
        QVERIFY(file.addAppointment(Today, QTime(0, 30), QStringLiteral("notte")));
        QVERIFY(file.addReminder(QTime(8, 0), QStringLiteral("medicina")));
        QVERIFY(file.addReminder(QTime(16, 0), QStringLiteral("passeggiata")));
        AgendaData data(file.path);
        QVERIFY2(data.open(), qPrintable(data.errorText()));

        Loaded loaded;
        loaded.load(data);
        const DayAgenda& agenda = loaded.agenda;
        QCOMPARE(loaded.appuntamentiLit, (QStringList { "9", "9", "14", "0" }));
        QCOMPARE(agenda.appuntamentiCount(), 4);
        QCOMPARE(timeOf(agenda.appuntamentiOggi()[1]), QTime(9, 5));
        QCOMPARE(agenda.appuntamentiOggi()[1].Testo, QStringLiteral("dentista"));
        QCOMPARE(agenda.appuntamentiOggi()[2].Testo, QStringLiteral("caffè"));
        QCOMPARE(agenda.appuntamentiOggi()[3].Testo, QStringLiteral("riunione"));
        QCOMPARE(timeOf(agenda.appuntamentiOggi()[4]), QTime(0, 30));
        QCOMPARE(loaded.promemoriaLit, (QStringList { "8", "16" }));
        QCOMPARE(agenda.promemoriaCount(), 2);
        QCOMPARE(agenda.promemoriaOggi()[2].Testo, QStringLiteral("passeggiata"));

        // Another day: the same file, only the reminders and that day's appointments.
        loaded.agenda.loadAppuntamenti(data.dtaAppun(), Today.addDays(1), [](int) {});
        QCOMPARE(agenda.appuntamentiCount(), 1);
        QCOMPARE(agenda.appuntamentiOggi()[1].Testo, QStringLiteral("domani"));
    }

    void emptyTablesLoadNothing()
    {
        AgendaTestData file;
        QVERIFY(file.addAppointment(Today, QTime(9, 5), QStringLiteral("dentista")));
        AgendaData data(file.path);
        QVERIFY(data.open());
        Loaded loaded;
        loaded.load(data);
        QCOMPARE(loaded.agenda.appuntamentiCount(), 1);

        // Emptied: nothing of the earlier load stays behind.
        QVERIFY(file.removeAppointments(QStringLiteral("dentista")));
        QVERIFY(data.dtaAppun().Refresh());
        loaded.load(data);
        QCOMPARE(loaded.agenda.appuntamentiCount(), 0);
        QCOMPARE(loaded.agenda.promemoriaCount(), 0);
        QVERIFY(loaded.appuntamentiLit.isEmpty() && loaded.promemoriaLit.isEmpty());
    }

    void loadsBadRecordsAsFarAsTheyCanBeRead()
    {
        AgendaTestData file;
        const QString today = AgendaTestData::dateText(Today);
        const QString long150 = QStringLiteral("L'avvocato dice: \"è là, perché?\" ").leftJustified(150, QChar(u'à'));
        QCOMPARE(long150.size(), 150);
        QVERIFY(file.addRawAppointment(today, QVariant(), QStringLiteral("senza ora")));
        QVERIFY(file.addRawAppointment(today, QStringLiteral("alle dieci"), QStringLiteral("ora illeggibile")));
        QVERIFY(
            file.addRawAppointment(today, QStringLiteral("1899-12-30T25:61:00"), QStringLiteral("ora impossibile")));
        QVERIFY(file.addRawAppointment(today, AgendaTestData::timeText(QTime(10, 0)), QVariant()));
        QVERIFY(
            file.addRawAppointment(QVariant(), AgendaTestData::timeText(QTime(12, 0)), QStringLiteral("senza data")));
        QVERIFY(file.addRawAppointment(
            QStringLiteral("oggi"), AgendaTestData::timeText(QTime(12, 0)), QStringLiteral("data illeggibile")));
        QVERIFY(file.addRawAppointment(QStringLiteral("2026-02-30T00:00:00"), AgendaTestData::timeText(QTime(12, 0)),
            QStringLiteral("data impossibile")));
        QVERIFY(file.addAppointment(Today, QTime(11, 15), QStringLiteral("uno")));
        QVERIFY(file.addAppointment(Today, QTime(11, 15), QStringLiteral("due")));
        QVERIFY(file.addAppointment(Today, QTime(13, 45), long150));
        QVERIFY(file.addRawReminder(QStringLiteral("xx"), QVariant()));
        QVERIFY(file.addRawReminder(
            AgendaTestData::timeText(QTime(7, 30)), QStringLiteral("'; DROP TABLE Promemoria; --")));
        AgendaData data(file.path);
        QVERIFY(data.open());

        Loaded loaded;
        // Records without a readable time are left out (and logged once, not at every reload).
        for (const char* record : { "Appointment 1:", "Appointment 2:", "Appointment 3:", "Reminder 1:" })
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QLatin1String("^") + QLatin1String(record)));
        QTest::failOnWarning(QRegularExpression(QStringLiteral("cannot be read")));
        loaded.load(data);
        loaded.load(data);
        const DayAgenda::Table& a = loaded.agenda.appuntamentiOggi();
        QCOMPARE(loaded.agenda.appuntamentiCount(), 4);
        QCOMPARE(loaded.appuntamentiLit, (QStringList { "10", "11", "11", "13" }));
        QCOMPARE(timeOf(a[1]), QTime(10, 0));
        QCOMPARE(a[1].Testo, QString());
        QCOMPARE(a[4].Testo, long150);

        QCOMPARE(loaded.agenda.promemoriaCount(), 1);
        QCOMPARE(loaded.promemoriaLit, (QStringList { "7" }));
        QCOMPARE(loaded.agenda.promemoriaOggi()[1].Testo, QStringLiteral("'; DROP TABLE Promemoria; --"));
    }

    void keepsEveryEntry()
    {
        AgendaTestData file;
        // Tomorrow's appointments do not take up slots; past the 100th of today every entry counts.
        for (int i = 1; i <= 5; ++i)
            QVERIFY(file.addAppointment(Today.addDays(1), QTime(6, 0), QStringLiteral("domani")));
        for (int i = 1; i <= 150; ++i) {
            const QTime at = i <= 100 ? QTime(10, i % 60) : QTime(23, 0);
            QVERIFY(file.addAppointment(Today, at, QStringLiteral("voce %1").arg(i)));
            QVERIFY(file.addReminder(at, QStringLiteral("promemoria %1").arg(i)));
        }
        AgendaData data(file.path);
        QVERIFY(data.open());

        Loaded loaded;
        loaded.load(data);
        QCOMPARE(loaded.agenda.appuntamentiCount() + loaded.agenda.promemoriaCount(), 300);
        QCOMPARE(loaded.appuntamentiLit.size() + loaded.promemoriaLit.size(), 300);
        QCOMPARE(loaded.agenda.promemoriaOggi()[150].Testo, QStringLiteral("promemoria 150"));
        QCOMPARE(loaded.agenda.readoutEntries(DayAgenda::Kind::Appuntamento, 23).size(), 50);
    }
};

QTEST_GUILESS_MAIN(TestDayAgenda)
#include "TestDayAgenda.moc"
