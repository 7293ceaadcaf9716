// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Italian number words, where a text for the ear needs the word rather than the digits: an
// article that elides before a vowel ("l'otto", "dell'undici"), an ordinal ("ventitreesimo"), a
// one that agrees with its noun ("un'ora", "una persona").
namespace ItalianNumbers {
// 0 "zero" .. 999 999 "novecentonovantanovemilanovecentonovantanove"; empty outside.
QString cardinal(qint64 n);
// 1 "primo" .. 999 999 (masculine; `feminine` gives "prima", "ventitreesima"); empty outside.
QString ordinal(qint64 n, bool feminine = false);
// The value of a Roman numeral in upper case ("XXIII" 23), 0 when it is not one written the
// usual way (at most 3999).
int roman(QStringView numeral);
} // namespace ItalianNumbers
