// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// What the agenda has to tell about the data and its announcements, never the texts themselves
// (they are the user's private business): entries that cannot be read, announcements given up.
Q_DECLARE_LOGGING_CATEGORY(lcAgenda)
