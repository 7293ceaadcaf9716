// SPDX-License-Identifier: GPL-3.0-or-later
// Importing large files as the main window does: 100 000 contacts from a vCard file and 10 000
// events from an iCalendar file, each into a fresh copy of an empty dati.mdb, read and stored off
// the user-interface thread, then read by the window's record sets. For each: the time from the
// start to the outcome's box, the longest the user-interface thread's event loop went without
// turning (a 10 ms timer measures the gaps) until the outcome and while the window reads what was
// stored, and the process's peak memory (getrusage's ru_maxrss). The target is a stall of at most
// 50 ms.
// usage: bench_import [--benchmark_...]   (runs offscreen unless QT_QPA_PLATFORM says otherwise)
#include "BenchSetup.h"
#include "FakeAudioOutput.h"
#include "FakeClock.h"
#include "FakeMessageBoxes.h"
#include "FakeSpeechEngine.h"
#include "core/Alert.h"
#include "core/SettingsStore.h"
#include "datafile/AgendaData.h"
#include "speech/Speaker.h"
#include "transfer/DataTransfer.h"
#include "transfer/TransferDialogs.h"
#include "transfer/TransferFormats.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {
constexpr int Contacts = 100000;
constexpr int Events = 10000;

const char* const Given[]
    = { "Mario", "Anna", "Nicolò", "Èlia", "Lucia", "Giuseppe", "Chiara", "Luca", "Francesca", "Sofia" };
const char* const Family[]
    = { "Rossi", "Bianchi", "Ferrari", "Russo", "Esposito", "Romano", "Colombo", "Ricci", "Marino", "D'Angelo" };

struct Files
{
    QTemporaryDir dir;
    QString contacts = dir.filePath(QStringLiteral("rubrica.vcf"));
    QString calendar = dir.filePath(QStringLiteral("agenda.ics"));
    QString empty; // an empty data file, copied for every import
    QDate today = QDate::currentDate();

    Files()
    {
        QFile vcf(contacts);
        vcf.open(QIODevice::WriteOnly);
        QTextStream out(&vcf);
        for (int i = 0; i < Contacts; ++i) {
            const QString given = QString::fromUtf8(Given[i % 10]);
            const QString family = QString::fromUtf8(Family[(i / 10) % 10]);
            out << "BEGIN:VCARD\r\nVERSION:3.0\r\n"
                << "N:" << family << ';' << given << ";;;\r\n"
                << "FN:" << given << ' ' << family << ' ' << i << "\r\n"
                << "TEL;TYPE=CELL:+39 333 " << 1000000 + i << "\r\n"
                << "TEL;TYPE=HOME:06 " << 2000000 + i << "\r\n"
                << "EMAIL;TYPE=INTERNET:persona." << i << "@example.it\r\n"
                << "END:VCARD\r\n";
        }
        out.flush();

        QFile ics(calendar);
        ics.open(QIODevice::WriteOnly);
        QTextStream cal(&ics);
        cal << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Vespelinda//bench//IT\r\n";
        for (int i = 0; i < Events; ++i) {
            const QDate day = today.addDays(i % 365);
            cal << "BEGIN:VEVENT\r\nUID:evento-" << i << "@example.it\r\nDTSTAMP:20261201T080000Z\r\n";
            if (i % 20 == 0) {
                cal << "DTSTART;VALUE=DATE:" << day.toString(QStringLiteral("yyyyMMdd")) << "\r\n";
            } else {
                const QString time = QStringLiteral("T%1%2")
                                         .arg(i % 24, 2, 10, QLatin1Char('0'))
                                         .arg((i * 7) % 60, 2, 10, QLatin1Char('0'));
                cal << "DTSTART:" << day.toString(QStringLiteral("yyyyMMdd")) << time << "00\r\n"
                    << "DURATION:PT30M\r\n";
            }
            cal << "SUMMARY:Appuntamento numero " << i << " con " << Given[i % 10] << "\r\n"
                << "LOCATION:Via Roma " << i % 200 << "\r\nEND:VEVENT\r\n";
        }
        cal << "END:VCALENDAR\r\n";
        cal.flush();
        empty = Bench::dataFile(dir.path(), [](QSqlQuery&) { return true; });
    }
};
Files* theFiles = nullptr; // made by main() before the benchmarks run

