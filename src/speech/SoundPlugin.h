// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioOutput.h"
#include "speech/TunableEngine.h"

#include <QtPlugin>
#include <functional>

// The half of the voice that needs the system's sound and speech libraries (libpulse, espeak-ng,
// libspeechd and what they bring): built as a Qt plugin beside the executable, so that none of it
// is mapped before the window is on screen (`SoundModule` loads it then).
//
// The plugin carries its own copy of the few speech classes it builds on, so nothing of Qt's
// object model crosses between the two: the program only calls these functions and the virtual
// functions of what they return, and the output's reports come back as plain calls.
class SoundPlugin
{
public:
    virtual ~SoundPlugin() = default;

    virtual TunableEngine& espeak() = 0;
    // "Voce di sistema", the desktop's speech service.
    virtual TunableEngine& systemVoice() = 0;
    // Plays audio and the speech service's texts; its reports go where reportTo() says.
    virtual AudioOutput& output() = 0;
    virtual void reportTo(std::function<void()> bufferHandedOver, std::function<void()> finished) = 0;
    // Whether to take turns with a screen reader's voice.
    virtual void setScreenReaderPresent(bool present) = 0;
};

#define SoundPlugin_iid "org.vespelinda.SoundPlugin/1"
Q_DECLARE_INTERFACE(SoundPlugin, SoundPlugin_iid)
