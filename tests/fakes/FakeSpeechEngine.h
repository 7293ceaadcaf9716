// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <QMutex>

// Records every text it is asked to say and returns 10 ms of audio per character.
class FakeSpeechEngine final : public SpeechEngine
{
public:
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool& cancel) override;
    QStringList voices() const override { return { QStringLiteral("fake") }; }
    QStringList spoken() const;
    void clear();

private:
    mutable QMutex m_mutex;
    QStringList m_spoken;
};
