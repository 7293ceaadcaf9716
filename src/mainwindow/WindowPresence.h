// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's presence on screen. Shown means visible and not minimised; where the desktop
// has no notification area, hiding minimises to the task bar instead, so that the user can always
// get the window back.
class WindowPresence
{
public:
    virtual ~WindowPresence() = default;
    virtual bool windowShown() const = 0;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
};
