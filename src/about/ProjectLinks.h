// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

// The project's own addresses: its home page and its contact mailbox, shown and opened by the
// About window.
namespace ProjectLinks {
inline constexpr char HomePage[] = "https://vespelinda.org/";
inline constexpr char Contact[] = "contatti@vespelinda.org";

QUrl homePageUrl();
// A new message to the contact mailbox, its subject naming the program and its version.
QUrl contactUrl();
} // namespace ProjectLinks
