// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>
#include <atomic>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

// Whether a screen reader's voice is sounding now: the level of speech-dispatcher's (and Orca's
// own) playback on the sound server, each stream measured on its own, so the program's voice never
// counts. Watched only while asked to (a screen reader is running); otherwise nothing is opened.
//
// It is "sounding" from the first loud 20 ms until QuietMs have passed without one.
class ScreenReaderVoice : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 QuietMs = 350;

    explicit ScreenReaderVoice(QObject* parent = nullptr);
    ~ScreenReaderVoice() override;

    void setWatching(bool watching);
    bool sounding() const { return m_sounding; }

signals:
    void soundingChanged(bool sounding);

private:
    // On libpulse's thread, with its main loop locked.
    void watchStreams();
    void watchInput(uint32_t input, uint32_t sink, const char* application);
    void peakRead(pa_stream* stream);
    // Back on this object's thread.
    void heardLoud();
    void checkQuiet();
    void stopWatching();

    static void onContextState(pa_context* context, void* self);

    pa_threaded_mainloop* m_mainloop = nullptr;
    pa_context* m_context = nullptr;
    QHash<uint32_t, pa_stream*> m_peaks; // by the playback stream measured
    QElapsedTimer m_clock; // shared: read by both threads, started once
    std::atomic<qint64> m_lastLoudMs { -1 };
    std::atomic_bool m_reportedLoud { false };
    QTimer m_quietCheck;
    bool m_sounding = false;
};
