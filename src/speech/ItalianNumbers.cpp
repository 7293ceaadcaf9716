// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/ItalianNumbers.h"

namespace ItalianNumbers {

namespace {
const char* const Units[] = { "zero", "uno", "due", "tre", "quattro", "cinque", "sei", "sette", "otto", "nove", "dieci",
    "undici", "dodici", "tredici", "quattordici", "quindici", "sedici", "diciassette", "diciotto", "diciannove" };
const char* const Tens[]
    = { "", "", "venti", "trenta", "quaranta", "cinquanta", "sessanta", "settanta", "ottanta", "novanta" };

// 1..999, "tré" at the end of a compound ("ventitré", "centotré").
QString below1000(int n)
{
    QString out;
    if (n >= 100) {
        if (n / 100 > 1)
            out += QString::fromLatin1(Units[n / 100]);
        out += QStringLiteral("cento");
        n %= 100;
    }
    if (n >= 20) {
        QString tens = QString::fromLatin1(Tens[n / 10]);
        if (n % 10 == 1 || n % 10 == 8)
            tens.chop(1); // "ventuno", "trentotto"
        out += tens;
        n %= 10;
        if (n == 0)
            return out;
    }
    if (n > 0 || out.isEmpty()) {
        if (n == 3 && !out.isEmpty())
            return out + QStringLiteral("tré");
        out += QString::fromLatin1(Units[n]);
    }
    return out;
}
} // namespace

QString cardinal(qint64 n)
{
    if (n < 0 || n > 999999)
        return {};
    if (n < 1000)
        return n == 0 ? QStringLiteral("zero") : below1000(int(n));
    const int thousands = int(n / 1000);
    const int rest = int(n % 1000);
    const QString head = thousands == 1 ? QStringLiteral("mille") : below1000(thousands) + QStringLiteral("mila");
    return rest == 0 ? head : head + below1000(rest);
}

QString ordinal(qint64 n, bool feminine)
{
    static const char* const first[]
        = { "", "prim", "second", "terz", "quart", "quint", "sest", "settim", "ottav", "non", "decim" };
    QString stem;
    if (n >= 1 && n <= 10) {
        stem = QString::fromLatin1(first[n]);
    } else {
        QString words = cardinal(n);
        if (words.isEmpty() || n < 1)
            return {};
        if (words.endsWith(QStringLiteral("tré")))
            words = words.chopped(3) + QStringLiteral("tre"); // "ventitreesimo"
        else if (!words.endsWith(QStringLiteral("sei"))) // "ventiseiesimo"
            words.chop(1); // "undicesimo", "ventesimo", "centesimo", "millesimo"
        stem = words + QStringLiteral("esim");
    }
    return stem + (feminine ? u'a' : u'o');
}

int roman(QStringView numeral)
{
    if (numeral.isEmpty() || numeral.size() > 15)
        return 0;
    const auto value = [](QChar c) {
        switch (c.unicode()) {
        case u'I':
            return 1;
        case u'V':
            return 5;
        case u'X':
            return 10;
        case u'L':
            return 50;
        case u'C':
            return 100;
        case u'D':
            return 500;
        case u'M':
            return 1000;
        default:
            return 0;
        }
    };
    int total = 0;
    for (qsizetype i = 0; i < numeral.size(); ++i) {
        const int v = value(numeral[i]);
        if (v == 0)
            return 0;
        const int next = i + 1 < numeral.size() ? value(numeral[i + 1]) : 0;
        total += next > v ? -v : v;
    }
    if (total <= 0 || total > 3999)
        return 0;
    // Only the usual spelling counts ("IIII", "IC" and "VX" are not numerals here).
    static const char* const thousands[] = { "", "M", "MM", "MMM" };
    static const char* const hundreds[] = { "", "C", "CC", "CCC", "CD", "D", "DC", "DCC", "DCCC", "CM" };
    static const char* const tens[] = { "", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC" };
    static const char* const ones[] = { "", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX" };
    const QString usual = QString::fromLatin1(thousands[total / 1000]) + QString::fromLatin1(hundreds[total / 100 % 10])
        + QString::fromLatin1(tens[total / 10 % 10]) + QString::fromLatin1(ones[total % 10]);
    return usual == numeral ? total : 0;
}

} // namespace ItalianNumbers
