// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/AudioOutput.h"
#include "core/SpeechEngine.h"

#include <QObject>
#include <QStringList>
#include <QThread>
#include <deque>

class QWidget;

// The program's one voice. Speak() queues and returns at once; synthesis runs on a worker
// thread and the audio plays on the output, one text after another.
class Speaker : public QObject
{
    Q_OBJECT

public:
    enum State
    {
        Idle = 0,
        Speaking = 1,
        Paused = 2
    };

    Speaker(SpeechEngine& engine, AudioOutput& output, QObject* parent = nullptr);
    ~Speaker() override;

    void Speak(const QString& text);
    void Pause();
    void Resume();
    void Reset();
    int SpeakingState() const;

    SpeechEngine& engine() { return m_engine; }

signals:
    // A text begins to be heard.
    void SpeechStarted();
    // A text has been played to its end (an empty text at once).
    void SpeechProgress();

private:
    void startNext();
    void onSynthesised(quint64 ticket, const Pcm& pcm);
    void onOutputFinished();

    SpeechEngine& m_engine;
    AudioOutput& m_output;
    QThread m_thread;
    QObject* m_worker = nullptr; // lives on m_thread
    std::deque<QString> m_queue;
    quint64 m_ticket = 0; // the text in hand; a result for an older ticket is stale
    bool m_busy = false; // a text is being synthesised or played
    bool m_playing = false;
    bool m_paused = false;
    bool m_advancing = false;
};
