// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/DataImport.h"
#include "transfer/TransferRows.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>

// How each kind of file is read and written: the calendar's and the address book's formats, or a
// test's stand-ins. Each function may run on any thread.
struct TransferFormats
{
    DataImport::Readers read;
    std::function<bool(const QString& path, const QList<AppointmentRow>& appointments,
        const QList<ReminderRow>& reminders, const QDate& today, QString* error)>
        writeCalendar;
    std::function<bool(const QString& path, const QList<ContactRow>& contacts, QString* error)> writeContacts;

    // iCalendar (CalendarFile) and vCard (ContactFile).
    static TransferFormats files();
};
