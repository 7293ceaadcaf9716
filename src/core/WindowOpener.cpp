// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/WindowOpener.h"

#include "core/MainWindowLink.h"

#include <QEvent>

WindowOpener::WindowOpener(MainWindowLink& link, Factory make, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_make(std::move(make))
{
}

WindowOpener::~WindowOpener()
{
    // Goes with the main window, whose flag it must no longer touch.
    delete m_window;
}

QWidget* WindowOpener::open()
{
    if (!m_window) {
        m_window = m_make();
        if (!m_window) // the factory could not make it, and has said why
            return nullptr;
        m_window->installEventFilter(this);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_link.setFinestraAperta(true);
    return m_window;
}

bool WindowOpener::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window || event->type() != QEvent::Close)
        return QObject::eventFilter(watched, event);
    // The window's own handler first: only a close it accepts is the window's going.
    watched->event(event);
    if (event->isAccepted()) {
        m_window->removeEventFilter(this);
        m_window->deleteLater();
        m_window = nullptr;
        m_link.setFinestraAperta(false);
    }
    return true;
}
