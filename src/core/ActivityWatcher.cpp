// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ActivityWatcher.h"

#include "core/MainWindowLink.h"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QMouseEvent>
#include <QVariant>

namespace {
const char* const KeysProperty = "vespelindaWatchKeys";
const char* const SurfaceProperty = "vespelindaWatchSurface";
const char* const OwnSurfaceProperty = "vespelindaWatchOwnSurface";

// The pointer is over a control inside a container watched for its own surface only. A label is
// drawn on that surface, and counts as part of it.
bool overInnerControl(QObject* watched, const QPointF& at)
{
    if (!watched->property(OwnSurfaceProperty).toBool())
        return false;
    const QWidget* inner = static_cast<QWidget*>(watched)->childAt(at.toPoint());
    return inner && !qobject_cast<const QLabel*>(inner);
}
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

void ActivityWatcher::watchSurface(QWidget* container)
{
    container->setMouseTracking(true);
    container->installEventFilter(this);
    container->setProperty(SurfaceProperty, true);
    container->setProperty(OwnSurfaceProperty, true);
}

bool ActivityWatcher::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
        if (!overInnerControl(watched, static_cast<QEnterEvent*>(event)->position()))
            m_link.stopInactivityCountdown();
        break;
    case QEvent::MouseMove:
        if (overInnerControl(watched, static_cast<QMouseEvent*>(event)->position()))
            break;
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
