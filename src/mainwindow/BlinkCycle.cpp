// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/BlinkCycle.h"

#include <algorithm>

BlinkCycle::Eyes BlinkCycle::tick(int& counter)
{
    Eyes eyes = Eyes::Unchanged;
    if (counter == 100)
        eyes = Eyes::Close;
    if (counter == 101)
        eyes = Eyes::Open;
    if (counter == 102)
        counter = 0;
    ++counter;
    return eyes;
}

int BlinkCycle::ticksToNextEdge(int counter)
{
    // A whole cycle is 102 ticks; a counter past 102 never comes round again.
    for (int ticks = 1; ticks <= 104; ++ticks) {
        if (tick(counter) != Eyes::Unchanged)
            return ticks;
    }
    return -1;
}

BlinkCycle::Eyes BlinkCycle::catchUp(qint64 nowMs, int& counter)
{
    if (nowMs < m_lastTickMs) {
        // The clock was set back: count on from here.
        m_lastTickMs = nowMs;
        return Eyes::Unchanged;
    }
    qint64 due = (nowMs - m_lastTickMs) / TickMs;
    while (due > 0) {
        const Eyes eyes = tick(counter);
        --due;
        m_lastTickMs += TickMs;
        if (eyes != Eyes::Unchanged) {
            // Woken late (a busy moment, a clock set forward): go on from now, as a timer that
            // fired late would, instead of crowding the missed ticks together.
            if (due > 0)
                m_lastTickMs = nowMs;
            return eyes;
        }
    }
    return Eyes::Unchanged;
}

qint64 BlinkCycle::msToNextEdge(qint64 nowMs, int counter) const
{
    const int ticks = ticksToNextEdge(counter);
    if (ticks < 0)
        return -1;
    return std::max<qint64>(0, m_lastTickMs + qint64(ticks) * TickMs - nowMs);
}
