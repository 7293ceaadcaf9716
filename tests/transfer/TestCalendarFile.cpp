// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/CalendarFile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <libical/ical.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Appointments = QList<AppointmentRow>;
using Reminders = QList<ReminderRow>;
using Skipped = QMap<QString, int>;

namespace {
const QDate Today(2026, 12, 7);

QString dataFile(const QString& name) { return QStringLiteral(TRANSFER_DATA "/") + name; }

AppointmentRow at(const QDate& day, int hour, int minute, const QString& text)
{
    return { day, QTime(hour, minute), text };
}

void compareRows(const Appointments& actual, const Appointments& expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        QCOMPARE(actual[i].text, expected[i].text);
        QCOMPARE(actual[i].day, expected[i].day);
        QCOMPARE(actual[i].time, expected[i].time);
    }
}

void compareRows(const Reminders& actual, const Reminders& expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i) {
        QCOMPARE(actual[i].text, expected[i].text);
        QCOMPARE(actual[i].time, expected[i].time);
    }
}

// A calendar of n events written by hand, every third weekly, in three kinds of time.
QByteArray manyEvents(int n)
{
    QByteArray text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Prove//IT\r\n";
    for (int i = 0; i < n; ++i) {
        const QByteArray day = Today.addDays(i % 300).toString(u"yyyyMMdd").toLatin1();
        static const char* const starts[] = { "DTSTART;TZID=America/New_York:", "DTSTART:", "DTSTART:" };
        text += "BEGIN:VEVENT\r\nUID:e" + QByteArray::number(i) + "@prove\r\nDTSTAMP:20261201T080000Z\r\n"
            + starts[i % 3] + day + "T101500" + (i % 3 == 1 ? "Z" : "") + "\r\n"
            + (i % 3 == 2 ? "RRULE:FREQ=WEEKLY;COUNT=4\r\n" : "") + "SUMMARY:Evento numero " + QByteArray::number(i)
            + "\\, con città e caffè\r\nEND:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

bool save(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TestCalendarFile : public QObject
{
    Q_OBJECT

private slots:
    void readsEvents_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Appointments>("appointments");
        QTest::addColumn<Reminders>("reminders");
        QTest::addColumn<int>("allDay");
        QTest::addColumn<int>("past");
        QTest::addColumn<Skipped>("skipped");
        const QDate d10(2026, 12, 10), d11(2026, 12, 11), d14(2026, 12, 14);

        // The last Sunday of March 2027 (the 28th) moves Rome's clocks, the second (the 14th) New
        // York's: a time in Rome's own zone keeps its hour (even one in the hour the change skips,
        // as Vespelinda wrote it), one from New York moves twice.
        QTest::newRow("Europe/Rome with its VTIMEZONE")
            << u"rome.ics"_s
            << Appointments { at(d10, 10, 30, u"Dentista, Via Roma 3, Torino"_s),
                   at({ 2027, 7, 15 }, 18, 30, u"Concerto all'Arena"_s),
                   at({ 2027, 3, 15 }, 9, 0, u"Lezione di yoga"_s), at({ 2027, 3, 22 }, 9, 0, u"Lezione di yoga"_s),
                   at({ 2027, 3, 29 }, 9, 0, u"Lezione di yoga"_s), at({ 2027, 4, 5 }, 9, 0, u"Lezione di yoga"_s),
                   at({ 2027, 3, 28 }, 2, 30, u"Nell'ora saltata"_s) }
            << Reminders {} << 0 << 0 << Skipped {};
        QTest::newRow("a zone of the file's own, named freely")
            << u"newyork.ics"_s
            << Appointments { at(d10, 15, 0, u"Chiamata con Anna"_s), at({ 2027, 3, 8 }, 15, 0, u"Corso online"_s),
                   at({ 2027, 3, 15 }, 14, 0, u"Corso online"_s), at({ 2027, 3, 22 }, 14, 0, u"Corso online"_s),
                   at({ 2027, 3, 29 }, 15, 0, u"Corso online"_s), at({ 2027, 4, 5 }, 15, 0, u"Corso online"_s) }
            << Reminders {} << 0 << 0 << Skipped {};
        QTest::newRow("zones known by name only")
            << u"zones.ics"_s
            << Appointments { at(d11, 15, 0, u"Riunione con New York"_s), at(d11, 10, 0, u"Fuso con prefisso"_s),
                   at(d11, 11, 0, u"Fuso di Windows"_s), at(d11, 10, 0, u"Fuso a tre ore"_s),
                   at(d11, 20, 0, u"Vecchio nome di fuso"_s), at({ 2027, 4, 1 }, 2, 0, u"Tokyo ogni mese"_s),
                   at({ 2027, 5, 1 }, 2, 0, u"Tokyo ogni mese"_s) }
            << Reminders {} << 0 << 0 << Skipped { { u"con un fuso orario sconosciuto"_s, 1 } };
        QTest::newRow("UTC") << u"utc.ics"_s
                             << Appointments { at(d10, 10, 0, u"Webinar"_s),
                                    at({ 2027, 7, 10 }, 11, 0, u"Webinar d'estate"_s),
                                    at({ 2027, 3, 22 }, 9, 0, u"Teleconferenza"_s),
                                    at({ 2027, 3, 29 }, 10, 0, u"Teleconferenza"_s) }
                             << Reminders {} << 0 << 0 << Skipped {};
        QTest::newRow("floating") << u"floating.ics"_s
                                  << Appointments { at(d11, 8, 30, u"Colazione di lavoro"_s),
                                         at({ 2027, 3, 22 }, 9, 0, u"Mercato"_s),
                                         at({ 2027, 3, 29 }, 9, 0, u"Mercato"_s) }
                                  << Reminders {} << 0 << 0 << Skipped {};
        QTest::newRow("all day") << u"allday.ics"_s
                                 << Appointments { at({ 2026, 12, 25 }, 9, 0, u"Natale"_s),
                                        at(Today, 9, 0, u"Vacanza in montagna"_s),
                                        at({ 2027, 3, 14 }, 9, 0, u"Compleanno di Marco"_s) }
                                 << Reminders {} << 3 << 2 << Skipped {};
        QTest::newRow("daily and weekly")
            << u"daily.ics"_s
            << Appointments { at({ 2026, 12, 20 }, 18, 0, u"Corso di inglese"_s),
                   at({ 2026, 12, 21 }, 18, 0, u"Corso di inglese"_s),
                   at({ 2026, 12, 22 }, 18, 0, u"Corso di inglese"_s), at(Today, 10, 0, u"Palestra"_s),
                   at(d14, 10, 0, u"Palestra"_s), at({ 2026, 12, 17 }, 10, 0, u"Palestra"_s),
                   at({ 2026, 12, 21 }, 10, 0, u"Palestra"_s) }
            << Reminders { { QTime(7, 30), u"Pillola della pressione"_s }, { QTime(21, 0), u"Passeggiata"_s } } << 0
            << 1 << Skipped {};
        QTest::newRow("past and still going")
            << u"past.ics"_s
            << Appointments { at(Today, 9, 0, u"Congresso"_s), at(Today, 0, 0, u"Mezzanotte di oggi"_s) }
            << Reminders {} << 0 << 2 << Skipped {};
        QTest::newRow("left out") << u"skipped.ics"_s
                                  << Appointments { at({ 2026, 12, 15 }, 17, 0, u"Biblioteca civica"_s) }
                                  << Reminders {} << 0 << 0
                                  << Skipped { { u"senza data di inizio"_s, 2 }, { u"senza titolo"_s, 1 },
                                         { u"annullati"_s, 1 }, { u"con un fuso orario sconosciuto"_s, 1 } };
        QTest::newRow("texts")
            << u"texts.ics"_s
            << Appointments { at(d14, 8, 0, u"Caffè con Niccolò, poi città; lunedì, Bar Sport"_s),
                   at(d14, 9, 0, u"Prima riga seconda riga"_s),
                   at(d14, 10, 0,
                       u"Riunione del consiglio di amministrazione per l'approvazione del bilancio consuntivo "
                       "dell'esercizio precedente, della relazione sulla gestione e…"_s),
                   at(d14, 11, 0,
                       u"Appuntamento dal commercialista per la dichiarazione dei redditi: portare le ricevute delle "
                       "spese mediche, il modello dell'anno scorso e le buste"_s) }
            << Reminders {} << 0 << 0 << Skipped {};
    }

    void readsEvents()
    {
        QFETCH(QString, file);
        const TransferRows rows = CalendarFile::read(dataFile(file), Today);
        QCOMPARE(rows.error, QString());
        QFETCH(Appointments, appointments);
        compareRows(rows.appointments, appointments);
        if (QTest::currentTestFailed())
            return;
        QFETCH(Reminders, reminders);
        compareRows(rows.reminders, reminders);
        if (QTest::currentTestFailed())
            return;
        QTEST(rows.allDay, "allDay");
        QTEST(rows.past, "past");
        QTEST(rows.skipped, "skipped");
        QVERIFY(!rows.cancelled);
    }

    // One year of a weekly meeting with an added, a moved and a cancelled occurrence; a rule every
    // half hour stops at MaxOccurrences; one that starts in 2030 gives nothing yet.
    void recurrencesStayWithinAYear()
    {
        const TransferRows rows = CalendarFile::read(dataFile(u"recurrence.ics"_s), Today);
        QCOMPARE(rows.error, QString());
        Appointments weekly;
        int halfHourly = 0;
        for (const AppointmentRow& row : rows.appointments) {
            if (row.text == u"Riunione settimanale")
                weekly.append(row);
            halfHourly += row.text == u"Ogni mezz'ora";
        }
        QCOMPARE(weekly.size(), 51);
        QCOMPARE(weekly.first(), at({ 2026, 12, 9 }, 15, 0, u"Riunione settimanale"_s));
        QCOMPARE(weekly[1], at({ 2026, 12, 12 }, 11, 0, u"Riunione settimanale"_s));
        QCOMPARE(weekly[2], at({ 2026, 12, 30 }, 15, 0, u"Riunione settimanale"_s));
        QCOMPARE(weekly.last(), at({ 2027, 12, 1 }, 15, 0, u"Riunione settimanale"_s));
        QVERIFY(rows.appointments.contains(at({ 2026, 12, 17 }, 16, 0, u"Riunione spostata"_s)));
        QCOMPARE(halfHourly, CalendarFile::MaxOccurrences);
        QCOMPARE(rows.appointments.size(), 51 + 1 + CalendarFile::MaxOccurrences);
        QCOMPARE(rows.skipped.value(u"annullati"_s), 1);
        QCOMPARE(rows.skipped.value(u"che si ripetono solo fra più di un anno"_s), 1);
        QCOMPARE(rows.skipped.size(), 3);
        QCOMPARE(rows.past, 0);
    }

    void refusesFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << dataFile(u"empty.ics"_s) << u"Il file \"empty.ics\" è vuoto."_s;
        QTest::newRow("binary") << dataFile(u"binary.ics"_s) << u"contiene dati binari"_s;
        QTest::newRow("not UTF-8") << dataFile(u"latin1.ics"_s) << u"il testo non è in UTF-8 (alla riga 7)"_s;
        QTest::newRow("plain text") << dataFile(u"notes.ics"_s) << u"non comincia con BEGIN:VCALENDAR"_s;
        QTest::newRow("address book") << dataFile(u"contact.ics"_s) << u"è una rubrica"_s;
        QTest::newRow("cut short") << dataFile(u"truncated.ics"_s) << u"è incompleto o danneggiato"_s;
        QTest::newRow("no event") << dataFile(u"noevent.ics"_s) << u"non contiene appuntamenti"_s;
        QTest::newRow("missing") << dataFile(u"nessuno.ics"_s) << u"Il file \"nessuno.ics\" non esiste."_s;
        QTest::newRow("folder") << QStringLiteral(TRANSFER_DATA) << u"è una cartella"_s;
    }

    void refusesFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        const TransferRows rows = CalendarFile::read(file, Today);
        QVERIFY2(rows.error.contains(reason), qPrintable(rows.error));
        QVERIFY2(rows.error.contains(u'"' + QFileInfo(file).fileName() + u'"'), qPrintable(rows.error));
        QVERIFY(rows.appointments.isEmpty());
    }

    // 50 MB is read; 100 MB is refused with its size, before it is read.
    void sizeLimit()
    {
        QTemporaryDir dir;
        const QString big = dir.filePath(u"grande.ics"_s);
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(100LL * 1024 * 1024));
        file.close();
        const QString error = CalendarFile::read(big, Today).error;
        QVERIFY2(error.contains(u"\"grande.ics\" è troppo grande (100,0 MB)"), qPrintable(error));

        QByteArray bytes = manyEvents(1);
        const QByteArray filler = "X-NOTA:" + QByteArray(66, 'x') + "\r\n";
        const qsizetype at = bytes.indexOf("END:VEVENT");
        bytes.insert(at, filler.repeated(50 * 1024 * 1024 / filler.size() + 1));
        const QString large = dir.filePath(u"pieno.ics"_s);
        QVERIFY(save(large, bytes));
        const TransferRows rows = CalendarFile::read(large, Today);
        QCOMPARE(rows.error, QString());
        QCOMPARE(rows.appointments.size(), 1);
    }

    void refusesUnreadableFile()
    {
        if (geteuid() == 0)
            QSKIP("the superuser reads every file");
        QTemporaryDir dir;
        const QString path = dir.filePath(u"chiuso.ics"_s);
        QVERIFY(save(path, manyEvents(1)));
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        const QString error = CalendarFile::read(path, Today).error;
        QVERIFY2(error.contains(u"\"chiuso.ics\" non si può aprire: non si hanno i permessi"), qPrintable(error));
    }

    void roundTrip()
    {
        const QString long150 = (u"Visita dal cardiologo all'ospedale Sant'Anna, portare gli esami; "_s
            + u"caffè città perché "_s.repeated(5))
                                    .left(TransferRows::TextChars);
        const Appointments written { at(Today.addDays(-1), 9, 0, u"ieri"_s), at({ 2027, 7, 1 }, 23, 45, long150),
            at(Today, 8, 0, u"Caffè con Niccolò, è già l'ora; poi città"_s),
            at({ 2027, 3, 28 }, 10, 15, u"Due volte"_s), at({ 2027, 3, 28 }, 10, 15, u"Due volte"_s) };
        const Reminders reminders { { QTime(7, 30), u"Pillola, con acqua; non dimenticarla"_s },
            { QTime(21, 0), u"Passeggiata"_s } };
        QTemporaryDir dir;
        const QString path = dir.filePath(u"agenda.ics"_s);
        QString error;
        QVERIFY2(CalendarFile::write(path, written, reminders, Today, &error), qPrintable(error));

        const Appointments expected { written[2], written[3], written[4], written[1] };
        const TransferRows rows = CalendarFile::read(path, Today);
        QCOMPARE(rows.error, QString());
        compareRows(rows.appointments, expected);
        compareRows(rows.reminders, reminders);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("BEGIN:VCALENDAR\r\n"));
        QVERIFY(bytes.contains("\r\nPRODID:-//Vespelinda//Vespelinda 1.1//IT\r\n"));
        QVERIFY(bytes.contains("\r\nVERSION:2.0\r\n"));
        QVERIFY(bytes.contains("\r\nTZID:Europe/Rome\r\n"));
        QVERIFY(bytes.contains("\r\nDTSTART;TZID=Europe/Rome:20261207T080000\r\n"));
        QVERIFY(bytes.contains("\r\nRRULE:FREQ=DAILY\r\n"));
        QVERIFY(bytes.endsWith("END:VCALENDAR\r\n"));
        QSet<QByteArray> uids;
        for (const QByteArray& line : bytes.split('\n')) {
            QVERIFY2(line.isEmpty() || line.endsWith('\r'), line.constData());
            QVERIFY2(line.size() <= 75 + 1, line.constData());
            if (line.startsWith("UID:"))
                uids.insert(line);
        }
        QCOMPARE(uids.size(), expected.size() + reminders.size());

        // libical's own checks find nothing to say on what it reads back.
        icalcomponent* calendar = icalparser_parse_string(bytes.constData());
        QVERIFY(calendar);
        QCOMPARE(icalrestriction_check(calendar), 1);
        char* text = icalcomponent_as_ical_string_r(calendar);
        const QByteArray again(text);
        icalmemory_free_buffer(text);
        icalcomponent_free(calendar);
        QVERIFY2(!again.contains("X-LIC-ERROR"), again.constData());
        QCOMPARE(again.count("BEGIN:VALARM"), expected.size() + reminders.size());

        // The same again: the same UIDs.
        QVERIFY(CalendarFile::write(path, written, reminders, Today, &error));
        QFile second(path);
        QVERIFY(second.open(QIODevice::ReadOnly));
        QSet<QByteArray> secondUids;
        for (const QByteArray& line : second.readAll().split('\n')) {
            if (line.startsWith("UID:"))
                secondUids.insert(line);
        }
        QCOMPARE(secondUids, uids);

        checkWithPython(path, expected, reminders);
    }

    void writeRefusals()
    {
        QTemporaryDir dir;
        QString error;
        const QString missing = dir.filePath(u"manca/agenda.ics"_s);
        QVERIFY(!CalendarFile::write(missing, { at(Today, 9, 0, u"x"_s) }, {}, Today, &error));
        QVERIFY2(error.contains(u"Non si è potuto scrivere il file \"agenda.ics\": la cartella"), qPrintable(error));
        QVERIFY(!QFile::exists(missing));

        const QString old = dir.filePath(u"vecchio.ics"_s);
        QVERIFY(!CalendarFile::write(old, { at(Today.addDays(-1), 9, 0, u"ieri"_s) }, {}, Today, &error));
        QVERIFY2(error.contains(u"\"vecchio.ics\" non c'è nulla da scrivere: nessun appuntamento da oggi in poi"),
            qPrintable(error));
        QVERIFY(!QFile::exists(old));
    }

    void cancelsAndReportsProgress()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"molti.ics"_s);
        QVERIFY(save(path, manyEvents(3000)));
        std::atomic<bool> cancel = false;
        QList<int> seen;
        ReadControl control { &cancel, [&](int percent) {
                                 seen.append(percent);
                             } };
        TransferRows rows = CalendarFile::read(path, Today, control);
        QVERIFY(!rows.cancelled);
        QCOMPARE(rows.appointments.size(), 2000 + 1000 * 4);
        QVERIFY(seen.size() > 10);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(seen.last(), 100);

        for (int stopAt : { 20, 70 }) {
            seen.clear();
            control.progress = [&](int percent) {
                seen.append(percent);
                cancel = percent >= stopAt;
            };
            cancel = false;
            rows = CalendarFile::read(path, Today, control);
            QVERIFY(rows.cancelled);
            QVERIFY(rows.appointments.isEmpty());
            QVERIFY(rows.reminders.isEmpty());
            QVERIFY2(seen.last() < stopAt + 10, qPrintable(QString::number(seen.last())));
        }
    }

    // Readers on several threads at once, while libical first loads zones it adds to its table
    // (old names, outside zones.tab) and converts times through them.
    void readsOnSeveralThreads()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"vecchi.ics"_s);
        QByteArray text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Prove//IT\r\n";
        for (const char* zone : { "US/Central", "US/Mountain", "Canada/Atlantic", "Europe/Belfast", "Asia/Calcutta",
                 "Australia/ACT", "Brazil/East", "Mexico/General" }) {
            text += QByteArray("BEGIN:VEVENT\r\nUID:") + zone + "\r\nDTSTAMP:20261201T080000Z\r\nDTSTART;TZID=" + zone
                + ":20270320T090000\r\nRRULE:FREQ=DAILY;COUNT=20\r\nSUMMARY:" + zone + "\r\nEND:VEVENT\r\n";
        }
        QVERIFY(save(path, text + "END:VCALENDAR\r\n"));
        QList<TransferRows> results(4);
        QList<QThread*> threads;
        for (TransferRows& result : results) {
            threads.append(QThread::create([&result, path] {
                for (int i = 0; i < 10 && result.error.isEmpty(); ++i)
                    result = CalendarFile::read(path, Today);
            }));
        }
        for (QThread* thread : threads)
            thread->start();
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }
        const TransferRows alone = CalendarFile::read(path, Today);
        QCOMPARE(alone.appointments.size(), 8 * 20);
        QCOMPARE(alone.appointments.first(), at({ 2027, 3, 20 }, 15, 0, u"US/Central"_s));
        for (const TransferRows& result : results)
            compareRows(result.appointments, alone.appointments);
    }

    void tenThousandEventsReadQuickly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"diecimila.ics"_s);
        QVERIFY(save(path, manyEvents(10000)));
        QElapsedTimer timer;
        timer.start();
        const TransferRows rows = CalendarFile::read(path, Today);
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(rows.appointments.size(), 6667 + 3333 * 4);
        QVERIFY2(elapsed < 3000, qPrintable(u"%1 ms"_s.arg(elapsed)));
    }

