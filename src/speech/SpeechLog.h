// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// What the assistant says, off by default: QT_LOGGING_RULES="vespelinda.speech=true".
Q_DECLARE_LOGGING_CATEGORY(lcSpeech)
// How the queue moves (texts heard and spoken, a reading set aside and taken up), for tests:
// QT_LOGGING_RULES="vespelinda.speech.queue=true".
Q_DECLARE_LOGGING_CATEGORY(lcSpeechQueue)
