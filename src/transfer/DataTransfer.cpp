// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/DataTransfer.h"

#include "core/Alert.h"
#include "core/Clock.h"
#include "core/Controls.h"
#include "core/MessageBoxService.h"
#include "datafile/AgendaData.h"
#include "transfer/DataImport.h"
#include "transfer/TransferDialogs.h"
#include "transfer/TransferFiles.h"
#include "transfer/TransferTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QThread>

namespace {
// The agenda from `today` on, as the record sets hold it: appointments of an earlier day, and
// entries whose date or time cannot be read, are left out.
void agenda(AgendaData& data, const QDate& today, QList<AppointmentRow>* appointments, QList<ReminderRow>* reminders)
{
    RecordSet& appun = data.dtaAppun();
    for (int i = 0; i < appun.recordCount(); ++i) {
        const QDate day = appun.valueAt(i, QStringLiteral("Data")).toDateTime().date();
        const QTime time = appun.valueAt(i, QStringLiteral("Ora")).toDateTime().time();
        if (day.isValid() && time.isValid() && day >= today)
            appointments->append(
                { day, QTime(time.hour(), time.minute()), appun.valueAt(i, QStringLiteral("Testo")).toString() });
    }
    RecordSet& prom = data.dtaProm();
    for (int i = 0; i < prom.recordCount(); ++i) {
        const QTime time = prom.valueAt(i, QStringLiteral("Ora")).toDateTime().time();
        if (time.isValid())
            reminders->append(
                { QTime(time.hour(), time.minute()), prom.valueAt(i, QStringLiteral("Testo")).toString() });
    }
}

QList<ContactRow> addressBook(AgendaData& data)
{
    QList<ContactRow> contacts;
    RecordSet& rubrica = data.dtaRubrica();
    contacts.reserve(rubrica.recordCount());
    for (int i = 0; i < rubrica.recordCount(); ++i)
        contacts.append({ rubrica.valueAt(i, QStringLiteral("Nome")).toString(),
            rubrica.valueAt(i, QStringLiteral("Telefono")).toString(),
            rubrica.valueAt(i, QStringLiteral("Email")).toString() });
    return contacts;
}
} // namespace

DataTransfer::DataTransfer(QWidget& window, Services services, std::function<void()> dataWritten)
    : m_window(window)
    , m_services(std::move(services))
    , m_dataWritten(std::move(dataWritten))
    , m_import(std::make_unique<DataImport>(m_services.data.filePath(), m_services.formats.read))
{
    connect(m_import.get(), &DataImport::finished, this, &DataTransfer::importFinished);
    m_progressDelay.setSingleShot(true);
    m_progressDelay.setTimerType(Qt::PreciseTimer);
    m_progressDelay.setInterval(ProgressAfterMs);
    connect(&m_progressDelay, &QTimer::timeout, this, &DataTransfer::showProgress);
    m_progressPoll.setInterval(100);
    connect(&m_progressPoll, &QTimer::timeout, this, [this] {
        if (m_progress && m_progress->maximum() > 0)
            m_progress->setValue(m_import->progress());
    });
}

DataTransfer::~DataTransfer()
{
    hideProgress();
    m_import.reset(); // cancels an import under way: nothing of it is stored
    if (m_export) {
        m_export->wait(); // a file being written is finished whole
        delete m_export;
    }
}

bool DataTransfer::busy() const { return m_import->running() || m_export; }

