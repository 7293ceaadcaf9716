// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

class SettingsStore;

// What the program says when it starts and when it ends, as the user chose ("Tipo iniziale",
// "Tipo finale"): the greeting by time of day, with today's date and the time, and the farewell.
namespace Greeting {
// The start-up message; none for "Nessuno".
std::optional<QString> startMessage(const SettingsStore& settings, const QDateTime& now);
// The farewell; none for "Nessuno".
std::optional<QString> farewell(const SettingsStore& settings);

QString salutation(int hour);
// "Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti."
QString text(const QDateTime& now);
// Dates are said in the Italian short form with a four-digit year, whatever the desktop's locale.
QString shortDate(const QDate& date);
} // namespace Greeting
