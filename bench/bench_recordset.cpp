// SPDX-License-Identifier: GPL-3.0-or-later
// Record sets over a large data file: reopening and walking 100 000 appointments (the daily load
// of the agenda), finding names among 100 000 address-book entries, storing one record.
#include "DataFileFixture.h"
#include "datafile/AgendaData.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {
constexpr int Records = 100000;
constexpr int SameNameEvery = 1000; // one "D'Angelo" in a thousand

const char* const Names[] = { "Mario Rossi", "Anna Bianchi", "Nicolò Ferrari", "Èlia Russo", "Lucia Esposito",
    "Giuseppe Romano", "Chiara Colombo", "Luca Ricci", "Francesca Marino", "Sofia Greco" };

struct LargeFile
{
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<AgendaData> data;

    LargeFile()
    {
        path = DataFileFixture::create(dir.path());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
            db.setDatabaseName(path);
            db.open();
            db.transaction();
            QSqlQuery appointment(db);
            appointment.prepare(QStringLiteral("INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES (?, ?, ?)"));
            QSqlQuery entry(db);
            entry.prepare(QStringLiteral("INSERT INTO Rubrica (Nome, Telefono, Email) VALUES (?, ?, ?)"));
            const QDate first(2026, 1, 1);
            for (int i = 0; i < Records; ++i) {
                appointment.addBindValue(first.addDays(i % 365).toString(Qt::ISODate) + QStringLiteral("T00:00:00"));
                appointment.addBindValue(QStringLiteral("1899-12-30T%1:%2:00")
                                             .arg(i % 24, 2, 10, QLatin1Char('0'))
                                             .arg(i % 60, 2, 10, QLatin1Char('0')));
                appointment.addBindValue(QStringLiteral("Appuntamento numero %1").arg(i));
                appointment.exec();
                const QString name = i % SameNameEvery == SameNameEvery / 2 ? QStringLiteral("D'Angelo")
                                                                            : QString::fromUtf8(Names[i % 10]);
                entry.addBindValue(name);
                entry.addBindValue(QStringLiteral("06 %1").arg(1000000 + i));
                entry.addBindValue(QStringLiteral("persona%1@example.it").arg(i));
                entry.exec();
            }
            db.commit();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fill"));
        data = std::make_unique<AgendaData>(path);
        if (!data->open())
            std::fprintf(stderr, "%s\n", qUtf8Printable(data->errorText()));
    }
};

LargeFile* theFile = nullptr; // made by main() before the benchmarks run

LargeFile& largeFile() { return *theFile; }

void refreshAndWalkAppointments(benchmark::State& state)
{
    RecordSet& set = largeFile().data->dtaAppun();
    const QDateTime today(QDate(2026, 12, 5), QTime(0, 0));
    for (auto _ : state) {
        set.Refresh();
        int dueToday = 0;
        for (set.MoveFirst(); !set.Eof(); set.MoveNext()) {
            if (set.value(QStringLiteral("Data")).toDateTime() == today) {
                benchmark::DoNotOptimize(set.value(QStringLiteral("Ora")).toDateTime().time());
                benchmark::DoNotOptimize(set.value(QStringLiteral("Testo")).toString());
                ++dueToday;
            }
        }
        benchmark::DoNotOptimize(dueToday);
    }
    state.counters["records"] = set.recordCount();
}

void refreshAppointments(benchmark::State& state)
{
    RecordSet& set = largeFile().data->dtaAppun();
    for (auto _ : state)
        set.Refresh();
}

void walkAppointmentsReadingData(benchmark::State& state)
{
    RecordSet& set = largeFile().data->dtaAppun();
    set.Refresh();
    for (auto _ : state) {
        for (set.MoveFirst(); !set.Eof(); set.MoveNext())
            benchmark::DoNotOptimize(set.value(QStringLiteral("Data")));
    }
}

// Every D'Angelo in turn, as the address-book search does on repeated clicks: a whole pass.
void findNextThroughAddressBook(benchmark::State& state)
{
    RecordSet& set = largeFile().data->dtaRubrica();
    const FieldEquals criterion { QStringLiteral("Nome"), QStringLiteral("d'angelo") };
    for (auto _ : state) {
        int found = 0;
        for (set.FindFirst(criterion); !set.NoMatch(); set.FindNext(criterion))
            ++found;
        benchmark::DoNotOptimize(found);
    }
    state.counters["records"] = set.recordCount();
}

// A name nobody has, with an accent: every entry is compared, the slowest find there is.
void findAbsentAccentedName(benchmark::State& state)
{
    RecordSet& set = largeFile().data->dtaRubrica();
    const FieldEquals criterion { QStringLiteral("Nome"), QStringLiteral("Nicolò Verdi") };
    for (auto _ : state) {
        set.FindFirst(criterion);
        benchmark::DoNotOptimize(set.NoMatch());
    }
}

// One new record stored and synced to disk.
void storeOneRecord(benchmark::State& state)
{
    QString error;
    std::unique_ptr<RecordSet> set = largeFile().data->openRecordSet(QStringLiteral("Promemoria"), &error);
    for (auto _ : state) {
        set->AddNew();
        set->setValue(QStringLiteral("Ora"), QDateTime(QDate(1899, 12, 30), QTime(9, 30)));
        set->setValue(QStringLiteral("Testo"), QStringLiteral("pillola"));
        set->Update();
    }
}
} // namespace

BENCHMARK(refreshAndWalkAppointments)->Unit(benchmark::kMillisecond);
BENCHMARK(refreshAppointments)->Unit(benchmark::kMillisecond);
BENCHMARK(walkAppointmentsReadingData)->Unit(benchmark::kMillisecond);
BENCHMARK(findNextThroughAddressBook)->Unit(benchmark::kMillisecond);
BENCHMARK(findAbsentAccentedName)->Unit(benchmark::kMillisecond);
BENCHMARK(storeOneRecord)->Unit(benchmark::kMillisecond);

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    auto file = std::make_unique<LargeFile>();
    theFile = file.get();
    benchmark::RunSpecifiedBenchmarks();
    file.reset();
    benchmark::Shutdown();
    return 0;
}
