// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the pages and the secondary windows may ask of the main window, which implements it.
// Nothing but the main window itself includes the main window's header.
class MainWindowLink
{
public:
    enum class Table
    {
        Appuntamenti,
        Promemoria,
        Rubrica
    };

    virtual ~MainWindowLink() = default;

    // True while a secondary window is open or an address-book entry is being typed: the
    // assistant does not fall asleep meanwhile.
    virtual bool finestraAperta() const = 0;
    virtual void setFinestraAperta(bool open) = 0;

    // A table was changed through another record set: the main window reopens its own record set
    // of that table and, for appointments and reminders, reloads today's agenda at the next tick.
    virtual void tableChanged(Table table) = 0;

    // The user is active: the inactivity countdown stops (the next heartbeat arms it afresh).
    virtual void stopInactivityCountdown() = 0;
    // A new inactivity interval; a running countdown keeps running.
    virtual void setInactivityInterval(int ms) = 0;
};
