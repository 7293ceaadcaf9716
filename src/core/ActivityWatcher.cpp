// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ActivityWatcher.h"

#include "core/MainWindowLink.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QVariant>

namespace {
const char* const KeysProperty = "vespelindaWatchKeys";
}

ActivityWatcher::ActivityWatcher(MainWindowLink& link, QObject* parent)
    : QObject(parent)
    , m_link(link)
{
}

void ActivityWatcher::watch(QWidget* control, Watch what)
{
    control->setMouseTracking(true);
    control->installEventFilter(this);
    // A scrolling control gets the pointer's movement on its viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
        area->viewport()->setMouseTracking(true);
        area->viewport()->installEventFilter(this);
    }
    control->setProperty(KeysProperty, what == PointerAndKeys);
}

bool ActivityWatcher::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
        m_link.stopInactivityCountdown();
        break;
    case QEvent::MouseMove:
        m_link.stopInactivityCountdown();
        // A drag (a pressed button, a text selection) is the control's own business.
        if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
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
