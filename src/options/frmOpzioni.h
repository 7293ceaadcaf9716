// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>

class Alert;
class AutostartEntry;
class MainWindowLink;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SettingsStore;

// The options window: every option of the settings store, loaded when the window is made and
// written back only by "&OK". Modeless; the main window opens it through a WindowOpener.
class frmOpzioni : public QDialog
{
    Q_OBJECT

public:
    // Opens the speech engine's voice settings, owned by that window, with that title.
    using VoiceDialog = std::function<void(QWidget* owner, const QString& title)>;

    struct Services
    {
        SettingsStore& settings;
        const Alert& alert;
        MainWindowLink& link; // the running inactivity countdown takes the new interval
        AutostartEntry& autostart;
        VoiceDialog voiceDialog;
    };

    explicit frmOpzioni(Services services, QWidget* parent = nullptr);

    // The seconds of inactivity the window accepts: a whole number from 15 to 60, in digits only.
    static bool secondsAccepted(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void load();
    void save();
    // Warns and puts the focus back when txtSecIn holds no accepted number; true when it does.
    bool checkSecIn();

    SettingsStore& m_settings;
    const Alert& m_alert;
    MainWindowLink& m_link;
    AutostartEntry& m_autostart;
    VoiceDialog m_voiceDialog;

    QGroupBox* Frame2 = nullptr;
    QRadioButton* optIniNessuno = nullptr;
    QRadioButton* optIniData = nullptr;
    QRadioButton* optIniPers = nullptr;
    QLineEdit* txtIniPers = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* optFineNessuno = nullptr;
    QRadioButton* optFineStd = nullptr;
    QRadioButton* optFinePers = nullptr;
    QLineEdit* txtFinePers = nullptr;
    QCheckBox* chkAvvio = nullptr;
    QCheckBox* chkIcona = nullptr;
    QCheckBox* chkLeggiErr = nullptr;
    QGroupBox* Frame1 = nullptr;
    QCheckBox* chkAutomin = nullptr;
    QCheckBox* chkMessMin = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtSecIn = nullptr;
    QPushButton* cmdVoce = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
};
