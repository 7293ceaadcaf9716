// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlError>
#include <QString>

// Why the data file refused an operation, so that the user can be told what to do about it: the
// one place where a refusal is told apart and put into words.
enum class Refusal
{
    None, // not the database's (no current record, a move past an end): the reason says it all
    ReadOnly, // the file, or the folder its journal goes in, is write-protected
    DiskFull,
    TableFull, // the table has used up its record keys
    DiskError, // the disk did not take the write
    Busy, // another program holds the file locked
    Other
};

// SQLite's answer, by its primary result code. A full database is told as DiskFull: only the table
// can tell whether its keys are used up instead.
Refusal refusalOf(const QSqlError& error);

// The refusal in the user's words (table: the table it concerns; reason: the engine's own text,
// said as it is for None and in brackets for Other).
QString refusalInWords(Refusal refusal, const QString& table, const QString& reason);
