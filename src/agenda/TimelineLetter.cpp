// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/TimelineLetter.h"

#include "core/Accessibility.h"

#include <QKeyEvent>
#include <QMouseEvent>

TimelineLetter::TimelineLetter(const QString& caption, const QString& entry, int hour, QWidget* parent)
    : QLabel(parent)
    , m_entry(entry)
    , m_hour(hour)
{
    Accessibility::setRole(this, QAccessible::PushButton);
    setName(false);
    setText(caption);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    // Before the first clearing a letter shows the system's window colour.
    setBackground(palette().color(QPalette::Base));
}

bool TimelineLetter::isLit() const { return palette().color(QPalette::Window) == litColour(); }

void TimelineLetter::setLit(bool lit, const QString& tooltip)
{
    setBackground(lit ? litColour() : unlitColour());
    setToolTip(tooltip);
    setName(lit);
    // Tab visits only the hours that have something to read.
    setFocusPolicy(lit ? Qt::StrongFocus : Qt::NoFocus);
}

void TimelineLetter::setName(bool lit)
{
    setAccessibleName(
        QStringLiteral("Ore %1: %2%3").arg(m_hour).arg(lit ? QString() : QStringLiteral("nessun "), m_entry));
}

void TimelineLetter::setBackground(const QColor& colour)
{
    QPalette letterPalette = palette();
    letterPalette.setColor(QPalette::Window, colour);
    setPalette(letterPalette);
}

void TimelineLetter::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void TimelineLetter::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

void TimelineLetter::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)
        emit clicked();
    else
        QLabel::keyPressEvent(event);
}

void TimelineLetter::focusInEvent(QFocusEvent* event)
{
    // Not QLabel's: it would lay the caption out anew for selecting text, a pixel higher, onto the
    // focus frame. The letter is only repainted with its frame.
    QWidget::focusInEvent(event);
}

void TimelineLetter::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    Accessibility::drawFocus(this);
}
