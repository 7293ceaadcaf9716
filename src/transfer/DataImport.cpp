// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/DataImport.h"

#include "transfer/ImportWriter.h"
#include "transfer/TransferFiles.h"

#include <QDir>
#include <QThread>

namespace {
// Reading is most of the work; the rest is the write.
constexpr int ReadingShare = 70;

void add(QMap<QString, int>& into, const QMap<QString, int>& counts)
{
    for (auto count = counts.cbegin(); count != counts.cend(); ++count)
        into[count.key()] += count.value();
}
} // namespace

DataImport::DataImport(QString dataPath, Readers readers, QObject* parent)
    : QObject(parent)
    , m_dataPath(std::move(dataPath))
    , m_readers(std::move(readers))
{
}

DataImport::~DataImport()
{
    if (!m_thread)
        return;
    m_cancel = true;
    m_thread->wait();
    delete m_thread;
}

ImportOutcome DataImport::run(const QString& dataPath, const Readers& readers, const QStringList& files,
    const QDate& today, const std::atomic<bool>& cancel, std::atomic<int>& progress)
{
    ImportOutcome outcome;
    outcome.files = int(files.size());
    TransferRows all;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        ReadControl control;
        control.cancel = &cancel;
        control.progress = [&progress, i, n = files.size()](int percent) {
            progress.store(
                int((i * 100 + std::clamp(percent, 0, 100)) * ReadingShare / (n * 100)), std::memory_order_relaxed);
        };
        TransferRows rows;
        switch (TransferFiles::kindOf(path)) {
        case TransferFiles::Kind::Calendar:
            rows = readers.calendar(path, today, control);
            break;
        case TransferFiles::Kind::Contacts:
            rows = readers.contacts(path, control);
            break;
        case TransferFiles::Kind::Unknown:
            rows.error = QStringLiteral("Il file %1 non è un calendario (.ics) né una rubrica (.vcf, .vcard).")
                             .arg(QDir::toNativeSeparators(path));
            break;
        }
        if (rows.cancelled || cancel.load()) {
            outcome.cancelled = true;
            return outcome;
        }
        if (!rows.error.isEmpty()) {
            outcome.fileErrors.append(rows.error);
            continue;
        }
        all.appointments += std::move(rows.appointments);
        all.reminders += std::move(rows.reminders);
        all.contacts += std::move(rows.contacts);
        outcome.allDay += rows.allDay;
        outcome.past += rows.past;
        add(outcome.skipped, rows.skipped);
    }
    progress.store(ReadingShare, std::memory_order_relaxed);

    ReadControl control;
    control.cancel = &cancel;
    control.progress = [&progress](int percent) {
        progress.store(
            ReadingShare + std::clamp(percent, 0, 100) * (100 - ReadingShare) / 100, std::memory_order_relaxed);
    };
    const ImportWriter::Written written = ImportWriter::write(dataPath, all, control);
    if (written.cancelled) {
        outcome.cancelled = true;
        return outcome;
    }
    outcome.failure = written.failure;
    outcome.appointments = written.appointments;
    outcome.reminders = written.reminders;
    outcome.contacts = written.contacts;
    outcome.duplicates = written.duplicates;
    add(outcome.skipped, written.skipped);
    progress.store(100, std::memory_order_relaxed);
    return outcome;
}

bool DataImport::start(const QStringList& files, const QDate& today)
{
    if (m_thread)
        return false;
    m_cancel = false;
    m_progress = 0;
    m_thread = QThread::create(
        [this, files, today] { m_outcome = run(m_dataPath, m_readers, files, today, m_cancel, m_progress); });
    m_thread->setObjectName(QStringLiteral("DataImport"));
    // The outcome is handed over once the worker has ended, on this object's thread.
    connect(m_thread, &QThread::finished, this, [this] {
        m_thread->wait(); // finished() comes from its last moments
        delete m_thread;
        m_thread = nullptr;
        const ImportOutcome outcome = std::exchange(m_outcome, {});
        emit finished(outcome);
    });
    m_thread->start();
    return true;
}

void DataImport::cancel() { m_cancel = true; }
