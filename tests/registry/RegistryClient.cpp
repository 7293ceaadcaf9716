// SPDX-License-Identifier: GPL-3.0-or-later
// Another program on the same registry store: RegistryClient <store folder> <prefix> <count>
// writes <count> numbers named <prefix>0, <prefix>1, ... under HKEY_CURRENT_USER.
#include "registry/clsEasyRegistry.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    clsEasyRegistry reg(args.value(1));
    reg.Cd(QStringLiteral("HKEY_CURRENT_USER"));
    for (int i = 0; i < args.value(3).toInt(); ++i)
        reg.ValueOf(args.value(2) + QString::number(i), clsEasyRegistry::STRING, QString::number(i));
    return 0;
}
