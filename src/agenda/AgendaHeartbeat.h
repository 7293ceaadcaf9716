// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/AnnouncementSchedule.h"
#include "agenda/DayAgenda.h"

#include <QObject>
#include <QString>
#include <QTimer>

class AgendaHost;
class AgendaPage;
class Alert;
class Clock;
class RecordSet;

// The agenda's one-second heartbeat tmrAgenda1: it keeps the page's date-and-time readout
// current, reloads today's agenda on a new day or after a change, announces every entry that has
// come due (AnnouncementSchedule decides which), and finally lets the window arm the inactivity
// countdown.
class AgendaHeartbeat : public QObject
{
    Q_OBJECT

public:
    struct Services
    {
        Clock& clock;
        const Alert& alert; // the announcements: spoken, and shown in a box
        RecordSet& dtaAppun;
        RecordSet& dtaProm;
    };

    AgendaHeartbeat(const Services& services, AgendaPage& page, AgendaHost& host, QObject* parent = nullptr);

    // tmrAgenda1's handler; tests call it with the clock set.
    void tick();
    // Today's agenda is read again from the main record sets at the next tick (or in the tick
    // under way, when asked from its ticking() signal), before any announcement.
    void reloadAtNextTick() { m_reloadWanted = true; }
    // Reloads today's two tables from the main record sets and relights the timeline.
    void caricaOggi();
    // The window is unloading: no more ticks, and no announcement after the one on screen.
    void stop();

    // The day of the month today's agenda was loaded for; emptied to force a reload.
    QString giornoAgenda;
    QTimer tmrAgenda1;

    const DayAgenda& agendaOggi() const { return m_today; }

signals:
    // A tick begins: the moment to look at the data file for other programs' changes, so that
    // an entry added elsewhere is announced in this very tick.
    void ticking();

private:
    AnnouncementSchedule::Moment moment() const;
    void reloadIfNeeded(const QDate& today);
    void announceWaiting();
    void announce(DayAgenda::Kind kind, const VoceAgenda& entry);

    Clock& m_clock;
    const Alert& m_alert;
    RecordSet& m_dtaAppun;
    RecordSet& m_dtaProm;
    AgendaPage& m_page;
    AgendaHost& m_host;
    DayAgenda m_today;
    QDate m_loadedFor;
    AnnouncementSchedule m_schedule;
    bool m_announcing = false; // an announcement's box is open
    bool m_reloadWanted = false;
    bool m_stopped = false;
};
