// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechEngine.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QThread>
#include <memory>
#include <mutex>

// The desktop's speech service, speech-dispatcher, the one screen readers speak through: its
// texts wait in one queue with theirs instead of sounding over them. One connection, opened on
// first use (the service is started if it is installed but not running) and opened again after it
// is lost; with no service at all nothing is offered and nothing fails.
//
// Every call may come from any thread. Texts are handed over on a thread of the connection's own,
// so a service that stops answering never holds the caller; the service's reports (a text begun,
// ended, cancelled) arrive as signals.
class SpeechDispatcher : public QObject
{
    Q_OBJECT

public:
    // How a text waits in the service's queue beside other programs' texts.
    enum class Priority
    {
        Message, // after what is being said, never cut off by another program's next text
        Important // the same, and ahead of every waiting message
    };

    struct ModuleVoice
    {
        QString module;
        QString name;
        QString variant;
    };

    explicit SpeechDispatcher(QObject* parent = nullptr);
    ~SpeechDispatcher() override;

    // Connects if it is not connected (not again within a few seconds of a failure); false when
    // the service cannot be reached.
    bool available();
    // The output modules and their Italian voices (each module's voices for "it").
    QList<ModuleVoice> italianVoices();

    // Queues the text; the identity is that of begun() and ended(), 0 when it was refused.
    void say(quint64 clip, const SpokenText& text, Priority priority);
    // Drops this program's texts, the one being said too (cancelled() for it).
    void cancel();
    void pause();
    void resume();

    // The service's reports, from its library's thread; `event` is its SPDNotificationType.
    static void onEvent(size_t message, size_t client, int event);

signals:
    void begun(quint64 clip);
    void ended(quint64 clip);
    void cancelled(quint64 clip);
    void refused(quint64 clip);

private:
    bool connectLocked();
    void closeLocked();
    bool applyLocked(const SpokenText& voice);
    void report(size_t message, int event);
    void deliver(quint64 clip, int event);

    QThread m_thread; // where the texts are handed over
    QObject* m_worker = nullptr;
    struct Connection;
    std::mutex m_mutex; // the connection
    std::unique_ptr<Connection> m_connection;
    QElapsedTimer m_failedAt;
    bool m_failureLogged = false;
    std::optional<SpokenText> m_applied; // the voice the connection was last given
    // The service's reports come on its library's thread, which must never wait for m_mutex (a
    // text being handed over waits for that thread to read the answer): they have a lock of their own.
    std::mutex m_reportMutex;
    QHash<size_t, quint64> m_clips; // message identity → clip
    QHash<size_t, QList<int>> m_early; // reports about a message whose identity is not known yet
};
