// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SpeechLog.h"

Q_LOGGING_CATEGORY(lcSpeech, "vespelinda.speech", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSpeechQueue, "vespelinda.speech.queue", QtWarningMsg)
