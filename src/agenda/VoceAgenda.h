// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

// One entry of today's agenda: only the hour and the minute of Ora count.
struct VoceAgenda
{
    // The time a cleared slot carries: 00:00 on the zero date (made once: a local date-time costs
    // a look at the time zone).
    static QDateTime clearedTime()
    {
        static const QDateTime cleared(QDate(1899, 12, 30), QTime(0, 0));
        return cleared;
    }

    QDateTime Ora = clearedTime();
    QString Testo;
    // The record's key (IDAppuntamento or IDPromemoria): what tells one entry from another when
    // the tables are reloaded.
    qint64 id = 0;
};
