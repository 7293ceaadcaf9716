// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeAudioOutput.h"

void FakeAudioOutput::play(const Pcm&)
{
    events << QStringLiteral("play");
    m_playing = true;
    m_paused = false;
    ++m_clips;
    emit bufferHandedOver();
}

void FakeAudioOutput::stop()
{
    if (m_playing)
        events << QStringLiteral("stop");
    m_playing = false;
    m_paused = false;
}

void FakeAudioOutput::finishClip()
{
    if (!m_playing)
        return;
    events << QStringLiteral("finish");
    m_playing = false;
    emit finished();
}
