// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/TrayIcon.h"

#include <QMenu>
#include <QPointer>
#include <QStringList>

// A notification area the test controls: it can be missing, and clicks are the test's.
class FakeTrayIcon final : public TrayIcon
{
    Q_OBJECT

public:
    using TrayIcon::TrayIcon;

    bool isAvailable() const override { return available; }
    void setIcon(const QIcon& icon) override { hasIcon = !icon.isNull(); }
    void setToolTip(const QString& tip) override
    {
        m_tip = tip;
        tips.append(tip);
    }
    QString toolTip() const override { return m_tip; }
    void setContextMenu(QMenu* menu) override { m_menu = menu; }
    void show() override { m_visible = true; }
    void hide() override { m_visible = false; }
    bool isVisible() const override { return m_visible; }

    void leftClick() { emit clicked(Click::Left); }
    // As the desktop does: the icon's menu opens, then the click is reported.
    void rightClick()
    {
        if (m_menu)
            m_menu->popup(QPoint(0, 0));
        emit clicked(Click::Right);
    }
    void doubleClick() { emit clicked(Click::Other); }

    QMenu* contextMenu() const { return m_menu; }

    bool available = true;
    bool hasIcon = false;
    QStringList tips; // every tip set, in order

private:
    QString m_tip;
    QPointer<QMenu> m_menu;
    bool m_visible = false;
};
