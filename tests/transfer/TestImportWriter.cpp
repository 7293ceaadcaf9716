// SPDX-License-Identifier: GPL-3.0-or-later
#include "AgendaTestData.h"
#include "datafile/DataFileLock.h"
#include "transfer/ImportWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TransferRows)

namespace {
const QDate Day(2026, 12, 5);

// The table's rows as stored, each field as text, in key order.
QStringList table(const AgendaTestData& file, const QString& sql)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"look"_s);
        db.setDatabaseName(file.path);
        db.open();
        QSqlQuery query(db);
        query.exec(sql);
        while (query.next()) {
            QStringList fields;
            for (int i = 0; i < query.record().count(); ++i)
                fields.append(query.value(i).isNull() ? u"NULL"_s : query.value(i).toString());
            rows.append(fields.join(u'|'));
        }
    }
    QSqlDatabase::removeDatabase(u"look"_s);
    return rows;
}
QStringList appointments(const AgendaTestData& file)
{
    return table(file, u"SELECT Data, Ora, Testo FROM Appuntamenti ORDER BY IDAppuntamento"_s);
}
QStringList reminders(const AgendaTestData& file)
{
    return table(file, u"SELECT Ora, Testo FROM Promemoria ORDER BY IDPromemoria"_s);
}
QStringList contacts(const AgendaTestData& file)
{
    return table(file, u"SELECT Nome, Telefono, Email FROM Rubrica ORDER BY IDRubrica"_s);
}

TransferRows someOfEach()
{
    TransferRows rows;
    rows.appointments = { { Day, QTime(9, 5), u"dentista"_s }, { Day.addDays(1), QTime(15, 30), u"riunione"_s } };
    rows.reminders = { { QTime(8, 0), u"medicina"_s } };
    rows.contacts = { { u"Mario Rossi"_s, u"06 1234"_s, u"mario@example.it"_s }, { u"Anna"_s, QString(), QString() } };
    return rows;
}
} // namespace

class TestImportWriter : public QObject
{
    Q_OBJECT

private slots:
    // Stored as the program stores what the user types: the date at midnight, the time on day zero
    // to the minute, an empty value as empty text.
    void storedAsTheProgramStores()
    {
        AgendaTestData file;
        const ImportWriter::Written written = ImportWriter::write(file.path, someOfEach());
        QCOMPARE(written.failure, QString());
        QCOMPARE(written.appointments, 2);
        QCOMPARE(written.reminders, 1);
        QCOMPARE(written.contacts, 2);
        QCOMPARE(appointments(file),
            QStringList({ u"2026-12-05T00:00:00|1899-12-30T09:05:00|dentista"_s,
                u"2026-12-06T00:00:00|1899-12-30T15:30:00|riunione"_s }));
        QCOMPARE(reminders(file), QStringList({ u"1899-12-30T08:00:00|medicina"_s }));
        QCOMPARE(contacts(file), QStringList({ u"Mario Rossi|06 1234|mario@example.it"_s, u"Anna||"_s }));
    }

    // A row already in the file, or twice in what was read, is stored once; a row that differs in
    // any field that counts is another row.
    void duplicatesAreSkipped_data()
    {
        QTest::addColumn<TransferRows>("rows");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("duplicates");
        const auto appointment = [](const QDate& day, const QTime& time, const QString& text) {
            TransferRows rows;
            rows.appointments = { { day, time, text } };
            return rows;
        };
        QTest::newRow("appointment stored") << appointment(Day, QTime(9, 5), u"dentista"_s) << 0 << 1;
        QTest::newRow("appointment, seconds apart") << appointment(Day, QTime(9, 5, 30), u"dentista"_s) << 0 << 1;
        QTest::newRow("appointment, another day") << appointment(Day.addDays(7), QTime(9, 5), u"dentista"_s) << 1 << 0;
        QTest::newRow("appointment, another minute") << appointment(Day, QTime(9, 6), u"dentista"_s) << 1 << 0;
        QTest::newRow("appointment, another text") << appointment(Day, QTime(9, 5), u"Dentista"_s) << 1 << 0;
        TransferRows twice = appointment(Day, QTime(18, 0), u"cena"_s);
        twice.appointments += twice.appointments;
        QTest::newRow("appointment twice in the file") << twice << 1 << 1;

        TransferRows reminder;
        reminder.reminders = { { QTime(8, 0), u"medicina"_s } };
        QTest::newRow("reminder stored") << reminder << 0 << 1;
        reminder.reminders
            = { { QTime(8, 0), u"passeggiata"_s }, { QTime(20, 0), u"medicina"_s }, { QTime(20, 0), u"medicina"_s } };
        QTest::newRow("reminders, other text or time, twice") << reminder << 2 << 1;

        TransferRows contact;
        contact.contacts = { { u"Mario Rossi"_s, u"06 1234"_s, u"nuovo@example.it"_s } };
        QTest::newRow("contact stored, another e-mail") << contact << 0 << 1;
        contact.contacts = { { u"Mario Rossi"_s, u"333 999"_s, QString() } };
        QTest::newRow("contact, another telephone") << contact << 1 << 0;
        contact.contacts = { { u"Anna"_s, QString(), QString() }, { u"Luca"_s, u"1"_s, QString() },
            { u"Luca"_s, u"1"_s, u"luca@example.it"_s } };
        QTest::newRow("contacts, stored without telephone, twice") << contact << 1 << 2;
    }
    void duplicatesAreSkipped()
    {
        QFETCH(TransferRows, rows);
        QFETCH(int, stored);
        QFETCH(int, duplicates);
        AgendaTestData file;
        // What the user has: stored by the program itself, and one appointment by another program
        // that wrote its time with seconds.
        QVERIFY(ImportWriter::write(file.path, someOfEach()).failure.isEmpty());
        QVERIFY(file.addRawAppointment(u"2026-12-05T00:00:00"_s, u"1899-12-30T09:05:42"_s, u"dentista"_s));
        const int before = int(appointments(file).size() + reminders(file).size() + contacts(file).size());
        const ImportWriter::Written written = ImportWriter::write(file.path, rows);
        QCOMPARE(written.failure, QString());
        QCOMPARE(written.appointments + written.reminders + written.contacts, stored);
        QCOMPARE(written.duplicates, duplicates);
        QCOMPARE(int(appointments(file).size() + reminders(file).size() + contacts(file).size()), before + stored);
    }

