// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// What the calendar page says: the time on request, and the weekday of any date the user picks.
class CalendarTexts
{
public:
    // "domenica" .. "sabato", from the date's own arithmetic.
    static QString weekdayName(const QDate& date);
    // "lunedì 7 dicembre 2026".
    static QString fullDate(const QDate& date);
    // "sono le 14 e 7"
    static QString time(const QTime& time);
    // "Oggi è sabato 5 dicembre 2026", "il 25 dicembre 2026 sarà venerdì",
    // "il 1 gennaio 2026 era giovedì"
    static QString day(const QDate& date, const QDate& today);
};
