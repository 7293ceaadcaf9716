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

int Alert::operator()(
    QWidget* parent, const QString& spoken, const QString& shown, int style, const QString& title) const
{
    return sayAndShow(m_settings.leggiErrore() ? Say::Normal : Say::Not, parent, spoken, shown, style, title);
}

int Alert::announce(QWidget* parent, const QString& spoken, const QString& shown, int style, const QString& title) const
{
    return sayAndShow(Say::Announcement, parent, spoken, shown, style, title);
}

int Alert::sayAndShow(
    Say say, QWidget* parent, const QString& spoken, const QString& shown, int style, const QString& title) const
{
    if (say != Say::Not && !(m_screenReader && m_screenReader->present()))
        m_speaker.Speak(spoken, Speaker::Lane::Voice,
            say == Say::Announcement ? Speaker::Urgency::Announcement : Speaker::Urgency::Normal);
    return m_boxes.show(parent, shown, style, title);
}
