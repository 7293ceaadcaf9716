// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/SentenceSplitter.h"

namespace {
enum class Break
{
    None,
    Word,
    Clause,
    Sentence
};

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// How strong a cut is right after text[at], white space: the mark before it decides.
Break breakAfter(const QString& text, qsizetype at)
{
    const QChar c = text[at];
    if (!c.isSpace())
        return Break::None;
    if (isLineBreak(c))
        return Break::Sentence;
    if (at == 0)
        return Break::Word;
    switch (text[at - 1].unicode()) {
    case u'.':
    case u'!':
    case u'?':
    case u'\u2026': // …
        return Break::Sentence;
    case u',':
    case u';':
    case u':':
        return Break::Clause;
    default:
        return Break::Word;
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
    qsizetype afterClause = -1;
    qsizetype afterSpace = -1;
    // A cut at `end` leaves text[end - 1] as the piece's last character.
    for (qsizetype end = limit; end > from + 1; --end) {
        switch (breakAfter(text, end - 1)) {
        case Break::Sentence:
            return end;
        case Break::Clause:
            if (afterClause < 0)
                afterClause = end;
            [[fallthrough]];
        case Break::Word:
            if (afterSpace < 0)
                afterSpace = end;
            break;
        case Break::None:
            break;
        }
    }
    if (afterClause > 0)
        return afterClause;
    if (afterSpace > 0)
        return afterSpace;
    return text[limit - 1].isHighSurrogate() ? limit - 1 : limit;
}

QStringList SentenceSplitter::sentences(const QString& text)
{
    QStringList out;
    const auto keep = [&](qsizetype from, qsizetype to) {
        const QString sentence = text.mid(from, to - from).trimmed();
        if (!sentence.isEmpty())
            out << sentence;
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (breakAfter(text, i) != Break::Sentence)
            continue;
        keep(start, i);
        while (i + 1 < text.size() && text[i + 1].isSpace())
            ++i;
        start = i + 1;
    }
    keep(start, text.size());
    return out;
}
