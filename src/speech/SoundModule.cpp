// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SoundModule.h"

#include "speech/SoundPlugin.h"
#include "speech/SpeechLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

// An engine of the plugin's, or what stands for it while the plugin is not there.
class SoundModule::Engine final : public TunableEngine
{
public:
    Engine(SoundModule& module, TunableEngine& (SoundPlugin::*engine)(), QString name)
        : m_module(module)
        , m_engine(engine)
        , m_name(std::move(name))
    {
    }

    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool& cancel) override
    {
        TunableEngine* e = target();
        return e ? e->synthesize(text, cancel) : Pcm {};
    }
    QStringList voices() const override
    {
        TunableEngine* e = target();
        return e ? e->voices() : QStringList {};
    }
    void warmUp() override
    {
        if (TunableEngine* e = target())
            e->warmUp();
    }
    bool start() override
    {
        TunableEngine* e = target();
        return e && e->start();
    }
    QString failure() const override
    {
        TunableEngine* e = target();
        return e ? e->failure() : QStringLiteral("the sound plugin is not loaded");
    }
    QString engineName() const override
    {
        TunableEngine* e = target();
        return e ? e->engineName() : m_name;
    }
    QList<VoiceInfo> installedVoices() override
    {
        TunableEngine* e = target();
        return e ? e->installedVoices() : QList<VoiceInfo> {};
    }
    void tune(const QString& voice, int ratePercent, int pitchPercent) override
    {
        if (TunableEngine* e = target())
            e->tune(voice, ratePercent, pitchPercent);
    }

private:
    TunableEngine* target() const
    {
        SoundPlugin* plugin = m_module.m_plugin.load(std::memory_order_acquire);
        return plugin ? &(plugin->*m_engine)() : nullptr;
    }

    SoundModule& m_module;
    TunableEngine& (SoundPlugin::*m_engine)();
    QString m_name;
};

// The plugin's output, loaded by the first prepare(); without it each clip is played silently.
class SoundModule::Output final : public AudioOutput
{
public:
    explicit Output(SoundModule& module)
        : m_module(module)
    {
        m_silence.setSingleShot(true);
        m_silence.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_silence, &QTimer::timeout, this, &AudioOutput::finished);
    }

    void prepare() override
    {
        if (m_module.load())
            plugin()->prepare();
    }
    void play(const Pcm& pcm) override
    {
        if (AudioOutput* out = plugin()) {
            out->play(pcm);
            return;
        }
        m_heard = 0;
        m_left = pcm.durationMs();
        m_clock.start();
        m_silence.start(static_cast<int>(m_left));
        QTimer::singleShot(0, this, &AudioOutput::bufferHandedOver);
    }
    void pause() override
    {
        if (AudioOutput* out = plugin())
            return out->pause();
        if (!m_silence.isActive())
            return;
        m_silence.stop();
        m_heard += m_clock.elapsed();
        m_left = std::max<qint64>(0, m_left - m_clock.elapsed());
    }
    void resume() override
    {
        if (AudioOutput* out = plugin())
            return out->resume();
        if (m_silence.isActive() || m_left <= 0)
            return;
        m_clock.start();
        m_silence.start(static_cast<int>(m_left));
    }
    void stop() override
    {
        if (AudioOutput* out = plugin())
            return out->stop();
        m_silence.stop();
        m_left = 0;
    }
    qint64 heardMs() const override
    {
        if (AudioOutput* out = plugin())
            return out->heardMs();
        return m_heard + (m_silence.isActive() ? m_clock.elapsed() : 0);
    }

private:
    AudioOutput* plugin() const
    {
        SoundPlugin* p = m_module.m_plugin.load(std::memory_order_acquire);
        return p ? &p->output() : nullptr;
    }

    SoundModule& m_module;
    QTimer m_silence;
    QElapsedTimer m_clock;
    qint64 m_heard = 0;
    qint64 m_left = 0;
};

SoundModule::SoundModule(QString pluginPath)
    : m_path(std::move(pluginPath))
    , m_loader(m_path)
    , m_espeak(std::make_unique<Engine>(*this, &SoundPlugin::espeak, QStringLiteral("espeak-ng")))
    , m_systemVoice(std::make_unique<Engine>(*this, &SoundPlugin::systemVoice, QStringLiteral("Voce di sistema")))
    , m_output(std::make_unique<Output>(*this))
{
}

SoundModule::~SoundModule()
{
    if (m_plugin.exchange(nullptr))
        delete m_loader.instance();
}

QString SoundModule::defaultPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/vespelinda-sound.so");
}

TunableEngine& SoundModule::espeak() { return *m_espeak; }

TunableEngine& SoundModule::systemVoice() { return *m_systemVoice; }

AudioOutput& SoundModule::output() { return *m_output; }

void SoundModule::setScreenReaderPresent(bool present)
{
    m_readerPresent = present;
    if (SoundPlugin* plugin = m_plugin.load())
        plugin->setScreenReaderPresent(present);
}

bool SoundModule::load()
{
    if (m_tried)
        return m_plugin.load() != nullptr;
    m_tried = true;
    QElapsedTimer clock;
    clock.start();
    auto* plugin = qobject_cast<SoundPlugin*>(m_loader.instance());
    if (!plugin) {
        qCWarning(lcSpeech).noquote() << "no sound: cannot load" << m_path << '(' << m_loader.errorString() << ')';
        return false;
    }
    Output* output = m_output.get();
    plugin->reportTo([output] { emit output->bufferHandedOver(); }, [output] { emit output->finished(); });
    if (m_readerPresent)
        plugin->setScreenReaderPresent(*m_readerPresent);
    m_plugin.store(plugin, std::memory_order_release);
    qCInfo(lcSpeech) << "sound plugin loaded in" << clock.elapsed() << "ms";
    return true;
}
