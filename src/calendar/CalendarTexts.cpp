// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/CalendarTexts.h"

#include "speech/ItalianSpeechText.h"

QString CalendarTexts::weekdayName(const QDate& date)
{
    // Qt counts from Monday = 1 to Sunday = 7.
    static const char* const names[] = { "lunedì", "martedì", "mercoledì", "giovedì", "venerdì", "sabato", "domenica" };
    const int day = date.dayOfWeek();
    return day >= 1 && day <= 7 ? QString::fromUtf8(names[day - 1]) : QString();
}

QString CalendarTexts::time(const QTime& time)
{
    return QStringLiteral("sono le ") + QString::number(time.hour()) + QStringLiteral(" e ")
        + QString::number(time.minute());
}

QString CalendarTexts::day(const QDate& date, const QDate& today)
{
    const QString dayMonthYear = QString::number(date.day()) + u' ' + ItalianSpeechText::monthName(date.month()) + u' '
        + QString::number(date.year());
    if (date == today)
        return QStringLiteral("Oggi è ") + weekdayName(date) + u' ' + dayMonthYear;
    const QString verb = today < date ? QStringLiteral(" sarà ") : QStringLiteral(" era ");
    return QStringLiteral("il ") + dayMonthYear + verb + weekdayName(date);
}

QString CalendarTexts::fullDate(const QDate& date)
{
    return weekdayName(date) + u' ' + QString::number(date.day()) + u' ' + ItalianSpeechText::monthName(date.month())
        + u' ' + QString::number(date.year());
}
