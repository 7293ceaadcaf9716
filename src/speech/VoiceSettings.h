// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A voice as the user chooses it in the voice dialog.
struct Voice
{
    QString engine; // "Festival" or "espeak-ng"; empty: the most natural one installed
    QString name; // the engine's voice ("lp", "it+f3"); empty: the engine's default
    int rate = 100; // speed, per cent of normal
    int pitch = 100; // per cent of normal
    int volume = 100; // per cent

    bool operator==(const Voice&) const = default;
};

// The voice's settings, kept in the per-user settings file in a section of their own, "Voce".
// Every read asks the file afresh (a change applies from the next text spoken); a missing or
// absurd number reads as its default. Safe to use from any thread.
class VoiceSettings
{
public:
    static constexpr int MinRate = 50, MaxRate = 200;
    static constexpr int MinPitch = 50, MaxPitch = 150;
    static constexpr int MinVolume = 10, MaxVolume = 100;

    explicit VoiceSettings(const QString& iniPath);

    Voice read() const;
    void write(const Voice& voice);

    QString fileName() const { return m_path; }

private:
    QString m_path;
};
