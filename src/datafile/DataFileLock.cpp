// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafile/DataFileLock.h"

#include <QDir>
#include <QUrl>

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
