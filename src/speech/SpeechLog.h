// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// What the assistant says, off by default: QT_LOGGING_RULES="vespelinda.speech=true".
Q_DECLARE_LOGGING_CATEGORY(lcSpeech)
