// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Greeting.h"

namespace Greeting {

QString salutation(int hour)
{
    QString word = QStringLiteral("Buonanotte");
    if (hour >= 4 && hour < 12)
        word = QStringLiteral("Buongiorno");
    if (hour >= 12 && hour < 16)
        word = QStringLiteral("Buon pomeriggio");
    if (hour >= 16 && hour <= 23)
        word = QStringLiteral("Buonasera");
    return word;
}

QString shortDate(const QDate& date) { return date.toString(QStringLiteral("dd/MM/yyyy")); }

QString text(const QDateTime& now)
{
    const QTime time = now.time();
    return salutation(time.hour()) + QStringLiteral(". oggi è il ") + shortDate(now.date())
        + QStringLiteral(". sono le ") + QString::number(time.hour()) + QStringLiteral(" e ")
        + QString::number(time.minute()) + QStringLiteral(" minuti.");
}

} // namespace Greeting
