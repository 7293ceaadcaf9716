// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/FirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {
// A window manager may hold a new window back (another desktop, a slow compositor): the rest of
// the start never waits longer than this.
constexpr int LongestWaitMs = 1000;
} // namespace

FirstFrame::FirstFrame(QWidget& window, std::function<void()> then)
    : QObject(&window)
    , m_then(std::move(then))
{
    if (!window.isVisible()) {
        QTimer::singleShot(0, this, &FirstFrame::done);
        return;
    }
    window.installEventFilter(this);
    QTimer::singleShot(LongestWaitMs, this, &FirstFrame::done);
}

bool FirstFrame::eventFilter(QObject* watched, QEvent* event)
{
    // The callback comes once the paint has returned and its frame has been handed over.
    if (event->type() == QEvent::Paint)
        QTimer::singleShot(0, this, &FirstFrame::done);
    return QObject::eventFilter(watched, event);
}

void FirstFrame::done()
{
    if (m_done)
        return;
    m_done = true;
    parent()->removeEventFilter(this);
    m_then();
    deleteLater();
}
