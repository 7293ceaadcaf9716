// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/MessageBoxService.h"

#include <QList>
#include <functional>

// Records every box instead of showing it, and answers at once.
class FakeMessageBoxes final : public MessageBoxService
{
public:
    struct Box
    {
        QString text;
        int style;
        QString title;
    };

    int show(QWidget*, const QString& text, int style, const QString& title) override
    {
        shown.append({ text, style, title });
        if (whileOpen)
            whileOpen(shown.last()); // runs "while the box is open", e.g. a nested timer tick
        if ((style & 0x0F) == YesNo)
            return answer;
        return Ok;
    }

    QList<Box> shown;
    int answer = Yes;
    std::function<void(const Box&)> whileOpen;
};
