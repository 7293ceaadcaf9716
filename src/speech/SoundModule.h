// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioOutput.h"
#include "speech/TunableEngine.h"

#include <QPluginLoader>
#include <atomic>
#include <memory>
#include <optional>

class SoundPlugin;

// The sound plugin (SoundPlugin.h), loaded on first need: the output's prepare(), which the
// speaker calls once it is released after the window's first frame. Until then, and for good if
// the plugin cannot be loaded, espeak-ng and the system voice cannot start and the output plays
// each clip silently, for as long as it lasts, so the speaker and the window go on as without a
// sound server. The engines and the output handed out here stand in for the plugin's from the
// start, so the speaker and the voice choice are made before it is there.
class SoundModule final
{
public:
    // The plugin's file; by default vespelinda-sound.so beside the executable.
    explicit SoundModule(QString pluginPath = defaultPath());
    // The plugin's engines and output go before the stand-ins (the library stays mapped).
    ~SoundModule();
    SoundModule(const SoundModule&) = delete;
    SoundModule& operator=(const SoundModule&) = delete;

    static QString defaultPath();

    TunableEngine& espeak();
    TunableEngine& systemVoice();
    AudioOutput& output();
    void setScreenReaderPresent(bool present);

    // Loads the plugin once, on the user-interface thread, before any synthesis; true when it is
    // there. A failure is logged once.
    bool load();

private:
    class Engine;
    class Output;

    QString m_path;
    QPluginLoader m_loader;
    bool m_tried = false;
    // Read by the synthesis thread, set once on the user-interface thread before it synthesises.
    std::atomic<SoundPlugin*> m_plugin { nullptr };
    std::optional<bool> m_readerPresent;
    std::unique_ptr<Engine> m_espeak;
    std::unique_ptr<Engine> m_systemVoice;
    std::unique_ptr<Output> m_output;
};
