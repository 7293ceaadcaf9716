// SPDX-License-Identifier: GPL-3.0-or-later
// The appointment window over 10 000 appointments: the time from the click to the window shown
// with its list drawn (reading the table, building the window, the first paint), and the time to
// draw each page while the list is scrolled from top to bottom.
// usage: bench_managers [rows] [runs]   (runs offscreen unless QT_QPA_PLATFORM says otherwise)
#include "BenchSetup.h"
#include "FakeAudioOutput.h"
#include "FakeMessageBoxes.h"
#include "FakeSpeechEngine.h"
#include "agenda/managers/frmAppun.h"
#include "core/Alert.h"
#include "core/MainWindowLink.h"
#include "core/SettingsStore.h"
#include "core/SystemClock.h"
#include "datafile/AgendaData.h"
#include "datafile/RecordSet.h"
#include "speech/Speaker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest/QTest>
#include <algorithm>
#include <cstdio>

namespace {
struct Link final : MainWindowLink
{
    bool finestraAperta() const override { return open; }
    void setFinestraAperta(bool value) override { open = value; }
    void tableChanged(Table) override { }
    void stopInactivityCountdown() override { }
    void setInactivityInterval(int) override { }
    bool open = false;
};

bool fill(QSqlQuery& query, int rows)
{
    bool ok = true;
    query.prepare(QStringLiteral("INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES (?, ?, ?)"));
    const QDate first(2026, 1, 1);
    for (int i = 0; ok && i < rows; ++i) {
        query.addBindValue(first.addDays(i % 700).toString(Qt::ISODate) + QStringLiteral("T00:00:00"));
        query.addBindValue(QStringLiteral("1899-12-30T%1:%2:00")
                               .arg(i % 24, 2, 10, QLatin1Char('0'))
                               .arg(i * 7 % 60, 2, 10, QLatin1Char('0')));
        query.addBindValue(QStringLiteral("Appuntamento numero %1, con un testo di lunghezza media").arg(i));
        ok = query.exec();
    }
    return ok;
}

} // namespace

int main(int argc, char* argv[])
{
    Bench::Application app(argc, argv);
    const int rows = Bench::argument(argc, argv, 1, 10000, 1);
    const int runs = Bench::argument(argc, argv, 2, 20, 1);
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString path = Bench::dataFile(dir.path(), [rows](QSqlQuery& query) { return fill(query, rows); });
    if (path.isEmpty())
        return 1;
    AgendaData data(path);
    if (!data.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(data.errorText()));
        return 1;
    }
    SystemClock clock;
    SettingsStore settings(dir.filePath(QStringLiteral("Vespelinda.conf")));
    FakeSpeechEngine engine;
    FakeAudioOutput audio;
    Speaker speaker(engine, audio);
    FakeMessageBoxes boxes;
    Alert alert(settings, speaker, boxes);
    Link link;

    QList<double> reads, opens, pages;
    QElapsedTimer timer;
    for (int run = 0; run < runs; ++run) {
        timer.start();
        std::unique_ptr<RecordSet> records = data.openRecordSet(QStringLiteral("Appuntamenti"));
        reads << timer.nsecsElapsed() / 1e6;
        auto* window = new frmAppun(std::move(records), { alert, clock, link, path, data.outsideChanges() });
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            return 1;
        window->DBGrid1->viewport()->repaint();
        opens << timer.nsecsElapsed() / 1e6;

        if (run == 0) {
            // Page by page to the end, each page drawn at once.
            QScrollBar* bar = window->DBGrid1->verticalScrollBar();
            while (bar->value() < bar->maximum()) {
                timer.start();
                bar->setValue(bar->value() + bar->pageStep());
                window->DBGrid1->viewport()->repaint();
                pages << timer.nsecsElapsed() / 1e6;
            }
        }
        delete window;
    }

    out << "appointments: " << rows << ", runs: " << runs << "\n";
    out << "open the window (read the table, build, first paint): median "
        << QString::number(Bench::median(opens), 'f', 1) << " ms, worst "
        << QString::number(*std::max_element(opens.begin(), opens.end()), 'f', 1) << " ms\n";
    out << "  of which reading the table: median " << QString::number(Bench::median(reads), 'f', 1) << " ms\n";
    out << "scroll one page and draw it: median " << QString::number(Bench::median(pages), 'f', 2) << " ms, worst "
        << QString::number(*std::max_element(pages.begin(), pages.end()), 'f', 2) << " ms (" << pages.size()
        << " pages)\n";
    out.flush();
    return 0;
}
