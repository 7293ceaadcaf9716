// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/ImportOutcome.h"

#include <QString>

// What the user hears and reads after moving data in or out, in Italian: each kind counted with its
// own noun in the singular or the plural, kinds with nothing left out.
namespace TransferTexts {
struct Report
{
    QString text;
    // Something went wrong (the box warns instead of informing).
    bool problem = false;
};

// "Ho importato 12 appuntamenti, 1 promemoria e 30 contatti; 2 erano già presenti.", then the
// all-day events placed at 9, the past ones left out, the skipped ones by reason, and the files
// that could not be read.
Report importReport(const ImportOutcome& outcome);

// "Ho esportato 12 appuntamenti e 3 promemoria in agenda.ics."
QString exportReport(int appointments, int reminders, int contacts, const QString& fileName);

// "12 appuntamenti, 1 promemoria e 30 contatti": the kinds with something, joined as Italian does.
QString counted(int appointments, int reminders, int contacts);
} // namespace TransferTexts
