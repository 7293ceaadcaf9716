// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/BlinkCycle.h"

#include <QtTest>

using Eyes = BlinkCycle::Eyes;

class TestBlinkCycle : public QObject
{
    Q_OBJECT

private slots:
    // What a 50 ms timer would give: closed at tick 101, open at 102, then every 102 ticks.
    void ticksOneByOne()
    {
        int counter = 0;
        QList<int> edges;
        for (int tick = 1; tick <= 310; ++tick) {
            const Eyes eyes = BlinkCycle::tick(counter);
            if (eyes != Eyes::Unchanged)
                edges.append(eyes == Eyes::Close ? tick : -tick);
        }
        QCOMPARE(edges, (QList<int> { 101, -102, 203, -204, 305, -306 }));
        const QList<std::pair<int, int>> toNextEdge { { 0, 101 }, { 100, 1 }, { 101, 1 }, { 102, 101 }, { 103, -1 } };
        for (const auto& [from, ticks] : toNextEdge)
            QCOMPARE(BlinkCycle::ticksToNextEdge(from), ticks);
    }

    // Woken only at the edges (or late, or with the clock set back), the counter still shows
    // every tick that passed and the blink is seen whole.
    void wokenAtTheEdgesOnly_data()
    {
        QTest::addColumn<QList<qint64>>("wakeUps"); // ms after the start
        QTest::addColumn<QList<int>>("eyes"); // what each wake-up does to the eyes
        QTest::addColumn<QList<int>>("counters");
        QTest::addColumn<QList<qint64>>("nextEdges"); // ms from each wake-up to the next edge
        const int none = int(Eyes::Unchanged), close = int(Eyes::Close), open = int(Eyes::Open);
        QTest::newRow("on time") << QList<qint64> { 0, 2000, 5050, 5100, 10150 }
                                 << QList<int> { none, none, close, open, close } << QList<int> { 0, 40, 101, 102, 101 }
                                 << QList<qint64> { 5050, 3050, 50, 5050, 50 };
        QTest::newRow("late, then the clock set back")
            << QList<qint64> { 9000, 9050, 0 } << QList<int> { close, open, none } << QList<int> { 101, 102, 102 }
            << QList<qint64> { 50, 5050, 5050 };
    }
    void wokenAtTheEdgesOnly()
    {
        QFETCH(QList<qint64>, wakeUps);
        QFETCH(QList<int>, eyes);
        QFETCH(QList<int>, counters);
        QFETCH(QList<qint64>, nextEdges);
        const qint64 t0 = 1'000'000;
        BlinkCycle cycle;
        int counter = 0;
        cycle.start(t0);
        for (int i = 0; i < wakeUps.size(); ++i) {
            QCOMPARE(int(cycle.catchUp(t0 + wakeUps[i], counter)), eyes[i]);
            QCOMPARE(counter, counters[i]);
            QCOMPARE(cycle.msToNextEdge(t0 + wakeUps[i], counter), nextEdges[i]);
        }
    }
};

QTEST_APPLESS_MAIN(TestBlinkCycle)
#include "TestBlinkCycle.moc"
