// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

// A multi-line text input that holds at most a given number of characters however the text
// arrives (typed, pasted, dropped, composed): what would go beyond is not taken. Tab moves the
// focus on, as in the other inputs.
class LimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    LimitedTextEdit(int limit, QWidget* parent = nullptr);

    int limit() const { return m_limit; }

private:
    void trim();

    int m_limit;
    bool m_trimming = false;
};
