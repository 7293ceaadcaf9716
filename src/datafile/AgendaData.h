// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "datafile/OutsideChanges.h"
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

    // Looks whether another program has committed a change to the file, or put another file in
    // its place, since the last look, and if so reads the three record sets afresh (keeping each
    // one's current record) and emits outsideChanges().arrived(). Never waits for a lock: what
    // cannot be read now (the file locked, a failed read) is read at a later call. Cheap enough
    // for every heartbeat: a stat() and SQLite's data_version.
    void followOutsideChanges();
    OutsideChanges& outsideChanges();

    // A manager window's own record set over one table, already refreshed; null on failure.
    std::unique_ptr<RecordSet> openRecordSet(const QString& table, QString* error = nullptr);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
