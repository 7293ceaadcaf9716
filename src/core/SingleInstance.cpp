// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SingleInstance.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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

// The socket's address, or nothing when the path is too long for one.
std::optional<sockaddr_un> addressOf(const QString& path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || name.size() >= qsizetype(sizeof(address.sun_path)))
        return std::nullopt;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return address;
}

// Waits up to `ms` for `events` on `fd`.
bool ready(int fd, short events, int ms)
{
    pollfd p { fd, events, 0 };
    int n = 0;
    while ((n = ::poll(&p, 1, ms)) < 0 && errno == EINTR) { }
    return n > 0;
}

// Writes all of `data`, waiting up to `ms` each time the socket is full.
bool sendAll(int fd, const QByteArray& data, int ms)
{
    qsizetype sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
        if (n > 0)
            sent += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && errno == EAGAIN && ready(fd, POLLOUT, ms))
            continue;
        else
            return false;
    }
    return true;
}
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
}

SingleInstance::~SingleInstance()
{
    if (m_server < 0)
        return;
    delete m_serverNotifier;
    ::close(m_server);
    QFile::remove(m_socketPath);
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
    const std::optional<sockaddr_un> address = addressOf(m_socketPath);
    if (!address)
        return Answer::None;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return Answer::None;
    const auto answered = [&]() {
        // No server, or one too busy to take the connection now: asked again later.
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0)
            return Answer::None;
        QByteArray request = Request;
        if (!files.isEmpty()) {
            request = ImportRequest;
            for (const QString& file : files)
                request += QUrl::fromLocalFile(file).toEncoded() + '\n';
            request += '\n';
        }
        if (!sendAll(fd, request, 1000))
            return Answer::None;
        QByteArray reply;
        char buffer[64];
        while (!reply.contains('\n') && ready(fd, POLLIN, 2000)) {
            const ssize_t n = ::recv(fd, buffer, sizeof(buffer), 0);
            if (n > 0)
                reply.append(buffer, n);
            else if (n == 0 || (errno != EINTR && errno != EAGAIN))
                break;
        }
        reply.truncate(reply.indexOf('\n') + 1);
        return reply == Done ? Answer::Forwarded : reply == Leaving ? Answer::Leaving : Answer::None;
    }();
    ::close(fd);
    return answered;
}

bool SingleInstance::listen(std::function<bool()> comeForward, std::function<void(const QStringList&)> openFiles)
{
    m_comeForward = std::move(comeForward);
    m_openFiles = std::move(openFiles);
    if (m_socketPath.isEmpty() || m_server >= 0)
        return m_server >= 0;
    const std::optional<sockaddr_un> address = addressOf(m_socketPath);
    if (!address) {
        qCWarning(instanceLog) << "cannot listen on" << m_socketPath << ": the path is too long for a socket";
        return false;
    }
    // The socket of a killed copy is still there; only the holder of the lock may remove it.
    if (m_locked)
        QFile::remove(m_socketPath);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // For this user only: the socket file takes the mode of the socket it is bound to.
    if (fd < 0 || ::fchmod(fd, S_IRUSR | S_IWUSR) != 0
        || ::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0 || ::listen(fd, 16) != 0) {
        qCWarning(instanceLog) << "cannot listen on" << m_socketPath << std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    m_server = fd;
    m_serverNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_serverNotifier, &QSocketNotifier::activated, this, &SingleInstance::acceptPeers);
    return true;
}

void SingleInstance::acceptPeers()
{
    int peer = -1;
    while ((peer = ::accept4(m_server, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0) {
        // A request may come in pieces: it is answered once it is whole.
        auto* notifier = new QSocketNotifier(peer, QSocketNotifier::Read, this);
        auto received = std::make_shared<QByteArray>();
        connect(notifier, &QSocketNotifier::activated, this, [this, notifier, peer, received] {
            char buffer[4096];
            bool done = false;
            for (;;) {
                const ssize_t n = ::recv(peer, buffer, sizeof(buffer), 0);
                if (n > 0) {
                    received->append(buffer, n);
                    continue;
                }
                // The other side closed, or failed: nothing more will come.
                done = n == 0 || (errno != EAGAIN && errno != EINTR);
                if (n < 0 && errno == EINTR)
                    continue;
                break;
            }
            if (!received->isEmpty() && answer(peer, *received))
                done = true;
            if (done) {
                notifier->setEnabled(false);
                notifier->deleteLater();
                ::close(peer);
            }
        });
    }
}

bool SingleInstance::answer(int peer, const QByteArray& received)
{
    QStringList files;
    if (received.startsWith(Request)) {
        // come forward, nothing more
    } else if (received.startsWith(ImportRequest)) {
        // The list ends with an empty line (right after "importa" when it names no file).
        const qsizetype end = received.indexOf("\n\n", ImportRequest.size() - 1);
        if (end < 0) {
            return received.size() > MaxRequest; // the rest is on its way, or no request of ours
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
        return true; // no request of ours
    }
    const bool forward = m_comeForward();
    sendAll(peer, forward ? Done : Leaving, 1000);
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
