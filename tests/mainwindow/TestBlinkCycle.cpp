// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/BlinkCycle.h"

#include <QtTest>

using Eyes = BlinkCycle::Eyes;

class TestBlinkCycle : public QObject
{
    Q_OBJECT

private slots:
    // The cycle a 50 ms timer would give: closed at tick 101, open at 102, then every 102 ticks.
    void ticksOneByOne()
    {
        int counter = 0;
        QList<int> closes;
        QList<int> opens;
        for (int tick = 1; tick <= 400; ++tick) {
            const Eyes eyes = BlinkCycle::tick(counter);
            if (eyes == Eyes::Close)
                closes.append(tick);
            if (eyes == Eyes::Open)
                opens.append(tick);
        }
        QCOMPARE(closes, (QList<int> { 101, 203, 305 }));
        QCOMPARE(opens, (QList<int> { 102, 204, 306 }));
        QCOMPARE(BlinkCycle::ticksToNextEdge(0), 101);
        QCOMPARE(BlinkCycle::ticksToNextEdge(100), 1);
        QCOMPARE(BlinkCycle::ticksToNextEdge(101), 1);
        QCOMPARE(BlinkCycle::ticksToNextEdge(102), 101);
        QCOMPARE(BlinkCycle::ticksToNextEdge(103), -1);
    }

    // Woken only at the edges, the counter still shows every tick that passed.
    void wokenAtTheEdgesOnly()
    {
        const qint64 t0 = 1'000'000;
        BlinkCycle cycle;
        int counter = 0;
        cycle.start(t0);
        QCOMPARE(cycle.msToNextEdge(t0, counter), 5050);

        // Early: nothing happens, the next edge is still where it was.
        QCOMPARE(cycle.catchUp(t0 + 2000, counter), Eyes::Unchanged);
        QCOMPARE(counter, 40);
        QCOMPARE(cycle.msToNextEdge(t0 + 2000, counter), 3050);

        QCOMPARE(cycle.catchUp(t0 + 5050, counter), Eyes::Close);
        QCOMPARE(counter, 101);
        QCOMPARE(cycle.msToNextEdge(t0 + 5050, counter), 50);
        QCOMPARE(cycle.catchUp(t0 + 5100, counter), Eyes::Open);
        QCOMPARE(counter, 102);
        QCOMPARE(cycle.msToNextEdge(t0 + 5100, counter), 5050);
        QCOMPARE(cycle.catchUp(t0 + 10150, counter), Eyes::Close);
        QCOMPARE(counter, 101);
    }

    // A late wake-up still shows the blink whole, from the moment it comes.
    void lateWakeUpAndClockChanges()
    {
        const qint64 t0 = 1'000'000;
        BlinkCycle cycle;
        int counter = 0;
        cycle.start(t0);
        QCOMPARE(cycle.catchUp(t0 + 9000, counter), Eyes::Close);
        QCOMPARE(counter, 101);
        QCOMPARE(cycle.msToNextEdge(t0 + 9000, counter), 50);
        QCOMPARE(cycle.catchUp(t0 + 9050, counter), Eyes::Open);

        // The clock set back: the count goes on from there, nothing is lost or repeated.
        QCOMPARE(cycle.catchUp(t0, counter), Eyes::Unchanged);
        QCOMPARE(counter, 102);
        QCOMPARE(cycle.msToNextEdge(t0, counter), 5050);
    }
};

QTEST_APPLESS_MAIN(TestBlinkCycle)
#include "TestBlinkCycle.moc"