    // All or nothing: a row the file refuses half-way, or a cancel half-way or at the last moment,
    // leaves the file as it was.
    void allOrNothing_data()
    {
        QTest::addColumn<QString>("stop");
        QTest::newRow("a row refused half-way") << u"refused"_s;
        QTest::newRow("cancelled half-way") << u"cancel"_s;
        QTest::newRow("cancelled before anything") << u"cancel first"_s;
    }
    void allOrNothing()
    {
        QFETCH(QString, stop);
        AgendaTestData file;
        QVERIFY(file.addEntry(u"Già qui"_s, u"1"_s, u""_s));
        TransferRows rows;
        for (int i = 0; i < 3000; ++i) {
            rows.appointments.append({ Day, QTime(10, 0), u"appuntamento %1"_s.arg(i) });
            rows.contacts.append({ u"Persona %1"_s.arg(i), u"%1"_s.arg(i), QString() });
        }
        // The data file refuses one contact near the end, as a full disk would.
        QVERIFY(file.exec(u"CREATE TRIGGER guasto BEFORE INSERT ON Rubrica WHEN NEW.Nome = 'Persona 2500' "
                          "BEGIN SELECT RAISE(ABORT, 'guasto'); END"_s));
        if (stop != u"refused"_s)
            rows.contacts.removeAt(2500);
        std::atomic<bool> cancel = stop == u"cancel first"_s;
        int lastPercent = -1;
        ReadControl control { &cancel, [&](int percent) {
                                 lastPercent = percent;
                                 if (stop == u"cancel"_s && percent >= 60)
                                     cancel = true;
                             } };
        const ImportWriter::Written written = ImportWriter::write(file.path, rows, control);
        QCOMPARE(written.cancelled, stop != u"refused"_s);
        QCOMPARE(written.failure.isEmpty(), stop != u"refused"_s);
        if (stop == u"refused"_s)
            QVERIFY2(written.failure.contains(file.path), qPrintable(written.failure));
        if (stop == u"cancel"_s)
            QVERIFY(lastPercent < 100); // stopped before the end
        QCOMPARE(written.appointments, 0);
        QCOMPARE(written.contacts, 0);
        QCOMPARE(appointments(file), QStringList());
        QCOMPARE(contacts(file), QStringList({ u"Già qui|1|"_s }));
    }

    // Another program holding the file, or a file this user may not change: told, nothing stored.
    void aFileThatTakesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("message");
        QTest::newRow("locked by another program") << u"locked"_s << u"è in uso da un altro programma"_s;
        QTest::newRow("write-protected") << u"read-only"_s << u"è protetto dalla scrittura"_s;
    }
    void aFileThatTakesNothing()
    {
        QFETCH(QString, how);
        QFETCH(QString, message);
        AgendaTestData file;
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
        if (how == u"locked"_s) {
            other.setDatabaseName(file.path);
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec(u"BEGIN EXCLUSIVE"_s));
        } else {
            if (::geteuid() == 0)
                QSKIP("root writes to a write-protected file");
            QVERIFY(QFile::setPermissions(file.path, QFile::ReadOwner | QFile::ReadUser));
        }
        QElapsedTimer took;
        took.start();
        const ImportWriter::Written written = ImportWriter::write(file.path, someOfEach());
        QVERIFY2(written.failure.contains(message), qPrintable(written.failure));
        QVERIFY2(written.failure.contains(file.path), qPrintable(written.failure));
        QCOMPARE(written.contacts, 0);
        if (how == u"locked"_s) {
            QVERIFY(took.elapsed() >= DataFileLock::WaitMs); // waited for the lock as every change does
            QVERIFY(QSqlQuery(other).exec(u"ROLLBACK"_s));
        }
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"other"_s);
        QFile::setPermissions(file.path, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(contacts(file), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestImportWriter)
#include "TestImportWriter.moc"
