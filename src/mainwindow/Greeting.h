// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

// The start-up greeting by time of day, with today's date and the time.
namespace Greeting {
QString salutation(int hour);
// "Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti."
QString text(const QDateTime& now);
// Dates are said in the Italian short form with a four-digit year, whatever the desktop's locale.
QString shortDate(const QDate& date);
} // namespace Greeting
