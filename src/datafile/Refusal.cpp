// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafile/Refusal.h"

Refusal refusalOf(const QSqlError& error)
{
    // An extended result code keeps the primary one in its low byte.
    bool isCode = false;
    const int code = error.nativeErrorCode().toInt(&isCode) & 0xFF;
    if (!isCode)
        return error.type() == QSqlError::NoError ? Refusal::None : Refusal::Other;
    switch (code) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return Refusal::Busy;
    case 8: // SQLITE_READONLY
    case 14: // SQLITE_CANTOPEN: no journal can be made beside the file
        return Refusal::ReadOnly;
    case 10: // SQLITE_IOERR
        return Refusal::DiskError;
    case 13: // SQLITE_FULL
        return Refusal::DiskFull;
    default:
        return Refusal::Other;
    }
}

QString refusalInWords(Refusal refusal, const QString& table, const QString& reason)
{
    switch (refusal) {
    case Refusal::ReadOnly:
        return QStringLiteral("il file dei dati, o la sua cartella, è protetto dalla scrittura");
    case Refusal::DiskFull:
        return QStringLiteral("il disco è pieno");
    case Refusal::TableFull:
        return QStringLiteral("la tabella %1 è piena: ha usato tutti i numeri che può dare alle voci nuove").arg(table);
    case Refusal::DiskError:
        return QStringLiteral("il disco non ha accettato la scrittura");
    case Refusal::Busy:
        return QStringLiteral("il file dei dati è bloccato da un altro programma");
    case Refusal::None:
        return reason;
    case Refusal::Other:
        break;
    }
    return QStringLiteral("il file dei dati ha rifiutato la modifica (") + reason + u')';
}
