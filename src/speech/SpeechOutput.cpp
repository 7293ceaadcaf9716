// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpeechOutput.h"

#include "speech/ScreenReaderVoice.h"
#include "speech/SpeechDispatcher.h"
#include "speech/SpeechLog.h"

namespace {
// How long the service may take for a text before it counts as said: queued behind a screen
// reader's long reading, then spoken slowly.
int serviceGuardMs(const QString& text) { return 60'000 + 200 * int(std::min<qsizetype>(text.size(), 100'000)); }
} // namespace

SpeechOutput::SpeechOutput(AudioOutput& audio, SpeechDispatcher& service, ScreenReaderVoice& reader, QObject* parent)
    : AudioOutput(parent)
    , m_audio(audio)
    , m_service(service)
    , m_reader(reader)
{
    m_serviceGuard.setSingleShot(true);
    connect(&m_serviceGuard, &QTimer::timeout, this, [this] {
        qCWarning(lcSpeech) << "speech-dispatcher never said a text was spoken: going on";
        m_service.cancel();
        serviceDone(m_clip);
    });
    connect(&m_audio, &AudioOutput::bufferHandedOver, this, [this] {
        if (m_route == Route::Audio)
            emit bufferHandedOver();
    });
    connect(&m_audio, &AudioOutput::finished, this, &SpeechOutput::audioFinished);
    connect(&m_service, &SpeechDispatcher::begun, this, &SpeechOutput::serviceBegun);
    connect(&m_service, &SpeechDispatcher::ended, this, &SpeechOutput::serviceDone);
    connect(&m_service, &SpeechDispatcher::cancelled, this, &SpeechOutput::serviceDone);
    connect(&m_service, &SpeechDispatcher::refused, this, &SpeechOutput::serviceDone);
    connect(&m_reader, &ScreenReaderVoice::soundingChanged, this, &SpeechOutput::readerSounding);
}

void SpeechOutput::setScreenReaderPresent(bool present)
{
    m_takeTurns = present;
    m_reader.setWatching(present);
    if (!present)
        readerSounding(false);
}

void SpeechOutput::play(const Pcm& pcm)
{
    stop();
    m_paused = false;
    if (pcm.spoken) {
        m_route = Route::Service;
        m_clip = ++m_lastClip;
        m_serviceHeard.invalidate();
        m_serviceHeardBeforeMs = 0;
        m_serviceGuard.start(serviceGuardMs(pcm.spoken->text));
        m_service.say(m_clip, *pcm.spoken,
            pcm.urgent ? SpeechDispatcher::Priority::Important : SpeechDispatcher::Priority::Message);
        return;
    }
    m_route = Route::Audio;
    if (m_takeTurns && m_reader.sounding()) {
        qCDebug(lcSpeechQueue) << "waiting for the screen reader to be quiet";
        m_waiting = pcm;
        return;
    }
    m_audio.play(pcm);
}

void SpeechOutput::pause()
{
    if (m_paused)
        return;
    m_paused = true;
    if (m_route == Route::Service) {
        if (m_serviceHeard.isValid())
            m_serviceHeardBeforeMs += m_serviceHeard.elapsed();
        m_serviceHeard.invalidate();
        m_serviceGuard.stop();
        m_service.pause();
    } else if (m_route == Route::Audio && !m_waiting && !m_held) {
        m_audio.pause();
    }
}

void SpeechOutput::resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    if (m_route == Route::Service) {
        m_serviceHeard.start();
        m_serviceGuard.start(serviceGuardMs({}));
        m_service.resume();
    } else if (m_route == Route::Audio && !m_waiting && !m_held) {
        m_audio.resume();
    }
}

void SpeechOutput::stop()
{
    if (m_route == Route::Service) {
        m_clip = 0; // its cancellation is no news
        m_serviceGuard.stop();
        m_service.cancel();
    } else if (m_route == Route::Audio && !m_waiting) {
        m_audio.stop();
    }
    m_waiting.reset();
    m_held = false;
    m_route = Route::None;
}

qint64 SpeechOutput::heardMs() const
{
    if (m_route == Route::Service)
        return m_serviceHeardBeforeMs + (m_serviceHeard.isValid() ? m_serviceHeard.elapsed() : 0);
    if (m_route == Route::Audio && !m_waiting)
        return m_audio.heardMs();
    return 0;
}

void SpeechOutput::readerSounding(bool sounding)
{
    if (m_route != Route::Audio)
        return;
    if (sounding && m_takeTurns && !m_waiting && !m_held) {
        qCDebug(lcSpeechQueue) << "holding while the screen reader speaks";
        m_held = true;
        if (!m_paused)
            m_audio.pause();
        return;
    }
    if (sounding)
        return;
    if (m_waiting) {
        const Pcm pcm = std::move(*m_waiting);
        m_waiting.reset();
        m_audio.play(pcm);
        if (m_paused)
            m_audio.pause();
    } else if (m_held) {
        m_held = false;
        if (!m_paused)
            m_audio.resume();
    }
}

void SpeechOutput::audioFinished()
{
    if (m_route != Route::Audio)
        return;
    m_route = Route::None;
    m_held = false;
    emit finished();
}

void SpeechOutput::serviceBegun(quint64 clip)
{
    if (clip != m_clip || m_route != Route::Service)
        return;
    if (!m_paused)
        m_serviceHeard.start();
    emit bufferHandedOver();
}

void SpeechOutput::serviceDone(quint64 clip)
{
    if (clip != m_clip || m_route != Route::Service)
        return;
    m_serviceGuard.stop();
    m_route = Route::None;
    m_clip = 0;
    emit finished();
}
