// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Clock.h"

// set() moves only the wall clock, as a user changing the time (or a suspended machine waking)
// would; advance() lets real time pass, moving both readings.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(QDateTime now = QDateTime(QDate(2026, 12, 5), QTime(9, 5)))
        : m_now(std::move(now))
    {
    }
    QDateTime now() const override { return m_now; }
    qint64 monotonicMs() const override { return m_monotonic; }
    void set(const QDateTime& now) { m_now = now; }
    void set(const QTime& time) { m_now.setTime(time); }
    void advance(qint64 ms)
    {
        m_now = m_now.addMSecs(ms);
        m_monotonic += ms;
    }

private:
    QDateTime m_now;
    qint64 m_monotonic = 1000000;
};
