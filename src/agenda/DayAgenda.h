// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/VoceAgenda.h"

#include <QList>
#include <QSet>
#include <functional>

class RecordSet;

// Today's appointments and daily reminders as last loaded from the data file: the timeline,
// the announcements and the slot readouts all work from these two tables.
class DayAgenda
{
public:
    // Slot 0 is never used; entries fill slots 1 to count in record-set order, as many as there are.
    using Table = QList<VoceAgenda>;
    enum class Kind
    {
        Appuntamento,
        Promemoria
    };
    // Called with the hour (0 to 23) of every stored entry.
    using Accendi = std::function<void(int hour)>;

    DayAgenda();

    // Clears the appointment table and stores every record of dtaAppun dated today.
    void loadAppuntamenti(RecordSet& dtaAppun, const QDate& today, const Accendi& accendi);
    // Clears the reminder table and stores every record of dtaProm: reminders repeat every day.
    void loadPromemoria(RecordSet& dtaProm, const Accendi& accendi);

    const Table& appuntamentiOggi() const { return m_appuntamenti; }
    const Table& promemoriaOggi() const { return m_promemoria; }
    int appuntamentiCount() const { return count(Kind::Appuntamento); }
    int promemoriaCount() const { return count(Kind::Promemoria); }
    const Table& table(Kind kind) const { return kind == Kind::Appuntamento ? m_appuntamenti : m_promemoria; }
    int count(Kind kind) const { return int(table(kind).size()) - 1; }

    // What a click on the lit letter of an hour reads out, in slot order; at hour 0 the entries
    // without text are left out.
    QList<VoceAgenda> readoutEntries(Kind kind, int hour) const;

private:
    void load(Kind kind, RecordSet& records, const QDate* today, const Accendi& accendi);

    Table m_appuntamenti;
    Table m_promemoria;
    // Records whose time could not be read, already written to the log.
    QSet<QPair<int, qint64>> m_reported;
};
