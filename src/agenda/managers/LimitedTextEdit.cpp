// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/managers/LimitedTextEdit.h"

#include <QTextCursor>

LimitedTextEdit::LimitedTextEdit(int limit, QWidget* parent)
    : QPlainTextEdit(parent)
    , m_limit(limit)
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &LimitedTextEdit::trim);
}

void LimitedTextEdit::trim()
{
    if (m_trimming)
        return;
    // Characters as a reader counts them: an emoji is one, though it takes two UTF-16 units.
    const QString text = toPlainText();
    qsizetype excess = text.toUcs4().size() - m_limit;
    if (excess <= 0)
        return;
    // What just arrived ends at the cursor: the excess goes from there backwards.
    QTextCursor cursor = textCursor();
    int end = cursor.position();
    if (end > text.size() || end < excess)
        end = int(text.size());
    int start = end;
    while (excess > 0 && start > 0) {
        --start;
        if (text[start].isLowSurrogate() && start > 0 && text[start - 1].isHighSurrogate())
            --start;
        --excess;
    }
    m_trimming = true;
    cursor.joinPreviousEditBlock();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    setTextCursor(cursor);
    m_trimming = false;
}
