// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/VoiceSettings.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString Engine = QStringLiteral("Voce/Motore");
const QString Name = QStringLiteral("Voce/Voce");
const QString Rate = QStringLiteral("Voce/Velocita");
const QString Pitch = QStringLiteral("Voce/Tono");
const QString Volume = QStringLiteral("Voce/Volume");

// A folder, a named pipe or a device in the file's place is never opened: a pipe would block.
bool usable(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

int number(const QSettings& settings, const QString& key, int min, int max)
{
    bool ok = false;
    const int value = settings.value(key).toString().trimmed().toInt(&ok);
    return ok && value >= min && value <= max ? value : 100;
}
} // namespace

VoiceSettings::VoiceSettings(const QString& iniPath)
    : m_path(iniPath)
{
}

Voice VoiceSettings::read() const
{
    Voice voice;
    if (!usable(m_path))
        return voice;
    // One QSettings per read: this is called from the synthesis thread and the dialog alike.
    const QSettings settings(m_path, QSettings::IniFormat);
    voice.engine = settings.value(Engine).toString().trimmed();
    voice.name = settings.value(Name).toString().trimmed();
    voice.rate = number(settings, Rate, MinRate, MaxRate);
    voice.pitch = number(settings, Pitch, MinPitch, MaxPitch);
    voice.volume = number(settings, Volume, MinVolume, MaxVolume);
    return voice;
}

void VoiceSettings::write(const Voice& voice)
{
    if (!usable(m_path))
        return;
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(Engine, voice.engine);
    settings.setValue(Name, voice.name);
    settings.setValue(Rate, QString::number(voice.rate));
    settings.setValue(Pitch, QString::number(voice.pitch));
    settings.setValue(Volume, QString::number(voice.volume));
    settings.sync();
}
