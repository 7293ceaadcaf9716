// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

class Face;
class SettingsStore;
class Speaker;

// The one way out: the farewell the user chose, then the closing countdown Timer2 (a wink at
// 1.2 s, the eye open again at 1.4 s, the unload at 1.8 s).
class ExitRoutine : public QObject
{
    Q_OBJECT

public:
    ExitRoutine(SettingsStore& settings, Speaker& speaker, Face& face, QObject* parent = nullptr);

    // Says goodbye; the countdown starts once the farewell itself has been spoken.
    void esci();
    // One step of the closing countdown.
    void Timer2Timer();
    // The window has unloaded: nothing more happens.
    void finish();

    // While true, a request to close the main window becomes the exit routine.
    bool intercettaChiusura = true;
    // The farewell has been queued: blinking has halted and the exit cannot be called off.
    bool congedoInCorso = false;
    int contaChiusura = 0;
    QTimer Timer2;

signals:
    // The countdown has run out: the main window unloads.
    void unloadRequested();

private:
    void startCountdown();
    void speechProgress(quint64 id);

    SettingsStore& m_settings;
    Speaker& m_speaker;
    Face& m_face;
    quint64 m_farewell = 0; // the identity of the last farewell queued
    bool m_finished = false;
};
