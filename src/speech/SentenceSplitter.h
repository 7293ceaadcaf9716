// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Where a text may be cut for speaking, by one rule. A sentence ends at ".", "!", "?" or "…"
// followed by white space, or at a line break; a clause at ",", ";" or ":" followed by white space.
// The speaker cuts a long text into pieces of about a sentence, so that the first sound comes at
// once, memory holds a piece or two of audio rather than a book's, and a stop never waits for a
// long synthesis; Festival is given one sentence at a time, so that a sentence it cannot say is
// said by the other engine alone.
class SentenceSplitter
{
public:
    // The end (exclusive) of the piece of `text` that begins at `from`: the rest of the text when
    // it is at most `maxChars` long; otherwise the last sentence end within `maxChars` (the white
    // space after it included), else the last clause end, else the last white space, else
    // `maxChars` exactly, never between the two halves of a character outside the BMP.
    static qsizetype pieceEnd(const QString& text, qsizetype from, qsizetype maxChars);
    // The sentences of `text`, without the white space between them; nothing empty.
    static QStringList sentences(const QString& text);
};
