// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/MessageBoxService.h"

class QtMessageBoxService final : public MessageBoxService
{
public:
    int show(QWidget* parent, const QString& text, int style, const QString& title) override;
};
