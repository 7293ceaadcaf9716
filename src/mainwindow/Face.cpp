// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Face.h"

#include "core/Accessibility.h"
#include "core/Clock.h"
#include "core/Twips.h"
#include "mainwindow/SvgPicture.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <iterator>

namespace {
// The layout is drawn in twips, 15 to a logical pixel; the pictures keep the fractions.
QRectF exactTwips(double left, double top, double width, double height)
{
    return QRectF(left / 15.0, top / 15.0, width / 15.0, height / 15.0);
}

SvgPicture* picture(QWidget& window, const char* name, const char* accessibleName, const char* file, const QRectF& rect)
{
    auto* picture = new SvgPicture(QString::fromLatin1(file), rect, &window);
    Accessibility::setRole(picture, QAccessible::Graphic);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setAccessibleName(QString::fromUtf8(accessibleName));
    return picture;
}
} // namespace

Face::Face(QWidget& window, Clock& clock)
    : QObject(&window)
    , m_clock(clock)
{
    setObjectName(QStringLiteral("face"));

    // Side pictures first, so that the face lies over them where they meet.
    m_pictures[2]
        = picture(window, "Image3", "Immagine laterale sinistra", ":/side-left.svg", exactTwips(-360, 1560, 840, 1890));
    m_pictures[1]
        = picture(window, "Image2", "Immagine laterale destra", ":/side-right.svg", exactTwips(2760, 1920, 840, 1890));
    m_pictures[0] = picture(window, "Image1", "Volto di Vespelinda", ":/face.svg", exactTwips(240, 0, 2985, 2250));
    // The face opens the main menu from the keyboard too: Tab reaches it, Space, Enter, the menu key
    // or Shift+F10 open it.
    Accessibility::setRole(m_pictures[0], QAccessible::ButtonMenu);
    m_pictures[0]->setFocusPolicy(Qt::TabFocus);
    for (SvgPicture* p : m_pictures) {
        p->setMouseTracking(true);
        p->installEventFilter(this);
    }

    m_image5
        = picture(window, "Image5", "Occhio sinistro chiuso", ":/eye-closed-left.svg", exactTwips(240, 480, 975, 660));
    m_image4
        = picture(window, "Image4", "Occhio destro chiuso", ":/eye-closed-right.svg", exactTwips(1960, 540, 1170, 750));
    for (SvgPicture* overlay : { m_image4, m_image5 }) {
        // Part of the face's drawing: the pointer acts on the face beneath.
        overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
        overlay->hide();
    }

    const struct
    {
        const char* name;
        const char* accessibleName;
        QRect rect;
    } hotSpots[2] = {
        { "Label1", "Occhio sinistro", twipsRect(360, 600, 735, 495) },
        { "Label2", "Occhio destro", twipsRect(2160, 720, 735, 375) },
    };
    for (int i = 0; i < 2; ++i) {
        // Transparent, without caption: only the eye beneath shows.
        auto* label = new QLabel(&window);
        label->setObjectName(QString::fromLatin1(hotSpots[i].name));
        label->setAccessibleName(QString::fromUtf8(hotSpots[i].accessibleName));
        label->setGeometry(hotSpots[i].rect);
        label->installEventFilter(this);
        m_eyes[i] = label;
    }

    m_timer3 = new QTimer(this);
    m_timer3->setObjectName(QStringLiteral("Timer3"));
    m_timer3->setSingleShot(true);
    m_timer3->setTimerType(Qt::PreciseTimer);
    connect(m_timer3, &QTimer::timeout, this, &Face::Timer3Timer);
}

QWidget* Face::surface() const { return m_pictures[0]; }

void Face::startBlink()
{
    if (m_timer3->isActive() || m_halted)
        return;
    m_cycle.start(nowMs());
    scheduleBlink();
}

void Face::stopBlink()
{
    if (!m_timer3->isActive())
        return;
    // The counter shows the ticks that passed before the stop.
    m_cycle.catchUp(nowMs(), m_contaBattito);
    m_timer3->stop();
}

void Face::haltBlink()
{
    stopBlink();
    m_halted = true;
}

void Face::wakeUp()
{
    startBlink();
    setEyesClosed(false);
}

void Face::fallAsleep()
{
    stopBlink();
    setEyesClosed(true);
}

void Face::setEyesClosed(bool closed)
{
    m_image4->setVisible(closed);
    m_image5->setVisible(closed);
}

void Face::setRightEyeClosed(bool closed) { m_image4->setVisible(closed); }

void Face::Timer3Timer()
{
    if (m_halted)
        return;
    switch (m_cycle.catchUp(nowMs(), m_contaBattito)) {
    case BlinkCycle::Eyes::Close:
        setEyesClosed(true);
        break;
    case BlinkCycle::Eyes::Open:
        setEyesClosed(false);
        break;
    case BlinkCycle::Eyes::Unchanged:
        break;
    }
    scheduleBlink();
}

qint64 Face::nowMs() const { return m_clock.now().toMSecsSinceEpoch(); }

void Face::scheduleBlink()
{
    const qint64 ms = m_cycle.msToNextEdge(nowMs(), m_contaBattito);
    if (ms < 0) {
        m_timer3->stop();
        return;
    }
    m_timer3->start(int(ms));
}

bool Face::eventFilter(QObject* watched, QEvent* event)
{
    const bool onPicture = std::find(std::begin(m_pictures), std::end(m_pictures), watched) != std::end(m_pictures);
    const bool onEye = watched == m_eyes[0] || watched == m_eyes[1];
    if (!onPicture && !onEye)
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseMove:
        if (onPicture)
            emit pointerMoved();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (onPicture)
            emit pressed(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    case QEvent::KeyPress:
        if (watched == m_pictures[0]) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                auto* face = m_pictures[0];
                emit pressed(face->mapToGlobal(face->rect().center()));
                return true;
            }
        }
        break;
    case QEvent::MouseButtonRelease:
        if (onEye) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* eye = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton && eye->rect().contains(mouse->position().toPoint()))
                emit eyeClicked(mouse->globalPosition().toPoint());
        }
        return true;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
