// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QIcon;
class QMenu;

// The program's icon in the desktop's notification area. The main window reaches it only
// through this, so that it can be tested where no notification area exists.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    enum class Click
    {
        Left,
        Right,
        Other
    };
    Q_ENUM(Click)

    using QObject::QObject;

    // The desktop has a notification area right now.
    virtual bool isAvailable() const = 0;

    virtual void setIcon(const QIcon& icon) = 0;
    virtual void setToolTip(const QString& tip) = 0;
    virtual QString toolTip() const = 0;
    // Opened by the notification area itself on a right click.
    virtual void setContextMenu(QMenu* menu) = 0;

    // Puts the icon in the notification area, or as soon as one appears.
    virtual void show() = 0;
    // Takes it away.
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;

signals:
    // A mouse button pressed on the icon.
    void clicked(TrayIcon::Click click);
};
