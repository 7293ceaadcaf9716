// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/Speaker.h"

#include "speech/ItalianSpeechText.h"
#include "speech/SentenceSplitter.h"
#include "speech/SpeechLog.h"

#include <algorithm>
#include <limits>

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

Speaker::~Speaker()
{
    m_cancel->store(true);
    m_output.disconnect(this);
    m_output.stop();
    m_thread.quit();
    m_thread.wait();
}

quint64 Speaker::Speak(const QString& text, Lane lane, Urgency urgency)
{
    qCInfo(lcSpeech).noquote() << text;
    const quint64 id = ++m_lastId;
    if (lane == Lane::Reading) {
        m_readingQueue.push_back({ id, text, urgency });
    } else {
        m_voiceQueue.push_back({ id, text, urgency });
        if (m_current && m_current->lane == Lane::Reading)
            setReadingAside();
    }
    if (!m_current)
        startNext();
    return id;
}

void Speaker::PauseReading()
{
    m_readingPaused = true;
    if (m_playing && m_current && m_current->lane == Lane::Reading)
        m_output.pause();
}

void Speaker::ResumeReading()
{
    if (!m_readingPaused)
        return;
    m_readingPaused = false;
    if (m_playing && m_current && m_current->lane == Lane::Reading)
        m_output.resume();
    else if (!m_current)
        startNext();
}

void Speaker::StopReading()
{
    m_readingQueue.clear();
    m_setAside.reset();
    m_readingPaused = false;
    if (m_current && m_current->lane == Lane::Reading) {
        dropCurrent();
        startNext();
    }
}

void Speaker::Reset()
{
    m_voiceQueue.clear();
    m_readingQueue.clear();
    m_setAside.reset();
    m_readingPaused = false;
    dropCurrent();
}

void Speaker::dropCurrent()
{
    cancelSynthesis();
    m_current.reset();
    m_ready.reset();
    if (m_playing)
        m_output.stop();
    m_playing = false;
}

void Speaker::cancelSynthesis()
{
    // The synthesis under way is abandoned, not waited for, and its late result dropped by ticket.
    m_cancel->store(true);
    m_cancel = std::make_shared<std::atomic_bool>(false);
    ++m_ticket;
    m_synthesising = false;
}

namespace {
// The part of a clip not heard yet: from `heardMs`, backed up to the quietest 20 ms of the 600 ms
// before it (most likely a pause between words), so that a reading resumes with whole words.
std::optional<Pcm> unheardPart(const Pcm& pcm, qint64 heardMs)
{
    if (pcm.spoken)
        return pcm; // the service says it again from its beginning
    const qsizetype samples = pcm.samples.size() / 2;
    const qsizetype rate = std::max(1, pcm.sampleRate);
    const qsizetype at = std::clamp<qsizetype>(heardMs * rate / 1000, 0, samples);
    if (at >= samples)
        return std::nullopt;
    const auto* data = reinterpret_cast<const qint16*>(pcm.samples.constData());
    const qsizetype window = rate / 50;
    const qsizetype earliest = std::max<qsizetype>(0, at - rate * 600 / 1000);
    qsizetype from = at;
    qint64 quietest = std::numeric_limits<qint64>::max();
    for (qsizetype start = at - window; start >= earliest; start -= window / 2) {
        qint64 energy = 0;
        for (qsizetype i = start; i < start + window; ++i)
            energy += std::abs(data[i]);
        if (energy < quietest) {
            quietest = energy;
            from = start;
        }
    }
    if (at < window)
        from = 0;
    Pcm part = Pcm::audio(pcm.samples.mid(from * 2), pcm.sampleRate);
    part.urgent = pcm.urgent;
    return part;
}
} // namespace

void Speaker::setReadingAside()
{
    SetAside aside { std::move(*m_current), std::nullopt, std::move(m_ready) };
    m_current.reset();
    m_ready.reset();
    if (m_synthesising) {
        cancelSynthesis();
        aside.text.next = m_synthesisFrom; // made again when the reading is taken up
    }
    if (m_playing) {
        aside.unheard = unheardPart(m_playingPcm, m_output.heardMs());
        m_output.stop();
        m_playing = false;
    }
    qCDebug(lcSpeechQueue) << "reading" << aside.text.id << "set aside for the voice";
    m_setAside = std::move(aside);
}

void Speaker::takeUpReading()
{
    SetAside aside = std::move(*m_setAside);
    m_setAside.reset();
    qCDebug(lcSpeechQueue) << "reading" << aside.text.id << "taken up again";
    m_current = std::move(aside.text);
    m_ready = std::move(aside.ready);
    if (!aside.unheard) {
        continueText();
        return;
    }
    if (playPiece(*aside.unheard) && !m_ready && morePieces())
        synthesiseNextPiece();
}

