// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// What an import of one or more files came to: what was stored in the data file, what was not and
// why. All the files' rows are stored together or not at all.
struct ImportOutcome
{
    // Stored.
    int appointments = 0;
    int reminders = 0;
    int contacts = 0;
    // Rows already in the data file, or twice in what was read: not stored again.
    int duplicates = 0;
    // All-day events among those read, placed at 09:00.
    int allDay = 0;
    // Events that had ended before today: not stored.
    int past = 0;
    // Entries left out, counted by the reason ("senza data di inizio").
    QMap<QString, int> skipped = {};
    // Files refused whole, each message naming its file; the other files are imported.
    QStringList fileErrors = {};
    // Nothing was stored, and why (the data file locked, write-protected, full): set only when
    // there was something to store.
    QString failure = {};
    // The user cancelled: nothing was stored.
    bool cancelled = false;
    // How many files were read.
    int files = 0;

    int stored() const { return appointments + reminders + contacts; }
};
