// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// Tells, a moment after the last write, that the data file was changed, by another program or
// through another record set, so that what the program shows can be read afresh.
class DataFileWatch : public QObject
{
    Q_OBJECT

public:
    explicit DataFileWatch(const QString& path, QObject* parent = nullptr);

signals:
    void changed();

private:
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};
