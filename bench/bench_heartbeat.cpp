// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one heartbeat tick of the main window when nothing is due (its look for other programs'
// changes included, and alone), over a data file with a given number of entries today, against
// the cost of a tick after another program's commit and of a reload of today's agenda. Also checks
// that the ticks leave the data file alone: a reload would walk both record sets to their end.
// usage: bench_heartbeat [ticks] [entries today]   (offscreen unless QT_QPA_PLATFORM says otherwise)
#include "BenchSetup.h"
#include "FakeAudioOutput.h"
#include "FakeClipboardText.h"
#include "FakeClock.h"
#include "FakeMessageBoxes.h"
#include "FakeSpeechEngine.h"
#include "FakeTrayIcon.h"
#include "agenda/AgendaHeartbeat.h"
#include "core/Alert.h"
#include "core/SettingsStore.h"
#include "core/SystemClock.h"
#include "datafile/AgendaData.h"
#include "datafile/RecordSet.h"
#include "mainwindow/frmArriv.h"
#include "options/AutostartEntry.h"
#include "speech/Speaker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {

// The hours the entries fall in: never hour 3 (the fake clock's) nor the real clock's hour and the next.
QList<int> quietHours()
{
    const int now = QTime::currentTime().hour();
    QList<int> hours;
    for (int h = 0; h < 24; ++h)
        if (h != 3 && h != now && h != (now + 1) % 24)
            hours << h;
    return hours;
}

// `today` entries of today (four appointments to each daily reminder) and as many appointments
// of other days, none due while the benchmark runs.
bool fill(QSqlQuery& query, const QDate& today, int entriesToday)
{
    const int reminders = entriesToday / 5;
    const int appointments = 2 * (entriesToday - reminders);
    const QList<int> hours = quietHours();
    bool ok = true;
    for (int i = 0; ok && i < appointments; ++i) {
        const QDate date = i % 2 == 0 ? today : today.addDays(i % 4 == 1 ? 1 + i % 30 : -(1 + i % 30));
        const QTime time(hours[i % hours.size()], (i * 7) % 60);
        query.prepare(QStringLiteral("INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES (?, ?, ?)"));
        query.addBindValue(date.toString(Qt::ISODate) + QStringLiteral("T00:00:00"));
        query.addBindValue(QStringLiteral("1899-12-30T") + time.toString(QStringLiteral("HH:mm:ss")));
        query.addBindValue(QStringLiteral("Appuntamento numero %1 con un testo di lunghezza media").arg(i));
        ok = query.exec();
    }
    for (int i = 0; ok && i < reminders; ++i) {
        const QTime time(hours[i % hours.size()], (i * 11) % 60);
        query.prepare(QStringLiteral("INSERT INTO Promemoria (Ora, Testo) VALUES (?, ?)"));
        query.addBindValue(QStringLiteral("1899-12-30T") + time.toString(QStringLiteral("HH:mm:ss")));
        query.addBindValue(QStringLiteral("Promemoria numero %1").arg(i));
        ok = query.exec();
    }
    return ok;
}

// The k-th second of hour 3, wrapping round the hour: the clock goes forward as it does in use.
QTime inHourThree(int k) { return QTime(3, (k / 60) % 60, k % 60); }

} // namespace

