// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Alert.h"

#include "core/MessageBoxService.h"
#include "core/ScreenReader.h"
#include "core/SettingsStore.h"
#include "speech/Speaker.h"

Alert::Alert(SettingsStore& settings, Speaker& speaker, MessageBoxService& boxes, const ScreenReader* screenReader)
    : m_settings(settings)
    , m_speaker(speaker)
    , m_boxes(boxes)
    , m_screenReader(screenReader)
{
}

bool Alert::boxesAreRead() const { return m_screenReader && m_screenReader->present(); }

int Alert::operator()(
    QWidget* parent, const QString& spoken, const QString& shown, int style, const QString& title) const
{
    if (m_settings.leggiErrore() && !boxesAreRead())
        m_speaker.Speak(spoken);
    return m_boxes.show(parent, shown, style, title);
}
