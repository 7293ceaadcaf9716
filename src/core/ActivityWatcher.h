// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class MainWindowLink;
class QWidget;

// The pointer moving over a watched control is the user at work: the inactivity countdown stops.
// The movement goes no further, so it does not also reach the page beneath and wake the face.
// A control joins with one call to watch(); a composite control (a calendar, a text box with its
// scroll bar) is watched through all its parts.
class ActivityWatcher : public QObject
{
    Q_OBJECT

public:
    enum Watch
    {
        Pointer = 1,
        PointerAndKeys = 3 // a key typed in the control counts too (it still reaches the control)
    };

    explicit ActivityWatcher(MainWindowLink& link, QObject* parent = nullptr);

    void watch(QWidget* control, Watch what = Pointer);
    // A container's own surface only: the controls inside it are watched, or not, on their own
    // (a button with no pointer reaction of its own stays without one).
    void watchSurface(QWidget* container);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindowLink& m_link;
};
