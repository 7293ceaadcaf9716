// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/TunableEngine.h"

// libespeak-ng with its Italian voice and variants, synthesising into memory. espeak-ng is one
// global instance per process: every instance of this class shares it under one lock.
class EspeakEngine final : public TunableEngine
{
public:
    static constexpr auto Italian = "it";

    EspeakEngine()
        : TunableEngine(QString::fromLatin1(Italian))
    {
    }
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool& cancel) override;
    QStringList voices() const override; // every language espeak-ng knows

    bool start() override;
    QString failure() const override;
    QString engineName() const override { return QStringLiteral("espeak-ng"); }
    // The Italian voice and each variant of espeak-ng's ("it+f3").
    QList<VoiceInfo> installedVoices() override;

    // espeak-ng's own phonemes for the text, clause by clause ("bUondZ'O@-*no_| ...").
    QString phonemes(const QString& text);

private:
    void apply(); // makes the global instance speak with this object's voice
};
