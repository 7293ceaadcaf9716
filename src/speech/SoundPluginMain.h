// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/EspeakEngine.h"
#include "speech/PulseAudioOutput.h"
#include "speech/ScreenReaderVoice.h"
#include "speech/SoundPlugin.h"
#include "speech/SpeechDispatcher.h"
#include "speech/SpeechOutput.h"
#include "speech/SystemVoiceEngine.h"

#include <QObject>

// The sound plugin's one object: the engines and the output that need libpulse, espeak-ng and
// libspeechd, made when the program loads it.
class SoundPluginMain final : public QObject, public SoundPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoundPlugin_iid)
    Q_INTERFACES(SoundPlugin)

public:
    SoundPluginMain();

    TunableEngine& espeak() override { return m_espeak; }
    TunableEngine& systemVoice() override { return m_systemVoice; }
    AudioOutput& output() override { return m_output; }
    void reportTo(std::function<void()> bufferHandedOver, std::function<void()> finished) override;
    void setScreenReaderPresent(bool present) override { m_output.setScreenReaderPresent(present); }

private:
    EspeakEngine m_espeak;
    SpeechDispatcher m_service;
    SystemVoiceEngine m_systemVoice { m_service };
    PulseAudioOutput m_audio;
    ScreenReaderVoice m_readerVoice;
    SpeechOutput m_output { m_audio, m_service, m_readerVoice };
    std::function<void()> m_bufferHandedOver;
    std::function<void()> m_finished;
};
