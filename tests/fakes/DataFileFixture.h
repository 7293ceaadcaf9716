// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Makes a fresh, empty dati.mdb from the repository's schema, for tests that need a data file.
class DataFileFixture
{
public:
    // Creates folder/dati.mdb (replacing any file there) and returns its path; on failure returns
    // an empty string and, when given, the reason in *error.
    static QString create(const QString& folder, QString* error = nullptr);

    // The schema file the build uses for dati.mdb.
    static QString schemaPath();

    // The schema's statements, comments removed, one per entry.
    static QStringList schemaStatements(QString* error = nullptr);
};
