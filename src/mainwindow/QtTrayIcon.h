// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/TrayIcon.h"

#include <QSystemTrayIcon>

class QtTrayIcon final : public TrayIcon
{
    Q_OBJECT

public:
    explicit QtTrayIcon(QObject* parent = nullptr);

    bool isAvailable() const override;
    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& tip) override;
    QString toolTip() const override;
    void setContextMenu(QMenu* menu) override;
    void show() override;
    void hide() override;
    bool isVisible() const override;

private:
    QSystemTrayIcon m_icon;
};