QString DataTransfer::folder() const
{
    if (!m_folder.isEmpty())
        return m_folder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void DataTransfer::importChosen()
{
    const QStringList files = m_services.dialogs.openFiles(
        &m_window, QStringLiteral("Importa un calendario o una rubrica"), folder(), TransferFiles::openFilters());
    if (files.isEmpty())
        return;
    m_folder = QFileInfo(files.first()).absolutePath();
    importFiles(files);
}

void DataTransfer::importFiles(const QStringList& files)
{
    if (files.isEmpty())
        return;
    if (busy()) {
        m_waiting += files;
        return;
    }
    startImport(files);
}

void DataTransfer::startImport(const QStringList& files)
{
    // A file this user can only read takes nothing: said before any file is read.
    if (const QString problem = m_services.data.writeProblem(); !problem.isEmpty()) {
        m_services.alert(&m_window,
            QStringLiteral("Non posso importare: il file dei dati si può leggere ma non modificare."),
            QStringLiteral("Non ho importato nulla. ") + problem, MessageBoxService::Exclamation);
        next();
        return;
    }
    m_import->start(files, m_services.clock.now().date());
    setBusy(true);
    m_progressDelay.start();
}

void DataTransfer::importFinished(const ImportOutcome& outcome)
{
    hideProgress();
    // The window reads what was stored before the outcome is told, so that the timeline and the
    // address book show it while the box is open.
    if (outcome.stored() > 0 && m_dataWritten)
        m_dataWritten();
    const TransferTexts::Report report = TransferTexts::importReport(outcome);
    m_services.alert(&m_window, report.text, report.text,
        report.problem ? MessageBoxService::Exclamation : MessageBoxService::Information);
    next();
}

void DataTransfer::next()
{
    if (!m_waiting.isEmpty())
        startImport(std::exchange(m_waiting, {}));
    else if (!busy())
        setBusy(false);
}

void DataTransfer::setBusy(bool busy)
{
    if (busy != m_busy)
        emit busyChanged(m_busy = busy);
}

void DataTransfer::exportChosen()
{
    if (busy())
        return;
    const TransferDialogs::Export choice = m_services.dialogs.chooseExport(&m_window);
    if (choice == TransferDialogs::Export::Nothing)
        return;
    const bool calendar = choice == TransferDialogs::Export::Calendar;
    const QDate today = m_services.clock.now().date();
    ExportRows rows;
    if (calendar)
        agenda(m_services.data, today, &rows.appointments, &rows.reminders);
    else
        rows.contacts = addressBook(m_services.data);
    if (rows.appointments.isEmpty() && rows.reminders.isEmpty() && rows.contacts.isEmpty()) {
        const QString empty = calendar
            ? QStringLiteral("Non c'è nulla da esportare: nessun appuntamento da oggi in poi e nessun promemoria.")
            : QStringLiteral("Non c'è nulla da esportare: la rubrica è vuota.");
        m_services.alert(&m_window, empty, empty, MessageBoxService::Information);
        return;
    }

    const TransferFiles::Kind kind = calendar ? TransferFiles::Kind::Calendar : TransferFiles::Kind::Contacts;
    const QString suggested
        = QDir(folder()).filePath(calendar ? QStringLiteral("agenda.ics") : QStringLiteral("rubrica.vcf"));
    const QString chosen = m_services.dialogs.saveFile(&m_window,
        calendar ? QStringLiteral("Esporta l'agenda") : QStringLiteral("Esporta la rubrica"), suggested,
        TransferFiles::saveFilter(kind));
    if (chosen.isEmpty())
        return;
    const QString path = TransferFiles::withExtension(chosen, kind);
    m_folder = QFileInfo(path).absolutePath();
    startExport(calendar, path, today, std::move(rows));
}

void DataTransfer::startExport(bool calendar, const QString& path, const QDate& today, ExportRows rows)
{
    // Written off the user-interface thread; the outcome is told once the file is whole.
    auto error = std::make_shared<QString>();
    auto written = std::make_shared<bool>(false);
    const TransferFormats& formats = m_services.formats;
    m_export = QThread::create([=, &formats] {
        *written = calendar ? formats.writeCalendar(path, rows.appointments, rows.reminders, today, error.get())
                            : formats.writeContacts(path, rows.contacts, error.get());
    });
    m_export->setObjectName(QStringLiteral("DataExport"));
    connect(m_export, &QThread::finished, this, [=, this] {
        m_export->wait(); // finished() comes from its last moments
        delete m_export;
        m_export = nullptr;
        hideProgress();
        const QString name = QFileInfo(path).fileName();
        if (*written) {
            const QString text = TransferTexts::exportReport(
                int(rows.appointments.size()), int(rows.reminders.size()), int(rows.contacts.size()), name);
            m_services.alert(&m_window, text, text, MessageBoxService::Information);
        } else {
            m_services.alert(&m_window, QStringLiteral("Non ho potuto esportare i dati in %1.").arg(name),
                QStringLiteral("Non ho esportato nulla. ") + *error, MessageBoxService::Exclamation);
        }
        next();
    });
    setBusy(true);
    m_export->start();
    m_progressDelay.start();
}

void DataTransfer::showProgress()
{
    if (m_progress || !busy())
        return;
    const bool importing = m_import->running();
    auto* dialog = new QProgressDialog(&m_window);
    Controls::apply(dialog, { .name = importing ? u"dlgImporta" : u"dlgEsporta" });
    dialog->setWindowTitle(importing ? QStringLiteral("Importa") : QStringLiteral("Esporta"));
    dialog->setLabelText(importing ? QStringLiteral("Importo i dati...") : QStringLiteral("Esporto i dati..."));
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(0);
    dialog->setWindowModality(Qt::WindowModal);
    if (importing) {
        dialog->setCancelButtonText(QStringLiteral("Annulla"));
        dialog->setRange(0, 100);
        dialog->setValue(m_import->progress());
        // Cancelled, it waits for the worker to stop: nothing is stored.
        connect(dialog, &QProgressDialog::canceled, this, [this, dialog] {
            m_import->cancel();
            dialog->setLabelText(QStringLiteral("Annullo l'importazione..."));
            dialog->show(); // a cancel hides the dialog; it stays until the worker has stopped
        });
        m_progressPoll.start();
    } else {
        // A file is written whole or not at all: no cancel, no measure of how far.
        dialog->setCancelButton(nullptr);
        dialog->setRange(0, 0);
    }
    dialog->show();
    m_progress = dialog;
}

void DataTransfer::hideProgress()
{
    m_progressDelay.stop();
    m_progressPoll.stop();
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
    }
    m_progress = nullptr;
}
