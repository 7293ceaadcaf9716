// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SinkAudioOutput.h"

#include "speech/SpeechLog.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace {
// The sink reports idle while its last ~150 ms are still in the device: a tail of silence
// makes sure the end of a sentence is heard.
constexpr int TailMs = 250;
} // namespace

SinkAudioOutput::SinkAudioOutput(QObject* parent)
    : AudioOutput(parent)
{
    m_silentTimer.setSingleShot(true);
    m_silentTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_silentTimer, &QTimer::timeout, this, &SinkAudioOutput::finish);
}

SinkAudioOutput::~SinkAudioOutput() { stop(); }

void SinkAudioOutput::play(const Pcm& pcm)
{
    stop();
    m_playing = true;
    m_paused = false;
    if (!m_forceSilent && startSink(pcm))
        return;
    if (!m_warnedSilent && !m_forceSilent) {
        qCWarning(lcSpeech) << "no sound device: speaking silently";
        m_warnedSilent = true;
    }
    startSilent(pcm.durationMs() + TailMs);
    emit bufferHandedOver();
}

bool SinkAudioOutput::startSink(const Pcm& pcm)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setSampleRate(pcm.sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return false;

    m_data = pcm.samples;
    m_data.truncate(m_data.size() / 2 * 2); // PulseAudio refuses a write that ends mid-sample
    m_data.append(QByteArray(pcm.sampleRate * TailMs / 1000 * 2, '\0')); // whole samples only
    m_buffer.close();
    m_buffer.setData(m_data);
    m_buffer.open(QIODevice::ReadOnly);

    m_sink = std::make_unique<QAudioSink>(device, format);
    connect(m_sink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState && m_buffer.atEnd())
            finish();
        else if (state == QAudio::StoppedState && m_sink && m_sink->error() != QAudio::NoError && m_playing)
            finish(); // the device went away mid-sentence: report the text as spoken
    });
    m_sink->start(&m_buffer);
    // With no sound server start() fails at once with OpenError and no state change.
    if (m_sink->error() != QAudio::NoError) {
        m_sink.reset();
        return false;
    }
    m_silent = false;
    // If the server stalls, the program must still hear back: allow twice the clip's length.
    m_silentTimer.start(static_cast<int>(2 * (pcm.durationMs() + TailMs) + 2000));
    emit bufferHandedOver();
    return true;
}

void SinkAudioOutput::startSilent(qint64 durationMs)
{
    m_silent = true;
    m_silentRemainingMs = durationMs;
    m_silentClock.start();
    m_silentTimer.start(static_cast<int>(durationMs));
}

void SinkAudioOutput::pause()
{
    if (!m_playing || m_paused)
        return;
    m_paused = true;
    if (m_silent) {
        m_silentRemainingMs = std::max<qint64>(0, m_silentRemainingMs - m_silentClock.elapsed());
        m_silentTimer.stop();
    } else if (m_sink) {
        m_silentTimer.stop();
        m_sink->suspend();
    }
}

void SinkAudioOutput::resume()
{
    if (!m_playing || !m_paused)
        return;
    m_paused = false;
    if (m_silent) {
        m_silentClock.start();
        m_silentTimer.start(static_cast<int>(m_silentRemainingMs));
    } else if (m_sink) {
        m_sink->resume();
        const qint64 remaining
            = (m_data.size() - m_buffer.pos()) * 1000 / 2 / std::max(1, m_sink->format().sampleRate());
        m_silentTimer.start(static_cast<int>(2 * remaining + 2000));
    }
}

void SinkAudioOutput::stop()
{
    m_playing = false;
    m_paused = false;
    m_silentTimer.stop();
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        // stop() may come from the sink's own state signal: delete it once that has returned, or
        // with this output if the event loop has already ended.
        QAudioSink* sink = m_sink.release();
        sink->setParent(this);
        sink->deleteLater();
    }
}

void SinkAudioOutput::finish()
{
    if (!m_playing)
        return;
    stop();
    emit finished();
}
