// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// Starting with the system: the desktop's autostart entry Vespelinda.desktop (XDG autostart),
// whose Exec line starts the program's own executable in the program's folder. Saving the options
// registers it or removes it with the state of chkAvvio.
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
    QString executable() const;

    // Registers for a checked chkAvvio, removes otherwise. The result is the reason a registration
    // failed, naming the file; removing never fails.
    std::optional<QString> update(bool chkAvvio);
    // Writes the entry with the current program folder, replacing any earlier one. An entry the user
    // switched off (Hidden=true, X-GNOME-Autostart-enabled=false) stays switched off.
    std::optional<QString> registerEntry();
    void remove();

private:
    QString m_folder;
    QString m_programFolder;
};
