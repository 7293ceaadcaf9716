// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SingleInstance.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>

namespace {
Q_LOGGING_CATEGORY(instanceLog, "vespelinda.instance")

const QByteArray Request("vieni avanti\n");
const QByteArray Done("ok\n");
const QByteArray Leaving("in uscita\n");
constexpr int RetryMs = 50;
} // namespace

QString SingleInstance::defaultFolder() { return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation); }

SingleInstance::SingleInstance(const QString& folder, int patienceMs, QObject* parent)
    : QObject(parent)
    , m_socketPath(folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("vespelinda.socket")))
    , m_lock(QDir(folder).filePath(QStringLiteral("vespelinda.lock")))
    , m_patienceMs(patienceMs)
{
    // A lock is stale only when the copy that took it is gone, however long it has been held.
    m_lock.setStaleLockTime(0);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
        }
    });
}

SingleInstance::Claim SingleInstance::claim()
{
    if (m_socketPath.isEmpty())
        return Claim::First; // no runtime folder: nowhere to meet another copy
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // Something else where the lock goes (a folder, a pipe, which QLockFile would wait on for
        // ever) is taken away if it can be; otherwise the program starts without the lock.
        const QFileInfo where(m_lock.fileName());
        if (where.exists() && !where.isFile()) {
            const bool removed = where.isDir() ? QDir().rmdir(where.filePath()) : QFile::remove(where.filePath());
            qCWarning(instanceLog).noquote()
                << m_lock.fileName()
                << "is not a lock file:" << (removed ? "removed" : "it cannot be removed, starting without the lock");
            if (removed)
                continue;
            return Claim::First;
        }
        // QLockFile removes a lock whose process is gone (a copy killed outright) and takes it.
        if (m_lock.tryLock(0)) {
            m_locked = true;
            return Claim::First;
        }
        const bool lockUsable = m_lock.error() == QLockFile::LockFailedError;
        if (ask() == Answer::Forwarded)
            return Claim::Forwarded;
        if (!lockUsable) {
            // No lock can be made there: starting beats refusing to start.
            qCWarning(instanceLog) << "cannot lock" << m_lock.fileName() << m_lock.error();
            return Claim::First;
        }
        if (leftover()) {
            qCWarning(instanceLog).noquote()
                << "removing" << m_lock.fileName() << ": it names no process (an empty or damaged lock file)";
            m_lock.removeStaleLockFile();
            continue;
        }
        // The running copy is not listening yet, or is on its way out.
        if (waited.elapsed() >= m_patienceMs)
            return Claim::NotResponding;
        QThread::msleep(RetryMs);
    }
}

bool SingleInstance::leftover() const
{
    qint64 pid = 0;
    QString host;
    QString app;
    // A lock that names a process has been judged by QLockFile: that process runs.
    if (m_lock.getLockInfo(&pid, &host, &app) && pid > 0)
        return false;
    // A copy that has just made the file writes its details at once: only a file older than a
    // moment is a leftover.
    const QDateTime modified = QFileInfo(m_lock.fileName()).lastModified();
    return modified.isValid() && std::abs(modified.msecsTo(QDateTime::currentDateTime())) > 1000;
}

SingleInstance::Answer SingleInstance::ask() const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(500))
        return Answer::None;
    socket.write(Request);
    if (!socket.waitForBytesWritten(1000))
        return Answer::None;
    while (!socket.canReadLine() && socket.waitForReadyRead(2000)) { }
    const QByteArray reply = socket.readLine();
    return reply == Done ? Answer::Forwarded : reply == Leaving ? Answer::Leaving : Answer::None;
}

bool SingleInstance::listen(std::function<bool()> comeForward)
{
    m_comeForward = std::move(comeForward);
    if (m_socketPath.isEmpty())
        return false;
    // The socket of a killed copy is still there; only the holder of the lock may remove it.
    if (m_locked)
        QLocalServer::removeServer(m_socketPath);
    if (m_server.listen(m_socketPath))
        return true;
    qCWarning(instanceLog) << "cannot listen on" << m_socketPath << m_server.errorString();
    return false;
}

void SingleInstance::answer(QLocalSocket* socket)
{
    if (!socket->canReadLine())
        return;
    if (socket->readLine() == Request)
        socket->write(m_comeForward() ? Done : Leaving);
    socket->disconnectFromServer(); // once what was written has gone
}

QString SingleInstance::notRespondingMessage() const
{
    qint64 pid = 0;
    QString host;
    QString app;
    m_lock.getLockInfo(&pid, &host, &app);
    return QStringLiteral("Vespelinda è già in esecuzione (processo %1) ma non risponde. Riprova tra qualche "
                          "istante; se non cambia nulla, chiudi quel processo (per esempio dal monitor di sistema) "
                          "e avvia di nuovo Vespelinda.")
        .arg(pid);
}
