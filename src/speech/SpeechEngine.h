// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>

// Mono signed 16-bit audio as produced by a synthesiser.
struct Pcm
{
    QByteArray samples;
    int sampleRate = 22050;

    qint64 durationMs() const { return sampleRate > 0 ? samples.size() / 2 * 1000 / sampleRate : 0; }
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
};
