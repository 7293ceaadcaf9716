// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/SessionWatcher.h"

#include "mainwindow/frmArriv.h"

#include <QCoreApplication>
#include <QEvent>

SessionWatcher::SessionWatcher(frmArriv& window)
    : m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool SessionWatcher::eventFilter(QObject* watched, QEvent* event)
{
    // The program itself ends with exit(), never with quit(): a quit comes from outside.
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        m_window.endSession();
    return QObject::eventFilter(watched, event);
}