private:
    // python3's icalendar module reads the same rows from the written file.
    void checkWithPython(const QString& path, const Appointments& appointments, const Reminders& reminders)
    {
        QString python;
        for (const QString& candidate : { QStandardPaths::findExecutable(u"python3"_s), u"/usr/bin/python3"_s }) {
            QProcess probe;
            probe.start(candidate, { u"-c"_s, u"import icalendar, zoneinfo"_s });
            if (!candidate.isEmpty() && probe.waitForFinished(60000) && probe.exitStatus() == QProcess::NormalExit
                && probe.exitCode() == 0) {
                python = candidate;
                break;
            }
        }
        if (python.isEmpty())
            QSKIP("python3 with the icalendar module is not installed");
        QProcess reader;
        reader.start(python, { QStringLiteral(READ_ICS_SCRIPT), path });
        QVERIFY(reader.waitForFinished(60000));
        QCOMPARE(reader.exitCode(), 0);
        QStringList expected;
        for (const AppointmentRow& row : appointments) {
            expected << u"A|%1|%2|%3"_s.arg(row.day.toString(Qt::ISODate), row.time.toString(u"HH:mm"), row.text)
                     << u"ALARM|"_s + row.text;
        }
        for (const ReminderRow& row : reminders)
            expected << u"R|%1|%2"_s.arg(row.time.toString(u"HH:mm"), row.text) << u"ALARM|"_s + row.text;
        const QStringList lines = QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines, expected);
    }
};

QTEST_GUILESS_MAIN(TestCalendarFile)
#include "TestCalendarFile.moc"
