// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafile/DataFileLock.h"

#include <QDir>
#include <QUrl>

namespace {
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
} // namespace

bool DataFileLock::isLock(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xFF; // extended codes carry the primary one below
    return ok && (code == SqliteBusy || code == SqliteLocked);
}

QString DataFileLock::inUseMessage(const QString& path)
{
    return QStringLiteral("Il file dei dati %1 è in uso da un altro programma: riprova quando quel programma "
                          "l'avrà chiuso.")
        .arg(QDir::toNativeSeparators(path));
}

QString DataFileLock::filePath(const QSqlDatabase& db)
{
    const QString name = db.databaseName();
    return name.startsWith(QLatin1String("file:")) ? QUrl(name).toLocalFile() : name;
}
