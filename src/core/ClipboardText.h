// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The clipboard as plain text, behind a small interface so that tests can say what is on it.
class ClipboardText
{
public:
    virtual ~ClipboardText() = default;
    // The plain text on the clipboard; empty when it holds none.
    virtual QString text() const = 0;
};
