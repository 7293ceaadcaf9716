// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/ImportOutcome.h"
#include "transfer/TransferFormats.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

class AgendaData;
class Alert;
class Clock;
class DataImport;
class QProgressDialog;
class QThread;
class QWidget;
class TransferDialogs;

// Moving the user's data in and out, as the main window offers it: "Importa..." (the open
// dialog), files dropped on the window or given on the command line, and "Esporta..." (what, then
// where). Files are read and stored off the user-interface thread; an import or export that lasts
// more than a second shows its progress, and an import can be cancelled there. The outcome is
// said and shown through Alert.
class DataTransfer : public QObject
{
    Q_OBJECT

public:
    struct Services
    {
        Alert& alert;
        Clock& clock;
        AgendaData& data;
        TransferDialogs& dialogs;
        TransferFormats formats;
    };

    // dataWritten runs after an import has stored rows, so that the window reads them.
    DataTransfer(QWidget& window, Services services, std::function<void()> dataWritten);
    ~DataTransfer() override;

    // "Importa...": the files the user picks.
    void importChosen();
    // Imports these files (absolute paths); while another import or an export is under way they
    // wait for it.
    void importFiles(const QStringList& files);
    // "Esporta...".
    void exportChosen();

    bool busy() const;
    // How long an import or export may take before its progress is shown.
    static constexpr int ProgressAfterMs = 1000;

signals:
    // An import or export has started (true) or is over, its outcome told (false).
    void busyChanged(bool busy);

private:
    void startImport(const QStringList& files);
    void importFinished(const ImportOutcome& outcome);
    struct ExportRows
    {
        QList<AppointmentRow> appointments;
        QList<ReminderRow> reminders;
        QList<ContactRow> contacts;
    };
    void startExport(bool calendar, const QString& path, const QDate& today, ExportRows rows);
    void showProgress();
    void hideProgress();
    void next();
    void setBusy(bool busy);
    QString folder() const;

    QWidget& m_window;
    Services m_services;
    std::function<void()> m_dataWritten;
    std::unique_ptr<DataImport> m_import;
    QThread* m_export = nullptr;
    QStringList m_waiting;
    bool m_busy = false; // as last told
    QString m_folder; // where the user last opened or saved a file
    QTimer m_progressDelay;
    QTimer m_progressPoll;
    QPointer<QProgressDialog> m_progress;
};
