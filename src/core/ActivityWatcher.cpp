// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ActivityWatcher.h"

#include "core/MainWindowLink.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QVariant>

namespace {
const char* const KeysProperty = "vespelindaWatchKeys";
const char* const SurfaceProperty = "vespelindaWatchSurface";
} // namespace

ActivityWatcher::ActivityWatcher(MainWindowLink& link, QObject* parent)
    : QObject(parent)
    , m_link(link)
{
}

void ActivityWatcher::watch(QWidget* control, Watch what)
{
    // The control's own surface, and a scrolling control's viewport, which gets the pointer's
    // movement in its place.
    QList<QWidget*> surfaces { control };
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
        surfaces.append(area->viewport());
    // The pointer over a composite control (a calendar's grid, its month buttons, a scroll bar)
    // moves over its parts.
    QList<QWidget*> parts = control->findChildren<QWidget*>();
    for (QWidget* part : parts) {
        part->setMouseTracking(true);
        part->installEventFilter(this);
        part->setProperty(KeysProperty, what == PointerAndKeys);
    }
    for (QWidget* surface : surfaces) {
        surface->setMouseTracking(true);
        surface->installEventFilter(this);
        surface->setProperty(KeysProperty, what == PointerAndKeys);
        surface->setProperty(SurfaceProperty, true);
    }
}

bool ActivityWatcher::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
        m_link.stopInactivityCountdown();
        break;
    case QEvent::MouseMove:
        m_link.stopInactivityCountdown();
        // The control's surface takes the movement. A drag (a pressed button, a text selection)
        // and the inner parts' own use of it (a menu's highlight) are left alone.
        if (watched->property(SurfaceProperty).toBool()
            && static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (watched->property(KeysProperty).toBool())
            m_link.stopInactivityCountdown();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
