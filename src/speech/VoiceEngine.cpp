// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/VoiceEngine.h"

#include "speech/EspeakEngine.h"
#include "speech/SentenceSplitter.h"
#include "speech/SpeechLog.h"

#include <cmath>
#include <numbers>

namespace {

bool hasWords(const QString& piece)
{
    return std::any_of(piece.begin(), piece.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

void appendSilence(Pcm& pcm, int ms) { pcm.samples.append(QByteArray(qsizetype(pcm.sampleRate) * ms / 1000 * 2, 0)); }

// Windowed-sinc resampling, for a piece of one engine inside the audio of another.
QByteArray resampled(const Pcm& in, int rate)
{
    if (in.sampleRate == rate || in.samples.isEmpty())
        return in.samples;
    const auto* x = reinterpret_cast<const qint16*>(in.samples.constData());
    const qsizetype n = in.samples.size() / 2;
    const double step = double(in.sampleRate) / rate; // input samples per output sample
    const double cutoff = std::min(1.0, 1.0 / step); // keep below the lower Nyquist frequency
    const double radius = 8 / cutoff;
    QByteArray out(qsizetype(double(n) / step) * 2, 0);
    auto* y = reinterpret_cast<qint16*>(out.data());
    for (qsizetype j = 0; j < out.size() / 2; ++j) {
        const double t = double(j) * step;
        double sum = 0;
        for (auto i = qsizetype(std::ceil(t - radius)); i <= qsizetype(std::floor(t + radius)); ++i) {
            if (i < 0 || i >= n)
                continue;
            const double d = t - double(i);
            const double a = std::numbers::pi * d * cutoff;
            const double sinc = d == 0 ? 1.0 : std::sin(a) / a;
            const double window = 0.5 + 0.5 * std::cos(std::numbers::pi * d / radius);
            sum += x[i] * cutoff * sinc * window;
        }
        y[j] = qint16(std::clamp(std::lround(sum), -32768L, 32767L));
    }
    return out;
}

void scaleVolume(Pcm& pcm, int percent)
{
    if (percent >= 100)
        return;
    auto* s = reinterpret_cast<qint16*>(pcm.samples.data());
    for (qsizetype i = 0; i < pcm.samples.size() / 2; ++i)
        s[i] = qint16(s[i] * percent / 100);
}

} // namespace

VoiceEngine::VoiceEngine(VoiceSettings& settings, TunableEngine& espeak, TunableEngine& festival, TunableEngine* system)
    : m_settings(settings)
    , m_espeak(espeak)
    , m_festival(festival)
    , m_system(system)
{
}

QStringList VoiceEngine::voices() const
{
    QStringList names;
    for (const QString& name : m_festival.voices())
        names << m_festival.engineName() + u'/' + name;
    return names << m_espeak.engineName() + u'/' + QString::fromLatin1(EspeakEngine::Italian);
}

void VoiceEngine::setTrial(const std::optional<Voice>& voice)
{
    std::lock_guard lock(m_trialMutex);
    m_trial = voice;
}

bool VoiceEngine::festivalWorks()
{
    if (m_festival.start()) {
        m_festivalFailureLogged = false; // back after a failure: a later one is told again
        return true;
    }
    if (!m_festivalFailureLogged) {
        qCWarning(lcSpeech).noquote() << m_festival.failure() + QStringLiteral(": speaking with espeak-ng");
        m_festivalFailureLogged = true;
    }
    return false;
}

const QList<TunableEngine::VoiceInfo>& VoiceEngine::voicesOf(TunableEngine& engine)
{
    auto it = m_voices.find(&engine);
    if (it == m_voices.end() || it->isEmpty())
        it = m_voices.insert(&engine, engine.installedVoices());
    return *it;
}

QList<VoiceEngine::EngineVoices> VoiceEngine::installed()
{
    QList<EngineVoices> list;
    if (festivalWorks())
        list.append({ m_festival.engineName(), voicesOf(m_festival) });
    if (m_espeak.start())
        list.append({ m_espeak.engineName(), voicesOf(m_espeak) });
    if (m_system && m_system->start())
        list.insert(m_systemDefault ? 0 : list.size(), { m_system->engineName(), voicesOf(*m_system) });
    return list;
}

TunableEngine& VoiceEngine::engineFor(const Voice& voice)
{
    if (m_system && (voice.engine == m_system->engineName() || (voice.engine.isEmpty() && m_systemDefault))
        && m_system->start())
        return *m_system;
    if (voice.engine == m_espeak.engineName() || !festivalWorks())
        return m_espeak;
    return m_festival;
}

Voice VoiceEngine::resolve(const Voice& chosen)
{
    Voice voice = chosen;
    TunableEngine& engine = engineFor(chosen);
    voice.engine = engine.engineName();
    const auto& names = voicesOf(engine);
    const bool known
        = std::any_of(names.begin(), names.end(), [&](const auto& info) { return info.name == voice.name; });
    if (!known) // an engine lists its default voice first
        voice.name = names.isEmpty() ? QString() : names.first().name;
    return voice;
}

Pcm VoiceEngine::synthesize(const QString& text, const std::atomic_bool& cancel)
{
    const Voice voice = resolve([this] {
        std::lock_guard lock(m_trialMutex);
        return m_trial ? *m_trial : m_settings.read();
    }());
    if (voice != m_lastVoice) {
        qCInfo(lcSpeech).noquote() << QStringLiteral("voice: %1 %2, speed %3%, pitch %4%, volume %5%")
                                          .arg(voice.engine, voice.name)
                                          .arg(voice.rate)
                                          .arg(voice.pitch)
                                          .arg(voice.volume);
        m_lastVoice = voice;
    }
    TunableEngine& engine = engineFor(voice);
    engine.tune(voice.name, voice.rate, voice.pitch);
    Pcm pcm = &engine == &m_festival ? sayInPieces(text, cancel, voice) : engine.synthesize(text, cancel);
    if (pcm.spoken)
        pcm.spoken->volume = voice.volume; // the service sets it
    else
        scaleVolume(pcm, voice.volume);
    return pcm;
}

void VoiceEngine::warmUp()
{
    const std::atomic_bool never { false };
    synthesize(QStringLiteral("pronto"), never);
}

Pcm VoiceEngine::sayInPieces(const QString& text, const std::atomic_bool& cancel, const Voice& voice)
{
    // Festival gives up a whole utterance on one token it cannot analyse: sentence by sentence,
    // only that sentence is said by the other engine.
    Pcm out;
    out.sampleRate = 0;
    bool pendingPause = false;
    for (const QString& piece : SentenceSplitter::sentences(text)) {
        if (cancel.load())
            break;
        if (!hasWords(piece)) { // ". . " is a pause
            pendingPause = true;
            continue;
        }
        Pcm said = m_festival.synthesize(piece, cancel);
        if (said.samples.isEmpty() && !cancel.load()) {
            m_espeak.tune(QString::fromLatin1(EspeakEngine::Italian), voice.rate, voice.pitch);
            said = m_espeak.synthesize(piece, cancel);
            qCInfo(lcSpeech) << "a sentence Festival could not say is said by espeak-ng";
        }
        if (said.samples.isEmpty())
            continue;
        if (out.sampleRate == 0)
            out.sampleRate = said.sampleRate;
        else
            appendSilence(out, pendingPause ? 400 : 150);
        pendingPause = false;
        out.samples += resampled(said, out.sampleRate);
    }
    if (out.sampleRate == 0)
        out.sampleRate = 16000;
    return out;
}
