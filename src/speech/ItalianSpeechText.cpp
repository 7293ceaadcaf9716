// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/ItalianSpeechText.h"

#include <QDate>
#include <QRegularExpression>

namespace ItalianSpeechText {

QString monthName(int month)
{
    static const char* const names[] = { "gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno", "luglio",
        "agosto", "settembre", "ottobre", "novembre", "dicembre" };
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[month - 1]) : QString();
}

namespace {

QString rewriteDates(const QString& text)
{
    // dd/mm/yyyy (also d/m/yyyy), not part of a longer run of digits or slashes
    static const QRegularExpression date(QStringLiteral(R"((?<![\d/])(\d{1,2})/(\d{1,2})/(\d{4})(?![\d/]))"));
    QString out;
    qsizetype last = 0;
    for (auto it = date.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const int day = m.captured(1).toInt();
        const int month = m.captured(2).toInt();
        const int year = m.captured(3).toInt();
        out += text.mid(last, m.capturedStart() - last);
        if (QDate(year, month, day).isValid())
            out += (day == 1 ? QStringLiteral("primo") : QString::number(day)) + u' ' + monthName(month) + u' '
                + QString::number(year);
        else
            out += m.captured(0);
        last = m.capturedEnd();
    }
    return out + text.mid(last);
}

QString rewriteTimes(const QString& text)
{
    // H:MM, HH:MM:SS and the 24-hour HH.MM; a decimal number or an address is left alone
    static const QRegularExpression time(
        QStringLiteral(R"((?<![\d.,:])(\d{1,2})([:.])(\d{2})(?:\2(\d{2}))?(?!\d|[.,:]\d))"));
    QString out;
    qsizetype last = 0;
    for (auto it = time.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const int hour = m.captured(1).toInt();
        const int minute = m.captured(3).toInt();
        const bool hasSeconds = m.capturedLength(4) > 0;
        const int second = m.captured(4).toInt();
        out += text.mid(last, m.capturedStart() - last);
        if (hour <= 23 && minute <= 59 && second <= 59) {
            out += QString::number(hour) + QStringLiteral(" e ") + QString::number(minute);
            if (hasSeconds)
                out += QStringLiteral(" e ") + QString::number(second) + QStringLiteral(" secondi");
        } else {
            out += m.captured(0);
        }
        last = m.capturedEnd();
    }
    return out + text.mid(last);
}

} // namespace

QString forEar(const QString& text) { return rewriteTimes(rewriteDates(text)); }

} // namespace ItalianSpeechText
