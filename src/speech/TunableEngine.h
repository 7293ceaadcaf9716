// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <QList>
#include <functional>

// A real engine whose voice, speed and pitch can be chosen. Like synthesize(), every call comes
// from the speaker's synthesis thread only.
class TunableEngine : public SpeechEngine
{
public:
    struct VoiceInfo
    {
        QString name; // as stored in the settings: "lp", "it+f3"
        QString label; // as the voice dialog shows it
    };

    // What an engine's process-wide state was last given, so that only a change reaches it.
    struct Applied
    {
        QString voice;
        int rate = -1;
        int pitch = -1;
    };

    // Initialises the engine if it has not tried yet; false when it cannot speak.
    virtual bool start() = 0;
    // Why it cannot speak, when start() is false.
    virtual QString failure() const = 0;
    virtual QString engineName() const = 0;
    virtual QList<VoiceInfo> installedVoices() = 0;
    // The voice's name as installedVoices() gives it; speed and pitch in per cent of normal. Kept
    // here for the engine to apply at its next synthesis.
    virtual void tune(const QString& voice, int ratePercent, int pitchPercent)
    {
        m_voice = voice;
        m_rate = ratePercent;
        m_pitch = pitchPercent;
    }

protected:
    // How an engine sets each part of the tuning; a voice that fails to load stops the rest.
    struct Setters
    {
        std::function<bool(const QString&)> voice;
        std::function<void(int ratePercent)> rate;
        std::function<void(int pitchPercent)> pitch;
    };
    // Gives the engine what changed since `applied`: the voice first (a new voice brings its own
    // speed and pitch, so both are set again), then speed and pitch. False when the voice failed.
    bool applyTuning(Applied& applied, const QString& voice, const Setters& set) const
    {
        if (applied.voice != voice) {
            if (!set.voice(voice))
                return false;
            applied = { voice, -1, -1 };
        }
        if (applied.rate != m_rate)
            set.rate(applied.rate = m_rate);
        if (applied.pitch != m_pitch)
            set.pitch(applied.pitch = m_pitch);
        return true;
    }

    explicit TunableEngine(QString defaultVoice = {})
        : m_voice(std::move(defaultVoice))
    {
    }
    const QString& tunedVoice() const { return m_voice; }
    int tunedRate() const { return m_rate; }
    int tunedPitch() const { return m_pitch; }

private:
    QString m_voice;
    int m_rate = 100;
    int m_pitch = 100;
};
