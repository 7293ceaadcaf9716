// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: writes the program's icon for the desktop's icon theme as
// <folder>/<size>x<size>/apps/<name>.png for each size given.
//   vespelinda-render-icons FOLDER NAME SIZE...
#include "mainwindow/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: %s FOLDER NAME SIZE...\n", argv[0]);
        return 2;
    }
    for (const QString& text : args.mid(3)) {
        const int size = text.toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(folder, args[2]);
        if (size <= 0 || !QDir().mkpath(folder) || !appIconImage(size).save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