Speaker::State Speaker::SpeakingState() const
{
    if (voiceBusy())
        return Speaking;
    if (m_readingPaused)
        return Paused;
    return m_current || m_setAside || !m_readingQueue.empty() ? Speaking : Idle;
}

bool Speaker::hasSpoken(quint64 id) const
{
    if (id > m_lastId)
        return false;
    const auto waiting = [id](const std::deque<Queued>& queue) {
        return std::any_of(queue.begin(), queue.end(), [id](const Queued& queued) { return queued.id == id; });
    };
    return !(m_current && m_current->id == id) && !(m_setAside && m_setAside->text.id == id) && !waiting(m_voiceQueue)
        && !waiting(m_readingQueue);
}

void Speaker::setHeld(bool held)
{
    m_held = held;
    if (!held && !m_warm) {
        // Once released (the window is on screen), the output connects and the engine starts
        // ahead of the first text: a click is answered as fast as the next one. A text already
        // waiting (the greeting) gets the engine ready itself.
        m_warm = true;
        m_output.prepare();
        if (m_voiceQueue.empty() && m_readingQueue.empty())
            QMetaObject::invokeMethod(
                m_worker, [this] { m_engine.warmUp(); }, Qt::QueuedConnection);
    }
    if (!held && !m_current)
        startNext();
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
    while (!m_current && !m_held) {
        Lane lane = Lane::Voice;
        std::deque<Queued>* queue = &m_voiceQueue;
        if (m_voiceQueue.empty()) {
            if (m_readingPaused)
                break;
            if (m_setAside) {
                takeUpReading();
                continue;
            }
            if (m_readingQueue.empty())
                break;
            lane = Lane::Reading;
            queue = &m_readingQueue;
        }
        auto [id, text, urgency] = std::move(queue->front());
        queue->pop_front();
        if (text.isEmpty()) {
            emit SpeechStarted(id);
            spoken(id);
            continue;
        }
        m_current = Current { .id = id, .raw = std::move(text), .lane = lane, .urgency = urgency, .text = {} };
        synthesiseNextPiece();
    }
    m_advancing = false;
}

void Speaker::writeForEar(qsizetype from, qsizetype chars)
{
    Current& c = *m_current;
    while (c.text.size() - from <= chars && c.rawNext < c.raw.size()) {
        const qsizetype end = SentenceSplitter::pieceEnd(c.raw, c.rawNext, EarStretchChars);
        c.text += ItalianSpeechText::forEar(c.raw.mid(c.rawNext, end - c.rawNext));
        c.rawNext = end;
    }
}

void Speaker::synthesiseNextPiece()
{
    const qsizetype from = m_current->next;
    // A text that fits a first piece is said whole; a longer one starts with a shorter piece, so
    // that its first sound comes as soon as a short text's.
    const qsizetype first = m_current->raw.size() > FirstPieceChars ? LongTextFirstPieceChars : FirstPieceChars;
    const qsizetype maxChars = from == 0 ? first : PieceChars;
    writeForEar(from, maxChars);
    const qsizetype end = SentenceSplitter::pieceEnd(m_current->text, from, maxChars);
    const QString piece = m_current->text.mid(from, end - from);
    m_synthesisFrom = from;
    m_current->next = end;
    m_synthesising = true;
    const quint64 ticket = ++m_ticket;
    const bool urgent = m_current->urgency == Urgency::Announcement;
    QMetaObject::invokeMethod(
        m_worker,
        [this, ticket, piece, urgent, cancel = m_cancel] {
            // Already written for the ear; the log keeps the program's text.
            Pcm pcm = m_engine.synthesize(piece, *cancel);
            pcm.urgent = urgent;
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
    if (pcm.isEmpty()) {
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
    m_playingPcm = pcm;
    m_output.play(pcm);
    if (m_current->lane == Lane::Reading && m_readingPaused)
        m_output.pause();
    if (!m_current->started) {
        m_current->started = true;
        qCDebug(lcSpeechQueue) << "text" << id << "heard";
        emit SpeechStarted(id);
    }
    return m_current && m_current->id == id && m_playing;
}

void Speaker::onOutputFinished()
{
    if (!m_playing)
        return;
    m_playing = false;
    continueText();
}

void Speaker::continueText()
{
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
    qCDebug(lcSpeechQueue) << "text" << id << "spoken";
    emit SpeechProgress(id);
}
