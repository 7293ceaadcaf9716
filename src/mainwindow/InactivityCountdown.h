// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

class Face;
class SettingsStore;
class Speaker;
class WindowPresence;

// The inactivity countdown tmrIcona: armed by the heartbeat, stopped by any sign of the user.
// When it runs out the assistant falls asleep and, with "Automin", hides.
class InactivityCountdown : public QObject
{
    Q_OBJECT

public:
    InactivityCountdown(
        SettingsStore& settings, Speaker& speaker, Face& face, WindowPresence& window, QObject* parent = nullptr);

    // Starts the countdown unless it is already running: arming never restarts it.
    void arm();
    void stop() { tmrIcona.stop(); }
    // How long the user may be inactive before she falls asleep ("Secondi inatt").
    void setInterval(int ms) { tmrIcona.setInterval(ms); }
    // The countdown runs out: she falls asleep.
    void tmrIconaTimer();

    QTimer tmrIcona;

private:
    SettingsStore& m_settings;
    Speaker& m_speaker;
    Face& m_face;
    WindowPresence& m_window;
};
