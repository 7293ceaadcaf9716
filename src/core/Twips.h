// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QtMath>

// The window layouts are drawn in twips: 15 twips to a logical pixel.
constexpr int twips(double value) { return static_cast<int>(value / 15.0 + (value >= 0 ? 0.5 : -0.5)); }

inline QRect twipsRect(double left, double top, double width, double height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}
