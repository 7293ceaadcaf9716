// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

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
        // Opens the voice dialog; empty where the engine offers no choice of voices.
        std::function<void(QWidget* owner, const QString& title)> voiceDialog;
    };

    MenuWindows(QWidget& window, MainWindowLink& link, const MainMenus& menus, const Services& services);
};
