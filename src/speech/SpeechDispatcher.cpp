// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpeechDispatcher.h"

#include "speech/SpeechLog.h"

#include <libspeechd.h>
#include <memory>

namespace {

// The connections open in this process, by the service's client identity: its library's reports
// carry no pointer of ours.
std::mutex registryMutex;
QHash<size_t, SpeechDispatcher*>& registry()
{
    static QHash<size_t, SpeechDispatcher*> connections;
    return connections;
}

void speechdEvent(size_t message, size_t client, SPDNotificationType event)
{
    SpeechDispatcher::onEvent(message, client, int(event));
}

// Per cent of normal (the voice dialog's) to the service's -100 ... 100, 0 normal.
int serviceScale(int percent, int lowest)
{
    if (percent >= 100)
        return std::min(100, percent - 100);
    return std::max(-100, (percent - 100) * 100 / (100 - lowest));
}

constexpr qint64 RetryMs = 5000;

} // namespace

struct SpeechDispatcher::Connection
{
    SPDConnection* spd;
};

SpeechDispatcher::SpeechDispatcher(QObject* parent)
    : QObject(parent)
{
    m_thread.setObjectName(QStringLiteral("speech-dispatcher"));
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

SpeechDispatcher::~SpeechDispatcher()
{
    m_thread.quit();
    m_thread.wait();
    std::lock_guard lock(m_mutex);
    closeLocked();
}

void SpeechDispatcher::onEvent(size_t message, size_t client, int event)
{
    std::lock_guard lock(registryMutex);
    if (SpeechDispatcher* self = registry().value(client))
        self->report(message, event);
}

bool SpeechDispatcher::available()
{
    std::lock_guard lock(m_mutex);
    return connectLocked();
}

bool SpeechDispatcher::connectLocked()
{
    if (m_connection)
        return true;
    if (m_failedAt.isValid() && m_failedAt.elapsed() < RetryMs)
        return false;
    char* error = nullptr;
    // Started when it is installed and not running, as screen readers do.
    SPDConnection* spd = spd_open2("vespelinda", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
    if (!spd) {
        if (!m_failureLogged)
            qCInfo(lcSpeech).noquote() << "speech-dispatcher cannot be reached:"
                                       << QString::fromUtf8(error ? error : "");
        free(error);
        m_failureLogged = true;
        m_failedAt.start();
        return false;
    }
    m_connection = std::make_unique<Connection>(Connection { spd });
    m_failureLogged = false;
    m_applied.reset();
    const int client = spd_get_client_id(spd);
    {
        std::lock_guard registered(registryMutex);
        registry().insert(size_t(client), this);
    }
    spd->callback_begin = speechdEvent;
    spd->callback_end = speechdEvent;
    spd->callback_cancel = speechdEvent;
    spd_set_notification_on(spd, SPD_BEGIN);
    spd_set_notification_on(spd, SPD_END);
    spd_set_notification_on(spd, SPD_CANCEL);
    spd_set_data_mode(spd, SPD_DATA_TEXT);
    qCInfo(lcSpeech) << "speech-dispatcher connected, client" << client;
    return true;
}

void SpeechDispatcher::closeLocked()
{
    if (!m_connection)
        return;
    {
        std::lock_guard registered(registryMutex);
        for (auto it = registry().begin(); it != registry().end();)
            it = it.value() == this ? registry().erase(it) : std::next(it);
    }
    spd_close(m_connection->spd);
    m_connection.reset();
}

QList<SpeechDispatcher::ModuleVoice> SpeechDispatcher::italianVoices()
{
    std::lock_guard lock(m_mutex);
    QList<ModuleVoice> found;
    if (!connectLocked())
        return found;
    char** modules = spd_list_modules(m_connection->spd);
    if (!modules) {
        closeLocked();
        return found;
    }
    for (char** module = modules; *module; ++module) {
        const QString name = QString::fromUtf8(*module);
        if (name == u"dummy")
            continue; // says only that nothing can speak
        found.append({ name, {}, {} });
        spd_set_output_module(m_connection->spd, *module);
        // The list is read here rather than by the library, whose reading of it grows with the
        // square of its length: espeak-ng's module lists some 13 000 voices, every language's.
        char* reply = spd_send_data(m_connection->spd, "LIST SYNTHESIS_VOICES\r\n", SPD_WAIT_REPLY);
        if (!reply)
            continue;
        for (const QByteArray& line : QByteArray(reply).split('\n')) {
            if (!line.startsWith("249-"))
                continue;
            const QList<QByteArray> fields = line.mid(4).trimmed().split('\t');
            if (fields.size() >= 2 && fields.at(1).startsWith("it") && !fields.at(0).isEmpty())
                found.append({ name, QString::fromUtf8(fields.at(0)),
                    fields.size() > 2 ? QString::fromUtf8(fields.at(2)) : QString() });
        }
        free(reply);
    }
    free_spd_modules(modules);
    m_applied.reset(); // the output module was moved while listing
    return found;
}

bool SpeechDispatcher::applyLocked(const SpokenText& voice)
{
    if (m_applied && m_applied->voice == voice.voice && m_applied->rate == voice.rate && m_applied->pitch == voice.pitch
        && m_applied->volume == voice.volume)
        return true;
    const QString module = voice.voice.section(u'/', 0, 0);
    const QString name = voice.voice.section(u'/', 1);
    if (!module.isEmpty() && spd_set_output_module(m_connection->spd, module.toUtf8().constData()) != 0)
        return false;
    if (spd_set_language(m_connection->spd, "it") != 0)
        return false;
    if (!name.isEmpty())
        spd_set_synthesis_voice(m_connection->spd, name.toUtf8().constData());
    spd_set_voice_rate(m_connection->spd, serviceScale(voice.rate, 50));
    spd_set_voice_pitch(m_connection->spd, serviceScale(voice.pitch, 50));
    spd_set_volume(m_connection->spd, std::clamp(voice.volume * 2 - 100, -100, 100));
    m_applied = voice;
    m_applied->text.clear();
    return true;
}

void SpeechDispatcher::say(quint64 clip, const SpokenText& text, Priority priority)
{
    QMetaObject::invokeMethod(m_worker, [this, clip, text, priority] {
        int message = -1;
        {
            std::lock_guard lock(m_mutex);
            if (connectLocked() && applyLocked(text))
                message = spd_say(m_connection->spd, priority == Priority::Important ? SPD_IMPORTANT : SPD_MESSAGE,
                    text.text.toUtf8().constData());
            if (message < 0)
                closeLocked(); // opened again for the next text
        }
        if (message < 0) {
            qCWarning(lcSpeech) << "speech-dispatcher did not take a text";
            emit refused(clip);
            return;
        }
        QList<int> early;
        {
            std::lock_guard lock(m_reportMutex);
            early = m_early.take(size_t(message));
            if (!early.contains(SPD_EVENT_END) && !early.contains(SPD_EVENT_CANCEL))
                m_clips.insert(size_t(message), clip);
        }
        for (const int event : std::as_const(early))
            deliver(clip, event);
    });
}

void SpeechDispatcher::cancel()
{
    QMetaObject::invokeMethod(m_worker, [this] {
        std::lock_guard lock(m_mutex);
        if (m_connection)
            spd_cancel(m_connection->spd);
    });
}

void SpeechDispatcher::pause()
{
    QMetaObject::invokeMethod(m_worker, [this] {
        std::lock_guard lock(m_mutex);
        if (m_connection)
            spd_pause(m_connection->spd);
    });
}

void SpeechDispatcher::resume()
{
    QMetaObject::invokeMethod(m_worker, [this] {
        std::lock_guard lock(m_mutex);
        if (m_connection)
            spd_resume(m_connection->spd);
    });
}

void SpeechDispatcher::report(size_t message, int event)
{
    quint64 clip = 0;
    {
        std::lock_guard lock(m_reportMutex);
        const auto it = m_clips.find(message);
        if (it == m_clips.end()) {
            m_early[message].append(event);
            return;
        }
        clip = it.value();
        if (event == SPD_EVENT_END || event == SPD_EVENT_CANCEL)
            m_clips.erase(it);
    }
    deliver(clip, event);
}

void SpeechDispatcher::deliver(quint64 clip, int event)
{
    switch (event) {
    case SPD_EVENT_BEGIN:
        emit begun(clip);
        break;
    case SPD_EVENT_END:
        emit ended(clip);
        break;
    case SPD_EVENT_CANCEL:
        emit cancelled(clip);
        break;
    default:
        break;
    }
}
