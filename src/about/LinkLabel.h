// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A label that is a link: blue, with a pointing hand; a click, or Enter or Space once Tab has
// reached it, activates it, and screen readers see a link they can press.
class LinkLabel : public QLabel
{
    Q_OBJECT

public:
    LinkLabel(const QString& text, QWidget* parent);

signals:
    void activated();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
