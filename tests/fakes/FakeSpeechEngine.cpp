// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeSpeechEngine.h"

Pcm FakeSpeechEngine::synthesize(const QString& text, const std::atomic_bool&)
{
    QMutexLocker lock(&m_mutex);
    m_spoken << text;
    Pcm pcm;
    pcm.sampleRate = 22050;
    pcm.samples = QByteArray(text.size() * 441, '\x10'); // 10 ms a character
    return pcm;
}

QStringList FakeSpeechEngine::spoken() const
{
    QMutexLocker lock(&m_mutex);
    return m_spoken;
}

void FakeSpeechEngine::clear()
{
    QMutexLocker lock(&m_mutex);
    m_spoken.clear();
}
