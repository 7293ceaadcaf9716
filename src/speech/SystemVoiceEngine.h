// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechDispatcher.h"
#include "speech/TunableEngine.h"

#include <mutex>

// "Voce di sistema": the desktop's speech service with the voices set up for it. It makes no
// audio of its own: each text comes back as what the service is to say (Pcm::spoken), which the
// output hands over, so that it waits in one queue with a screen reader's texts.
class SystemVoiceEngine final : public TunableEngine
{
public:
    static constexpr auto Name = "Voce di sistema";

    explicit SystemVoiceEngine(SpeechDispatcher& dispatcher)
        : m_dispatcher(dispatcher)
    {
    }

    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool& cancel) override;
    QStringList voices() const override;

    bool start() override { return m_dispatcher.available(); }
    QString failure() const override { return QStringLiteral("speech-dispatcher cannot be reached"); }
    QString engineName() const override { return QString::fromUtf8(Name); }
    // The service's own choice first, then each output module, each followed by its Italian voices
    // ("espeak-ng/Italian+Adam").
    QList<VoiceInfo> installedVoices() override;

private:
    SpeechDispatcher& m_dispatcher;
    mutable std::mutex m_namesMutex;
    QStringList m_names; // as last listed
};
