// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// What the agenda's heartbeat needs of the window it lives in.
class AgendaHost
{
public:
    virtual ~AgendaHost() = default;

    // Shown means on screen: visible and not minimised.
    virtual bool windowShown() const = 0;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    // The face wakes up: eyes open and blinking, the inactivity countdown stopped.
    virtual void wakeUp() = 0;
    // The heartbeat's last step: the countdown starts if the window is shown, no secondary window
    // is open and nothing is being said; a running countdown is left as it is.
    virtual void armInactivityCountdown() = 0;
    // The owner of the announcements' boxes.
    virtual QWidget* boxParent() = 0;
};
