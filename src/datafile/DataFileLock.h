// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlDatabase>
#include <QString>

// A data file that another program holds locked is in use, not damaged, and the user is told so.
namespace DataFileLock {
// How long a statement waits for another program's lock before it gives up.
constexpr int WaitMs = 1000;
// What the user reads then, at start-up and when a change cannot be stored.
QString inUseMessage(const QString& path);
// The file a connection is open on (its name may be a "file:" URI).
QString filePath(const QSqlDatabase& db);
} // namespace DataFileLock
