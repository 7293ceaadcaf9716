// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// The program's icon, the face, drawn for the sizes of task bars and notification areas; the
// smallest sizes use the simpler artwork that stays readable.
QIcon appIcon();
