// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// Every phrase template the assistant speaks, with example values.
struct Phrase
{
    QString what;
    QString text; // as the program hands it to the speaker
    QString heard; // what an Italian says, word by word: the review
};

QList<Phrase> programPhrases();
