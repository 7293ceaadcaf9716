// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <QWidget>

class AgendaData;
class Alert;
class Clock;
class MessageBoxService;
class QFrame;
class QTabBar;
class SettingsStore;
class Speaker;

// What the main window is given by main() (and by tests): every source of time, speech,
// boxes and settings comes from outside.
struct MainWindowServices
{
    Clock& clock;
    SettingsStore& settings;
    Speaker& speaker;
    MessageBoxService& boxes;
    Alert& alert;
    AgendaData& data;
};

// The main window: the face above, four pages below, and everything that lives for the whole run.
class frmArriv : public QWidget
{
    Q_OBJECT

public:
    explicit frmArriv(const MainWindowServices& services, QWidget* parent = nullptr);
    ~frmArriv() override;

    // The start-up: run once, before the window is first shown. Shows the window unless the
    // user wants it to start hidden.
    void load();

    // The face wakes up: eyes open and blinking, the inactivity countdown stopped.
    void wakeUp();

    // Window-level state shared with the pages and the secondary windows.
    QString giornoAgenda;
    bool finestraAperta = false;
    bool intercettaChiusura = true;
    bool congedoInCorso = false;
    int contaBattito = 0;
    int contaChiusura = 0;

    QTimer tmrIcona; // inactivity countdown

    static constexpr auto Title = "Vespelinda";

private:
    void buildPages();
    void showPage(int index);
    void speakInitialMessage();

    Clock& m_clock;
    SettingsStore& m_settings;
    Speaker& m_speaker;
    MessageBoxService& m_boxes;
    Alert& m_alert;
    AgendaData& m_data;

    QTabBar* m_tabStrip = nullptr;
    QFrame* m_pages[4] = {};
};
