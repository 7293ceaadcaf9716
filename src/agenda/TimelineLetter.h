// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// One "A" or "P" of the timeline: lit (green, with a tooltip) or unlit (white), and clickable.
class TimelineLetter : public QLabel
{
    Q_OBJECT

public:
    static QColor litColour() { return QColor(0, 255, 0); }
    static QColor unlitColour() { return QColor(255, 255, 255); }

    TimelineLetter(const QString& caption, QWidget* parent);

    // Lit is the state the click tests: a green background.
    bool isLit() const;
    void setLit(bool lit, const QString& tooltip);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setBackground(const QColor& colour);

    bool m_pressed = false;
};
