// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/AgendaLog.h"

Q_LOGGING_CATEGORY(lcAgenda, "vespelinda.agenda", QtInfoMsg)
