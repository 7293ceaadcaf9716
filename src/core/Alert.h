// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class MessageBoxService;
class ScreenReader;
class SettingsStore;
class Speaker;
class QWidget;

// The one way the program warns, asks yes or no, or reports an error: the spoken text is said
// when "Leggi errore" is "1" (read afresh every time), then a modal box shows the other text.
// While a screen reader is running it reads the box, so the text is not spoken as well.
class Alert
{
public:
    Alert(SettingsStore& settings, Speaker& speaker, MessageBoxService& boxes,
        const ScreenReader* screenReader = nullptr);

    // The box belongs to `parent` (none: a box of its own) and is titled "Vespelinda" unless told.
    int operator()(QWidget* parent, const QString& spoken, const QString& shown, int style,
        const QString& title = QStringLiteral("Vespelinda")) const;
    // What the agenda announces and reads out: `spoken` is said whatever "Leggi errore" says,
    // unless a screen reader is running, which reads the box; then the box shows `shown`.
    int announce(QWidget* parent, const QString& spoken, const QString& shown, int style, const QString& title) const;

private:
    SettingsStore& m_settings;
    Speaker& m_speaker;
    MessageBoxService& m_boxes;
    const ScreenReader* m_screenReader;

    enum class Say
    {
        Not,
        Normal,
        Announcement
    };
    // Speaks unless a screen reader reads the box, then shows it.
    int sayAndShow(
        Say say, QWidget* parent, const QString& spoken, const QString& shown, int style, const QString& title) const;
};
