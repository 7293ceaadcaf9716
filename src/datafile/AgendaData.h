// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "datafile/RecordSet.h"

#include <QString>
#include <memory>

// The data file dati.mdb beside the executable, and the main window's three record sets over it.
class AgendaData
{
public:
    explicit AgendaData(QString filePath);
    ~AgendaData();
    AgendaData(const AgendaData&) = delete;
    AgendaData& operator=(const AgendaData&) = delete;

    // applicationDirPath() + "/dati.mdb"
    static QString defaultPath();

    // Opens the file (never creating it), checks the three tables and opens dtaProm, dtaAppun
    // and dtaRubrica in that order. On failure returns false and errorText() says what is wrong.
    bool open();
    QString errorText() const;
    QString filePath() const;
    // Empty when this user can change the file; otherwise what the user reads: the file can only
    // be read, why, and what to do. SQLite writes its journal beside the file, so the folder counts.
    QString writeProblem() const;

    RecordSet& dtaProm();
    RecordSet& dtaAppun();
    RecordSet& dtaRubrica();

    // A manager window's own record set over one table, already refreshed; null on failure.
    std::unique_ptr<RecordSet> openRecordSet(const QString& table, QString* error = nullptr);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
