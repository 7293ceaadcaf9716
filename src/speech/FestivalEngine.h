// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/TunableEngine.h"

// Festival's C++ library with Debian's Italian diphone voices, lp (a woman) and pc (a man).
// Festival is one global Scheme interpreter per process: it is initialised once, lazily, on the
// thread that first uses it, and every instance of this class shares it under one lock. It reads
// Latin-1 only; a text it cannot analyse gives empty audio (the caller then says it another way).
class FestivalEngine final : public TunableEngine
{
public:
    static constexpr auto DefaultVoice = "lp";

    // Festival's data in its Debian folder, or elsewhere (the first instance to start decides).
    explicit FestivalEngine(const QString& dataDir = QStringLiteral("/usr/share/festival"));

    using SpeechEngine::synthesize;
    // The text has been written for the ear; it is converted to what Festival reads here.
    // The audio comes at Festival's own rate (16 kHz), without the long silences around it.
    Pcm synthesize(const QString& text, const std::atomic_bool& cancel) override;
    QStringList voices() const override;

    bool start() override;
    QString engineName() const override { return QStringLiteral("Festival"); }
    QList<VoiceInfo> installedVoices() override;

    // The words of Festival's utterance for the text ("cinque dicembre due mila ventisei").
    QStringList words(const QString& text);
    // The same words, each with its syllables as Festival will say them, the stressed one marked
    // ("ricordati{ri.'kor.da.ti.}"): what a listener hears, stress included.
    QStringList syllables(const QString& text);
    QString failure() const override;

private:
    bool prepare(); // starts it and makes it speak with this object's voice
    QStringList analyse(const QString& text, const char* call);
    // The text with an accent where Festival would stress a verb with its pronouns wrongly.
    static QString stressedForFestival(const QString& text);

    QString m_dataDir;
};