int main(int argc, char* argv[])
{
    Bench::Application app(argc, argv);
    const int ticks = Bench::argument(argc, argv, 1, 200000, 1000);
    const int entriesToday = Bench::argument(argc, argv, 2, 100, 1);
    QTextStream out(stdout);

    QTemporaryDir dir;
    // Today as the system clock has it, so that both windows below load the same entries.
    const QDate today = QDate::currentDate();
    const QString path
        = Bench::dataFile(dir.path(), [&](QSqlQuery& query) { return fill(query, today, entriesToday); });
    if (path.isEmpty())
        return 1;

    FakeClock clock(QDateTime(today, QTime(3, 17, 0)));
    SettingsStore settings(dir.filePath(QStringLiteral("Vespelinda.conf")));
    FakeSpeechEngine engine;
    FakeAudioOutput audio;
    Speaker speaker(engine, audio);
    FakeMessageBoxes boxes;
    Alert alert(settings, speaker, boxes);
    FakeTrayIcon tray;
    FakeClipboardText clipboard;
    AutostartEntry autostart(dir.filePath(QStringLiteral("autostart")), dir.path());
    AgendaData data(path);
    if (!data.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(data.errorText()));
        return 1;
    }
    frmArriv window({ clock, settings, speaker, alert, data, tray, clipboard, autostart });
    window.heartbeat().tmrAgenda1.stop();
    window.show();
    app.processEvents();

    window.heartbeat().tick(); // the first tick loads today's agenda
    out << "records: " << data.dtaAppun().recordCount() << " appointments ("
        << window.heartbeat().agendaOggi().appuntamentiCount() << " today), " << data.dtaProm().recordCount()
        << " reminders (" << window.heartbeat().agendaOggi().promemoriaCount() << " loaded)\n";

    // A reload walks both record sets to their end; ticks that do not reload leave them where they are.
    data.dtaAppun().MoveFirst();
    data.dtaProm().MoveFirst();

    // Second after second of an hour without entries.
    QList<double> batches;
    const int batch = 1000;
    QElapsedTimer timer;
    for (int done = 0; done < ticks; done += batch) {
        timer.start();
        for (int i = 0; i < batch; ++i) {
            clock.set(inHourThree(done + i));
            window.heartbeat().tick();
        }
        batches << timer.nsecsElapsed() / 1e3 / batch;
    }
    const bool untouched = data.dtaAppun().position() == RecordSet::Position::OnRecord
        && data.dtaAppun().currentIndex() == 0 && data.dtaProm().position() == RecordSet::Position::OnRecord
        && data.dtaProm().currentIndex() == 0;

    // With the repaint of the readout that each tick causes.
    QList<double> painted;
    for (int i = 0; i < 2000; ++i) {
        clock.set(inHourThree(i));
        timer.start();
        window.heartbeat().tick();
        app.processEvents();
        painted << timer.nsecsElapsed() / 1e3;
    }

    // The look for other programs' changes alone (a stat and SQLite's data_version), which every
    // tick above includes.
    QList<double> looks;
    for (int done = 0; done < 20000; done += batch) {
        timer.start();
        for (int i = 0; i < batch; ++i)
            data.followOutsideChanges();
        looks << timer.nsecsElapsed() / 1e3 / batch;
    }

    // A tick right after another program has committed a change: the three tables are read
    // afresh and today's agenda reloaded.
    QList<double> afterCommit;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other program"));
        other.setDatabaseName(path);
        other.open();
        QSqlQuery write(other);
        for (int i = 0; i < 50; ++i) {
            write.exec(QStringLiteral("UPDATE Rubrica SET Nome = 'altro %1' WHERE rowid = 1").arg(i));
            write.exec(QStringLiteral("INSERT INTO Rubrica (Nome) VALUES ('nuovo %1')").arg(i));
            clock.set(inHourThree(i));
            timer.start();
            window.heartbeat().tick();
            afterCommit << timer.nsecsElapsed() / 1e3;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other program"));

    // For comparison: a reload of today's agenda.
    QList<double> reloads;
    for (int i = 0; i < 200; ++i) {
        timer.start();
        window.heartbeat().caricaOggi();
        reloads << timer.nsecsElapsed() / 1e3;
    }

    // The same with the system clock, as in the running program.
    SystemClock systemClock;
    QList<double> real;
    bool reloadedToday = false;
    {
        frmArriv realWindow({ systemClock, settings, speaker, alert, data, tray, clipboard, autostart });
        realWindow.heartbeat().tmrAgenda1.stop();
        realWindow.heartbeat().tick();
        reloadedToday = realWindow.heartbeat().agendaOggi().appuntamentiCount()
            == window.heartbeat().agendaOggi().appuntamentiCount();
        for (int done = 0; done < 20000; done += batch) {
            timer.start();
            for (int i = 0; i < batch; ++i)
                realWindow.heartbeat().tick();
            real << timer.nsecsElapsed() / 1e3 / batch;
        }
    }

    out << "tick, nothing due: median " << QString::number(Bench::median(batches), 'f', 2) << " µs, worst batch "
        << QString::number(*std::max_element(batches.begin(), batches.end()), 'f', 2) << " µs (" << ticks
        << " ticks)\n";
    out << "tick + repaint of the readout: median " << QString::number(Bench::median(painted), 'f', 1) << " µs\n";
    out << "tick with the system clock: median " << QString::number(Bench::median(real), 'f', 2) << " µs (20000 ticks"
        << (reloadedToday ? ", same entries" : ", OTHER entries") << ")\n";
    out << "look for other programs' changes alone: median " << QString::number(Bench::median(looks), 'f', 2)
        << " µs\n";
    out << "tick after another program's commit (tables read afresh): median "
        << QString::number(Bench::median(afterCommit), 'f', 1) << " µs\n";
    out << "caricaOggi (for comparison): median " << QString::number(Bench::median(reloads), 'f', 1) << " µs\n";
    out << "record sets untouched by the ticks (no caricaOggi): " << (untouched ? "yes" : "NO") << "\n";
    out << "boxes shown: " << boxes.shown.size() << ", texts spoken: " << engine.spoken().size() << "\n";
    out.flush();
    return untouched && boxes.shown.isEmpty() ? 0 : 1;
}
