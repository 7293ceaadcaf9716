// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/PulseAudioOutput.h"

#include "speech/SpeechLog.h"

#include <algorithm>
#include <pulse/pulseaudio.h>

namespace {
// Silence follows every clip without a server, as a device's own latency would.
constexpr qint64 SilentTailMs = 250;
// How long a clip waits for the server to accept it, and how long a server that did not answer
// in time is then left alone.
constexpr pa_usec_t ConnectTimeoutUs = 500 * 1000;
constexpr qint64 NoServerPauseMs = 5000;
// What the server holds ahead of what is heard: small, so that Stop and Pause are heard at once.
constexpr pa_usec_t TargetLatencyUs = 100 * 1000;

class Locked
{
public:
    explicit Locked(pa_threaded_mainloop* mainloop)
        : m_mainloop(mainloop)
    {
        if (m_mainloop)
            pa_threaded_mainloop_lock(m_mainloop);
    }
    ~Locked()
    {
        if (m_mainloop)
            pa_threaded_mainloop_unlock(m_mainloop);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    pa_threaded_mainloop* m_mainloop;
};

void unref(pa_operation* operation)
{
    if (operation)
        pa_operation_unref(operation);
}
} // namespace

PulseAudioOutput::PulseAudioOutput(QObject* parent)
    : AudioOutput(parent)
{
    m_silentTimer.setSingleShot(true);
    m_silentTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_silentTimer, &QTimer::timeout, this, &PulseAudioOutput::finish);
}

PulseAudioOutput::~PulseAudioOutput()
{
    stop();
    if (!m_mainloop)
        return;
    {
        Locked locked(m_mainloop);
        dropContext();
    }
    pa_threaded_mainloop_stop(m_mainloop);
    pa_threaded_mainloop_free(m_mainloop);
}

void PulseAudioOutput::play(const Pcm& pcm)
{
    stop();
    m_playing = true;
    m_paused = false;
    m_clipMs = pcm.durationMs();
    m_heardBeforeMs = 0;
    m_heardClock.start();
    if (!m_forceSilent && startStream(pcm)) {
        m_silent = false;
        if (m_warnedSilent) {
            qCInfo(lcSpeech) << "sound server back: speaking aloud again";
            m_warnedSilent = false;
        }
        // If the server stalls, the program must still hear back: allow twice the clip's length.
        m_silentTimer.start(static_cast<int>(2 * m_clipMs + 2000));
    } else {
        warnSilent();
        startSilent(m_clipMs + SilentTailMs);
    }
    emit bufferHandedOver();
}

bool PulseAudioOutput::startMainloop()
{
    if (m_mainloop)
        return true;
    m_mainloop = pa_threaded_mainloop_new();
    if (!m_mainloop || pa_threaded_mainloop_start(m_mainloop) < 0) {
        qCWarning(lcSpeech) << "cannot start the sound server's client thread";
        m_forceSilent = true;
        return false;
    }
    return true;
}

void PulseAudioOutput::prepare()
{
    if (m_forceSilent || (m_noServerSince.isValid() && m_noServerSince.elapsed() < NoServerPauseMs) || !startMainloop())
        return;
    Locked locked(m_mainloop);
    if (!m_context)
        beginConnect(); // the first clip finds the connection made, or under way
}

bool PulseAudioOutput::startStream(const Pcm& pcm)
{
    if (m_noServerSince.isValid() && m_noServerSince.elapsed() < NoServerPauseMs)
        return false;
    if (!startMainloop())
        return false;
    Locked locked(m_mainloop);
    if (!connectServer())
        return false;

    const pa_sample_spec format { PA_SAMPLE_S16LE, static_cast<uint32_t>(std::max(1, pcm.sampleRate)), 1 };
    m_stream = pa_stream_new(m_context, "Vespelinda", &format, nullptr);
    if (!m_stream)
        return false;
    m_data = pcm.samples;
    m_data.truncate(m_data.size() / 2 * 2); // the server refuses a write that ends mid-sample
    m_written = 0;
    m_drainAsked = false;
    pa_stream_set_state_callback(m_stream, &PulseAudioOutput::onStreamState, this);
    pa_stream_set_write_callback(m_stream, &PulseAudioOutput::onStreamWrite, this);
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(TargetLatencyUs, &format));
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
    if (pa_stream_connect_playback(m_stream, nullptr, &attr, flags, nullptr, nullptr) < 0) {
        closeStream();
        return false;
    }
    return true;
}

