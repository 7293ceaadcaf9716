// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/AgendaTexts.h"

QString AgendaTexts::generalDate(const QDateTime& dateTime)
{
    const QTime time = dateTime.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return dateTime.toString(QStringLiteral("dd/MM/yyyy"));
    return dateTime.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString AgendaTexts::announcementTitle(DayAgenda::Kind kind)
{
    return kind == DayAgenda::Kind::Appuntamento ? QStringLiteral("Appuntamento!!") : QStringLiteral("Promemoria!!");
}

QString AgendaTexts::announcementBox(const VoceAgenda& entry)
{
    return QStringLiteral("Alle ") + entry.Ora.time().toString(QStringLiteral("H:mm")) + QStringLiteral(": ")
        + entry.Testo;
}

QString AgendaTexts::announcement(const QDateTime& now, const QString& testo)
{
    return QStringLiteral("Sono le ") + QString::number(now.time().hour()) + QStringLiteral(" e ")
        + QString::number(now.time().minute()) + QStringLiteral(". . ") + testo + QStringLiteral(".");
}

QString AgendaTexts::readoutSpoken(DayAgenda::Kind kind, const VoceAgenda& entry)
{
    const QString hour = QString::number(entry.Ora.time().hour());
    const QString minute = QString::number(entry.Ora.time().minute());
    // The appointment's phrase has two blanks before the text, the reminder's one.
    if (kind == DayAgenda::Kind::Appuntamento)
        return QStringLiteral("Appuntamento di oggi alle ") + hour + QStringLiteral(" e ") + minute
            + QStringLiteral(" minuti. .  ") + entry.Testo;
    return QStringLiteral("Promemoria delle ") + hour + QStringLiteral(" e ") + minute + QStringLiteral(" minuti. . ")
        + entry.Testo;
}

QString AgendaTexts::readoutBox(DayAgenda::Kind kind, const VoceAgenda& entry)
{
    const QString hour = QString::number(entry.Ora.time().hour());
    const QString minute = QStringLiteral("%1").arg(entry.Ora.time().minute(), 2, 10, QLatin1Char('0'));
    const QString head
        = kind == DayAgenda::Kind::Appuntamento ? QStringLiteral("Oggi, alle ") : QStringLiteral("Alle ");
    return head + hour + QStringLiteral(" e ") + minute + QStringLiteral(" minuti ") + entry.Testo;
}

QString AgendaTexts::readoutTitle(DayAgenda::Kind kind)
{
    return kind == DayAgenda::Kind::Appuntamento ? QStringLiteral("Appuntamento")
                                                 : QStringLiteral("Promemoria giornaliero");
}
