// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <QMutex>

// Records every text it is asked to say and returns 10 ms of audio per character.
class FakeSpeechEngine final : public SpeechEngine
{
public:
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool&) override
    {
        QMutexLocker lock(&m_mutex);
        m_spoken << text;
        return Pcm::audio(QByteArray(text.size() * 441, '\x10'));
    }
    QStringList voices() const override { return { QStringLiteral("fake") }; }
    QStringList spoken() const
    {
        QMutexLocker lock(&m_mutex);
        return m_spoken;
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_spoken.clear();
    }

private:
    mutable QMutex m_mutex;
    QStringList m_spoken;
};