bool PulseAudioOutput::beginConnect()
{
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_mainloop), "Vespelinda");
    if (!m_context)
        return false;
    pa_context_set_state_callback(m_context, &PulseAudioOutput::onContextState, this);
    // Spawning a server is left to the desktop once it has had one: a server the user stopped
    // stays stopped until they start it again.
    const auto flags = m_connectedOnce ? PA_CONTEXT_NOAUTOSPAWN : PA_CONTEXT_NOFLAGS;
    if (pa_context_connect(m_context, nullptr, flags, nullptr) < 0) {
        dropContext();
        return false;
    }
    return true;
}

bool PulseAudioOutput::connectServer()
{
    if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY)
        return true;
    // A connection begun ahead (prepare()) and still under way is waited for, not begun again.
    if (!m_context || !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context))) {
        dropContext();
        if (!beginConnect())
            return false;
    }
    m_connectTimedOut = false;
    pa_time_event* timeout = pa_context_rttime_new(
        m_context, pa_rtclock_now() + ConnectTimeoutUs,
        [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
            auto* output = static_cast<PulseAudioOutput*>(self);
            output->m_connectTimedOut = true;
            pa_threaded_mainloop_signal(output->m_mainloop, 0);
        },
        this);
    pa_context_state_t state = pa_context_get_state(m_context);
    while (PA_CONTEXT_IS_GOOD(state) && state != PA_CONTEXT_READY && !m_connectTimedOut) {
        pa_threaded_mainloop_wait(m_mainloop);
        state = pa_context_get_state(m_context);
    }
    if (timeout)
        pa_threaded_mainloop_get_api(m_mainloop)->time_free(timeout);
    if (state != PA_CONTEXT_READY) {
        if (m_connectTimedOut) {
            qCWarning(lcSpeech) << "the sound server does not answer: leaving it alone for a while";
            m_noServerSince.start();
        }
        dropContext();
        return false;
    }
    m_connectedOnce = true;
    m_noServerSince.invalidate();
    return true;
}

