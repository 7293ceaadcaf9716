// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MenuWindows.h"

#include "about/frmAbout.h"
#include "core/WindowOpener.h"
#include "mainwindow/MainMenus.h"
#include "options/frmOpzioni.h"
#include "speech/Speaker.h"

#include <QAction>

MenuWindows::MenuWindows(QWidget& window, MainWindowLink& link, const MainMenus& menus, const Services& services)
    : QObject(&window)
{
    auto* about = new WindowOpener(
        link, [&window, &alert = services.alert] { return new frmAbout(AboutServices::desktop(alert), &window); },
        this);
    connect(menus.mnuInfo, &QAction::triggered, about, &WindowOpener::open);
    connect(menus.mnuIcoInfo, &QAction::triggered, about, &WindowOpener::open);

    const frmOpzioni::Services opzioni { services.settings, services.alert, link, services.autostart,
        services.voiceDialog };
    auto* options = new WindowOpener(
        link, [&window, opzioni] { return new frmOpzioni(opzioni, &window); }, this);
    connect(menus.mnuOpzioni, &QAction::triggered, options, &WindowOpener::open);
}
