// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Controls.h"

#include "core/Accessibility.h"
#include "core/SvgPicture.h"
#include "core/Twips.h"

namespace Controls {

namespace {
// All but the place.
void describe(QWidget* control, const Details& details)
{
    if (!details.name.isEmpty())
        control->setObjectName(details.name);
    if (details.label)
        Accessibility::label(details.label, control);
    if (!details.accessibleName.isEmpty())
        control->setAccessibleName(details.accessibleName);
    if (!details.accessibleDescription.isEmpty())
        control->setAccessibleDescription(details.accessibleDescription);
    if (!details.toolTip.isEmpty())
        control->setToolTip(details.toolTip);
}
} // namespace

Place::Place(int left, int top, int width, int height)
    : m_kind(Kind::Rectangle)
    , m_twips(left, top, width, height)
{
}

Place Place::corner(int left, int top)
{
    Place place;
    place.m_kind = Kind::Corner;
    place.m_twips = QRect(left, top, 0, 0);
    return place;
}

QRect Place::pixels() const { return twipsRect(m_twips.x(), m_twips.y(), m_twips.width(), m_twips.height()); }

QRectF Place::exact() const
{
    return QRectF(m_twips.x() / 15.0, m_twips.y() / 15.0, m_twips.width() / 15.0, m_twips.height() / 15.0);
}

void apply(QWidget* control, const Details& details)
{
    describe(control, details);
    if (details.twips.sizedByContent()) {
        control->adjustSize();
        control->move(details.twips.pixels().topLeft());
    } else if (details.twips.isGiven()) {
        control->setGeometry(details.twips.pixels());
    }
}

SvgPicture* picture(QWidget* parent, const QString& file, const Details& details)
{
    Q_ASSERT(details.twips.isGiven() && !details.twips.sizedByContent());
    auto* picture = new SvgPicture(file, details.twips.exact(), parent);
    // Before its name: a screen reader may ask about it as soon as it has one.
    Accessibility::setRole(picture, QAccessible::Graphic);
    describe(picture, details);
    return picture;
}

} // namespace Controls
