// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QString>

class QLabel;
class QWidget;

// What a screen reader (Orca, over AT-SPI) is told about the program's windows and controls.
// Qt already names a button, a check box, a tab or a menu item after its caption, and describes
// every control with its tooltip; these fill in the rest.
namespace Accessibility {

// Reports the program's own top-level widgets as windows (or dialogs) named by their title, and
// the widgets given a role with setRole() as those controls; Shift+F10 asks for a context menu as
// the menu key does. Idempotent; call it before the first window is made, once the application
// object exists.
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

// Draws the focus rectangle over a widget the program paints itself, while it has the focus: a
// keyboard user must see where Tab has gone. Call it at the end of the widget's paintEvent.
void drawFocus(QWidget* widget);

} // namespace Accessibility
