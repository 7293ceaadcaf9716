// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ClipboardText.h"

// A clipboard whose plain text the test sets.
struct FakeClipboardText final : ClipboardText
{
    QString text() const override { return content; }
    QString content;
};
