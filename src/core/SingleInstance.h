// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <functional>

class QSocketNotifier;

// One running copy per user. The running copy holds a lock file in the user's runtime folder and
// listens on a local socket beside it; a later start asks it to come forward (and to import the
// files it was given) and ends there.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Claim
    {
        First, // the lock is ours: this is the running copy
        Forwarded, // the running copy has come forward: this start ends with status 0
        NotResponding, // a running copy holds the lock but did not answer in time
    };

    // The user's runtime folder ($XDG_RUNTIME_DIR, else Qt's private fallback).
    static QString defaultFolder();

    explicit SingleInstance(const QString& folder, int patienceMs = 10000, QObject* parent = nullptr);
    // The server closes (its socket goes) before the lock is given up.
    ~SingleInstance() override;

    // The files a start was given to import, from its command line (the program's name first):
    // absolute paths, "file:" addresses turned into paths; options are no files.
    static QStringList filesToOpen(const QStringList& arguments);

    // Takes the lock or asks the copy holding it to come forward, handing it `files` (absolute
    // paths) to import. Of two copies started together one gets the lock and the other waits for
    // its server; a copy on its way out is waited for, and a lock left by a killed copy, or one
    // that names no process, is taken over. Something that is no file where the lock goes never
    // holds the start up.
    Claim claim(const QStringList& files = {});
    // Answers later starts from now on. comeForward brings the window forward and returns true;
    // false while the program is ending, so that the later start waits for it to go. Files a later
    // start hands over go to openFiles once the window has come forward.
    bool listen(std::function<bool()> comeForward, std::function<void(const QStringList&)> openFiles = {});
    // What the user reads when the running copy does not answer.
    QString notRespondingMessage() const;

private:
    enum class Answer
    {
        Forwarded,
        Leaving,
        None
    };
    Answer ask(const QStringList& files) const;
    // The lock file names no process (empty, damaged): a leftover, not a running copy.
    bool leftover() const;
    // Answers a request on `peer` once it has come whole (true), or waits for the rest of it
    // (false).
    bool answer(int peer, const QByteArray& received);
    void acceptPeers();

    QString m_socketPath;
    QLockFile m_lock;
    int m_patienceMs;
    bool m_locked = false;
    // The listening socket (a plain local socket: Qt Network and what it brings are not loaded for
    // it) and its notifier.
    int m_server = -1;
    QSocketNotifier* m_serverNotifier = nullptr;
    std::function<bool()> m_comeForward;
    std::function<void(const QStringList&)> m_openFiles;
};
