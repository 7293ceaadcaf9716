// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/ImportOutcome.h"
#include "transfer/TransferRows.h"

#include <QDate>
#include <QObject>
#include <QStringList>
#include <atomic>
#include <functional>

class QThread;

// An import of one or more files, off the user-interface thread: each file is read by its kind
// (TransferFiles::kindOf), then every row of every file is stored in one transaction
// (ImportWriter), or none. It can be cancelled at any point until the commit; a cancelled import
// stores nothing.
class DataImport : public QObject
{
    Q_OBJECT

public:
    // How a file of each kind is read (any thread, several at once).
    struct Readers
    {
        std::function<TransferRows(const QString& path, const QDate& today, const ReadControl& control)> calendar;
        std::function<TransferRows(const QString& path, const ReadControl& control)> contacts;
    };
    DataImport(QString dataPath, Readers readers, QObject* parent = nullptr);
    // Cancels an import under way and waits for it: nothing of it is stored.
    ~DataImport() override;

    // Starts reading `files` (today: the local day, for the calendar's past events); false while
    // another import is under way. finished() follows, always, on this object's thread.
    bool start(const QStringList& files, const QDate& today);
    // Asks the import under way to stop; it then finishes with `cancelled` and stores nothing,
    // unless its rows are already committed.
    void cancel();
    bool running() const { return m_thread != nullptr; }
    // How far the import has come, 0 to 100: reading the files is the first 70.
    int progress() const { return m_progress.load(std::memory_order_relaxed); }

    // The whole import on the calling thread: what the worker runs.
    static ImportOutcome run(const QString& dataPath, const Readers& readers, const QStringList& files,
        const QDate& today, const std::atomic<bool>& cancel, std::atomic<int>& progress);

signals:
    void finished(const ImportOutcome& outcome);

private:
    QString m_dataPath;
    Readers m_readers;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel { false };
    std::atomic<int> m_progress { 0 };
    ImportOutcome m_outcome;
};
