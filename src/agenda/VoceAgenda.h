// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

// One entry of today's agenda: only the hour and the minute of Ora count.
struct VoceAgenda
{
    // The time a cleared slot carries: 00:00 on the zero date.
    static QDateTime clearedTime() { return QDateTime(QDate(1899, 12, 30), QTime(0, 0)); }

    QDateTime Ora = clearedTime();
    QString Testo;
};
