// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/DayAgenda.h"

#include <QString>

// What the agenda shows and says: the readout of the clock, the announcements of entries that
// fall due, and the readouts of a clicked letter.
class AgendaTexts
{
public:
    // The Italian general date-and-time form, "05/12/2026 09:05:07"; at 00:00:00 the date alone.
    static QString generalDate(const QDateTime& dateTime);

    // The announcement's box: its title says which of the two it is, its text carries the entry's
    // time ("Alle 9:05: dentista"), so that reading it, or hearing a screen reader read it, tells
    // what the voice says.
    static QString announcementTitle(DayAgenda::Kind kind);
    static QString announcementBox(const VoceAgenda& entry);
    // "Sono le 9 e 5. . dentista.": hour and minute of the clock at the announcement.
    static QString announcement(const QDateTime& now, const QString& testo);

    static QString readoutSpoken(DayAgenda::Kind kind, const VoceAgenda& entry);
    static QString readoutBox(DayAgenda::Kind kind, const VoceAgenda& entry);
    static QString readoutTitle(DayAgenda::Kind kind);
};
