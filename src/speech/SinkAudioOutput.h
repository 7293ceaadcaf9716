// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioOutput.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

class QAudioSink;

// Plays through the desktop's sound server. Without a sound device it goes on silently,
// taking as long as the audio would have, so that every caller still hears back.
class SinkAudioOutput final : public AudioOutput
{
    Q_OBJECT

public:
    explicit SinkAudioOutput(QObject* parent = nullptr);
    ~SinkAudioOutput() override;

    void play(const Pcm& pcm) override;
    void pause() override;
    void resume() override;
    void stop() override;

    // Forces the silent mode, as if no device were there.
    void setSilent(bool silent) { m_forceSilent = silent; }

private:
    bool startSink(const Pcm& pcm);
    void startSilent(qint64 durationMs);
    void finish();

    std::unique_ptr<QAudioSink> m_sink;
    QBuffer m_buffer;
    QByteArray m_data;
    QTimer m_silentTimer; // silent playback, and a guard against a sink that never goes idle
    QElapsedTimer m_silentClock;
    qint64 m_silentRemainingMs = 0;
    bool m_playing = false;
    bool m_paused = false;
    bool m_silent = false;
    bool m_forceSilent = false;
    bool m_warnedSilent = false;
};
