// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <mutex>

// libespeak-ng with the Italian voice, synthesising into memory.
class EspeakEngine final : public SpeechEngine
{
public:
    EspeakEngine() = default;
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool& cancel) override;
    QStringList voices() const override;

private:
    bool ensureInitialised() const;

    mutable std::mutex m_mutex; // espeak-ng is one global instance
    mutable bool m_triedInit = false;
    mutable bool m_ready = false;
    mutable int m_sampleRate = 22050;
};
