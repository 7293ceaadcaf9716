// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/AudioOutput.h"
#include "speech/SpeechEngine.h"

#include <QObject>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

// The program's one voice. Speak() queues and returns at once; synthesis runs on a worker
// thread and the audio plays on the output, one text after another. A long text is synthesised
// and played a piece of about a sentence at a time (the next piece is made while one plays), yet
// it is still one text for the notifications.
//
// Texts wait in one of two lanes. The voice's own texts (greetings, announcements, readouts,
// alerts, the farewell) come first: one that arrives during a reading sets the reading aside at
// once, from the quiet moment just before where it was, and the reading carries on from there when
// the voice has nothing more to say. The reading page's Pause, Resume and Stop act on the reading
// lane only, so they never hold or drop an announcement.
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

    enum class Lane
    {
        Voice,
        Reading
    };

    // How a text waits beside other programs' speech in the desktop's speech service: an
    // announcement is never cut off by what a screen reader says next.
    enum class Urgency
    {
        Normal,
        Announcement
    };

    Speaker(SpeechEngine& engine, AudioOutput& output, QObject* parent = nullptr);
    ~Speaker() override;

    // Returns the text's identity, which the notifications carry.
    quint64 Speak(const QString& text, Lane lane = Lane::Voice, Urgency urgency = Urgency::Normal);
    // Hold, release or drop the reading lane (a reading under way, set aside or waiting); a
    // pause holds it even while nothing is read yet.
    void PauseReading();
    void ResumeReading();
    void StopReading();
    // Drops everything, in both lanes.
    void Reset();
    // Speaking while anything is to be said and not held by the reading's pause; Paused while
    // the paused reading is all there is.
    State SpeakingState() const;
    // While held, texts are queued (and the speaker counts as speaking) but none is synthesised:
    // the start holds the greeting until the window is on screen, so that neither the engine's
    // start nor the sound device competes with the first frame. The first release gets both ready
    // (AudioOutput::prepare, SpeechEngine::warmUp).
    void setHeld(bool held);

    // Runs `job` on the synthesis thread, where the engines are called, then `then` back here.
    void onSynthesisThread(std::function<void()> job, std::function<void()> then);

    // Whether the text of that identity has been played to its end (or dropped).
    bool hasSpoken(quint64 id) const;

    SpeechEngine& engine() { return m_engine; }

    // The longest piece synthesised at once: small at the start of a text, so that the first
    // sound comes at once (a text that fits is said whole; a longer one starts with a shorter
    // piece still), then larger, so that the pauses between pieces are few.
    static constexpr qsizetype FirstPieceChars = 100;
    static constexpr qsizetype LongTextFirstPieceChars = 50;
    // How much of a text is written for the ear at a time: whole sentences, about this many.
    static constexpr qsizetype EarStretchChars = 2000;
    static constexpr qsizetype PieceChars = 480;

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
        Urgency urgency = Urgency::Normal;
    };
    // The text being synthesised or played, and how far its pieces have gone.
    // The program's text is written for the ear a stretch at a time, ahead of the pieces cut from
    // it, so that a rewrite never meets a cut ("0.6.1.2." is read as a number, not as "punto").
    struct Current
    {
        quint64 id;
        QString raw; // as the program wrote it
        Lane lane = Lane::Voice;
        Urgency urgency = Urgency::Normal;
        QString text; // written for the ear, as far as rawNext
        qsizetype rawNext = 0;
        qsizetype next = 0; // where the next piece to synthesise begins, in text
        bool started = false;
    };
    // A reading set aside for the voice: the part of its clip not heard yet, and the piece that
    // had been made ahead.
    struct SetAside
    {
        Current text;
        std::optional<Pcm> unheard;
        std::optional<Pcm> ready;
    };

    void startNext();
    void setReadingAside();
    void takeUpReading();
    void cancelSynthesis();
    void dropCurrent();
    void continueText();
    void synthesiseNextPiece();
    void onSynthesised(quint64 ticket, const Pcm& pcm);
    void onOutputFinished();
    // Plays a piece; false when a SpeechStarted handler has meanwhile moved on to another text.
    bool playPiece(const Pcm& pcm);
    bool morePieces() const
    {
        return m_current && (m_current->next < m_current->text.size() || m_current->rawNext < m_current->raw.size());
    }
    // Writes the current text for the ear until `chars` are ready beyond `from`, or all of it.
    void writeForEar(qsizetype from, qsizetype chars);
    void finishText();
    void spoken(quint64 id);
    bool voiceBusy() const { return (m_current && m_current->lane == Lane::Voice) || !m_voiceQueue.empty(); }

    SpeechEngine& m_engine;
    AudioOutput& m_output;
    QThread m_thread;
    QObject* m_worker = nullptr; // lives on m_thread
    std::deque<Queued> m_voiceQueue;
    std::deque<Queued> m_readingQueue;
    std::optional<Current> m_current;
    std::optional<SetAside> m_setAside;
    std::optional<Pcm> m_ready; // the next piece, made while the one before plays
    Pcm m_playingPcm; // the clip with the output, kept so that a reading set aside resumes within it
    qsizetype m_synthesisFrom = 0; // where the piece being synthesised begins
    // Raised by Reset: the synthesis under way stops and the work still queued is skipped.
    std::shared_ptr<std::atomic_bool> m_cancel = std::make_shared<std::atomic_bool>(false);
    quint64 m_ticket = 0; // the synthesis in hand; a result for an older ticket is stale
    quint64 m_lastId = 0;
    bool m_synthesising = false;
    bool m_playing = false;
    bool m_readingPaused = false;
    bool m_held = false;
    bool m_warm = false; // the output and the engine got ready once
    bool m_advancing = false;
};
