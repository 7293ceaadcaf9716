// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/TunableEngine.h"
#include "speech/VoiceSettings.h"

#include <QHash>
#include <mutex>
#include <optional>

// The speaker's engine: each text is said with the voice chosen in the voice dialog, read afresh
// for every text. By default that is the most natural Italian voice installed: Festival's lp
// when its packages are there, espeak-ng otherwise. Festival is given the text sentence by
// sentence; a sentence it cannot say is said by espeak-ng, so that nothing goes silent. If
// Festival cannot start or breaks down, espeak-ng says everything and the reason is logged once.
// The desktop's own speech service ("Voce di sistema"), when there is one, is offered too, and is
// the default while a screen reader runs: its texts then wait in one queue with the reader's.
class VoiceEngine final : public SpeechEngine
{
public:
    struct EngineVoices
    {
        QString engine;
        QList<TunableEngine::VoiceInfo> voices;
    };

    VoiceEngine(
        VoiceSettings& settings, TunableEngine& espeak, TunableEngine& festival, TunableEngine* system = nullptr);

    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool& cancel) override;
    QStringList voices() const override; // "Festival/lp", ... as far as they are known
    // The voice that will speak next, started and used once on a word.
    void warmUp() override;

    // The rest, like synthesize(), on the synthesis thread only.
    // The engines that can speak and their voices, the most natural first.
    QList<EngineVoices> installed();
    // The voice that will really speak for a chosen one: a missing or unknown engine or voice
    // gives the default.
    Voice resolve(const Voice& chosen);

    // A voice tried in the voice dialog, used instead of the stored one until cleared. Any thread.
    void setTrial(const std::optional<Voice>& voice);
    // Whether the default is the system's voice (a screen reader is running). Any thread.
    void setSystemVoiceDefault(bool preferred) { m_systemDefault = preferred; }

    VoiceSettings& settings() { return m_settings; }

private:
    TunableEngine& engineFor(const Voice& voice);
    const QList<TunableEngine::VoiceInfo>& voicesOf(TunableEngine& engine);
    bool festivalWorks();
    Pcm sayInPieces(const QString& text, const std::atomic_bool& cancel, const Voice& voice);

    VoiceSettings& m_settings;
    TunableEngine& m_espeak;
    TunableEngine& m_festival;
    TunableEngine* m_system;
    std::atomic_bool m_systemDefault { false };
    QHash<const TunableEngine*, QList<TunableEngine::VoiceInfo>> m_voices;
    bool m_festivalFailureLogged = false;
    Voice m_lastVoice;
    mutable std::mutex m_trialMutex;
    std::optional<Voice> m_trial;
};
