// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>

// The program's icon, the face, drawn for the sizes of task bars and notification areas; the
// smallest sizes use the simpler artwork that stays readable.
QIcon appIcon();
// One size of it; the build also installs these for the desktop's icon theme.
QImage appIconImage(int size);
