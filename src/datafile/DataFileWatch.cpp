// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafile/DataFileWatch.h"

DataFileWatch::DataFileWatch(const QString& path, QObject* parent)
    : QObject(parent)
{
    m_watcher.addPath(path);
    // One stored change writes the file several times.
    m_settle.setSingleShot(true);
    m_settle.setInterval(300);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, &DataFileWatch::changed);
}
