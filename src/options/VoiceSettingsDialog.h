// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/VoiceEngine.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class Speaker;

// The voice dialog, opened from the options window: engine, voice, speed, pitch and volume, with "Ascolta"
// to hear a sentence with them at once. It never calls an engine itself: the installed voices
// come from the speaker's synthesis thread. "OK" stores the choice for the texts to come.
class VoiceSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr auto Sample = "Ciao, sono Vespelinda. Ti piace questa voce?";

    VoiceSettingsDialog(Speaker& speaker, VoiceEngine& voice, QWidget* owner);
    // Opens the dialog, owned by that window, with that title, as soon as the installed voices are
    // listed. It returns at once; the dialog stores what the user confirms.
    static void open(Speaker& speaker, VoiceEngine& voice, QWidget* owner, const QString& title);
    ~VoiceSettingsDialog() override;

    // What the controls say now.
    Voice chosen() const;

    void accept() override;
    void done(int result) override;

signals:
    // The boxes hold the installed engines and voices.
    void voicesListed();

private:
    void showInstalled(const QList<VoiceEngine::EngineVoices>& installed, const Voice& current);
    void fillVoices(const QString& selected);
    void listen();
    QSlider* addSlider(const char* name, const QString& caption, int min, int max, int value);

    Speaker& m_speaker;
    VoiceEngine& m_voice;
    Voice m_stored;
    QList<VoiceEngine::EngineVoices> m_installed;
    quint64 m_sample = 0;
    QComboBox* m_engine;
    QComboBox* m_voiceName;
    QSlider* m_rate;
    QSlider* m_pitch;
    QSlider* m_volume;
    QPushButton* m_listen;
};
