// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioOutput.h"

#include <QElapsedTimer>
#include <QTimer>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

// Plays through the desktop's sound server (PulseAudio, or PipeWire's PulseAudio service), one
// stream per clip, on libpulse's own thread, which starts with the first clip.
//
// The server may be missing, die or restart at any moment (a headset change, an update, a user
// mending their audio). Without it the output goes on silently, taking as long as the audio would
// have, so that every caller still hears back; a clip cut short by the server's end goes on in
// silence for the rest. Every clip looks for the server again, so the voice is back with it.
// prepare() connects ahead, once the window is on screen, so the first clip does not wait for it.
class PulseAudioOutput final : public AudioOutput
{
    Q_OBJECT

public:
    explicit PulseAudioOutput(QObject* parent = nullptr);
    ~PulseAudioOutput() override;

    void prepare() override;
    void play(const Pcm& pcm) override;
    void pause() override;
    void resume() override;
    void stop() override;
    qint64 heardMs() const override;

    // Forces the silent mode, as if no server were there.
    void setSilent(bool silent) { m_forceSilent = silent; }

private:
    bool startMainloop();
    // Called with the main loop locked.
    bool beginConnect();
    bool connectServer();
    void dropContext();
    bool startStream(const Pcm& pcm);
    void closeStream();

    // Back on this object's thread, for the clip of that number.
    void streamDrained(quint64 clip);
    void streamLost(quint64 clip);

    void startSilent(qint64 durationMs);
    void warnSilent();
    void finish();

    static void onContextState(pa_context* context, void* self);
    static void onStreamState(pa_stream* stream, void* self);
    static void onStreamWrite(pa_stream* stream, size_t bytes, void* self);
    static void onStreamDrained(pa_stream* stream, int success, void* self);

    pa_threaded_mainloop* m_mainloop = nullptr;
    // Shared with the main loop's thread, under its lock.
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    QByteArray m_data;
    qsizetype m_written = 0;
    quint64 m_clip = 0; // a report about an earlier clip is stale
    bool m_drainAsked = false;
    bool m_connectTimedOut = false;

    QElapsedTimer m_noServerSince; // a server that did not answer in time is left alone a while
    QTimer m_silentTimer; // silent playback, and a guard against a server that never drains
    QElapsedTimer m_silentClock;
    qint64 m_silentRemainingMs = 0;
    QElapsedTimer m_heardClock; // runs while the clip plays, not while it is paused
    qint64 m_heardBeforeMs = 0; // heard before the last pause
    qint64 m_clipMs = 0;
    bool m_playing = false;
    bool m_paused = false;
    bool m_silent = false;
    bool m_forceSilent = false;
    bool m_warnedSilent = false;
    bool m_connectedOnce = false;
};
