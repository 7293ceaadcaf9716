// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/TransferRows.h"

#include <QMap>
#include <QString>

// Stores what was read from the user's files in the data file: all of it in one transaction, or
// nothing. A row the file already holds (an appointment with the same Data, Ora and Testo, a
// reminder with the same Ora and Testo, a contact with the same Nome and Telefono), or one read
// twice, is not stored again. Dates and times are written as the program writes them:
// Data "YYYY-MM-DDT00:00:00", Ora "1899-12-30THH:MM:00".
//
// It works on a connection of its own, opened and closed on the calling thread, so that it may run
// off the user-interface thread. To the main window's connection the import is then another
// program's change, read at its next look (AgendaData::followOutsideChanges).
namespace ImportWriter {
struct Written
{
    int appointments = 0;
    int reminders = 0;
    int contacts = 0;
    int duplicates = 0;
    // Rows that cannot be stored, by reason.
    QMap<QString, int> skipped;
    // Nothing was stored, and why, naming the data file.
    QString failure;
    // Cancelled through control: nothing was stored.
    bool cancelled = false;
};

// Writes `rows` into the data file at `dataPath` (never created). control.cancelled() is looked at
// every few hundred rows and once more before the commit; control.progress is told each whole
// percent. A lock held by another program is waited for as every change of the program waits for
// it (DataFileLock::WaitMs), then the import fails.
Written write(const QString& dataPath, const TransferRows& rows, const ReadControl& control = {});
} // namespace ImportWriter
