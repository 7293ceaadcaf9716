// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// espeak-ng reads digits literally ("05/12/2026" becomes "zero cinque barra dodici barra ...").
// This rewrites the dates and times the program says into the words an Italian would use,
// just before synthesis; the text the program logs is left as it wrote it.
namespace ItalianSpeechText {
QString forEar(const QString& text);
QString monthName(int month); // 1 "gennaio" .. 12 "dicembre"
} // namespace ItalianSpeechText
