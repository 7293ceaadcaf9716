// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AgendaTestData.h"
#include "FakeClipboardText.h"
#include "FakeClock.h"
#include "FakeMessageBoxes.h"
#include "FakeTrayIcon.h"
#include "SpeechRig.h"
#include "agenda/AgendaHeartbeat.h"
#include "agenda/AgendaPage.h"
#include "core/Alert.h"
#include "core/ScreenReader.h"
#include "core/SettingsStore.h"
#include "datafile/AgendaData.h"
#include "mainwindow/ExitRoutine.h"
#include "mainwindow/Face.h"
#include "mainwindow/InactivityCountdown.h"
#include "mainwindow/frmArriv.h"
#include "options/AutostartEntry.h"

#include <QTemporaryDir>
#include <memory>

// The main window over a fresh data file (rows go in through `file` before start()), a settings
// file, a fake clock, the fake voice, recorded boxes and a notification area the test controls.
struct MainWindowRig
{
    struct Options
    {
        bool quiet = true; // options of an earlier run with no greeting, so tests hear what comes after
        bool load = true; // run the start-up, to the end of what follows the first frame
        bool heartbeat = false; // leave tmrAgenda1 running; otherwise the test calls tick()
    };

    MainWindowRig()
        : MainWindowRig(Options {})
    {
    }
    explicit MainWindowRig(Options options, const QDateTime& now = QDateTime(QDate(2026, 12, 5), QTime(9, 5)))
        : clock(now)
        , m_options(options)
    {
        if (!options.quiet)
            return;
        set("Carica avvio", QStringLiteral("0"));
        set("Tipo iniziale", QStringLiteral("Nessuno"));
        set("Tipo finale", QStringLiteral("Standard"));
    }

    void set(const char* key, const QString& value) { settings.save(QString::fromUtf8(key), value); }

    // How the options window opens the voice dialog; none by default, as without a choice of voices.
    std::function<void(QWidget* owner, const QString& title)> voiceDialog;

    // Opens the data file and builds the window.
    bool start()
    {
        if (!data.open())
            return false;
        window = std::make_unique<frmArriv>(MainWindowServices {
            clock, settings, speech.speaker, alert, data, tray, clipboard, autostart, voiceDialog });
        if (!m_options.heartbeat)
            window->heartbeat().tmrAgenda1.stop();
        if (m_options.load) {
            window->load();
            window->finishStart(); // in the program, right after the first frame
        }
        return true;
    }

    // What a manager window does after a change: reopen the main record sets, force a reload.
    void dataChanged()
    {
        window->tableChanged(MainWindowLink::Table::Appuntamenti);
        window->tableChanged(MainWindowLink::Table::Promemoria);
    }

    // One heartbeat with the clock at this time of day.
    void tickAt(const QTime& time)
    {
        clock.set(time);
        window->heartbeat().tick();
    }

    QStringList boxTexts() const
    {
        QStringList texts;
        for (const auto& box : boxes.shown)
            texts.append(box.text);
        return texts;
    }

    template <typename T = QWidget> T* child(const char* name) const
    {
        return window->findChild<T*>(QLatin1String(name));
    }
    QWidget* widget(const char* name) const { return child(name); }
    QAction* action(const char* name) const { return child<QAction>(name); }
    QTimer* timer(const char* name) const
    {
        const QLatin1String n(name);
        return n == QLatin1String("Timer2")    ? window->exitRoutine().findChild<QTimer*>(n)
            : n == QLatin1String("tmrIcona")   ? &window->countdown().tmrIcona
            : n == QLatin1String("tmrAgenda1") ? &window->heartbeat().tmrAgenda1
                                               : window->face().findChild<QTimer*>(n);
    }
    Face& face() const { return window->face(); }
    bool eyesClosed() const { return !widget("Image4")->isHidden() && !widget("Image5")->isHidden(); }
    bool eyesOpen() const { return widget("Image4")->isHidden() && widget("Image5")->isHidden(); }
    // Shown as the user means it: on screen, not minimised.
    bool shown() const { return window->isVisible() && !window->isMinimized(); }

    AgendaTestData file;
    QTemporaryDir settingsDir;
    QString settingsPath = settingsDir.filePath(QStringLiteral("Vespelinda.conf"));
    SettingsStore settings { settingsPath };
    FakeClock clock;
    SpeechRig speech;
    FakeMessageBoxes boxes;
    ScreenReader screenReader; // none running until a test says so
    Alert alert { settings, speech.speaker, boxes, &screenReader };
    FakeTrayIcon tray;
    FakeClipboardText clipboard;
    AutostartEntry autostart { settingsDir.filePath(QStringLiteral("autostart")), settingsDir.path() };
    AgendaData data { file.path };
    std::unique_ptr<frmArriv> window;

private:
    Options m_options;
};
