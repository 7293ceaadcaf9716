// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <QList>

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

    // Initialises the engine if it has not tried yet; false when it cannot speak.
    virtual bool start() = 0;
    // Why it cannot speak, when start() is false.
    virtual QString failure() const = 0;
    virtual QString engineName() const = 0;
    virtual QList<VoiceInfo> installedVoices() = 0;
    // The voice's name as installedVoices() gives it; speed and pitch in per cent of normal.
    virtual void tune(const QString& voice, int ratePercent, int pitchPercent) = 0;
};