void PulseAudioOutput::dropContext()
{
    closeStream();
    if (!m_context)
        return;
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

void PulseAudioOutput::closeStream()
{
    ++m_clip;
    if (!m_stream)
        return;
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream); // what the server still holds is dropped at once
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

void PulseAudioOutput::onContextState(pa_context*, void* self)
{
    // Wakes a clip waiting for the connection; a lost server is noticed through its stream, or
    // by the next clip.
    pa_threaded_mainloop_signal(static_cast<PulseAudioOutput*>(self)->m_mainloop, 0);
}

void PulseAudioOutput::onStreamState(pa_stream* stream, void* self)
{
    auto* output = static_cast<PulseAudioOutput*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (stream != output->m_stream || PA_STREAM_IS_GOOD(state))
        return;
    const quint64 clip = output->m_clip;
    QMetaObject::invokeMethod(
        output, [output, clip] { output->streamLost(clip); }, Qt::QueuedConnection);
}

void PulseAudioOutput::onStreamWrite(pa_stream* stream, size_t bytes, void* self)
{
    auto* output = static_cast<PulseAudioOutput*>(self);
    if (stream != output->m_stream)
        return;
    const auto count = std::min<qsizetype>(static_cast<qsizetype>(bytes), output->m_data.size() - output->m_written);
    if (count > 0) {
        pa_stream_write(stream, output->m_data.constData() + output->m_written, static_cast<size_t>(count), nullptr, 0,
            PA_SEEK_RELATIVE);
        output->m_written += count;
    }
    if (output->m_written == output->m_data.size() && !output->m_drainAsked) {
        output->m_drainAsked = true;
        unref(pa_stream_drain(stream, &PulseAudioOutput::onStreamDrained, self));
    }
}

void PulseAudioOutput::onStreamDrained(pa_stream* stream, int success, void* self)
{
    auto* output = static_cast<PulseAudioOutput*>(self);
    if (stream != output->m_stream || !success)
        return;
    const quint64 clip = output->m_clip;
    QMetaObject::invokeMethod(
        output, [output, clip] { output->streamDrained(clip); }, Qt::QueuedConnection);
}

void PulseAudioOutput::streamDrained(quint64 clip)
{
    {
        Locked locked(m_mainloop);
        if (clip != m_clip)
            return;
    }
    finish();
}

void PulseAudioOutput::streamLost(quint64 clip)
{
    {
        Locked locked(m_mainloop);
        if (clip != m_clip)
            return;
        closeStream();
    }
    // The server went away mid-clip: the rest goes on in silence, so that the caller hears back
    // when the text would have ended.
    const qint64 heard = m_heardBeforeMs + (m_heardClock.isValid() ? m_heardClock.elapsed() : 0);
    warnSilent();
    startSilent(std::max<qint64>(0, m_clipMs - heard));
    if (m_paused)
        m_silentTimer.stop();
}

void PulseAudioOutput::warnSilent()
{
    if (m_warnedSilent || m_forceSilent)
        return;
    qCWarning(lcSpeech) << "no sound server: speaking silently";
    m_warnedSilent = true;
}

void PulseAudioOutput::startSilent(qint64 durationMs)
{
    m_silent = true;
    m_silentRemainingMs = durationMs;
    m_silentClock.start();
    m_silentTimer.start(static_cast<int>(durationMs));
}

void PulseAudioOutput::pause()
{
    if (!m_playing || m_paused)
        return;
    m_paused = true;
    m_heardBeforeMs += m_heardClock.elapsed();
    m_heardClock.invalidate();
    if (m_silent) {
        m_silentRemainingMs = std::max<qint64>(0, m_silentRemainingMs - m_silentClock.elapsed());
        m_silentTimer.stop();
        return;
    }
    m_silentTimer.stop();
    Locked locked(m_mainloop);
    if (m_stream)
        unref(pa_stream_cork(m_stream, 1, nullptr, nullptr));
}

void PulseAudioOutput::resume()
{
    if (!m_playing || !m_paused)
        return;
    m_paused = false;
    m_heardClock.start();
    if (m_silent) {
        m_silentClock.start();
        m_silentTimer.start(static_cast<int>(m_silentRemainingMs));
        return;
    }
    {
        Locked locked(m_mainloop);
        if (m_stream)
            unref(pa_stream_cork(m_stream, 0, nullptr, nullptr));
    }
    m_silentTimer.start(static_cast<int>(2 * std::max<qint64>(0, m_clipMs - m_heardBeforeMs) + 2000));
}

qint64 PulseAudioOutput::heardMs() const
{
    if (!m_playing)
        return 0;
    const qint64 byClock = m_heardBeforeMs + (m_heardClock.isValid() ? m_heardClock.elapsed() : 0);
    if (m_silent)
        return byClock;
    // The server knows what it has played; its clock is used while it has one.
    Locked locked(m_mainloop);
    pa_usec_t played = 0;
    if (m_stream && pa_stream_get_time(m_stream, &played) == 0)
        return static_cast<qint64>(played / 1000);
    return byClock;
}

void PulseAudioOutput::stop()
{
    m_playing = false;
    m_paused = false;
    m_silentTimer.stop();
    if (m_mainloop) {
        Locked locked(m_mainloop);
        closeStream();
    }
}

void PulseAudioOutput::finish()
{
    if (!m_playing)
        return;
    stop();
    emit finished();
}
