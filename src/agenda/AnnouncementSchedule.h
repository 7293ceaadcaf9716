// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/DayAgenda.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <optional>

// What has come due and what has been announced. Every occurrence of an entry (an appointment on
// its date, a reminder on each day) is announced once, in time order; what comes due while an
// announcement is on screen waits its turn. A gap in the heartbeat (a suspended machine, a busy
// one, a clock set forward) is caught up for its last hour; a clock set back announces nothing
// twice. Times are the wall clock's as the user reads it, so the nights the clocks change are a
// clock set forward or back by an hour.
class AnnouncementSchedule
{
public:
    // One reading of the clock: the wall clock and the monotonic milliseconds.
    struct Moment
    {
        QDateTime wall;
        qint64 monotonicMs = 0;
    };
    struct Occurrence
    {
        QDate date;
        DayAgenda::Kind kind = DayAgenda::Kind::Appuntamento;
        VoceAgenda voce;
    };
    // An entry whose minute began longer ago than this when the heartbeat reaches it is not
    // announced, only written to the log.
    static constexpr qint64 CatchUpMs = 60 * 60 * 1000;

    // Nothing due before `start` is announced.
    explicit AnnouncementSchedule(const Moment& start);

    // The entries of `date`, as just loaded. On a reload of the same day an entry that is new (or
    // moved) to the current minute joins the queue, and an entry gone from the data leaves it.
    void setDay(const QDate& date, const DayAgenda& agenda);
    // The clock has moved on: what has come due since the last reading joins the queue.
    void advance(const Moment& now);
    // The first occurrence in the queue, taken out of it for good; none when the queue is empty.
    std::optional<Occurrence> takeNext();
    int waiting() const { return int(m_queue.size()); }
    // How many occurrences are remembered as queued, announced or given up: those of the days
    // loaded, and of any later day seen before a clock was set back.
    int remembered() const { return int(m_seen.size()); }

private:
    struct Item
    {
        qint64 due; // the wall-clock milliseconds (read as UTC) of second 1 of its minute
        int kind;
        int slot;
        Occurrence occurrence;
    };
    struct Key
    {
        qint64 due;
        int kind;
        qint64 id;
        bool operator==(const Key&) const = default;
        friend size_t qHash(const Key& key, size_t seed = 0) { return qHashMulti(seed, key.due, key.kind, key.id); }
    };
    static Key keyOf(const Item& item) { return { item.due, item.kind, item.occurrence.voce.id }; }
    static bool before(const Item& a, const Item& b);
    void consider(const Item& item, qint64 wall);

    QMap<QDate, QList<Item>> m_days; // the day loaded last and the one before it
    QList<Item> m_items; // the items of m_days in time order
    QList<Item> m_queue; // come due, not yet announced, in time order
    QSet<Key> m_seen; // queued, announced or given up; none older than the days in m_days
    qint64 m_frontier; // everything due up to here has been seen
    qint64 m_monotonic;
};
