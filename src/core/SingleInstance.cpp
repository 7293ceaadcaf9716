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
#include <QUrl>
#include <memory>
#include <optional>

namespace {
Q_LOGGING_CATEGORY(instanceLog, "vespelinda.instance")

// A later start without files asks the running copy to come forward; one with files sends
// "importa", one file a line (as a "file:" address, so that any name fits on a line), and an
// empty line.
const QByteArray Request("vieni avanti\n");
const QByteArray ImportRequest("importa\n");
// Beyond any command line: what is longer is no request of ours.
constexpr qsizetype MaxRequest = 8 * 1024 * 1024;
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
            // A request may come in pieces: it is answered once it is whole.
            auto received = std::make_shared<std::optional<QByteArray>>(QByteArray());
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
                if (!*received)
                    return; // answered already
                (*received)->append(socket->readAll());
                if (answer(socket, **received))
                    received->reset();
            });
        }
    });
}

QStringList SingleInstance::filesToOpen(const QStringList& arguments)
{
    QStringList files;
    bool optionsEnd = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.isEmpty())
            continue;
        if (!optionsEnd && argument == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        if (!optionsEnd && argument.startsWith(u'-'))
            continue;
        if (argument.startsWith(QLatin1String("file:"))) {
            const QUrl url(argument);
            if (url.isLocalFile())
                files.append(QFileInfo(url.toLocalFile()).absoluteFilePath());
            continue;
        }
        files.append(QFileInfo(argument).absoluteFilePath());
    }
    return files;
}

SingleInstance::Claim SingleInstance::claim(const QStringList& files)
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
        if (ask(files) == Answer::Forwarded)
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

SingleInstance::Answer SingleInstance::ask(const QStringList& files) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(500))
        return Answer::None;
    QByteArray request = Request;
    if (!files.isEmpty()) {
        request = ImportRequest;
        for (const QString& file : files)
            request += QUrl::fromLocalFile(file).toEncoded() + '\n';
        request += '\n';
    }
    socket.write(request);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(1000))
            return Answer::None;
    while (!socket.canReadLine() && socket.waitForReadyRead(2000)) { }
    const QByteArray reply = socket.readLine();
    return reply == Done ? Answer::Forwarded : reply == Leaving ? Answer::Leaving : Answer::None;
}

bool SingleInstance::listen(std::function<bool()> comeForward, std::function<void(const QStringList&)> openFiles)
{
    m_comeForward = std::move(comeForward);
    m_openFiles = std::move(openFiles);
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

bool SingleInstance::answer(QLocalSocket* socket, const QByteArray& received)
{
    QStringList files;
    if (received.startsWith(Request)) {
        // come forward, nothing more
    } else if (received.startsWith(ImportRequest)) {
        // The list ends with an empty line (right after "importa" when it names no file).
        const qsizetype end = received.indexOf("\n\n", ImportRequest.size() - 1);
        if (end < 0) {
            if (received.size() <= MaxRequest)
                return false; // the rest is on its way
            socket->disconnectFromServer();
            return true;
        }
        const QByteArray list = received.mid(ImportRequest.size(), end + 1 - ImportRequest.size());
        for (const QByteArray& line : list.split('\n')) {
            const QUrl url = QUrl::fromEncoded(line);
            if (!line.isEmpty() && url.isLocalFile())
                files.append(url.toLocalFile());
        }
    } else if (!received.contains('\n') && received.size() <= MaxRequest
        && (Request.startsWith(received) || ImportRequest.startsWith(received))) {
        return false; // the first line is not whole yet
    } else {
        socket->disconnectFromServer(); // no request of ours
        return true;
    }
    const bool forward = m_comeForward();
    socket->write(forward ? Done : Leaving);
    socket->disconnectFromServer(); // once what was written has gone
    // The later start has its answer; the files are opened by the copy that came forward only.
    if (forward && !files.isEmpty() && m_openFiles)
        m_openFiles(files);
    return true;
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
