// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/ProgramLauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

ProgramLauncher::ProgramLauncher()
    : ProgramLauncher(qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts))
{
}

ProgramLauncher::ProgramLauncher(QStringList searchPath)
    : m_searchPath(std::move(searchPath))
{
}

QString ProgramLauncher::find(const QString& name) const
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return {};
    for (const QString& folder : m_searchPath) {
        const QFileInfo file(QDir(folder), name);
        if (file.isFile() && file.isExecutable())
            return file.absoluteFilePath();
    }
    return {};
}

bool ProgramLauncher::start(const QString& program) const
{
    const QString path = QDir::isAbsolutePath(program) ? program : find(program);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || !file.isExecutable())
        return false;
    return QProcess::startDetached(path, {});
}
