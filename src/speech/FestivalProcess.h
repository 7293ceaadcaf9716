// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/TunableEngine.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <memory>
#include <mutex>
#include <optional>

class QProcess;

// Festival's Italian voices as the program uses them: the interpreter (FestivalEngine) runs in
// the helper process vespelinda-festival, started lazily from the synthesis thread and started
// again after it crashes or hangs on a sentence; that sentence then gives empty audio (the caller
// says it another way). A helper that fails to start is tried again later, after 5 s, then twice
// as long each time up to 5 minutes, never given up for the session. Every call but voices() from
// the synthesis thread only.
class FestivalProcess final : public TunableEngine
{
public:
    // `firstRetryMs`: the first wait after a failed start (tests make it short).
    explicit FestivalProcess(const QString& helperPath, qint64 firstRetryMs = 5000);
    ~FestivalProcess() override;

    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool& cancel) override;
    QStringList voices() const override;

    bool start() override;
    QString failure() const override;
    QString engineName() const override { return QStringLiteral("Festival"); }
    QList<VoiceInfo> installedVoices() override;

    // The words of Festival's utterance for the text; with their syllables and stress.
    QStringList words(const QString& text);
    QStringList syllables(const QString& text);

private:
    std::optional<QByteArray> ask(char op, const QString& text, int timeoutMs);
    QStringList analyse(char op, const QString& text);
    bool failedToStart(const QString& reason);
    void stopHelper();

    QString m_helperPath;
    std::unique_ptr<QProcess> m_process; // lives on the synthesis thread
    QDeadlineTimer m_retryAt; // no start is tried before it
    int m_failedStarts = 0;
    qint64 m_firstRetryMs;
    mutable std::mutex m_mutex; // for what voices() and failure() read
    QStringList m_voices;
    QString m_failure;
};
