// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/EspeakEngine.h"

#include "speech/SpeechLog.h"

#include <algorithm>
#include <espeak-ng/speak_lib.h>
#include <mutex>

namespace {
// The process's one espeak-ng, shared by every EspeakEngine.
struct Global
{
    std::mutex mutex;
    bool triedInit = false;
    bool ready = false;
    int sampleRate = 22050;
    TunableEngine::Applied applied;
};

Global& global()
{
    static Global instance;
    return instance;
}

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

// Called with the lock held.
bool initialise(Global& g)
{
    if (g.triedInit)
        return g.ready;
    g.triedInit = true;
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) {
        qCWarning(lcSpeech) << "espeak-ng could not start (is espeak-ng-data installed?): the assistant is mute";
        return false;
    }
    g.sampleRate = rate;
    espeak_SetSynthCallback(collect);
    if (espeak_SetVoiceByName(EspeakEngine::Italian) != EE_OK)
        qCWarning(lcSpeech) << "espeak-ng has no Italian voice; speaking with its default voice";
    g.applied.voice = QString::fromLatin1(EspeakEngine::Italian);
    g.ready = true;
    return true;
}
} // namespace

bool EspeakEngine::start()
{
    std::lock_guard lock(global().mutex);
    return initialise(global());
}

QString EspeakEngine::failure() const
{
    std::lock_guard lock(global().mutex);
    return global().ready ? QString() : QStringLiteral("espeak-ng could not start (Debian package espeak-ng-data)");
}

void EspeakEngine::apply()
{
    applyTuning(global().applied, tunedVoice(),
        { [](const QString& voice) {
             if (espeak_SetVoiceByName(voice.toUtf8().constData()) != EE_OK)
                 espeak_SetVoiceByName(Italian);
             return true;
         },
            [](int rate) { espeak_SetParameter(espeakRATE, espeakRATE_NORMAL * rate / 100, 0); },
            [](int pitch) {
                espeak_SetParameter(espeakPITCH, std::clamp(50 * pitch / 100, 0, 100), 0);
            } });
}

Pcm EspeakEngine::synthesize(const QString& text, const std::atomic_bool& cancel)
{
    Global& g = global();
    std::lock_guard lock(g.mutex);
    Pcm pcm;
    if (!initialise(g))
        return pcm;
    pcm.sampleRate = g.sampleRate;
    const QByteArray utf8 = text.toUtf8();
    if (utf8.trimmed().isEmpty())
        return pcm;
    apply();
    Synthesis synthesis { &pcm.samples, &cancel };
    espeak_Synth(utf8.constData(), static_cast<size_t>(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
        &synthesis);
    return pcm;
}

QStringList EspeakEngine::voices() const
{
    Global& g = global();
    std::lock_guard lock(g.mutex);
    QStringList names;
    if (!initialise(g))
        return names;
    for (const espeak_VOICE** voice = espeak_ListVoices(nullptr); voice && *voice; ++voice)
        names << QString::fromUtf8((*voice)->name);
    return names;
}

QList<TunableEngine::VoiceInfo> EspeakEngine::installedVoices()
{
    Global& g = global();
    std::lock_guard lock(g.mutex);
    QList<VoiceInfo> list;
    if (!initialise(g))
        return list;
    list.append({ QString::fromLatin1(Italian), QStringLiteral("italiano") });
    espeak_VOICE variants {};
    variants.languages = "variant";
    for (const espeak_VOICE** voice = espeak_ListVoices(&variants); voice && *voice; ++voice) {
        // "!v/f3" is the variant file f3, spoken through the Italian voice as "it+f3"
        const QString file = QString::fromUtf8((*voice)->identifier).section(u'/', -1);
        const QString gender = (*voice)->gender == 2 ? QStringLiteral(", donna")
            : (*voice)->gender == 1                  ? QStringLiteral(", uomo")
                                                     : QString();
        list.append({ QString::fromLatin1(Italian) + u'+' + file,
            QStringLiteral("italiano, variante ") + QString::fromUtf8((*voice)->name) + gender });
    }
    return list;
}

QString EspeakEngine::phonemes(const QString& text)
{
    Global& g = global();
    std::lock_guard lock(g.mutex);
    if (!initialise(g))
        return {};
    apply();
    const QByteArray utf8 = text.toUtf8();
    const void* position = utf8.constData();
    QStringList clauses;
    while (position) {
        if (const char* clause = espeak_TextToPhonemes(&position, espeakCHARS_UTF8, espeakPHONEMES_SHOW))
            clauses << QString::fromUtf8(clause).trimmed();
    }
    clauses.removeAll(QString());
    return clauses.join(QStringLiteral(" | "));
}
