// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class Alert;
class AutostartEntry;
class MainWindowLink;
class SettingsStore;
class Speaker;
class QWidget;
struct MainMenus;

// The secondary windows the pop-up menus open: the About window ("Info" in either menu) and the
// options window ("Opzioni", from which the voice dialog opens), each made on first use and brought forward when open.
class MenuWindows : public QObject
{
    Q_OBJECT

public:
    struct Services
    {
        SettingsStore& settings;
        Alert& alert;
        AutostartEntry& autostart;
        Speaker& speaker;
    };

    MenuWindows(QWidget& window, MainWindowLink& link, const MainMenus& menus, const Services& services);
};
