// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAction;
class QMenu;
class QPoint;
class QWidget;

// The two pop-up menus: mnuPrinc, opened on the face, and mnuIcona, the notification-area icon's.
// The main window connects their items.
struct MainMenus
{
    explicit MainMenus(QWidget& window);

    // The main menu opened from the keyboard (the face, the menu key, Shift+F10), on its first item
    // so that a screen reader says where the user is and the arrows start there.
    void openMainFromKeyboard(const QPoint& at) const;

    QMenu* mnuPrinc = nullptr;
    QAction* mnuEsci = nullptr;
    QAction* mnuInfo = nullptr;
    QAction* mnuOpzioni = nullptr;
    QAction* mnuImporta = nullptr; // a calendar or an address book, from a file
    QAction* mnuEsporta = nullptr;
    QAction* mnuRiduci = nullptr;
    QAction* mnuNascondi = nullptr; // checked while the window is folded

    QMenu* mnuIcona = nullptr;
    QAction* mnuIcoEsci = nullptr;
    QAction* mnuIcoVisualizza = nullptr;
    QAction* mnuIcoInfo = nullptr;
};
