// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioOutput.h"

#include <QElapsedTimer>
#include <QTimer>
#include <optional>

class ScreenReaderVoice;
class SpeechDispatcher;

// Where the speaker's clips go: audio to the sound server, a text for the desktop's speech service
// (Pcm::spoken) to that service, where it waits in one queue with a screen reader's texts.
//
// While a screen reader runs, audio takes turns with it: a clip starts only once the reader's
// voice is quiet, and holds (as a pause does) while the reader speaks, going on when it is quiet
// again. The reading page's own pause is kept apart: the reader falling quiet never resumes it.
class SpeechOutput final : public AudioOutput
{
    Q_OBJECT

public:
    SpeechOutput(AudioOutput& audio, SpeechDispatcher& service, ScreenReaderVoice& reader, QObject* parent = nullptr);

    void prepare() override { m_audio.prepare(); }
    void play(const Pcm& pcm) override;
    void pause() override;
    void resume() override;
    void stop() override;
    qint64 heardMs() const override;

    // Whether to take turns with a screen reader's voice.
    void setScreenReaderPresent(bool present);

private:
    enum class Route
    {
        None,
        Audio,
        Service
    };

    void readerSounding(bool sounding);
    void serviceBegun(quint64 clip);
    void serviceDone(quint64 clip);
    void audioFinished();

    AudioOutput& m_audio;
    SpeechDispatcher& m_service;
    ScreenReaderVoice& m_reader;
    Route m_route = Route::None;
    bool m_takeTurns = false;
    bool m_paused = false; // by the caller
    bool m_held = false; // audio held while the reader speaks
    std::optional<Pcm> m_waiting; // audio waiting for the reader to be quiet
    quint64 m_clip = 0; // the service's text in hand; its reports about another are stale
    quint64 m_lastClip = 0;
    QTimer m_serviceGuard; // a service that never reports the end
    QElapsedTimer m_serviceHeard;
    qint64 m_serviceHeardBeforeMs = 0;
};