// Never asked: the files are given.
class NoDialogs final : public TransferDialogs
{
public:
    QStringList openFiles(QWidget*, const QString&, const QString&, const QStringList&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    Export chooseExport(QWidget*) override { return Export::Nothing; }
};

// The longest gap between two turns of the event loop, measured by a 10 ms timer.
class StallMeter
{
public:
    StallMeter()
    {
        m_timer.setInterval(10);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_longest = std::max(m_longest, m_since.restart()); });
        m_since.start();
        m_timer.start();
    }
    // The longest gap so far, and start afresh.
    qint64 take()
    {
        const qint64 longest = std::max(m_longest, m_since.elapsed());
        m_longest = 0;
        m_since.restart();
        return longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

double peakMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void import(benchmark::State& state, const QString& file, const char* table)
{
    Files& files = *theFiles;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dati.mdb"));
        QFile::copy(files.empty, path);
        AgendaData data(path);
        if (!data.open()) {
            state.SkipWithError(qPrintable(data.errorText()));
            return;
        }
        SettingsStore settings(dir.filePath(QStringLiteral("Vespelinda.conf")));
        FakeSpeechEngine engine;
        FakeAudioOutput audio;
        Speaker speaker(engine, audio);
        FakeMessageBoxes boxes;
        Alert alert(settings, speaker, boxes);
        FakeClock clock(QDateTime(files.today, QTime(0, 0)));
        NoDialogs dialogs;
        QWidget window;
        QEventLoop loop;
        qint64 readingMs = 0;
        QElapsedTimer readingTook;
        // As the main window does once the rows are stored: its record sets read them.
        DataTransfer transfer(window, { alert, clock, data, dialogs, TransferFormats::files() }, [&] {
            readingTook.start();
            data.followOutsideChanges();
            readingMs = readingTook.elapsed();
        });
        boxes.whileOpen = [&](const FakeMessageBoxes::Box&) {
            loop.quit();
        };
        state.ResumeTiming();

        QElapsedTimer took;
        took.start();
        StallMeter stalls;
        transfer.importFiles({ file });
        loop.exec();
        const qint64 tookMs = took.elapsed();
        const qint64 stallMs = stalls.take();
        state.SetIterationTime(double(tookMs) / 1000.0);

        state.PauseTiming();
        const QString outcome = boxes.shown.value(0).text;
        state.counters["rows"]
            = data.dtaRubrica().recordCount() + data.dtaAppun().recordCount() + data.dtaProm().recordCount();
        state.counters["longest_stall_ms"] = double(stallMs);
        state.counters["window_reading_ms"] = double(readingMs);
        state.counters["peak_MiB"] = peakMiB();
        std::fprintf(stderr,
            "%s: %lld ms, longest stall %lld ms (the window reading the rows: %lld ms), peak %.0f MiB\n  %s\n", table,
            static_cast<long long>(tookMs), static_cast<long long>(stallMs), static_cast<long long>(readingMs),
            peakMiB(), qUtf8Printable(outcome));
        state.ResumeTiming();
    }
}

void importEvents(benchmark::State& state) { import(state, theFiles->calendar, "10 000 events"); }
void importContacts(benchmark::State& state) { import(state, theFiles->contacts, "100 000 contacts"); }
} // namespace

// The events first: the peak memory only grows.
BENCHMARK(importEvents)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(importContacts)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char* argv[])
{
    Bench::Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    auto files = std::make_unique<Files>();
    theFiles = files.get();
    std::fprintf(stderr, "files made: %lld KiB of contacts, %lld KiB of events; peak so far %.0f MiB\n",
        static_cast<long long>(QFileInfo(files->contacts).size() / 1024),
        static_cast<long long>(QFileInfo(files->calendar).size() / 1024), peakMiB());
    benchmark::RunSpecifiedBenchmarks();
    files.reset();
    benchmark::Shutdown();
    return 0;
}
