// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The engines read digits and signs literally ("05/12/2026" becomes "zero cinque barra dodici
// barra ...", "0.6.1.2." "zero punto sei punto ..."). This rewrites what the program says into
// the words an Italian would use, just before synthesis; the text the program logs is left as it
// wrote it. forEar() serves every engine; an engine that misreads more has its own step after it.
namespace ItalianSpeechText {
// Dates, times and hours ("è l'una e 5", "le 9 in punto"), the day before a month ("il primo",
// "l'otto"), characters spelled one by one with dots ("0.6.1.2." said as digits with a short
// pause each), common abbreviations ("dott.", "sig.ra", "ecc.").
QString forEar(const QString& text);
// Festival's Italian voices read Latin-1 only and give up a whole sentence on a token they cannot
// analyse ("3%", "+39", "12/a"): signs become words ("euro", "per cento"), letters outside their
// alphabet lose their accents or are dropped, digits are kept apart from signs, thousands lose
// their dots ("1.500"), so that what can be said is said.
QByteArray forFestival(const QString& text);
QString monthName(int month); // 1 "gennaio" .. 12 "dicembre"
} // namespace ItalianSpeechText
