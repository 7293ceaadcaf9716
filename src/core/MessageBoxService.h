// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// Modal message boxes, replaceable so that no test ever waits on a real one.
// style & 0x0F picks the buttons (0 OK, 4 Yes/No), style & 0xF0 the icon
// (48 warning, 64 information, 0 none). The answer is OK = 1, Yes = 6, No = 7.
class MessageBoxService
{
public:
    enum Style
    {
        OkOnly = 0,
        YesNo = 4,
        Exclamation = 48,
        Information = 64
    };
    enum Answer
    {
        Ok = 1,
        Yes = 6,
        No = 7
    };

    virtual ~MessageBoxService() = default;
    virtual int show(QWidget* parent, const QString& text, int style, const QString& title) = 0;
};
