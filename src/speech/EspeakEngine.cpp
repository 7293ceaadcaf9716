// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/EspeakEngine.h"

#include "speech/SpeechLog.h"

#include <espeak-ng/speak_lib.h>

namespace {
struct Synthesis
{
    QByteArray* samples;
    const std::atomic_bool* cancel;
};

// espeak-ng hands its audio to a plain C callback; the user data carries our buffer.
int collect(short* wav, int count, espeak_EVENT* events)
{
    if (!events || !events->user_data)
        return 0;
    const auto* synthesis = static_cast<const Synthesis*>(events->user_data);
    if (wav && count > 0)
        synthesis->samples->append(reinterpret_cast<const char*>(wav), static_cast<qsizetype>(count) * 2);
    return synthesis->cancel->load() ? 1 : 0; // 1 abandons the synthesis
}
} // namespace

bool EspeakEngine::ensureInitialised() const
{
    if (m_triedInit)
        return m_ready;
    m_triedInit = true;
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) {
        qCWarning(lcSpeech) << "espeak-ng could not start (is espeak-ng-data installed?): the assistant is mute";
        return false;
    }
    m_sampleRate = rate;
    espeak_SetSynthCallback(collect);
    if (espeak_SetVoiceByName("it") != EE_OK)
        qCWarning(lcSpeech) << "espeak-ng has no Italian voice; speaking with its default voice";
    m_ready = true;
    return true;
}

Pcm EspeakEngine::synthesize(const QString& text, const std::atomic_bool& cancel)
{
    std::lock_guard lock(m_mutex);
    Pcm pcm;
    if (!ensureInitialised())
        return pcm;
    pcm.sampleRate = m_sampleRate;
    const QByteArray utf8 = text.toUtf8();
    if (utf8.trimmed().isEmpty())
        return pcm;
    Synthesis synthesis { &pcm.samples, &cancel };
    espeak_Synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
        &synthesis);
    return pcm;
}

QStringList EspeakEngine::voices() const
{
    std::lock_guard lock(m_mutex);
    QStringList names;
    if (!ensureInitialised())
        return names;
    for (const espeak_VOICE** voice = espeak_ListVoices(nullptr); voice && *voice; ++voice)
        names << QString::fromUtf8((*voice)->name);
    return names;
}
