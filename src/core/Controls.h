// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAnyStringView>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <concepts>

class QLabel;
class SvgPicture;

// The one way a window makes a control: its control name, caption, what a screen reader and its
// tooltip say and its place in twips are all given where it is made, and set in one place.
namespace Controls {

// Where a control goes, in twips: 15 to a logical pixel, each edge rounded as core/Twips.h rounds.
class Place
{
public:
    // Nowhere yet: the window places it later.
    Place() = default;
    Place(int left, int top, int width, int height);
    // At this corner, as large as its content asks (a label's AutoSize).
    static Place corner(int left, int top);

    bool isGiven() const { return m_kind != Kind::Nowhere; }
    bool sizedByContent() const { return m_kind == Kind::Corner; }
    // In logical pixels: twipsRect(), or the corner alone.
    QRect pixels() const;
    // In logical pixels to the fraction, for a picture drawn to it.
    QRectF exact() const;

private:
    enum class Kind
    {
        Nowhere,
        Rectangle,
        Corner
    };
    Kind m_kind = Kind::Nowhere;
    QRect m_twips;
};

// What is said of a control where it is made; what is left empty is not set. A call names only what
// it gives: { .name = u"cmdOK", .caption = ..., .twips = { ... } } (every member has a default, or
// GCC would warn of each one left out).
struct Details
{
    QAnyStringView name = {}; // the program's control name, its objectName (read during the call)
    QString caption = {}; // what it shows: a button's caption, a frame's title, a text box's text
    QLabel* label = nullptr; // the label that names a text box; its mnemonic takes the focus there
    QString accessibleName = {}; // only where the caption or the label does not say what it is
    QString accessibleDescription = {}; // only where the tooltip does not reach it (a table)
    QString toolTip = {};
    Place twips = {};
};

// Gives a control made otherwise (its own constructor's arguments) all of the details but the caption.
void apply(QWidget* control, const Details& details);

// A control that shows a text of its own: a button, a label, a frame's title, a text box.
template <typename Control>
concept Captioned = std::derived_from<Control, QWidget> && std::constructible_from<Control, const QString&, QWidget*>;

template <Captioned Control> Control* make(QWidget* parent, const Details& details)
{
    auto* control = new Control(details.caption, parent);
    apply(control, details);
    return control;
}

// A picture of SVG artwork at its exact place, fractions of a pixel kept (a rectangle must be
// given); a screen reader sees a graphic.
SvgPicture* picture(QWidget* parent, const QString& file, const Details& details);

} // namespace Controls
