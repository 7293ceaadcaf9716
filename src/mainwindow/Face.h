// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/BlinkCycle.h"

#include <QObject>
#include <QPoint>

class Clock;
class QLabel;
class QTimer;
class QWidget;
class SvgPicture;

// The secretary's face in the upper half of the main window: the face and side pictures, the two
// closed-eye overlays, the eye hot spots and the blink timer Timer3.
class Face : public QObject
{
    Q_OBJECT

public:
    Face(QWidget& window, Clock& clock);

    // Timer3 on (a blink under way goes on as it was) or off.
    void startBlink();
    void stopBlink();
    // For the farewell: the blink stops where it is and never starts again.
    void haltBlink();

    // Awake: eyes open and blinking. Asleep: eyes closed, no blinking.
    void wakeUp();
    void fallAsleep();

    // Ticks of the blink cycle (the eyes close at 100 and open at 101; 102 starts again).
    int contaBattito() const { return m_contaBattito; }
    // Both closed-eye overlays (Image4 and Image5).
    void setEyesClosed(bool closed);
    // Only the eye on the viewer's right (Image4): the wink.
    void setRightEyeClosed(bool closed);

    // The face picture Image1, the window's first stop for the keyboard.
    QWidget* surface() const;

    // The blink step, run by Timer3 at the ticks that change the eyes.
    void Timer3Timer();

signals:
    // The pointer moved over the face or a side picture.
    void pointerMoved();
    // A mouse button was pressed on the face or a side picture.
    void pressed(const QPoint& globalPos);
    // Space or Enter on the face, which has the focus: the menu opens on its first item.
    void pressedByKey(const QPoint& globalPos);
    // An eye hot spot was clicked.
    void eyeClicked(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    qint64 nowMs() const;
    void scheduleBlink();

    Clock& m_clock;
    int m_contaBattito = 0;
    bool m_halted = false;
    BlinkCycle m_cycle;
    QTimer* m_timer3 = nullptr;
    SvgPicture* m_pictures[3] = {}; // Image1, Image2, Image3
    SvgPicture* m_image4 = nullptr;
    SvgPicture* m_image5 = nullptr;
    QLabel* m_eyes[2] = {}; // Label1, Label2
};
