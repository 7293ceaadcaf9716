// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Alert.h"

#include "core/MessageBoxService.h"
#include "core/SettingsStore.h"
#include "speech/Speaker.h"

Alert::Alert(SettingsStore& settings, Speaker& speaker, MessageBoxService& boxes)
    : m_settings(settings)
    , m_speaker(speaker)
    , m_boxes(boxes)
{
}

int Alert::operator()(
    QWidget* parent, const QString& spoken, const QString& shown, int style, const QString& title) const
{
    if (m_settings.leggiErrore())
        m_speaker.Speak(spoken);
    return m_boxes.show(parent, shown, style, title);
}
