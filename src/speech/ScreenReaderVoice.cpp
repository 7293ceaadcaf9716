// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/ScreenReaderVoice.h"

#include "speech/SpeechLog.h"

#include <pulse/pulseaudio.h>

namespace {
// A 20 ms peak above this (full scale is 1) is speech, not a stream's idle hiss.
constexpr float LoudPeak = 0.02F;
constexpr uint32_t PeaksPerSecond = 50;

bool isScreenReaders(const char* application)
{
    const QByteArray name(application ? application : "");
    // The "dummy" module only ever says that nothing else can speak.
    return (name.startsWith("speech-dispatcher") && !name.endsWith("-dummy"))
        || name.compare("orca", Qt::CaseInsensitive) == 0;
}
} // namespace

ScreenReaderVoice::ScreenReaderVoice(QObject* parent)
    : QObject(parent)
{
    m_clock.start();
    m_quietCheck.setInterval(50);
    connect(&m_quietCheck, &QTimer::timeout, this, &ScreenReaderVoice::checkQuiet);
}

ScreenReaderVoice::~ScreenReaderVoice() { stopWatching(); }

void ScreenReaderVoice::setWatching(bool watching)
{
    if (!watching) {
        stopWatching();
        return;
    }
    if (m_mainloop)
        return;
    m_mainloop = pa_threaded_mainloop_new();
    if (!m_mainloop || pa_threaded_mainloop_start(m_mainloop) < 0) {
        qCWarning(lcSpeech) << "cannot watch the screen reader's voice: no sound server client thread";
        if (m_mainloop)
            pa_threaded_mainloop_free(m_mainloop);
        m_mainloop = nullptr;
        return;
    }
    pa_threaded_mainloop_lock(m_mainloop);
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_mainloop), "Vespelinda (screen reader's voice)");
    if (m_context) {
        pa_context_set_state_callback(m_context, &ScreenReaderVoice::onContextState, this);
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            qCInfo(lcSpeech) << "no sound server: the screen reader's voice is not watched";
    }
    pa_threaded_mainloop_unlock(m_mainloop);
}

void ScreenReaderVoice::stopWatching()
{
    if (!m_mainloop)
        return;
    pa_threaded_mainloop_lock(m_mainloop);
    for (pa_stream* stream : std::as_const(m_peaks)) {
        pa_stream_set_read_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
    }
    m_peaks.clear();
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    pa_threaded_mainloop_unlock(m_mainloop);
    pa_threaded_mainloop_stop(m_mainloop);
    pa_threaded_mainloop_free(m_mainloop);
    m_mainloop = nullptr;
    m_quietCheck.stop();
    m_reportedLoud = false;
    if (m_sounding) {
        m_sounding = false;
        emit soundingChanged(false);
    }
}

void ScreenReaderVoice::onContextState(pa_context* context, void* self)
{
    auto* watcher = static_cast<ScreenReaderVoice*>(self);
    if (pa_context_get_state(context) != PA_CONTEXT_READY)
        return;
    pa_context_set_subscribe_callback(
        context,
        [](pa_context*, pa_subscription_event_type_t type, uint32_t, void* self) {
            if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_NEW)
                static_cast<ScreenReaderVoice*>(self)->watchStreams();
        },
        watcher);
    if (pa_operation* op = pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr))
        pa_operation_unref(op);
    watcher->watchStreams();
}

void ScreenReaderVoice::watchStreams()
{
    pa_operation* op = pa_context_get_sink_input_info_list(
        m_context,
        [](pa_context*, const pa_sink_input_info* info, int eol, void* self) {
            if (eol || !info)
                return;
            static_cast<ScreenReaderVoice*>(self)->watchInput(
                info->index, info->sink, pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_NAME));
        },
        this);
    if (op)
        pa_operation_unref(op);
}

void ScreenReaderVoice::watchInput(uint32_t input, uint32_t sink, const char* application)
{
    if (m_peaks.contains(input) || !isScreenReaders(application))
        return;
    // Each stream is measured through its sink's monitor, restricted to that stream alone.
    const pa_sample_spec format { PA_SAMPLE_FLOAT32NE, PeaksPerSecond, 1 };
    pa_stream* stream = pa_stream_new(m_context, "screen reader's level", &format, nullptr);
    if (!stream)
        return;
    pa_stream_set_monitor_stream(stream, input);
    pa_stream_set_read_callback(
        stream, [](pa_stream* s, size_t, void* self) { static_cast<ScreenReaderVoice*>(self)->peakRead(s); }, this);
    pa_stream_set_state_callback(
        stream,
        [](pa_stream* s, void*) {
            // The stream measured has gone: so does its measure (unref'd when watching stops).
            if (pa_stream_get_state(s) == PA_STREAM_FAILED || pa_stream_get_state(s) == PA_STREAM_TERMINATED)
                pa_stream_set_read_callback(s, nullptr, nullptr);
        },
        this);
    pa_operation* op = pa_context_get_sink_info_by_index(
        m_context, sink,
        [](pa_context*, const pa_sink_info* info, int eol, void* stream) {
            if (eol || !info)
                return;
            pa_buffer_attr attr {};
            attr.maxlength = static_cast<uint32_t>(-1);
            attr.fragsize = sizeof(float);
            const QByteArray source = QByteArray::number(info->monitor_source);
            pa_stream_connect_record(static_cast<pa_stream*>(stream), source.constData(), &attr,
                pa_stream_flags_t(PA_STREAM_DONT_MOVE | PA_STREAM_PEAK_DETECT | PA_STREAM_ADJUST_LATENCY));
        },
        stream);
    if (op)
        pa_operation_unref(op);
    m_peaks.insert(input, stream);
    qCInfo(lcSpeech) << "watching the screen reader's voice:" << application;
    // A stream opens as the reader begins to speak, before its level can be measured: it counts
    // as sounding until the measure says it is quiet.
    m_lastLoudMs = m_clock.elapsed();
    if (!m_reportedLoud.exchange(true))
        QMetaObject::invokeMethod(this, &ScreenReaderVoice::heardLoud, Qt::QueuedConnection);
}

void ScreenReaderVoice::peakRead(pa_stream* stream)
{
    const void* data = nullptr;
    size_t bytes = 0;
    bool loud = false;
    while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0) {
        if (bytes == 0)
            break;
        if (data) {
            const auto* peaks = static_cast<const float*>(data);
            for (size_t i = 0; i < bytes / sizeof(float); ++i)
                loud = loud || peaks[i] > LoudPeak;
        }
        pa_stream_drop(stream);
    }
    if (!loud)
        return;
    m_lastLoudMs = m_clock.elapsed();
    if (!m_reportedLoud.exchange(true))
        QMetaObject::invokeMethod(this, &ScreenReaderVoice::heardLoud, Qt::QueuedConnection);
}

void ScreenReaderVoice::heardLoud()
{
    m_quietCheck.start();
    if (m_sounding)
        return;
    m_sounding = true;
    emit soundingChanged(true);
}

void ScreenReaderVoice::checkQuiet()
{
    if (m_clock.elapsed() - m_lastLoudMs.load() < QuietMs)
        return;
    m_reportedLoud = false;
    // A loud peak between the two lines above reports again, and the check goes on.
    if (m_clock.elapsed() - m_lastLoudMs.load() < QuietMs)
        return;
    m_quietCheck.stop();
    if (m_sounding) {
        m_sounding = false;
        emit soundingChanged(false);
    }
}
