// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/QtTrayIcon.h"

QtTrayIcon::QtTrayIcon(QObject* parent)
    : TrayIcon(parent)
{
    // A left press arrives as Trigger, a right press as Context (after Qt has opened the
    // context menu); a double click is DoubleClick and must not toggle the window twice.
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            emit clicked(Click::Left);
            break;
        case QSystemTrayIcon::Context:
            emit clicked(Click::Right);
            break;
        default:
            emit clicked(Click::Other);
            break;
        }
    });
}

bool QtTrayIcon::isAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtTrayIcon::setIcon(const QIcon& icon) { m_icon.setIcon(icon); }

void QtTrayIcon::setToolTip(const QString& tip) { m_icon.setToolTip(tip); }

QString QtTrayIcon::toolTip() const { return m_icon.toolTip(); }

void QtTrayIcon::setContextMenu(QMenu* menu) { m_icon.setContextMenu(menu); }

void QtTrayIcon::show() { m_icon.show(); }

void QtTrayIcon::hide() { m_icon.hide(); }

bool QtTrayIcon::isVisible() const { return m_icon.isVisible(); }
