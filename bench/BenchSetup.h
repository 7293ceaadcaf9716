// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the benchmarks that build windows over a full data file share: the offscreen start, the
// arguments, a data file in a temporary folder filled in one transaction, and the median.
#include "DataFileFixture.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace Bench {

// Before the QApplication: offscreen unless QT_QPA_PLATFORM says otherwise.
inline int& offscreenUnlessTold(int& argc)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

// The application of a benchmark: offscreen unless told, settings and data in test folders.
class Application : public QApplication
{
public:
    Application(int& argc, char* argv[])
        : QApplication(offscreenUnlessTold(argc), argv)
    {
        QStandardPaths::setTestModeEnabled(true);
    }
};

// The index-th argument as a number of at least `least`, or `fallback` when it is not given.
inline int argument(int argc, char* argv[], int index, int fallback, int least)
{
    return argc > index ? std::max(least, std::atoi(argv[index])) : fallback;
}

// Makes the data file in `folder` and fills it with `insert`, in one transaction. Returns its path,
// or an empty string after saying why on stderr.
inline QString dataFile(const QString& folder, const std::function<bool(QSqlQuery&)>& insert)
{
    QString error;
    const QString path = DataFileFixture::create(folder, &error);
    bool ok = !path.isEmpty();
    if (ok) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-fill"));
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        {
            QSqlQuery query(db);
            ok = ok && insert(query);
        }
        ok = ok && db.commit();
        if (!ok && error.isEmpty())
            error = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-fill"));
    if (ok)
        return path;
    std::fprintf(stderr, "cannot make the data file: %s\n", qPrintable(error));
    return {};
}

inline double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

} // namespace Bench
