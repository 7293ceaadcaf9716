// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/DayAgenda.h"

#include "agenda/AgendaLog.h"
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

DayAgenda::DayAgenda()
    : m_appuntamenti(1)
    , m_promemoria(1)
{
}

void DayAgenda::loadAppuntamenti(RecordSet& dtaAppun, const QDate& today, const Accendi& accendi)
{
    load(Kind::Appuntamento, dtaAppun, &today, accendi);
}

void DayAgenda::loadPromemoria(RecordSet& dtaProm, const Accendi& accendi)
{
    load(Kind::Promemoria, dtaProm, nullptr, accendi);
}

// Every failing read or move skips only its own step; a record with an unreadable Testo keeps an
// empty text. A record whose time cannot be read is left out: it would otherwise pass for an
// entry at midnight and wake the user for nothing.
void DayAgenda::load(Kind kind, RecordSet& records, const QDate* today, const Accendi& accendi)
{
    Table& table = kind == Kind::Appuntamento ? m_appuntamenti : m_promemoria;
    const QString key = kind == Kind::Appuntamento ? QStringLiteral("IDAppuntamento") : QStringLiteral("IDPromemoria");
    table.clear();
    table.append(VoceAgenda {});
    records.MoveFirst(); // fails on an empty table, which is then at its end already
    while (!records.Eof()) {
        if (!today || isDatedToday(records, *today)) {
            bool ok = false;
            const QVariant id = records.value(key, &ok);
            VoceAgenda entry;
            entry.id = ok && !id.isNull() ? id.toLongLong() : -table.size();
            if (const auto ora = readDateTime(records, QStringLiteral("Ora"))) {
                entry.Ora = *ora;
                const QVariant testo = records.value(QStringLiteral("Testo"), &ok);
                if (ok && !testo.isNull())
                    entry.Testo = testo.toString();
                accendi(entry.Ora.time().hour());
                table.append(entry);
            } else if (!m_reported.contains({ int(kind), entry.id })) {
                m_reported.insert({ int(kind), entry.id });
                qCWarning(lcAgenda, "%s %lld: its time (Ora) cannot be read; it is neither shown nor announced",
                    kind == Kind::Appuntamento ? "Appointment" : "Reminder", entry.id);
            }
        }
        // A record set that cannot move on would keep this loop going for ever.
        if (!records.MoveNext())
            break;
    }
}

QList<VoceAgenda> DayAgenda::readoutEntries(Kind kind, int hour) const
{
    QList<VoceAgenda> entries;
    const Table& entriesOfKind = table(kind);
    for (qsizetype j = 1; j < entriesOfKind.size(); ++j) {
        const VoceAgenda& entry = entriesOfKind[j];
        if (entry.Ora.time().hour() != hour)
            continue;
        if (hour == 0 && entry.Testo.isEmpty())
            continue;
        entries.append(entry);
    }
    return entries;
}
