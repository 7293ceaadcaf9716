// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/AnnouncementSchedule.h"

#include "agenda/AgendaLog.h"

#include <algorithm>

namespace {
constexpr qint64 MinuteMs = 60 * 1000;
constexpr qint64 DayMs = 24 * 60 * MinuteMs;

// The wall clock as the user reads it, as milliseconds of a clock without time zones: the nights
// the clocks change become a jump of an hour, like a clock set by hand.
qint64 wallMs(const QDate& date, const QTime& time)
{
    return (date.toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * DayMs + time.msecsSinceStartOfDay();
}
qint64 wallMs(const QDateTime& t) { return wallMs(t.date(), t.time()); }
QString minuteText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}
} // namespace

AnnouncementSchedule::AnnouncementSchedule(const Moment& start)
    // What falls due in the second under way at the start is due: an entry's second 1 has begun
    // already when the program starts during it.
    : m_frontier(wallMs(start.wall) - start.wall.time().msec() - 1)
    , m_monotonic(start.monotonicMs)
{
}

bool AnnouncementSchedule::before(const Item& a, const Item& b)
{
    if (a.due != b.due)
        return a.due < b.due;
    if (a.kind != b.kind)
        return a.kind < b.kind; // appointments, then reminders
    return a.slot < b.slot;
}

void AnnouncementSchedule::setDay(const QDate& date, const DayAgenda& agenda)
{
    QList<Item> items;
    for (const DayAgenda::Kind kind : { DayAgenda::Kind::Appuntamento, DayAgenda::Kind::Promemoria }) {
        const DayAgenda::Table& table = agenda.table(kind);
        for (int slot = 1; slot < table.size(); ++slot) {
            const QTime at = table[slot].Ora.time();
            items.append(
                { wallMs(date, QTime(at.hour(), at.minute(), 1)), int(kind), slot, { date, kind, table[slot] } });
        }
    }
    std::sort(items.begin(), items.end(), before);

    QHash<Key, const Item*> current;
    for (const Item& item : std::as_const(items))
        current.insert(keyOf(item), &item);
    // Waiting entries of that day take their new text; those deleted or moved meanwhile go.
    for (Item& waiting : m_queue) {
        if (const Item* found = waiting.occurrence.date == date ? current.value(keyOf(waiting)) : nullptr)
            waiting.occurrence.voce = found->occurrence.voce;
    }
    m_queue.removeIf(
        [&](const Item& waiting) { return waiting.occurrence.date == date && !current.contains(keyOf(waiting)); });

    const bool reload = m_days.contains(date);
    QSet<Key> known;
    for (const Item& item : m_days.value(date))
        known.insert(keyOf(item));
    m_days.insert(date, items);
    for (auto day = m_days.begin(); day != m_days.end();)
        day = day.key() == date || day.key() == date.addDays(-1) ? std::next(day) : m_days.erase(day);
    m_items.clear();
    for (const QList<Item>& day : std::as_const(m_days))
        m_items.append(day);
    std::sort(m_items.begin(), m_items.end(), before);
    // What came due before the days loaded can never be looked at again: forgotten. Later days
    // (seen before a clock was set back) are kept, so that nothing of them is said twice.
    if (!reload) {
        const qint64 keepFrom = wallMs(m_days.firstKey(), QTime(0, 0));
        m_seen.removeIf([keepFrom](const Key& key) { return key.due < keepFrom; });
    }

    // An entry added or moved to the minute under way is announced in it, as if it had been
    // there when the minute began.
    if (!reload)
        return;
    const qint64 minuteStart = m_frontier - m_frontier % MinuteMs;
    for (const Item& item : std::as_const(items))
        if (item.due >= minuteStart && item.due <= m_frontier && !known.contains(keyOf(item)))
            consider(item, m_frontier);
}

void AnnouncementSchedule::advance(const Moment& now)
{
    const qint64 wall = wallMs(now.wall);
    const qint64 elapsed = std::max<qint64>(0, now.monotonicMs - m_monotonic);
    // Forward, whatever the monotonic clock says, the whole gap is looked at; after a clock set
    // back, only the time that really passed since the last reading.
    const qint64 from = std::min(m_frontier, wall - elapsed);
    if (wall - from > MinuteMs)
        qCInfo(lcAgenda, "The agenda was last looked at %lld s earlier by the clock (%lld s of real time)",
            (wall - from) / 1000, elapsed / 1000);
    const auto dueAfter = [](qint64 ms, const Item& item) {
        return ms < item.due;
    };
    const auto first = std::upper_bound(m_items.cbegin(), m_items.cend(), from, dueAfter);
    const auto last = std::upper_bound(first, m_items.cend(), wall, dueAfter);
    for (auto item = first; item != last; ++item)
        consider(*item, wall);
    m_frontier = wall;
    m_monotonic = now.monotonicMs;
}

void AnnouncementSchedule::consider(const Item& item, qint64 wall)
{
    const Key key = keyOf(item);
    if (m_seen.contains(key))
        return;
    m_seen.insert(key);
    if (wall - item.due > CatchUpMs) {
        qCWarning(lcAgenda, "%s %lld of %s not announced: it came due %lld minutes before the heartbeat could see it",
            item.kind == int(DayAgenda::Kind::Appuntamento) ? "Appointment" : "Reminder", item.occurrence.voce.id,
            qPrintable(minuteText(item.due)), (wall - item.due) / MinuteMs);
        return;
    }
    m_queue.insert(std::upper_bound(m_queue.begin(), m_queue.end(), item, before), item);
}

std::optional<AnnouncementSchedule::Occurrence> AnnouncementSchedule::takeNext()
{
    if (m_queue.isEmpty())
        return std::nullopt;
    return m_queue.takeFirst().occurrence;
}
