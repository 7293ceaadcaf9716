// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/TimelineLetter.h"

#include <QMouseEvent>

TimelineLetter::TimelineLetter(const QString& caption, QWidget* parent)
    : QLabel(caption, parent)
{
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
    setAccessibleDescription(tooltip);
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
