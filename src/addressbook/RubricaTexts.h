// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Every text the address book shows or says. The spoken ones are written for the ear: a telephone
// number is read digit by digit, an e-mail address with its at sign and dots as words.
namespace RubricaTexts {

// "0612" becomes "0.6.1.2.": every character followed by a dot, so the voice reads them one by
// one. A character is what the user sees as one (an accented letter, an emoji), never half of it.
QString telephoneForEar(const QString& telefono);
// "@" becomes " èt ", "." becomes " punto ", everything else stays.
QString emailForEar(const QString& email);
// The entry as it is read aloud after a search.
QString spokenEntry(const QString& nome, const QString& telefono, const QString& email);
QString notFound(const QString& searched);

} // namespace RubricaTexts
