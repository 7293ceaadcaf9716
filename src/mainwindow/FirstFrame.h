// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Calls back once, as soon as a window's first frame has been painted; for a window that is not
// shown, at the next turn of the event loop. What the first frame does not need waits for it, so
// that the window appears as early as a bare one would.
class FirstFrame : public QObject
{
public:
    // Made after show() (or after the window was left hidden); deletes itself once it has called.
    FirstFrame(QWidget& window, std::function<void()> then);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void done();

    std::function<void()> m_then;
    bool m_done = false;
};
