// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AgendaTestData.h"
#include "FakeClock.h"
#include "FakeMessageBoxes.h"
#include "FakeTrayIcon.h"
#include "SpeechLogSpy.h"
#include "SpeechRig.h"
#include "core/AgendaData.h"
#include "core/Alert.h"
#include "core/SettingsStore.h"
#include "mainwindow/frmArriv.h"

#include <memory>

// The main window over a test data file, a fake clock, the fake voice, recorded boxes and a
// notification area that is there.
// Its heartbeat timer is stopped: the test calls tick() with the clock where it wants it.
struct MainWindowRig
{
    explicit MainWindowRig(const QDateTime& now)
        : clock(now)
    {
    }

    // Opens the data file (with the rows added so far) and builds the window.
    bool open()
    {
        if (!data.open())
            return false;
        window = std::make_unique<frmArriv>(
            MainWindowServices { clock, settings, speech.speaker, boxes, alert, data, tray });
        window->tmrAgenda1.stop();
        return true;
    }

    // What a manager window does after a change: reopen the main record sets, force a reload.
    void dataChanged()
    {
        data.dtaAppun().Refresh();
        data.dtaProm().Refresh();
        window->giornoAgenda.clear();
    }

    QList<QString> boxTexts() const
    {
        QList<QString> texts;
        for (const auto& box : boxes.shown)
            texts.append(box.text);
        return texts;
    }

    AgendaTestData file;
    QTemporaryDir settingsDir;
    SettingsStore settings { settingsDir.filePath(QStringLiteral("Vespelinda.conf")) };
    FakeClock clock;
    SpeechRig speech;
    SpeechLogSpy spoken;
    FakeMessageBoxes boxes;
    Alert alert { settings, speech.speaker, boxes };
    FakeTrayIcon tray;
    AgendaData data { file.path };
    std::unique_ptr<frmArriv> window;
};
