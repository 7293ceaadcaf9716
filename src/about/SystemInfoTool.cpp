// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/SystemInfoTool.h"

#include "registry/clsEasyRegistry.h"

namespace {
const QString LocalMachine = QStringLiteral("HKEY_LOCAL_MACHINE");

QString firstKnownProgram(const ProgramLauncher& launcher)
{
    for (const QString& name : SystemInfoTool::KnownPrograms()) {
        const QString path = launcher.find(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}
} // namespace

const QStringList& SystemInfoTool::KnownPrograms()
{
    static const QStringList names { QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
        QStringLiteral("kinfocenter"), QStringLiteral("cpu-x"), QStringLiteral("gnome-system-monitor") };
    return names;
}

SystemInfoTool::SystemInfoTool(QString registryFolder, ProgramLauncher launcher)
    : m_registryFolder(std::move(registryFolder))
    , m_launcher(std::move(launcher))
{
}

bool SystemInfoTool::start() const
{
    QString value;
    // A program named in the store is the user's choice: if it does not start, that is the answer.
    if (GetKeyValue(m_registryFolder, LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
            QStringLiteral("PATH"), value))
        return m_launcher.start(value);
    QString program;
    if (GetKeyValue(m_registryFolder, LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
            QStringLiteral("MSINFO"), value))
        program = firstKnownProgram(ProgramLauncher({ value }));
    if (program.isEmpty())
        program = firstKnownProgram(m_launcher);
    return !program.isEmpty() && m_launcher.start(program);
}

bool SystemInfoTool::GetKeyValue(const QString& registryFolder, const QString& KeyRoot, const QString& KeyName,
    const QString& SubKeyRef, QString& KeyVal)
{
    KeyVal.clear();
    try {
        clsEasyRegistry registry(registryFolder);
        registry.Cd(QLatin1Char('\\') + KeyRoot + QLatin1Char('\\') + KeyName);
        qint32 type = clsEasyRegistry::STRING;
        const std::optional<RegistryValueRead> read = registry.ValueOf(SubKeyRef, type);
        if (!read || type != clsEasyRegistry::STRING)
            return false;
        KeyVal = read->text;
        return true;
    } catch (const EasyRegistryError&) {
        return false;
    }
}
