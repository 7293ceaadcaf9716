// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ExitRoutine.h"

#include "core/SettingsStore.h"
#include "mainwindow/Face.h"
#include "mainwindow/Greeting.h"
#include "speech/Speaker.h"

ExitRoutine::ExitRoutine(SettingsStore& settings, Speaker& speaker, Face& face, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_speaker(speaker)
    , m_face(face)
{
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setInterval(200);
    Timer2.setTimerType(Qt::PreciseTimer); // the wink and the unload keep their moments
    connect(&Timer2, &QTimer::timeout, this, &ExitRoutine::Timer2Timer);
    connect(&speaker, &Speaker::SpeechProgress, this, &ExitRoutine::speechProgress);
}

void ExitRoutine::sayGoodbye()
{
    // A reading under way (a whole book, perhaps) stops: the farewell comes now, not after it.
    m_speaker.Reset();
    m_face.setEyesClosed(false);
    const std::optional<QString> text = Greeting::farewell(m_settings);
    m_face.haltBlink();
    if (!text) {
        startCountdown();
        return;
    }
    congedoInCorso = true;
    m_farewell = m_speaker.Speak(*text);
    // An empty farewell is reported before Speak() returns.
    if (m_speaker.hasSpoken(m_farewell))
        startCountdown();
}

void ExitRoutine::speechProgress(quint64 id)
{
    // Only the farewell's own end counts: a text that was already speaking must not cut it short.
    if (congedoInCorso && id >= m_farewell)
        startCountdown();
}

void ExitRoutine::startCountdown()
{
    if (!m_finished && !Timer2.isActive())
        Timer2.start();
}

void ExitRoutine::Timer2Timer()
{
    switch (contaChiusura) {
    case 5:
        m_face.setRightEyeClosed(true); // the wink
        break;
    case 6:
        m_face.setRightEyeClosed(false);
        break;
    case 8:
        emit unloadRequested();
        break;
    default:
        break;
    }
    ++contaChiusura;
}

void ExitRoutine::finish()
{
    m_finished = true;
    Timer2.stop();
}
