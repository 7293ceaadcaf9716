// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileFixture.h"
#include "FakeClock.h"
#include "FakeMessageBoxes.h"
#include "FakeTrayIcon.h"
#include "SpeechRig.h"
#include "core/AgendaData.h"
#include "core/Alert.h"
#include "core/SettingsStore.h"
#include "mainwindow/Face.h"
#include "mainwindow/frmArriv.h"

#include <QMenu>
#include <QTemporaryDir>
#include <memory>

// The main window over a fresh data file, stored options, a fake clock, the fake voice, recorded
// boxes and a notification area the test controls. The heartbeat is stopped: tests call tick().
struct WindowRig
{
    WindowRig()
    {
        dataPath = DataFileFixture::create(dir.path());
        // No greeting by default: the tests listen for what comes after.
        settings.save(QStringLiteral("Carica avvio"), QStringLiteral("0"));
        settings.save(QStringLiteral("Tipo iniziale"), QStringLiteral("Nessuno"));
        settings.save(QStringLiteral("Tipo finale"), QStringLiteral("Standard"));
    }

    void set(const char* key, const QString& value) { settings.save(QString::fromUtf8(key), value); }

    // Builds the window and runs its start-up.
    bool load()
    {
        data = std::make_unique<AgendaData>(dataPath);
        if (!data->open())
            return false;
        window = std::make_unique<frmArriv>(
            MainWindowServices { clock, settings, speech.speaker, boxes, alert, *data, tray });
        window->tmrAgenda1.stop();
        window->load();
        return true;
    }

    template <typename T> T* child(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }
    QWidget* widget(const char* name) const { return child<QWidget>(name); }
    QAction* action(const char* name) const { return child<QAction>(name); }
    QTimer* timer(const char* name) const { return child<QTimer>(name); }
    Face* face() const { return child<Face>("face"); }
    bool eyesClosed() const { return !widget("Image4")->isHidden() && !widget("Image5")->isHidden(); }
    bool eyesOpen() const { return widget("Image4")->isHidden() && widget("Image5")->isHidden(); }
    // Shown as the user means it: on screen, not minimised.
    bool shown() const { return window->isVisible() && !window->isMinimized(); }

    QTemporaryDir dir;
    QString dataPath;
    SettingsStore settings { dir.filePath(QStringLiteral("Vespelinda.conf")) };
    FakeClock clock { QDateTime(QDate(2026, 12, 5), QTime(9, 5)) };
    SpeechRig speech;
    FakeMessageBoxes boxes;
    Alert alert { settings, speech.speaker, boxes };
    FakeTrayIcon tray;
    std::unique_ptr<AgendaData> data;
    std::unique_ptr<frmArriv> window;
};
