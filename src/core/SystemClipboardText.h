// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ClipboardText.h"

#include <QClipboard>
#include <QGuiApplication>

class SystemClipboardText final : public ClipboardText
{
public:
    QString text() const override { return QGuiApplication::clipboard()->text(QClipboard::Clipboard); }
};
