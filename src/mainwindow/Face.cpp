// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Face.h"

#include "core/Accessibility.h"
#include "core/Clock.h"
#include "core/Controls.h"
#include "core/SvgPicture.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <iterator>

Face::Face(QWidget& window, Clock& clock)
    : QObject(&window)
    , m_clock(clock)
{
    setObjectName(QStringLiteral("face"));

    // Side pictures first, so that the face lies over them where they meet.
    m_pictures[2] = Controls::picture(&window, QStringLiteral(":/side-left.svg"),
        { .name = u"Image3",
            .accessibleName = QStringLiteral("Immagine laterale sinistra"),
            .twips = { -360, 1560, 840, 1890 } });
    m_pictures[1] = Controls::picture(&window, QStringLiteral(":/side-right.svg"),
        { .name = u"Image2",
            .accessibleName = QStringLiteral("Immagine laterale destra"),
            .twips = { 2760, 1920, 840, 1890 } });
    m_pictures[0] = Controls::picture(&window, QStringLiteral(":/face.svg"),
        { .name = u"Image1",
            .accessibleName = QStringLiteral("Volto di Vespelinda"),
            .accessibleDescription = QStringLiteral("Apre il menu: Invio, Spazio o un clic"),
            .twips = { 240, 0, 2985, 2250 } });
    // The face opens the main menu from the keyboard too: Tab reaches it, Space, Enter, the menu key
    // or Shift+F10 open it.
    Accessibility::setRole(m_pictures[0], QAccessible::ButtonMenu);
    m_pictures[0]->setFocusPolicy(Qt::TabFocus);
    for (SvgPicture* p : m_pictures) {
        p->setMouseTracking(true);
        p->installEventFilter(this);
    }

    m_image5 = Controls::picture(&window, QStringLiteral(":/eye-closed-left.svg"),
        { .name = u"Image5",
            .accessibleName = QStringLiteral("Occhio sinistro chiuso"),
            .twips = { 240, 480, 975, 660 } });
    m_image4 = Controls::picture(&window, QStringLiteral(":/eye-closed-right.svg"),
        { .name = u"Image4",
            .accessibleName = QStringLiteral("Occhio destro chiuso"),
            .twips = { 1960, 540, 1170, 750 } });
    for (SvgPicture* overlay : { m_image4, m_image5 }) {
        // Part of the face's drawing: the pointer acts on the face beneath.
        overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
        overlay->hide();
    }

    const struct
    {
        const char16_t* name;
        const char* accessibleName;
        Controls::Place twips;
    } hotSpots[2] = {
        { u"Label1", "Occhio sinistro", { 360, 600, 735, 495 } },
        { u"Label2", "Occhio destro", { 2160, 720, 735, 375 } },
    };
    for (int i = 0; i < 2; ++i) {
        // Transparent, without caption: only the eye beneath shows.
        auto* label = Controls::make<QLabel>(&window,
            { .name = hotSpots[i].name,
                .accessibleName = QString::fromUtf8(hotSpots[i].accessibleName),
                .twips = hotSpots[i].twips });
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
                emit pressedByKey(face->mapToGlobal(face->rect().center()));
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
