// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SentenceSplitter.h"

namespace {
bool endsSentence(QChar c)
{
    switch (c.unicode()) {
    case u'.':
    case u'!':
    case u'?':
    case u';':
    case u':':
    case u'\u2026': // …
        return true;
    default:
        return false;
    }
}
} // namespace

qsizetype SentenceSplitter::pieceEnd(const QString& text, qsizetype from, qsizetype maxChars)
{
    const qsizetype size = text.size();
    maxChars = std::max<qsizetype>(maxChars, 2);
    if (size - from <= maxChars)
        return size;
    const qsizetype limit = from + maxChars;
    qsizetype afterComma = -1;
    qsizetype afterSpace = -1;
    // A cut at `end` leaves text[end - 1] as the piece's last character.
    for (qsizetype end = limit; end > from + 1; --end) {
        const QChar last = text[end - 1];
        if (!last.isSpace())
            continue;
        if (last == u'\n' || last == QChar::ParagraphSeparator || endsSentence(text[end - 2]))
            return end;
        if (afterComma < 0 && text[end - 2] == u',')
            afterComma = end;
        if (afterSpace < 0)
            afterSpace = end;
    }
    if (afterComma > 0)
        return afterComma;
    if (afterSpace > 0)
        return afterSpace;
    return text[limit - 1].isHighSurrogate() ? limit - 1 : limit;
}
