// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "about/ProgramLauncher.h"

#include <QUrl>
#include <QWidget>
#include <functional>

class Alert;
class QPushButton;

// What the About window uses of the program and the desktop.
struct AboutServices
{
    Alert& alert;
    QString registryFolder; // the registry class's store, where the system-information tool may be named
    ProgramLauncher launcher;
    std::function<bool(const QUrl&)> openUrl; // true when the desktop took the address

    // The program's own: the per-user registry store, PATH, the desktop's default handlers.
    static AboutServices desktop(Alert& alert);
};

// "Informazioni su Vespelinda": the program's name, version and makers, two links to them and the
// button that starts the system-information program. Modeless; OK, Enter and Esc close it.
class frmAbout : public QWidget
{
    Q_OBJECT

public:
    explicit frmAbout(AboutServices services, QWidget* parent = nullptr);

    // "System Info...": starts the system-information program, or says that there is none.
    void StartSysInfo();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openLink(const QUrl& url);

    AboutServices m_services;
    QPushButton* m_cmdOK = nullptr;
};
