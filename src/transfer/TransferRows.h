// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QTime>
#include <atomic>
#include <functional>

// What a calendar or contact file holds, in the shape of the data file's three tables, before it
// is written: the readers fill it off the user-interface thread, the import writes it in one
// transaction.
struct AppointmentRow
{
    QDate day; // Data
    QTime time; // Ora (hour and minute)
    QString text; // Testo, at most TransferRows::TextChars characters
    friend bool operator==(const AppointmentRow&, const AppointmentRow&) = default;
};

struct ReminderRow
{
    QTime time; // Ora
    QString text; // Testo
    friend bool operator==(const ReminderRow&, const ReminderRow&) = default;
};

struct ContactRow
{
    QString name; // Nome
    QString phone; // Telefono
    QString email; // Email
    friend bool operator==(const ContactRow&, const ContactRow&) = default;
};

struct TransferRows
{
    // The longest text a column holds.
    static constexpr int TextChars = 150;

    QList<AppointmentRow> appointments;
    QList<ReminderRow> reminders;
    QList<ContactRow> contacts;

    // All-day events, placed at 09:00 of their day.
    int allDay = 0;
    // Events that ended before today, left out.
    int past = 0;
    // Entries left out, counted by the reason in Italian ("senza data di inizio").
    QMap<QString, int> skipped;
    // The whole file was refused: what was wrong with it, in Italian, naming the file. Nothing of
    // it is imported then.
    QString error;
    // Reading was cancelled: nothing of it is imported.
    bool cancelled = false;

    // A file refused whole, for `reason`.
    static TransferRows refused(QString reason)
    {
        TransferRows rows;
        rows.error = std::move(reason);
        return rows;
    }
    // A reading given up on the user's word.
    static TransferRows cancelledRead()
    {
        TransferRows rows;
        rows.cancelled = true;
        return rows;
    }
};

// How a reader running off the user-interface thread is steered: asked to stop (it then returns
// with `cancelled` set and no rows), and told how far it has come.
struct ReadControl
{
    const std::atomic<bool>* cancel = nullptr;
    // Called on the reader's thread now and then with 0..100.
    std::function<void(int percent)> progress;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};
