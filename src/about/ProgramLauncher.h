// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Finds programs in a list of folders and starts them detached, so that they outlive the window
// and the program that started them.
class ProgramLauncher
{
public:
    // The folders of PATH.
    ProgramLauncher();
    explicit ProgramLauncher(QStringList searchPath);

    // The absolute path of the executable file `name` in the first folder that has one, or "".
    QString find(const QString& name) const;
    // Starts the program (an absolute path, or a name looked up with find()) without arguments.
    // False when there is no such program or it could not be started.
    bool start(const QString& program) const;

private:
    QStringList m_searchPath;
};
