// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for bench/startup.sh: a bare Qt Widgets window of the main window's size, always
// on top like it, with nothing inside. Start-up time and idle memory are compared with this.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Vespelinda"));
    window.setWindowFlag(Qt::WindowStaysOnTopHint);
    window.setFixedSize(228, 528);
    window.show();
    return app.exec();
}
