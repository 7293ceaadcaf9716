// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/BlinkCycle.h"

#include <QtTest>

using Eyes = BlinkCycle::Eyes;

class TestBlinkCycle : public QObject
{
    Q_OBJECT

private slots:
    // The blink a 50 ms timer would give (closed at tick 101, open at 102, every 102 ticks), woken
    // only at the edges, or late, or with the clock set back: the counter still shows every tick
    // that passed and each blink is seen whole.
    void wokenAtTheEdgesOnly_data()
    {
        // Milliseconds after the start; for each wake-up, what it does to the eyes, the counter after
        // it and the milliseconds from it to the next edge.
        QTest::addColumn<QList<qint64>>("wakeUps");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("on time") << QList<qint64> { 0, 2000, 5050, 5100, 10150 }
                                 << QStringList { "at 0: Unchanged, counter 0, next edge in 5050",
                                        "at 2000: Unchanged, counter 40, next edge in 3050",
                                        "at 5050: Close, counter 101, next edge in 50",
                                        "at 5100: Open, counter 102, next edge in 5050",
                                        "at 10150: Close, counter 101, next edge in 50" };
        QTest::newRow("late, then the clock set back")
            << QList<qint64> { 9000, 9050, 0 }
            << QStringList { "at 9000: Close, counter 101, next edge in 50",
                   "at 9050: Open, counter 102, next edge in 5050", "at 0: Unchanged, counter 102, next edge in 5050" };
    }
    void wokenAtTheEdgesOnly()
    {
        QFETCH(QList<qint64>, wakeUps);
        QFETCH(QStringList, expected);
        const qint64 t0 = 1'000'000;
        BlinkCycle cycle;
        int counter = 0;
        cycle.start(t0);
        QStringList seen;
        for (const qint64 at : wakeUps) {
            const Eyes eyes = cycle.catchUp(t0 + at, counter);
            const char* what = eyes == Eyes::Close ? "Close" : eyes == Eyes::Open ? "Open" : "Unchanged";
            seen << QStringLiteral("at %1: %2, counter %3, next edge in %4")
                        .arg(at)
                        .arg(QLatin1String(what))
                        .arg(counter)
                        .arg(cycle.msToNextEdge(t0 + at, counter));
        }
        QCOMPARE(seen, expected);
    }

    void aCounterPastTheCycleNeverComesRound() { QCOMPARE(BlinkCycle::ticksToNextEdge(103), -1); }
};

QTEST_APPLESS_MAIN(TestBlinkCycle)
#include "TestBlinkCycle.moc"
