// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

class Face;
class SettingsStore;
class Speaker;

// The one way out: the farewell the user chose, then the closing countdown Timer2 (a wink at
// 1.2 s, the eye open again at 1.4 s, the unload at 1.8 s). It alone owns the state of the exit:
// the main window asks it (interceptsClose, farewellUnderWay) and never sets it.
class ExitRoutine : public QObject
{
    Q_OBJECT

public:
    ExitRoutine(SettingsStore& settings, Speaker& speaker, Face& face, QObject* parent = nullptr);

    // Says goodbye; the countdown starts once the farewell itself has been spoken.
    void sayGoodbye();
    // One step of the closing countdown.
    void Timer2Timer();
    // The window has unloaded: nothing more happens.
    void finish();

    // A request to close the main window becomes the exit routine.
    bool interceptsClose() const { return intercettaChiusura; }
    // From now on a request to close the main window closes it (the session is ending).
    void allowClose() { intercettaChiusura = false; }
    // The farewell has been queued: blinking has halted and the exit cannot be called off.
    bool farewellUnderWay() const { return congedoInCorso; }
    // How many steps of the countdown have gone by.
    int closingStep() const { return contaChiusura; }
    bool counting() const { return Timer2.isActive(); }

signals:
    // The countdown has run out: the main window unloads.
    void unloadRequested();

private:
    bool intercettaChiusura = true;
    bool congedoInCorso = false;
    int contaChiusura = 0;
    QTimer Timer2 { this }; // a child, so that tests find it by name

    void startCountdown();
    void speechProgress(quint64 id);

    SettingsStore& m_settings;
    Speaker& m_speaker;
    Face& m_face;
    quint64 m_farewell = 0; // the identity of the last farewell queued
    bool m_finished = false;
};
