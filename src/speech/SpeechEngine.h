// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>

// What the desktop's speech service is to say itself, with the voice for it: it plays its own
// audio, in its own queue, beside a screen reader's texts.
struct SpokenText
{
    QString text;
    QString voice; // "module/voice", "module" or empty: the service's own choice
    int rate = 100; // per cent of normal, as the voice dialog gives them
    int pitch = 100;
    int volume = 100;

    bool operator==(const SpokenText&) const = default;
};

// Mono signed 16-bit audio as produced by a synthesiser, or the text for a voice that plays
// itself.
struct Pcm
{
    QByteArray samples;
    int sampleRate = 22050;
    std::optional<SpokenText> spoken;
    // An announcement: not to be cut off by what other programs say next.
    bool urgent = false;

    static Pcm audio(QByteArray samples, int sampleRate = 22050)
    {
        Pcm pcm;
        pcm.samples = std::move(samples);
        pcm.sampleRate = sampleRate;
        return pcm;
    }
    static Pcm text(SpokenText spoken)
    {
        Pcm pcm;
        pcm.sampleRate = 0;
        pcm.spoken = std::move(spoken);
        return pcm;
    }

    qint64 durationMs() const { return sampleRate > 0 ? samples.size() / 2 * 1000 / sampleRate : 0; }
    bool isEmpty() const { return samples.isEmpty() && !spoken; }
};

// A text-to-speech engine: text in, audio out. The Speaker calls synthesize() from its one
// worker thread only, so an engine with global state (espeak-ng, Festival) needs no locking
// for it; voices() may come from any thread.
class SpeechEngine
{
public:
    virtual ~SpeechEngine() = default;
    // The text has already been written for the ear (ItalianSpeechText). Returns empty audio
    // when the engine cannot speak.
    // `cancel` may be set from another thread to abandon a synthesis under way: the engine then
    // returns soon, with whatever it has.
    virtual Pcm synthesize(const QString& text, const std::atomic_bool& cancel) = 0;
    Pcm synthesize(const QString& text)
    {
        const std::atomic_bool never { false };
        return synthesize(text, never);
    }
    virtual QStringList voices() const = 0;
    // Gets the engine ready, so that the first text is made as fast as the next: started, its
    // voice loaded and used once. On the synthesis thread, like synthesize().
    virtual void warmUp() { }
};
