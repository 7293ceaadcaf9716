// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/AgendaHeartbeat.h"

#include "agenda/AgendaHost.h"
#include "agenda/AgendaPage.h"
#include "agenda/AgendaTexts.h"
#include "core/Alert.h"
#include "core/Clock.h"
#include "core/MessageBoxService.h"

#include <QScopeGuard>
#include <bitset>

AgendaHeartbeat::AgendaHeartbeat(const Services& services, AgendaPage& page, AgendaHost& host, QObject* parent)
    : QObject(parent)
    , m_clock(services.clock)
    , m_alert(services.alert)
    , m_dtaAppun(services.dtaAppun)
    , m_dtaProm(services.dtaProm)
    , m_page(page)
    , m_host(host)
    , m_schedule(moment())
{
    setObjectName(QStringLiteral("AgendaHeartbeat"));
    m_page.setAgenda(m_today);
    tmrAgenda1.setObjectName(QStringLiteral("tmrAgenda1"));
    tmrAgenda1.setTimerType(Qt::PreciseTimer); // a coarse timer drifts by up to 5 %
    tmrAgenda1.setInterval(1000);
    connect(&tmrAgenda1, &QTimer::timeout, this, &AgendaHeartbeat::tick);
    tmrAgenda1.start();
}

AnnouncementSchedule::Moment AgendaHeartbeat::moment() const { return { m_clock.now(), m_clock.monotonicMs() }; }

void AgendaHeartbeat::caricaOggi()
{
    const QDate today = m_clock.now().date();
    giornoAgenda = QString::number(today.day());
    m_loadedFor = today;
    m_reloadWanted = false;
    // Each hour's letter is lit once, however many entries fall in it.
    std::bitset<24> hours;
    const auto light = [this, &hours](DayAgenda::Kind kind) {
        for (int hour = 0; hour < 24; ++hour)
            if (hours[hour])
                m_page.light(kind, hour);
        hours.reset();
    };
    const auto mark = [&hours](int hour) {
        hours.set(hour);
    };
    m_page.clear(DayAgenda::Kind::Appuntamento);
    m_today.loadAppuntamenti(m_dtaAppun, today, mark);
    light(DayAgenda::Kind::Appuntamento);
    m_page.clear(DayAgenda::Kind::Promemoria);
    m_today.loadPromemoria(m_dtaProm, mark);
    light(DayAgenda::Kind::Promemoria);
    m_schedule.setDay(today, m_today);
}

void AgendaHeartbeat::reloadIfNeeded(const QDate& today)
{
    // A new day (or the same day of another month, after the clock was changed), or a change.
    if (m_reloadWanted || today != m_loadedFor || giornoAgenda != QString::number(today.day()))
        caricaOggi();
}

void AgendaHeartbeat::tick()
{
    emit ticking();
    const AnnouncementSchedule::Moment now = moment();
    m_page.setReadout(AgendaTexts::generalDate(now.wall));
    reloadIfNeeded(now.wall.date());
    m_schedule.advance(now);
    // A tick that comes while an announcement's box is open (Qt runs timers inside the box's own
    // event loop) only notes what has come due: it is announced after that box, not on top of it.
    if (m_announcing)
        return;
    announceWaiting();
    m_host.armInactivityCountdown();
}

void AgendaHeartbeat::stop()
{
    m_stopped = true;
    tmrAgenda1.stop();
}

// One announcement after another while any is waiting; a window that was hidden is shown for
// them all and hidden again after the last.
void AgendaHeartbeat::announceWaiting()
{
    if (m_schedule.waiting() == 0 || m_stopped)
        return;
    const bool wasHidden = !m_host.windowShown();
    m_announcing = true;
    const auto boxesClosed = qScopeGuard([this] { m_announcing = false; });
    while (!m_stopped) {
        const auto next = m_schedule.takeNext();
        if (!next)
            break;
        announce(next->kind, next->voce);
        // The box kept this tick waiting: the clock and the data may have moved meanwhile.
        const AnnouncementSchedule::Moment now = moment();
        reloadIfNeeded(now.wall.date());
        m_schedule.advance(now);
    }
    if (wasHidden && !m_stopped)
        m_host.hideWindow();
}

void AgendaHeartbeat::announce(DayAgenda::Kind kind, const VoceAgenda& entry)
{
    m_host.showWindow();
    m_host.wakeUp();
    // A screen reader reads the box, which carries the time too: one voice, not two at once.
    m_alert.announce(m_host.boxParent(), AgendaTexts::announcement(m_clock.now(), entry.Testo),
        AgendaTexts::announcementBox(entry), MessageBoxService::Information, AgendaTexts::announcementTitle(kind));
}
