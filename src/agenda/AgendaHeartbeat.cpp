// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/AgendaHeartbeat.h"

#include "agenda/AgendaHost.h"
#include "agenda/AgendaPage.h"
#include "agenda/AgendaTexts.h"
#include "core/Clock.h"
#include "core/MessageBoxService.h"
#include "speech/Speaker.h"

#include <QScopeGuard>

AgendaHeartbeat::AgendaHeartbeat(const Services& services, AgendaPage& page, AgendaHost& host, QObject* parent)
    : QObject(parent)
    , m_clock(services.clock)
    , m_speaker(services.speaker)
    , m_boxes(services.boxes)
    , m_dtaAppun(services.dtaAppun)
    , m_dtaProm(services.dtaProm)
    , m_page(page)
    , m_host(host)
{
    setObjectName(QStringLiteral("AgendaHeartbeat"));
    m_page.setAgenda(m_oggi);
    tmrAgenda1.setObjectName(QStringLiteral("tmrAgenda1"));
    tmrAgenda1.setTimerType(Qt::PreciseTimer); // a coarse timer drifts past the due seconds
    tmrAgenda1.setInterval(1000);
    connect(&tmrAgenda1, &QTimer::timeout, this, &AgendaHeartbeat::tick);
    tmrAgenda1.start();
}

void AgendaHeartbeat::caricaOggi()
{
    const QDate today = m_clock.now().date();
    giornoAgenda = QString::number(today.day());
    m_page.clear(DayAgenda::Kind::Appuntamento);
    m_oggi.loadAppuntamenti(m_dtaAppun, today, [this](int hour) { m_page.light(DayAgenda::Kind::Appuntamento, hour); });
    m_page.clear(DayAgenda::Kind::Promemoria);
    m_oggi.loadPromemoria(m_dtaProm, [this](int hour) { m_page.light(DayAgenda::Kind::Promemoria, hour); });
}

void AgendaHeartbeat::tick()
{
    QDateTime now = m_clock.now();
    m_page.setReadout(AgendaTexts::generalDate(now));
    // A tick that arrives while an announcement's box is open only refreshes the readout: the
    // entry, still due, would otherwise get a second box on top of the first.
    if (m_announcing)
        return;

    if (giornoAgenda != QString::number(now.date().day()))
        caricaOggi();

    // A box keeps the tick waiting: the entries after it are tested against the clock of then.
    for (const DayAgenda::Kind kind : { DayAgenda::Kind::Appuntamento, DayAgenda::Kind::Promemoria }) {
        const DayAgenda::Table& entries = m_oggi.table(kind);
        for (int k = 1; k <= m_oggi.count(kind); ++k) {
            if (DayAgenda::isDue(entries[k], now)) {
                announce(entries[k]);
                now = m_clock.now();
            }
        }
    }

    m_host.armInactivityCountdown();
}

void AgendaHeartbeat::announce(const VoceAgenda& voce)
{
    const QString testo = voce.Testo; // the tables may be reloaded while the box is open
    const bool wasHidden = !m_host.windowShown();
    m_host.showWindow();
    m_host.wakeUp();
    m_speaker.Speak(AgendaTexts::announcement(m_clock.now(), testo));
    m_announcing = true;
    const auto boxClosed = qScopeGuard([this] { m_announcing = false; });
    m_boxes.show(m_host.boxParent(), testo, MessageBoxService::Information, AgendaTexts::announcementTitle());
    if (wasHidden)
        m_host.hideWindow();
}
