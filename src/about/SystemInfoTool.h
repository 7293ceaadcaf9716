// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "about/ProgramLauncher.h"

#include <QString>
#include <QStringList>

// The system-information program behind "System Info...": named by the two registry places of the
// registry class's store if the user put it there, otherwise the first of the well-known Linux
// programs found on the search path.
class SystemInfoTool
{
public:
    // The programs looked for, in order.
    static const QStringList& KnownPrograms();

    SystemInfoTool(QString registryFolder, ProgramLauncher launcher);

    // Starts the program detached. False when none is found or it does not start.
    bool start() const;

    // One text value of the store in registryFolder: KeyName below the root KeyRoot
    // ("HKEY_LOCAL_MACHINE"), value SubKeyRef. False, with KeyVal empty, when the key or the
    // value is missing, the value is not text, or the store cannot be read.
    static bool GetKeyValue(const QString& registryFolder, const QString& KeyRoot, const QString& KeyName,
        const QString& SubKeyRef, QString& KeyVal);

private:
    QString m_registryFolder;
    ProgramLauncher m_launcher;
};
