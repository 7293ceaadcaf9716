// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/TrayPresence.h"

#include <QWidget>

namespace {
const char* const TipShown = "Vespelinda - Click per minimizzare";
const char* const TipHidden = "Vespelinda - Click per visualizzare";
} // namespace

TrayPresence::TrayPresence(QWidget& window, TrayIcon& tray, QMenu* menu)
    : QObject(&window)
    , m_window(window)
    , m_tray(tray)
{
    m_tray.setContextMenu(menu);
    connect(&m_tray, &TrayIcon::clicked, this, [this](TrayIcon::Click click) {
        if (click != TrayIcon::Click::Left)
            return;
        toggleWindow();
        updateTip();
    });
}

bool TrayPresence::windowShown() const { return m_window.isVisible() && !m_window.isMinimized(); }

void TrayPresence::showWindow()
{
    if (m_window.isMinimized())
        m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    // Comes back where it was, without taking the focus from the user's work.
    m_window.setAttribute(Qt::WA_ShowWithoutActivating);
    m_window.show();
    m_window.setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void TrayPresence::hideWindow()
{
    if (m_tray.isAvailable())
        m_window.hide();
    else
        m_window.showMinimized();
}

void TrayPresence::toggleWindow()
{
    if (windowShown())
        hideWindow();
    else
        showWindow();
}

void TrayPresence::updateTip(bool shown) { m_tray.setToolTip(QString::fromUtf8(shown ? TipShown : TipHidden)); }
