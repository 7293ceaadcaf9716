// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/TrayIcon.h"
#include "mainwindow/WindowPresence.h"

#include <QObject>

class QMenu;
class QWidget;

// The main window's presence on screen and its icon in the notification area: a left click on the
// icon hides or shows the window, and the icon's tip says which a click will do.
class TrayPresence : public QObject, public WindowPresence
{
    Q_OBJECT

public:
    TrayPresence(QWidget& window, TrayIcon& tray, QMenu* menu);

    bool windowShown() const override;
    void showWindow() override;
    void hideWindow() override;
    void toggleWindow();
    // The tip for the window as it is now, or as it is about to be.
    void updateTip() { updateTip(windowShown()); }
    void updateTip(bool shown);
    TrayIcon& tray() { return m_tray; }

private:
    QWidget& m_window;
    TrayIcon& m_tray;
};
