// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/Speaker.h"

#include "speech/ItalianSpeechText.h"
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
    if (!m_busy)
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
    else if (!m_busy)
        startNext();
}

void Speaker::Reset()
{
    m_queue.clear();
    ++m_ticket; // a synthesis still under way is dropped when it comes back
    if (m_playing)
        m_output.stop();
    m_busy = false;
    m_playing = false;
    m_paused = false;
}

int Speaker::SpeakingState() const
{
    if (m_paused)
        return Paused;
    return m_busy || !m_queue.empty() ? Speaking : Idle;
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
    while (!m_busy && !m_paused && !m_queue.empty()) {
        const auto [id, text] = m_queue.front();
        m_queue.pop_front();
        const quint64 ticket = ++m_ticket;
        if (text.isEmpty()) {
            emit SpeechStarted(id);
            spoken(id);
            continue;
        }
        m_currentId = id;
        m_busy = true;
        QMetaObject::invokeMethod(
            m_worker,
            [this, ticket, text] {
                // Written for the ear before any engine sees it; the log keeps the program's text.
                const Pcm pcm = m_engine.synthesize(ItalianSpeechText::forEar(text));
                QMetaObject::invokeMethod(
                    this, [this, ticket, pcm] { onSynthesised(ticket, pcm); }, Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
    }
    m_advancing = false;
}

void Speaker::onSynthesised(quint64 ticket, const Pcm& pcm)
{
    if (ticket != m_ticket || !m_busy)
        return;
    m_playing = true;
    emit SpeechStarted(m_currentId);
    m_output.play(pcm);
    if (m_paused)
        m_output.pause();
}

void Speaker::onOutputFinished()
{
    if (!m_playing)
        return;
    m_playing = false;
    m_busy = false;
    spoken(m_currentId);
    startNext();
}

void Speaker::spoken(quint64 id)
{
    m_spokenThrough = id;
    emit SpeechProgress(id);
}
