// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

// The one source of the current date and time, so that tests can set it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Milliseconds of real time from an arbitrary start: never set back or forward with the wall
    // clock, and standing still while the machine is suspended. Comparing the two readings tells
    // a clock that was changed from time that really passed.
    virtual qint64 monotonicMs() const = 0;
};
