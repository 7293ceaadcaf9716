// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SpeechLog.h"

Q_LOGGING_CATEGORY(lcSpeech, "vespelinda.speech", QtWarningMsg)
