// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The face's blink, counted in 50 ms ticks as the user sees it: on a 102-tick cycle the eyes close
// at the tick that finds the counter at 100 and open at the next one. An idle program must not
// wake twenty times a second for it, so the ticks are counted from the time that has passed and
// the timer is set for the next tick that changes the eyes.
class BlinkCycle
{
public:
    static constexpr int TickMs = 50;
    enum class Eyes
    {
        Unchanged,
        Close,
        Open
    };

    // One tick on the counter.
    static Eyes tick(int& counter);
    // Ticks until the next one that changes the eyes (at least 1), or -1 if none ever will.
    static int ticksToNextEdge(int counter);

    // The ticking (re)starts at nowMs; the first tick falls one TickMs later.
    void start(qint64 nowMs) { m_lastTickMs = nowMs; }
    // Runs on the counter the ticks that have fallen due by nowMs, up to the first one that
    // changes the eyes, and tells what that one does.
    Eyes catchUp(qint64 nowMs, int& counter);
    // Milliseconds from nowMs to the next tick that changes the eyes, or -1 if none will.
    qint64 msToNextEdge(qint64 nowMs, int counter) const;

private:
    qint64 m_lastTickMs = 0;
};
