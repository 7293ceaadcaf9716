// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/DayAgenda.h"
#include "mainwindow/TrayIcon.h"

#include <QTimer>
#include <QWidget>

class AgendaData;
class AgendaPage;
class Alert;
class Clock;
class Face;
class MessageBoxService;
class QAction;
class QFrame;
class QMenu;
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
    TrayIcon& tray;
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

    // The exit routine: the farewell, then the closing countdown unloads the window.
    void esci();
    // The desktop is ending the session: unload at once, without holding it up.
    void endSession();

    // Shown means visible and not minimised. Where the desktop has no notification area, hiding
    // minimises to the task bar instead, so that the user can always get the window back.
    bool windowShown() const;
    void showWindow();
    void hideWindow();

    // Timer handlers, also run by tests with the clock set.
    void tmrIconaTimer(); // falls asleep
    void Timer2Timer(); // closing countdown step

    // Window-level state shared with the pages and the secondary windows.
    QString giornoAgenda;
    bool finestraAperta = false;
    bool intercettaChiusura = true;
    bool congedoInCorso = false;
    int contaBattito = 0;
    int contaChiusura = 0;

    QTimer tmrIcona; // inactivity countdown

    // Agenda: today's timeline and the heartbeat that announces what falls due.
    void accendi(const QString& AoP, const QString& Ora);
    void caricaOggi();
    void tick(); // tmrAgenda1's handler
    const DayAgenda& agendaOggi() const { return m_agendaOggi; }
    QTimer tmrAgenda1;

    static constexpr auto Title = "Vespelinda";

signals:
    // The window has unloaded for good: the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

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

    // Face, notification area, sleep and farewell
    void setUpFaceAndTray();
    void buildMenus();
    void trayClicked(TrayIcon::Click click);
    void toggleWindow();
    void fold(bool folded);
    void speechProgress();
    void unload();
    TrayIcon& m_tray;
    Face* m_face = nullptr;
    QTimer* m_timer2 = nullptr;
    QMenu* m_mnuPrinc = nullptr;
    QMenu* m_mnuIcona = nullptr;
    QAction* m_mnuNascondi = nullptr;
    bool m_unloaded = false;

    // Agenda
    void setUpAgenda();
    void announce(const VoceAgenda& voce);
    DayAgenda m_agendaOggi;
    AgendaPage* m_agendaPage = nullptr;
    bool m_announcing = false; // an announcement's box is open
};
