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
    void wokenAtTheEdgesOnly()
    {
        const qint64 t0 = 1'000'000;
        // Milliseconds after the start, what that wake-up does to the eyes, the counter after it,
        // milliseconds from it to the next edge.
        using WakeUps = QList<std::tuple<qint64, Eyes, int, qint64>>;
        const WakeUps onTime { { 0, Eyes::Unchanged, 0, 5050 }, { 2000, Eyes::Unchanged, 40, 3050 },
            { 5050, Eyes::Close, 101, 50 }, { 5100, Eyes::Open, 102, 5050 }, { 10150, Eyes::Close, 101, 50 } };
        const WakeUps lateThenBack { { 9000, Eyes::Close, 101, 50 }, { 9050, Eyes::Open, 102, 5050 },
            { 0, Eyes::Unchanged, 102, 5050 } };
        for (const WakeUps& wakeUps : { onTime, lateThenBack }) {
            BlinkCycle cycle;
            int counter = 0;
            cycle.start(t0);
            for (const auto& [at, eyes, count, next] : wakeUps) {
                QVERIFY2(cycle.catchUp(t0 + at, counter) == eyes && counter == count, qPrintable(QString::number(at)));
                QCOMPARE(cycle.msToNextEdge(t0 + at, counter), next);
            }
        }
        QCOMPARE(BlinkCycle::ticksToNextEdge(103), -1); // a counter past the cycle never comes round
    }
};

QTEST_APPLESS_MAIN(TestBlinkCycle)
#include "TestBlinkCycle.moc"
