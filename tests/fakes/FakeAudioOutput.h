// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioOutput.h"

#include <QStringList>

// An output the test drives: nothing ends until the test calls finishClip().
class FakeAudioOutput final : public AudioOutput
{
    Q_OBJECT

public:
    using AudioOutput::AudioOutput;

    void play(const Pcm& pcm) override
    {
        events << QStringLiteral("play");
        clips << pcm;
        heard = 0;
        clipBytes << pcm.samples.size();
        m_playing = true;
        m_paused = false;
        ++m_clips;
        emit bufferHandedOver();
    }
    void pause() override { m_paused = true; }
    void resume() override { m_paused = false; }
    void stop() override
    {
        if (m_playing)
            events << QStringLiteral("stop");
        m_playing = m_paused = false;
    }

    // Plays the current clip to its end.
    void finishClip()
    {
        if (!m_playing)
            return;
        events << QStringLiteral("finish");
        m_playing = false;
        emit finished();
    }

    qint64 heardMs() const override { return heard; }

    bool playing() const { return m_playing; }
    bool paused() const { return m_paused; }
    int clipsStarted() const { return m_clips; }
    QStringList events; // "play", "stop", "finish" in order
    QList<qsizetype> clipBytes; // the audio of each clip played, in order
    QList<Pcm> clips; // each clip played, in order
    qint64 heard = 0; // what heardMs() answers for the clip in hand; play() sets it back to 0

private:
    bool m_playing = false;
    bool m_paused = false;
    int m_clips = 0;
};
