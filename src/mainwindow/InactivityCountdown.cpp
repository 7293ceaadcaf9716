// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/InactivityCountdown.h"

#include "core/SettingsStore.h"
#include "mainwindow/Face.h"
#include "mainwindow/WindowPresence.h"
#include "speech/Speaker.h"

namespace {
const char* const GoneToTray = "Se hai bisogno di me, mi trovi sulla barra delle applicazioni.";
}

InactivityCountdown::InactivityCountdown(
    SettingsStore& settings, Speaker& speaker, Face& face, WindowPresence& window, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_speaker(speaker)
    , m_face(face)
    , m_window(window)
{
    tmrIcona.setObjectName(QStringLiteral("tmrIcona"));
    connect(&tmrIcona, &QTimer::timeout, this, &InactivityCountdown::tmrIconaTimer);
    // She never falls asleep in the middle of a sentence.
    connect(&speaker, &Speaker::SpeechStarted, &tmrIcona, &QTimer::stop);
}

void InactivityCountdown::arm()
{
    if (!tmrIcona.isActive())
        tmrIcona.start();
}

void InactivityCountdown::tmrIconaTimer()
{
    m_face.fallAsleep();
    // The message says where the window went: only when it really goes.
    if (m_settings.automin() && m_window.windowShown()) {
        m_window.hideWindow();
        if (m_settings.messMin())
            m_speaker.Speak(QString::fromUtf8(GoneToTray));
    }
    tmrIcona.stop();
}
