// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/VoceAgenda.h"

#include <QList>
#include <array>
#include <functional>

class RecordSet;

// Today's appointments and daily reminders as last loaded from the data file: the timeline,
// the heartbeat's due tests and the slot readouts all work from these two tables.
class DayAgenda
{
public:
    static constexpr int MaxEntries = 100;
    // Slot 0 is never used; entries fill slots 1 to 100 in record-set order.
    using Table = std::array<VoceAgenda, MaxEntries + 1>;
    enum class Kind
    {
        Appuntamento,
        Promemoria
    };
    // Called with the hour (0 to 23) of every stored entry.
    using Accendi = std::function<void(int hour)>;

    // Clears the appointment table and stores every record of dtaAppun dated today.
    void loadAppuntamenti(RecordSet& dtaAppun, const QDate& today, const Accendi& accendi);
    // Clears the reminder table and stores every record of dtaProm: reminders repeat every day.
    void loadPromemoria(RecordSet& dtaProm, const Accendi& accendi);

    const Table& appuntamentiOggi() const { return m_appuntamenti; }
    const Table& promemoriaOggi() const { return m_promemoria; }
    int appuntamentiCount() const { return m_appuntamentiCount; }
    int promemoriaCount() const { return m_promemoriaCount; }
    const Table& table(Kind kind) const { return kind == Kind::Appuntamento ? m_appuntamenti : m_promemoria; }
    int count(Kind kind) const { return kind == Kind::Appuntamento ? m_appuntamentiCount : m_promemoriaCount; }

    // What a click on the lit letter of an hour reads out, in slot order. All 100 slots are
    // looked at; at hour 0 the entries without text (among them every cleared slot) are left out.
    QList<VoceAgenda> readoutEntries(Kind kind, int hour) const;

    // Due in the first two seconds of its minute, whatever the date.
    static bool isDue(const VoceAgenda& entry, const QDateTime& now);

private:
    int load(Table& table, RecordSet& records, const QDate* today, const Accendi& accendi);

    Table m_appuntamenti;
    Table m_promemoria;
    int m_appuntamentiCount = 0;
    int m_promemoriaCount = 0;
};
