// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioOutput.h"
#include "speech/SpeechEngine.h"

#include <QObject>
#include <QStringList>
#include <QThread>
#include <deque>
#include <functional>

class QWidget;
class VoiceEngine;

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
    // With the voice the user chooses in VoiceDialog().
    Speaker(VoiceEngine& voice, AudioOutput& output, QObject* parent = nullptr);
    ~Speaker() override;

    // Returns the text's identity, which the notifications carry.
    quint64 Speak(const QString& text);
    void Pause();
    void Resume();
    void Reset();
    int SpeakingState() const;
    // Opens the voice dialog, owned by that window, with that title (nothing to choose without a
    // VoiceEngine). It returns at once; the dialog stores what the user confirms.
    void VoiceDialog(QWidget* owner, const QString& title);

    // Runs `job` on the synthesis thread, where the engines are called, then `then` back here.
    void onSynthesisThread(std::function<void()> job, std::function<void()> then);

    // Whether the text of that identity has been played to its end (texts end in their order).
    bool hasSpoken(quint64 id) const { return id <= m_spokenThrough; }

    SpeechEngine& engine() { return m_engine; }

signals:
    // A text begins to be heard.
    void SpeechStarted(quint64 id);
    // A text has been played to its end (an empty text at once).
    void SpeechProgress(quint64 id);

private:
    struct Queued
    {
        quint64 id;
        QString text;
    };

    void startNext();
    void onSynthesised(quint64 ticket, const Pcm& pcm);
    void onOutputFinished();
    void spoken(quint64 id);

    SpeechEngine& m_engine;
    VoiceEngine* m_voice = nullptr;
    AudioOutput& m_output;
    QThread m_thread;
    QObject* m_worker = nullptr; // lives on m_thread
    std::deque<Queued> m_queue;
    quint64 m_ticket = 0; // the synthesis in hand; a result for an older ticket is stale
    quint64 m_lastId = 0;
    quint64 m_currentId = 0; // the text being synthesised or played
    quint64 m_spokenThrough = 0;
    bool m_busy = false; // a text is being synthesised or played
    bool m_playing = false;
    bool m_paused = false;
    bool m_advancing = false;
};
