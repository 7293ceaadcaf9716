// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// One "A" or "P" of the timeline: lit (green, with a tooltip) or unlit (white), and clickable.
// A lit letter is a button the keyboard reaches (Enter or Space reads it out); its name tells a
// screen reader whether the hour has an entry of its kind: "Ore 9: appuntamento".
class TimelineLetter : public QLabel
{
    Q_OBJECT

public:
    static QColor litColour() { return QColor(0, 255, 0); }
    static QColor unlitColour() { return QColor(255, 255, 255); }

    // The caption "A" or "P", the kind of entry it stands for ("appuntamento") and its hour.
    TimelineLetter(const QString& caption, const QString& entry, int hour, QWidget* parent);

    // Lit is the state the click tests: a green background.
    bool isLit() const;
    void setLit(bool lit, const QString& tooltip);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setBackground(const QColor& colour);
    void setName(bool lit);

    QString m_entry;
    int m_hour;
    bool m_pressed = false;
};
