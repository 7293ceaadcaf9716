// SPDX-License-Identifier: GPL-3.0-or-later
// The address book of 100 000 entries, as the user meets it: the main window opens on it, ">"
// steps through it, and "Cerca" finds a name (with the entry read aloud) or says it is not there.
// Each figure is the time from the click to the page showing the result, without painting.
// usage: bench_rubrica [entries]   (runs offscreen unless QT_QPA_PLATFORM says otherwise)
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
#include "datafile/AgendaData.h"
#include "mainwindow/frmArriv.h"
#include "options/AutostartEntry.h"
#include "speech/Speaker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
const char* const Names[] = { "Mario Rossi", "Anna Bianchi", "Nicolò Ferrari", "Èlia Russo", "Lucia Esposito",
    "Giuseppe Romano", "Chiara Colombo", "Luca Ricci", "Francesca Marino", "Sofia Greco" };

// One "D'Angelo" in a thousand, one "Zeno Ultimo" at the very end.
bool fill(QSqlQuery& query, int entries)
{
    bool ok = true;
    ok = ok && query.prepare(QStringLiteral("INSERT INTO Rubrica (Nome, Telefono, Email) VALUES (?, ?, ?)"));
    for (int i = 0; ok && i < entries; ++i) {
        query.addBindValue(i == entries - 1 ? QStringLiteral("Zeno Ultimo")
                : i % 1000 == 500           ? QStringLiteral("D'Angelo")
                                            : QString::fromUtf8(Names[i % 10]));
        query.addBindValue(QStringLiteral("+39 06 %1").arg(1000000 + i));
        query.addBindValue(QStringLiteral("persona.%1@example.it").arg(i));
        ok = query.exec();
    }
    return ok;
}

QString ms(double ns) { return QString::number(ns / 1e6, 'f', 3) + QStringLiteral(" ms"); }
// Processor time of the calling thread: on a busy machine the wall clock also counts the waits.
double threadCpuNs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}
} // namespace

int main(int argc, char* argv[])
{
    Bench::Application app(argc, argv);
    const int entries = Bench::argument(argc, argv, 1, 100000, 1000);
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString path = Bench::dataFile(dir.path(), [entries](QSqlQuery& query) { return fill(query, entries); });
    if (path.isEmpty())
        return 1;
    FakeClock clock(QDateTime(QDate(2026, 12, 5), QTime(9, 0)));
    SettingsStore settings(dir.filePath(QStringLiteral("Vespelinda.conf")));
    FakeSpeechEngine engine;
    FakeAudioOutput audio;
    Speaker speaker(engine, audio);
    FakeMessageBoxes boxes;
    Alert alert(settings, speaker, boxes);
    FakeTrayIcon tray;
    AgendaData data(path);

    QElapsedTimer timer;
    timer.start();
    if (!data.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(data.errorText()));
        return 1;
    }
    const qint64 opened = timer.nsecsElapsed();
    FakeClipboardText clipboard;
    AutostartEntry autostart(dir.filePath(QStringLiteral("autostart")), dir.path());
    frmArriv window({ clock, settings, speaker, alert, data, tray, clipboard, autostart });
    const qint64 built = timer.nsecsElapsed() - opened;
    window.heartbeat().tmrAgenda1.stop();

    auto* txtNome = window.findChild<QLineEdit*>(QStringLiteral("txtNome"));
    auto* txtRnome = window.findChild<QLineEdit*>(QStringLiteral("txtRnome"));
    auto* cmdRicerca = window.findChild<QPushButton*>(QStringLiteral("cmdRicerca"));
    auto* cmdAvanti = window.findChild<QPushButton*>(QStringLiteral("cmdAvanti"));
    const auto timed = [&](QPushButton* button) {
        timer.start();
        button->click();
        return double(timer.nsecsElapsed());
    };

    QList<double> steps;
    for (int i = 0; i < 2000; ++i)
        steps << timed(cmdAvanti);

    // Every D'Angelo in turn, then round again from the first: the clicks a user makes.
    txtNome->setText(QStringLiteral("d'angelo"));
    const double firstCpu = threadCpuNs();
    const double first = timed(cmdRicerca); // the record set hashes every name once
    const double firstCpuNs = threadCpuNs() - firstCpu;
    QList<double> sameName;
    int found = txtRnome->text() == QLatin1String("D'Angelo");
    for (int i = 1; i < 300; ++i) {
        sameName << timed(cmdRicerca);
        found += txtRnome->text() == QLatin1String("D'Angelo");
    }
    // The slowest searches: the last entry, and a name nobody has (with an accent, the slower compare).
    const auto repeated = [&](const QString& name, const char* expectShown) {
        txtNome->setText(name);
        QList<double> times;
        for (int i = 0; i < 50; ++i) {
            times << timed(cmdRicerca);
            if (txtRnome->text() != QLatin1String(expectShown))
                found = -1;
        }
        return times;
    };
    const QList<double> last = repeated(QStringLiteral("zeno ultimo"), "Zeno Ultimo");
    const QList<double> absent = repeated(QStringLiteral("Nicolò Verdi"), "Zeno Ultimo");

    out << "entries: " << data.dtaRubrica().recordCount() << "\n";
    out << "data file opened (three record sets): " << ms(opened) << ", main window with the page built: " << ms(built)
        << "\n";
    out << "\">\": median " << ms(Bench::median(steps)) << ", worst "
        << ms(*std::max_element(steps.begin(), steps.end())) << "\n";
    out << "first \"Cerca\": " << ms(first) << " (processor " << ms(firstCpuNs) << ")\n";
    out << "\"Cerca\" D'Angelo in turn: median " << ms(Bench::median(sameName)) << ", worst "
        << ms(*std::max_element(sameName.begin(), sameName.end())) << "\n";
    out << "\"Cerca\" the last entry: median " << ms(Bench::median(last)) << ", worst "
        << ms(*std::max_element(last.begin(), last.end())) << "\n";
    out << "\"Cerca\" a name nobody has: median " << ms(Bench::median(absent)) << ", worst "
        << ms(*std::max_element(absent.begin(), absent.end())) << "\n";
    out << "found as expected: " << (found == 300 ? "yes" : "NO") << ", boxes shown: " << boxes.shown.size() << "\n";
    out.flush();
    return found == 300 && boxes.shown.isEmpty() ? 0 : 1;
}
