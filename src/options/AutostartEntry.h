// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// Starting with the system: the desktop's autostart entry Vespelinda.desktop (XDG autostart),
// whose Exec line starts the installed launcher (bin/vespelinda of the installation, which keeps
// the window on top on a Wayland session), or the program's own executable where the program is
// not installed. Saving the options registers it or removes it with the state of chkAvvio.
class AutostartEntry
{
public:
    // $XDG_CONFIG_HOME/autostart (by default ~/.config/autostart).
    static QString defaultFolder();
    // The folder of the running executable.
    static QString programFolder();
    // The Exec value that starts exactly this executable, quoted and escaped as desktop entries
    // require.
    static QString execValue(const QString& executable);

    AutostartEntry(QString autostartFolder, QString programFolder);

    QString filePath() const;
    // What the entry starts: the launcher of the installation the program folder belongs to, when
    // there is one, else the executable in the program folder.
    QString executable() const;
    // An entry is there, but the desktop (or the user, through it) has switched it off.
    bool isSwitchedOff() const;

    // Registers for a checked chkAvvio, removes otherwise. The result is the reason a registration
    // failed, naming the file; removing never fails.
    std::optional<QString> update(bool chkAvvio);
    // Writes the entry with the current program folder, replacing any earlier one, switched on:
    // the user's last choice in the program wins over a switch-off made elsewhere
    // (Hidden=true, X-GNOME-Autostart-enabled=false).
    std::optional<QString> registerEntry();
    void remove();

private:
    QString m_folder;
    QString m_programFolder;
};
