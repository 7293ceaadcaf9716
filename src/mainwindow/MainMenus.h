// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAction;
class QMenu;
class QWidget;

// The two pop-up menus: mnuPrinc, opened on the face, and mnuIcona, the notification-area icon's.
// The main window connects their items.
struct MainMenus
{
    explicit MainMenus(QWidget& window);

    QMenu* mnuPrinc = nullptr;
    QAction* mnuEsci = nullptr;
    QAction* mnuInfo = nullptr;
    QAction* mnuOpzioni = nullptr;
    QAction* mnuRiduci = nullptr;
    QAction* mnuNascondi = nullptr; // checked while the window is folded

    QMenu* mnuIcona = nullptr;
    QAction* mnuIcoEsci = nullptr;
    QAction* mnuIcoVisualizza = nullptr;
    QAction* mnuIcoInfo = nullptr;
};
