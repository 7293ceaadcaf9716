// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QString>

class QColor;
class QLabel;
class QWidget;

// What a screen reader (Orca, over AT-SPI) is told about the program's windows and controls.
// Qt already names a button, a check box, a tab or a menu item after its caption, and describes
// every control with its tooltip; these fill in the rest.
namespace Accessibility {

// Reports the program's own top-level widgets as windows (or dialogs) named by their title, and
// the widgets given a role with setRole() as those controls, a combo box's choice as its text and
// value (each change told), and no focus reported for a table that does not have it; Shift+F10 asks for a context menu
// as the menu key does. Idempotent; call it before the first window is made, once the application object exists.
void install();

// A caption as it should be heard: without the mnemonic "&" and the dots, colon and spaces that
// lead from a label to its control.
QString spoken(const QString& caption);

// The label names the control (a text box takes its name from its label, never from its
// content); the label's mnemonic, if it has one, takes the focus there.
void label(QLabel* label, QWidget* control);

// A widget the program draws itself acts as a control of this role (PushButton, ButtonMenu,
// Link, Graphic). Call it before anything else is set on the widget: a screen reader may ask
// about the widget as soon as it has a text. Such a button or link is pressed from assistive
// technology as the Space key presses it.
void setRole(QWidget* widget, QAccessible::Role role);

// The contrast ratio of two colours (WCAG 2: from their relative luminances), from 1 for the same
// colour to 21 for black on white. A line is seen against what it borders from 3 up.
double contrast(const QColor& one, const QColor& other);

// Black or white, whichever contrasts more with `background`: one of them reaches at least 4.58
// against any colour.
QColor contrasting(const QColor& background);

// Draws the focus frame over a widget the program paints itself, while it has the focus: a
// keyboard user must see where Tab has gone. Two lines a pixel wide along the inside of the
// widget's own frame line (or of its edge): the inner one black or white, whichever contrasts more
// with the widget's background (a lit letter's green, the window beneath a link or a picture), the
// outer one the other. The two contrast 21:1 with each other, so that on either side of the frame,
// whatever is there, one of them stands out at least 4.58:1. Call it at the end of the widget's
// paintEvent.
void drawFocus(QWidget* widget);

} // namespace Accessibility
