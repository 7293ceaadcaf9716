// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Greeting.h"

#include "core/SettingsStore.h"

namespace Greeting {

std::optional<QString> startMessage(const SettingsStore& settings, const QDateTime& now)
{
    switch (settings.greeting()) {
    case SettingsStore::Message::DateAndTime:
        return text(now);
    case SettingsStore::Message::Custom:
        return settings.messaggioIniziale();
    case SettingsStore::Message::Standard:
    case SettingsStore::Message::None:
        break;
    }
    return std::nullopt;
}

std::optional<QString> farewell(const SettingsStore& settings)
{
    switch (settings.farewell()) {
    case SettingsStore::Message::None:
        return std::nullopt;
    case SettingsStore::Message::Custom:
        return settings.messaggioFinale();
    case SettingsStore::Message::DateAndTime:
    case SettingsStore::Message::Standard:
        break;
    }
    return QStringLiteral("spero di esserti stata utile. . arrivederci");
}

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
