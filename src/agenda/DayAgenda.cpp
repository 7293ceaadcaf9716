// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/DayAgenda.h"

#include "datafile/RecordSet.h"

#include <optional>

namespace {
// A stored date-time: the record set hands out a valid QDateTime, or the raw value it could not read.
std::optional<QDateTime> readDateTime(const RecordSet& records, const QString& field)
{
    bool ok = false;
    const QVariant value = records.value(field, &ok);
    if (!ok || value.typeId() != QMetaType::QDateTime)
        return std::nullopt;
    QDateTime dateTime = value.toDateTime();
    if (!dateTime.isValid())
        return std::nullopt;
    return dateTime;
}

// An appointment is today's only when its Data is today's date at exactly midnight.
bool isDatedToday(const RecordSet& records, const QDate& today)
{
    const auto data = readDateTime(records, QStringLiteral("Data"));
    return data && data->date() == today && data->time() == QTime(0, 0);
}
} // namespace

void DayAgenda::loadAppuntamenti(RecordSet& dtaAppun, const QDate& today, const Accendi& accendi)
{
    m_appuntamentiCount = load(m_appuntamenti, dtaAppun, &today, accendi);
}

void DayAgenda::loadPromemoria(RecordSet& dtaProm, const Accendi& accendi)
{
    m_promemoriaCount = load(m_promemoria, dtaProm, nullptr, accendi);
}

// Every failing read or move skips only its own step: a record with an unreadable Ora keeps the
// cleared 00:00, one with an unreadable Testo an empty text.
int DayAgenda::load(Table& table, RecordSet& records, const QDate* today, const Accendi& accendi)
{
    table.fill(VoceAgenda {});
    int next = 1;
    records.MoveFirst(); // fails on an empty table, which is then at its end already
    while (!records.Eof()) {
        if ((!today || isDatedToday(records, *today)) && next <= MaxEntries) {
            VoceAgenda& slot = table[next];
            if (const auto ora = readDateTime(records, QStringLiteral("Ora")))
                slot.Ora = *ora;
            accendi(slot.Ora.time().hour());
            bool ok = false;
            const QVariant testo = records.value(QStringLiteral("Testo"), &ok);
            if (ok && !testo.isNull())
                slot.Testo = testo.toString();
            ++next;
        }
        // A record set that cannot move on would keep this loop going for ever.
        if (!records.MoveNext())
            break;
    }
    return next - 1;
}

QList<VoceAgenda> DayAgenda::readoutEntries(Kind kind, int hour) const
{
    QList<VoceAgenda> entries;
    const Table& entriesOfKind = table(kind);
    for (int j = 1; j <= MaxEntries; ++j) {
        const VoceAgenda& entry = entriesOfKind[j];
        if (entry.Ora.time().hour() != hour)
            continue;
        if (hour == 0 && entry.Testo.isEmpty())
            continue;
        entries.append(entry);
    }
    return entries;
}

bool DayAgenda::isDue(const VoceAgenda& entry, const QDateTime& now)
{
    const QTime at = entry.Ora.time();
    const QTime clock = now.time();
    return at.hour() == clock.hour() && at.minute() == clock.minute() && clock.second() > 0 && clock.second() < 3;
}
