// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/FestivalProcess.h"

#include "speech/SpeechLog.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>

namespace {
constexpr int StartTimeoutMs = 10000; // loading the voices takes about 0.1 s
constexpr qint64 LongestRetryMs = 5 * 60 * 1000;
} // namespace

FestivalProcess::FestivalProcess(const QString& helperPath, qint64 firstRetryMs)
    : TunableEngine(QStringLiteral("lp"))
    , m_helperPath(helperPath)
    , m_firstRetryMs(firstRetryMs)
{
}

FestivalProcess::~FestivalProcess() { stopHelper(); }

void FestivalProcess::stopHelper()
{
    if (!m_process)
        return;
    m_process->closeWriteChannel(); // the helper ends when its input does
    if (!m_process->waitForFinished(1000))
        m_process->kill();
    m_process->waitForFinished(1000);
    m_process.reset();
}

bool FestivalProcess::failedToStart(const QString& reason)
{
    // Tried again later: a helper installed meanwhile, a busy machine, a crash that came once.
    const qint64 wait = std::min(LongestRetryMs, m_firstRetryMs << std::min(m_failedStarts, 10));
    ++m_failedStarts;
    m_retryAt = QDeadlineTimer(wait);
    qCWarning(lcSpeech).noquote() << reason + QStringLiteral("; Festival is tried again in %1 ms").arg(wait);
    std::lock_guard lock(m_mutex);
    m_failure = reason;
    return false;
}

QStringList FestivalProcess::voices() const
{
    std::lock_guard lock(m_mutex);
    return m_voices;
}

QString FestivalProcess::failure() const
{
    std::lock_guard lock(m_mutex);
    return m_failure;
}

bool FestivalProcess::start()
{
    if (m_process && m_process->state() == QProcess::Running)
        return true;
    if (!m_retryAt.hasExpired())
        return false;
    if (!QFileInfo(m_helperPath).isExecutable())
        return failedToStart(QStringLiteral("the Festival helper %1 is missing").arg(m_helperPath));
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(m_helperPath, {});
    if (!m_process->waitForStarted(StartTimeoutMs)) {
        m_process.reset();
        return failedToStart(QStringLiteral("the Festival helper %1 does not start").arg(m_helperPath));
    }
    const auto answer = ask('s', QString(), StartTimeoutMs);
    if (!answer)
        return failedToStart(QStringLiteral("Festival stops as it starts (is its data damaged?)"));
    QDataStream in(*answer);
    bool ok = false;
    QString failure;
    QStringList voices;
    in >> ok >> failure >> voices;
    if (!ok) {
        stopHelper();
        return failedToStart(failure);
    }
    m_failedStarts = 0;
    std::lock_guard lock(m_mutex);
    m_failure.clear();
    m_voices = voices;
    return true;
}

QList<TunableEngine::VoiceInfo> FestivalProcess::installedVoices()
{
    QList<VoiceInfo> list;
    if (!start())
        return list;
    for (const QString& name : voices())
        list.append({ name, name == u"lp" ? QStringLiteral("lp, donna") : QStringLiteral("pc, uomo") });
    return list;
}

std::optional<QByteArray> FestivalProcess::ask(char op, const QString& text, int timeoutMs)
{
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out << quint8(op) << tunedVoice() << qint32(tunedRate()) << qint32(tunedPitch()) << text;
    const quint32 size = quint32(request.size());
    m_process->write(reinterpret_cast<const char*>(&size), sizeof size);
    m_process->write(request);
    QDeadlineTimer deadline(timeoutMs);
    quint32 answerSize = 0;
    while (m_process->state() == QProcess::Running && !deadline.hasExpired()) {
        if (answerSize == 0 && m_process->bytesAvailable() >= qint64(sizeof answerSize))
            m_process->read(reinterpret_cast<char*>(&answerSize), sizeof answerSize);
        if (answerSize > 0 && m_process->bytesAvailable() >= answerSize)
            return m_process->read(answerSize);
        m_process->waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    }
    // It crashed or hangs on this text: the next call starts a new one.
    qCWarning(lcSpeech) << "Festival stopped on a sentence; it starts again for the next";
    m_process->kill();
    m_process->waitForFinished(1000);
    m_process.reset();
    return std::nullopt;
}

Pcm FestivalProcess::synthesize(const QString& text, const std::atomic_bool& cancel)
{
    Pcm pcm;
    pcm.sampleRate = 16000;
    if (cancel.load() || !start())
        return pcm;
    // About 30 ms of work for 5 s of speech; a long text is given time in proportion.
    const auto answer = ask('t', text, 5000 + int(text.size()) * 20);
    if (!answer)
        return pcm;
    QDataStream in(*answer);
    qint32 rate = 16000;
    bool stillWorks = true;
    in >> rate >> pcm.samples >> stillWorks;
    pcm.sampleRate = rate;
    if (!stillWorks) { // it has given up after too many failures: a fresh helper, later
        stopHelper();
        failedToStart(QStringLiteral("Festival failed on too many texts to go on safely"));
    }
    return pcm;
}

QStringList FestivalProcess::words(const QString& text) { return analyse('w', text); }

QStringList FestivalProcess::syllables(const QString& text) { return analyse('y', text); }

QStringList FestivalProcess::analyse(char op, const QString& text)
{
    QStringList words;
    if (!start())
        return words;
    if (const auto answer = ask(op, text, 5000 + int(text.size()) * 20)) {
        QDataStream in(*answer);
        in >> words;
    }
    return words;
}
