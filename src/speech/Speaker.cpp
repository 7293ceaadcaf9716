// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/Speaker.h"

#include "speech/ItalianSpeechText.h"
#include "speech/SentenceSplitter.h"
#include "speech/SpeechLog.h"
#include "speech/VoiceEngine.h"
#include "speech/VoiceSettingsDialog.h"

Speaker::Speaker(SpeechEngine& engine, AudioOutput& output, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_output(output)
{
    m_thread.setObjectName(QStringLiteral("speech synthesis"));
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
    connect(&m_output, &AudioOutput::finished, this, &Speaker::onOutputFinished);
}

Speaker::Speaker(VoiceEngine& voice, AudioOutput& output, QObject* parent)
    : Speaker(static_cast<SpeechEngine&>(voice), output, parent)
{
    m_voice = &voice;
}

Speaker::~Speaker()
{
    m_cancel->store(true);
    m_output.disconnect(this);
    m_output.stop();
    m_thread.quit();
    m_thread.wait();
}

quint64 Speaker::Speak(const QString& text)
{
    qCInfo(lcSpeech).noquote() << text;
    const quint64 id = ++m_lastId;
    m_queue.push_back({ id, text });
    if (!m_current)
        startNext();
    return id;
}

void Speaker::Pause()
{
    m_paused = true;
    if (m_playing)
        m_output.pause();
}

void Speaker::Resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    if (m_playing)
        m_output.resume();
    else if (!m_current)
        startNext();
}

void Speaker::Reset()
{
    m_queue.clear();
    // The synthesis under way is abandoned, not waited for, and its late result dropped by ticket.
    m_cancel->store(true);
    m_cancel = std::make_shared<std::atomic_bool>(false);
    ++m_ticket;
    m_current.reset();
    m_ready.reset();
    m_synthesising = false;
    if (m_playing)
        m_output.stop();
    m_playing = false;
    m_paused = false;
}

int Speaker::SpeakingState() const
{
    if (m_paused)
        return Paused;
    return m_current || !m_queue.empty() ? Speaking : Idle;
}

void Speaker::setHeld(bool held)
{
    m_held = held;
    if (!held && !m_current)
        startNext();
}

void Speaker::VoiceDialog(QWidget* owner, const QString& title)
{
    if (!m_voice)
        return;
    auto* dialog = new VoiceSettingsDialog(*this, *m_voice, owner);
    dialog->setWindowTitle(title);
    dialog->open();
}

void Speaker::onSynthesisThread(std::function<void()> job, std::function<void()> then)
{
    QMetaObject::invokeMethod(
        m_worker,
        [this, job = std::move(job), then = std::move(then)] {
            job();
            QMetaObject::invokeMethod(this, then, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void Speaker::startNext()
{
    // Empty texts are reported at once; a handler may queue more from inside the signal, so
    // loop here instead of recursing.
    if (m_advancing)
        return;
    m_advancing = true;
    while (!m_current && !m_paused && !m_held && !m_queue.empty()) {
        auto [id, text] = std::move(m_queue.front());
        m_queue.pop_front();
        if (text.isEmpty()) {
            emit SpeechStarted(id);
            spoken(id);
            continue;
        }
        m_current = Current { id, std::move(text) };
        synthesiseNextPiece();
    }
    m_advancing = false;
}

void Speaker::synthesiseNextPiece()
{
    const qsizetype from = m_current->next;
    const qsizetype end = SentenceSplitter::pieceEnd(m_current->text, from, from == 0 ? FirstPieceChars : PieceChars);
    const QString piece = m_current->text.mid(from, end - from);
    m_current->next = end;
    m_synthesising = true;
    const quint64 ticket = ++m_ticket;
    QMetaObject::invokeMethod(
        m_worker,
        [this, ticket, piece, cancel = m_cancel] {
            // Written for the ear before any engine sees it; the log keeps the program's text.
            const Pcm pcm = m_engine.synthesize(ItalianSpeechText::forEar(piece), *cancel);
            if (!cancel->load())
                QMetaObject::invokeMethod(
                    this, [this, ticket, pcm] { onSynthesised(ticket, pcm); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void Speaker::onSynthesised(quint64 ticket, const Pcm& pcm)
{
    if (ticket != m_ticket || !m_current)
        return;
    m_synthesising = false;
    if (pcm.samples.isEmpty()) {
        // Nothing to hear in this piece (only punctuation or symbols): go on to the next.
        if (morePieces())
            synthesiseNextPiece();
        else if (!m_playing)
            finishText();
        return;
    }
    if (m_playing) {
        m_ready = pcm; // played as soon as the piece before ends
        return;
    }
    if (playPiece(pcm) && morePieces())
        synthesiseNextPiece();
}

bool Speaker::playPiece(const Pcm& pcm)
{
    const quint64 id = m_current->id;
    m_playing = true;
    m_output.play(pcm);
    if (m_paused)
        m_output.pause();
    if (!m_current->started) {
        m_current->started = true;
        emit SpeechStarted(id);
    }
    return m_current && m_current->id == id && m_playing;
}

void Speaker::onOutputFinished()
{
    if (!m_playing)
        return;
    m_playing = false;
    if (m_ready) {
        const Pcm pcm = std::move(*m_ready);
        m_ready.reset();
        if (playPiece(pcm) && morePieces() && !m_synthesising)
            synthesiseNextPiece();
        return;
    }
    if (m_synthesising)
        return; // the next piece comes as soon as it is made
    if (morePieces())
        synthesiseNextPiece();
    else
        finishText();
}

void Speaker::finishText()
{
    const Current done = std::move(*m_current);
    m_current.reset();
    if (!done.started)
        emit SpeechStarted(done.id);
    spoken(done.id);
    startNext();
}

void Speaker::spoken(quint64 id)
{
    m_spokenThrough = id;
    emit SpeechProgress(id);
}
