// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/AgendaHost.h"
#include "core/MainWindowLink.h"
#include "mainwindow/MainMenus.h"
#include "mainwindow/TrayPresence.h"

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class AgendaData;
class AgendaHeartbeat;
class AgendaPage;
class Alert;
class CalendarioPage;
class ClipboardText;
class AutostartEntry;
class Clock;
class DataTransfer;
class ExitRoutine;
class Face;
class InactivityCountdown;
class LeggiPage;
class PageStrip;
class RubricaPage;
class SettingsStore;
class Speaker;
class TransferDialogs;
struct TransferFormats;

// What the main window is given by main() (and by tests): every source of time, speech,
// boxes and settings comes from outside.
struct MainWindowServices
{
    Clock& clock;
    SettingsStore& settings;
    Speaker& speaker;
    Alert& alert;
    AgendaData& data;
    TrayIcon& tray;
    ClipboardText& clipboard;
    AutostartEntry& autostart;
    // Opens the voice dialog (the options window's "Opzioni voce"); none where the engine offers
    // no choice of voices.
    std::function<void(QWidget* owner, const QString& title)> voiceDialog = {};
    // How the user's files are chosen (none: the desktop's dialogs) and read and written (none:
    // iCalendar and vCard), for importing and exporting.
    TransferDialogs* transferDialogs = nullptr;
    const TransferFormats* transferFormats = nullptr;
};

// The main window: the face above, four pages below. It owns everything that lives for the whole
// run and conducts it; the pages and the secondary windows reach it only as a MainWindowLink.
class frmArriv : public QWidget, public MainWindowLink, public AgendaHost
{
    Q_OBJECT

public:
    explicit frmArriv(const MainWindowServices& services, QWidget* parent = nullptr);
    ~frmArriv() override;

    // The start-up: run once, before the window is first shown. Shows the window unless the
    // user wants it to start hidden.
    void load();
    // The rest of the start-up, which the first frame does not need (the icon, in the window and
    // the notification area, the calendar, the greeting's synthesis): it follows by itself as
    // soon as the window is on screen. Runs once.
    void finishStart();
    bool startFinished() const { return m_started; }

    // The exit routine: the farewell, then the closing countdown unloads the window.
    void exitProgram();
    // The session is really ending: unload at once, without holding it up.
    void endSession();
    // The program was started again: the window comes forward, shown if hidden, and wakes up.
    // False once the farewell has begun: the program is on its way out.
    bool comeForward();
    // Imports the user's files (absolute paths: a later start's, the command line's), once the
    // window is on screen.
    void importFiles(const QStringList& files);

    // AgendaHost
    bool windowShown() const override { return m_presence->windowShown(); }
    void showWindow() override { m_presence->showWindow(); }
    void hideWindow() override { m_presence->hideWindow(); }
    void wakeUp() override;
    void armInactivityCountdown() override;
    QWidget* boxParent() override { return this; }

    // MainWindowLink
    bool finestraAperta() const override { return m_finestraAperta; }
    void setFinestraAperta(bool open) override { m_finestraAperta = open; }
    void tableChanged(Table table) override;
    void stopInactivityCountdown() override;
    void setInactivityInterval(int ms) override;

    AgendaHeartbeat& heartbeat() const { return *m_heartbeat; }
    InactivityCountdown& countdown() const { return *m_countdown; }
    ExitRoutine& exitRoutine() const { return *m_exit; }
    Face& face() const { return *m_face; }
    AgendaPage& agendaPage() const { return *m_agendaPage; }
    PageStrip& pages() const { return *m_pages; }
    DataTransfer& transfer() const { return *m_transfer; }

    static constexpr auto Title = "Vespelinda";

signals:
    // finishStart() has run: the program's icon is ready (windowIcon()).
    void started();
    // The window has unloaded for good: the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fold(bool folded);
    void unload();

    Clock& m_clock;
    SettingsStore& m_settings;
    Speaker& m_speaker;
    AgendaData& m_data;

    bool m_finestraAperta = false;
    bool m_unloaded = false;
    bool m_started = false;
    PageStrip* m_pages = nullptr;
    MainMenus m_menus { *this };

    // Declared in the order they are made; they go in reverse, before the window's widgets.
    std::unique_ptr<TrayPresence> m_presence;
    std::unique_ptr<Face> m_face;
    std::unique_ptr<InactivityCountdown> m_countdown;
    std::unique_ptr<ExitRoutine> m_exit;
    std::unique_ptr<LeggiPage> m_leggiPage;
    std::unique_ptr<CalendarioPage> m_calendarioPage;
    std::unique_ptr<AgendaPage> m_agendaPage;
    std::unique_ptr<AgendaHeartbeat> m_heartbeat;
    std::unique_ptr<RubricaPage> m_rubricaPage;
    std::unique_ptr<TransferDialogs> m_desktopDialogs; // when none are given
    std::unique_ptr<DataTransfer> m_transfer;
};
