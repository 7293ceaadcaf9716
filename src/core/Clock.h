// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

// The one source of the current date and time, so that tests can set it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};
