// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Cuts a long text into pieces of about a sentence, so that the first sound comes at once, memory
// holds a piece or two of audio rather than a book's, and a stop never waits for a long synthesis.
class SentenceSplitter
{
public:
    // The end (exclusive) of the piece of `text` that begins at `from`: the rest of the text when
    // it is at most `maxChars` long; otherwise the last sentence end (".", "!", "?", ";", ":", "…"
    // followed by white space, or a line break) within `maxChars`, else the last comma followed by
    // white space, else the last white space, else `maxChars` exactly, never between the two halves
    // of a character outside the BMP.
    static qsizetype pieceEnd(const QString& text, qsizetype from, qsizetype maxChars);
};
