// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/ItalianSpeechText.h"

#include "speech/ItalianNumbers.h"
#include "speech/SentenceSplitter.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <functional>

using namespace Qt::StringLiterals;

namespace ItalianSpeechText {

QString monthName(int month)
{
    static const char* const names[] = { "gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno", "luglio",
        "agosto", "settembre", "ottobre", "novembre", "dicembre" };
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[month - 1]) : QString();
}

namespace {

using Rewrite = std::function<QString(const QRegularExpressionMatch&)>;

QString replaceEach(const QString& text, const QRegularExpression& pattern, const Rewrite& rewrite)
{
    QString out;
    qsizetype last = 0;
    for (auto it = pattern.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last) + rewrite(m);
        last = m.capturedEnd();
    }
    return out + text.mid(last);
}

const QString Months = QStringLiteral("gennaio|febbraio|marzo|aprile|maggio|giugno|luglio|agosto|settembre|ottobre|"
                                      "novembre|dicembre");

// Months as written in full and as abbreviated in dates ("7 dic. 2026").
int monthOf(const QString& word)
{
    static const QHash<QString, int> months = [] {
        QHash<QString, int> out;
        for (int m = 1; m <= 12; ++m)
            out.insert(monthName(m), m);
        const char* const shortNames[]
            = { "gen", "feb", "mar", "apr", "mag", "giu", "lug", "ago", "set", "ott", "nov", "dic" };
        for (int m = 1; m <= 12; ++m)
            out.insert(QString::fromLatin1(shortNames[m - 1]), m);
        out.insert(QStringLiteral("sett"), 9);
        return out;
    }();
    return months.value(word.toLower());
}

bool startsWithVowelSound(qint64 n)
{
    const QString words = ItalianNumbers::cardinal(n);
    return !words.isEmpty() && QStringView(u"aeiou").contains(words.at(0));
}

// "1" a day is "primo"; any other day stays in digits.
QString dayWords(int day) { return day == 1 ? u"primo"_s : QString::number(day); }

QString dateWords(int day, int month, int year)
{
    return dayWords(day) + u' ' + monthName(month) + (year > 0 ? u' ' + QString::number(year) : QString());
}

// Any run of the same mark ("!!!", "......"): three dots at most, one of anything else.
QString collapseMarks(const QString& text)
{
    static const QRegularExpression runs(QStringLiteral(R"(([.!?,;:*#=_~\-])\1{2,})"));
    return replaceEach(
        text, runs, [](const QRegularExpressionMatch& m) { return m.captured(1) == u"." ? u"..."_s : m.captured(1); });
}

// "0612" is "0 6 1 2": each character said on its own.
QString oneByOne(const QString& digits)
{
    QString out;
    for (const QChar d : digits)
        out += (out.isEmpty() ? QString() : u" "_s) + d;
    return out;
}

// A telephone number as typed, read in the groups the user made: each group digit by digit, the
// groups apart with a short pause, "+39" as "più 39", "int. 23" as "interno 23".
QString telephoneWords(const QString& typed)
{
    QStringList groups;
    QString group;
    bool interno = false;
    const auto close = [&] {
        if (!group.isEmpty())
            groups << group;
        group.clear();
    };
    static const QRegularExpression token(QStringLiteral(R"(\+\d+|\d+|\p{L}+)"));
    for (auto it = token.globalMatch(typed); it.hasNext();) {
        const QString t = it.next().captured(0);
        if (t.startsWith(u'+')) {
            close();
            // a country code: one digit for +1 and +7, else two; the rest is a group of its own
            const qsizetype code = t.startsWith(u"+1"_s) || t.startsWith(u"+7"_s) ? 1 : 2;
            groups << u"più "_s + t.mid(1, code);
            if (t.size() > code + 1) {
                groups << oneByOne(t.mid(code + 1));
            }
        } else if (t.at(0).isDigit()) {
            if (interno) {
                groups.last() += u' ' + t;
                interno = false;
                continue;
            }
            groups << oneByOne(t);
        } else {
            close();
            interno
                = t.compare(u"int"_s, Qt::CaseInsensitive) == 0 || t.compare(u"interno"_s, Qt::CaseInsensitive) == 0;
            groups << (interno ? u"interno"_s : t);
        }
    }
    return groups.join(u", "_s);
}

// "0.6.1.2." (each character followed by a dot, as the address book spells a telephone number):
// the number as typed, read in its groups, never "zero punto sei".
QString rewriteSpelled(const QString& text)
{
    static const QRegularExpression spelled(QStringLiteral(R"((?<![\w.])(?:[^\n]\.){3,})"));
    return replaceEach(text, spelled, [](const QRegularExpressionMatch& m) {
        const QString run = m.captured(0);
        QString typed;
        int digits = 0;
        for (qsizetype i = 0; i < run.size(); i += 2) {
            typed += run.at(i);
            digits += run.at(i).isDigit() ? 1 : 0;
        }
        return digits >= 2 ? telephoneWords(typed) + u'.' : run;
    });
}

// E-mail and web addresses as words: "mario punto rossi èt esempio punto it".
QString addressWords(const QString& address)
{
    QString out;
    QString rest = address;
    static const QRegularExpression scheme(QStringLiteral(R"(^https?://)"), QRegularExpression::CaseInsensitiveOption);
    rest.remove(scheme);
    if (rest.startsWith(u"www."_s, Qt::CaseInsensitive)) {
        out = u"vu vu vu punto "_s;
        rest = rest.mid(4);
    }
    static const QHash<QChar, QString> signs = { { u'@', u" èt "_s }, { u'.', u" punto "_s },
        { u'_', u" trattino basso "_s }, { u'-', u" trattino "_s }, { u'/', u" barra "_s } };
    for (const QChar c : rest)
        out += signs.value(c, c.isLetterOrNumber() ? QString(c) : u" "_s);
    return out.simplified();
}

QString rewriteAddresses(const QString& text)
{
    static const QRegularExpression address(
        QStringLiteral(
            R"((?<![\w@./])(?:[\w.+-]+@[\w-]+(?:\.[\w-]+)+|(?:https?://|www\.)[\w-]+(?:\.[\w-]+)+(?:/[\w\-./?=&%#]*)?)(?<![.\-/]))"),
        QRegularExpression::CaseInsensitiveOption);
    return replaceEach(text, address, [](const QRegularExpressionMatch& m) { return addressWords(m.captured(0)); });
}

QString rewriteDates(const QString& text)
{
    // dd/mm/yyyy, dd.mm.yyyy, dd-mm-yyyy (also d/m/yy), not part of a longer run of digits or signs
    static const QRegularExpression date(
        QStringLiteral(R"((?<![\d/.\-])(\d{1,2})([/.\-])(\d{1,2})\2(\d{4}|\d{2})(?![\d/\-]|[.,]\d))"));
    QString out = replaceEach(text, date, [](const QRegularExpressionMatch& m) {
        const int day = m.captured(1).toInt();
        const int month = m.captured(3).toInt();
        int year = m.captured(4).toInt();
        if (m.capturedLength(4) == 2)
            year += year < 70 ? 2000 : 1900;
        if (!QDate(year, month, day).isValid())
            return m.captured(0);
        return dateWords(day, month, year);
    });
    // dd/mm after a word that announces a day ("il 15/3", "entro il 08/12", "lunedì 7/12")
    static const QRegularExpression dayMonth(
        QStringLiteral(
            R"(\b(il|del|dal|al|nel|sul|per il|fino al|entro il|giorno|lunedì|martedì|mercoledì|giovedì|venerdì|sabato|domenica) (\d{1,2})/(\d{1,2})(?![\d/]|[.,]\d))"),
        QRegularExpression::CaseInsensitiveOption);
    out = replaceEach(out, dayMonth, [](const QRegularExpressionMatch& m) {
        const int day = m.captured(2).toInt();
        const int month = m.captured(3).toInt();
        if (!QDate(2000, month, day).isValid()) // 2000 has a 29 February
            return m.captured(0);
        return m.captured(1) + u' ' + dateWords(day, month, 0);
    });
    // a bare "15/3" or "08/12" (a day past 12, or written with two digits): "1/2" is a fraction
    static const QRegularExpression bare(QStringLiteral(R"((?<![\w/.,\-])(\d{1,2})/(\d{1,2})(?![\w/]|[.,]\d))"));
    out = replaceEach(out, bare, [](const QRegularExpressionMatch& m) {
        const int day = m.captured(1).toInt();
        const int month = m.captured(2).toInt();
        const bool dayShaped = day > 12 || (m.capturedLength(1) == 2 && m.capturedLength(2) == 2);
        if (!dayShaped || !QDate(2000, month, day).isValid())
            return m.captured(0);
        return dateWords(day, month, 0);
    });
    // "7 dic. 2026", "7 dic 2026", "15 sett."
    static const QRegularExpression shortMonth(
        QStringLiteral(R"(\b(\d{1,2}) (gen|feb|mar|apr|mag|giu|lug|ago|sett?|ott|nov|dic)(?:\.|(?= \d{4}\b)))"),
        QRegularExpression::CaseInsensitiveOption);
    return replaceEach(out, shortMonth, [](const QRegularExpressionMatch& m) {
        const int day = m.captured(1).toInt();
        const int month = monthOf(m.captured(2));
        return day >= 1 && day <= 31 ? dateWords(day, month, 0) : m.captured(0);
    });
}

// A telephone number in free text, by its shape: an Italian prefix (0.. or 3..), or "+" and a
// country code, then groups, 8 to 13 digits in all.
QString rewriteTelephones(const QString& text)
{
    static const QRegularExpression phone(QStringLiteral(
        R"((?<![\w+.,/:])(?:\+\d{2,3}[ .\-]?)?(?:0\d{1,4}|3\d{2}|80[03])(?:[ ./\-]?\d{2,8}){0,3}(?![\w]|[.,/:\-]\d))"));
    return replaceEach(text, phone, [](const QRegularExpressionMatch& m) {
        const QString typed = m.captured(0);
        const auto digits = std::count_if(typed.begin(), typed.end(), [](QChar c) { return c.isDigit(); });
        return digits >= 8 && digits <= 13 ? telephoneWords(typed) : typed;
    });
}

// "1.500,50 €", "€ 20", "20 €", "EUR 3,5": the euros in digits, the cents after "e".
QString rewriteMoney(const QString& text)
{
    static const QString amount = QStringLiteral(R"((\d{1,3}(?:\.\d{3})+|\d+)(?:,(\d{1,2}))?)");
    static const QRegularExpression before(
        QStringLiteral(R"((?:€|\bEUR)\s?)") + amount + QStringLiteral(R"((?![\d.,]\d))"));
    static const QRegularExpression after(
        QStringLiteral(R"((?<![\d.,]))") + amount + QStringLiteral(R"(\s?(?:€|\bEUR\b|\beuro\b))"));
    const auto words = [](const QRegularExpressionMatch& m) {
        const QString euros = m.captured(1).remove(u'.');
        QString out = (euros == u"1" ? u"un"_s : euros) + u" euro"_s;
        QString cents = m.captured(2);
        if (cents.size() == 1)
            cents += u'0';
        if (!cents.isEmpty() && cents != u"00")
            out += u" e "_s + QString::number(cents.toInt());
        return out;
    };
    return replaceEach(replaceEach(text, before, words), after, words);
}

const QString TimeWords = QStringLiteral("ore|alle|dalle|delle|le|entro le|verso le|fino alle|per le|h");

QString timeWords(int hour, int minute, int second, bool hasSeconds)
{
    if (minute == 0 && !hasSeconds)
        return QString::number(hour);
    QString words = QString::number(hour) + u" e "_s + QString::number(minute);
    if (hasSeconds)
        words += u" e "_s + QString::number(second) + u" secondi"_s;
    return words;
}

bool validTime(int hour, int minute, int second = 0) { return hour <= 23 && minute <= 59 && second <= 59; }

QString rewriteTimes(const QString& text)
{
    // "h 15", "h. 15", "h15": hours
    static const QRegularExpression hSign(QStringLiteral(R"(\bh\.?\s?(?=\d{1,2}\b))"));
    QString out = text;
    out.replace(hSign, QStringLiteral("ore "));
    // a range of times: "9:00-10:30", "dalle 9.00 - 10.00"
    static const QRegularExpression range(
        QStringLiteral(
            R"((\b(?:dalle|ore|alle|delle)\s)?(?<![\d.,:])(\d{1,2})[:.,](\d{2})\s?[-–]\s?(\d{1,2})[:.,](\d{2})(?![\d]|[.,:]\d))"),
        QRegularExpression::CaseInsensitiveOption);
    out = replaceEach(out, range, [](const QRegularExpressionMatch& m) {
        const int h1 = m.captured(2).toInt(), m1 = m.captured(3).toInt();
        const int h2 = m.captured(4).toInt(), m2 = m.captured(5).toInt();
        if (!validTime(h1, m1) || !validTime(h2, m2))
            return m.captured(0);
        const QString lead = m.captured(1).trimmed().toLower();
        const QString from = lead == u"dalle" || lead.isEmpty() ? u"dalle "_s : m.captured(1) + u"dalle "_s;
        return (lead == u"dalle" ? m.captured(1) : from) + timeWords(h1, m1, 0, false) + u" alle "_s
            + timeWords(h2, m2, 0, false);
    });
    // H:MM and HH:MM:SS, in any context
    static const QRegularExpression colon(
        QStringLiteral(R"((?<![\d.,:])(\d{1,2}):(\d{2})(?::(\d{2}))?(?!\d|[.,:]\d))"));
    out = replaceEach(out, colon, [](const QRegularExpressionMatch& m) {
        const int hour = m.captured(1).toInt(), minute = m.captured(2).toInt(), second = m.captured(3).toInt();
        if (!validTime(hour, minute, second))
            return m.captured(0);
        return timeWords(hour, minute, second, m.capturedLength(3) > 0);
    });
    // H.MM and H,MM only after a word of time ("alle 21.30", "entro le 15,30"): "vale 3.14" is a number
    static const QRegularExpression pointed(
        QStringLiteral(R"(\b(%1) (\d{1,2})[.,](\d{2})(?!\d|[.,]\d))").arg(TimeWords),
        QRegularExpression::CaseInsensitiveOption);
    return replaceEach(out, pointed, [](const QRegularExpressionMatch& m) {
        const int hour = m.captured(2).toInt(), minute = m.captured(3).toInt();
        if (!validTime(hour, minute))
            return m.captured(0);
        return m.captured(1) + u' ' + timeWords(hour, minute, 0, false);
    });
}

// "192.168.10.20" or "1.2.3": numbers joined by points, each said apart with "punto" (an engine
// would take the first point for a thousands point).
QString rewriteDottedNumbers(const QString& text)
{
    static const QRegularExpression dotted(QStringLiteral(R"((?<![\d.,])\d+(?:\.\d+){2,}(?![\d]|[.,]\d))"));
    return replaceEach(text, dotted, [](const QRegularExpressionMatch& m) {
        static const QRegularExpression thousands(QStringLiteral(R"(^\d{1,3}(?:\.\d{3})+$)"));
        return thousands.match(m.captured(0)).hasMatch() ? m.captured(0) : m.captured(0).split(u'.').join(u" punto "_s);
    });
}

// "3.14" and "6.04" are said with "punto" (never as a time); a point before three digits is a
// thousands point ("1.500"), which the engine's own step handles.
QString rewriteDecimalPoints(const QString& text)
{
    static const QRegularExpression decimal(QStringLiteral(R"((?<![\d.,])(\d+)\.(\d{1,2}|\d{4,})(?![\d]|[.,]\d))"));
    return replaceEach(text, decimal, [](const QRegularExpressionMatch& m) {
        QString fraction = m.captured(2);
        if (fraction.startsWith(u'0')) {
            fraction = oneByOne(fraction);
        }
        return m.captured(1) + u" punto "_s + fraction;
    });
}

// "#2" is "numero 2"; "-150" standing alone is "meno 150".
QString rewriteSignedNumbers(const QString& text)
{
    static const QRegularExpression hash(QStringLiteral(R"(#\s?(?=\d))"));
    static const QRegularExpression minus(QStringLiteral(R"((^|[\s(])[-–](?=\d))"));
    return QString(text).replace(hash, QStringLiteral("numero ")).replace(minus, QStringLiteral("\\1meno "));
}

// "12-18" is "dal 12 al 18" (a range goes up), "3-1" a score, "3 a 1".
QString rewriteNumberRanges(const QString& text)
{
    static const QRegularExpression range(
        QStringLiteral(R"((\b(?:dal|da|dalle)\s)?(?<![\d.,:/\-])(\d{1,4})\s?[-–]\s?(\d{1,4})(?![\d.,:/\-]|[.,]\d))"),
        QRegularExpression::CaseInsensitiveOption);
    return replaceEach(text, range, [](const QRegularExpressionMatch& m) {
        const qint64 a = m.captured(2).toLongLong(), b = m.captured(3).toLongLong();
        if (a >= b)
            return m.captured(1) + m.captured(2) + u" a "_s + m.captured(3);
        return (m.captured(1).isEmpty() ? u"dal "_s : m.captured(1)) + m.captured(2) + u" al "_s + m.captured(3);
    });
}

// Articles and prepositions before a number that begins with a vowel elide ("l'8 marzo" is
// "l'otto marzo", "dal 11" "dall'undici"); before a month, 1 is "primo" ("il 1 gennaio").
QString rewriteArticles(const QString& text)
{
    static const QHash<QString, QString> elided = { { u"il"_s, u"l'"_s }, { u"del"_s, u"dell'"_s },
        { u"dal"_s, u"dall'"_s }, { u"al"_s, u"all'"_s }, { u"nel"_s, u"nell'"_s }, { u"sul"_s, u"sull'"_s } };
    static const QHash<QString, QString> whole = { { u"l"_s, u"il"_s }, { u"dell"_s, u"del"_s },
        { u"dall"_s, u"dal"_s }, { u"all"_s, u"al"_s }, { u"nell"_s, u"nel"_s }, { u"sull"_s, u"sul"_s } };
    static const QRegularExpression month(QStringLiteral(R"(^\s+(?:%1)\b)").arg(Months));
    const auto capitalised = [](const QString& word, bool capital) {
        return capital ? word.left(1).toUpper() + word.mid(1) : word;
    };
    // "il 8", "dal 1 giugno"
    static const QRegularExpression spaced(QStringLiteral(R"(\b([IiDdAaNnSs](?:l|el|al|ul)) (\d{1,6})\b(?![.,:/]\d))"));
    QString out = replaceEach(text, spaced, [&](const QRegularExpressionMatch& m) {
        const QString article = m.captured(1);
        const qint64 n = m.captured(2).toLongLong();
        const bool capital = article.at(0).isUpper();
        const bool beforeMonth = month.match(QStringView(text).mid(m.capturedEnd())).hasMatch();
        if (n == 1 && beforeMonth)
            return article + u" primo"_s;
        if (n == 1 || !elided.contains(article.toLower()) || !startsWithVowelSound(n))
            return m.captured(0);
        return capitalised(elided.value(article.toLower()), capital) + ItalianNumbers::cardinal(n);
    });
    // "l'8", "dell'11"
    static const QRegularExpression apostrophe(QStringLiteral(R"(\b(\w+)['’](\d{1,6})\b(?![.,:/]\d))"));
    out = replaceEach(out, apostrophe, [&](const QRegularExpressionMatch& m) {
        const QString article = m.captured(1);
        const qint64 n = m.captured(2).toLongLong();
        const bool beforeMonth = month.match(QStringView(out).mid(m.capturedEnd())).hasMatch();
        if (n == 1 && beforeMonth && whole.contains(article.toLower()))
            return capitalised(whole.value(article.toLower()), article.at(0).isUpper()) + u" primo"_s;
        return startsWithVowelSound(n) ? article + u'\'' + ItalianNumbers::cardinal(n) : m.captured(0);
    });
    return out;
}

// "sono le 1 e 5" is "è l'una e 5", "alle 0 e 30" "a mezzanotte e 30"; "e 0 minuti" is "in punto".
QString rewriteHours(const QString& text)
{
    static const QRegularExpression oneOrZero(QStringLiteral(
        R"(\b([Ss]ono le|[Aa]lle|[Dd]elle|[Dd]alle|[Ee]ntro le|[Vv]erso le|[Ff]ino alle|[Pp]er le) ([01])(?= e \d|(?![\d.,:])\b))"));
    QString out = replaceEach(text, oneOrZero, [](const QRegularExpressionMatch& m) {
        const QString lead = m.captured(1);
        const QString lower = lead.toLower();
        const bool one = m.captured(2) == u"1";
        QString said;
        if (lower == u"sono le")
            said = one ? u"è l'una"_s : u"è mezzanotte"_s;
        else if (lower == u"alle")
            said = one ? u"all'una"_s : u"a mezzanotte"_s;
        else if (lower == u"delle")
            said = one ? u"dell'una"_s : u"di mezzanotte"_s;
        else if (lower == u"dalle")
            said = one ? u"dall'una"_s : u"da mezzanotte"_s;
        else if (lower == u"fino alle")
            said = one ? u"fino all'una"_s : u"fino a mezzanotte"_s;
        else // "entro le", "verso le", "per le"
            said = lower.chopped(2) + (one ? u"l'una"_s : u"mezzanotte"_s);
        return lead.at(0).isUpper() ? said.left(1).toUpper() + said.mid(1) : said;
    });
    static const QString hour = QStringLiteral(R"(((?:[Ss]ono le|[Aa]lle|[Dd]elle) \d{1,2}|l'una|mezzanotte))");
    static const QRegularExpression sharp(hour + QStringLiteral(R"( e 0(?: minuti)?(?!\d|[.,]\d))"));
    out.replace(sharp, QStringLiteral("\\1 in punto"));
    static const QRegularExpression oneMinute(hour + QStringLiteral(R"( e 1 minuti\b)"));
    out.replace(oneMinute, QStringLiteral("\\1 e un minuto"));
    return out;
}

// "1° piano" is "primo piano", "2ª" "seconda", "n°" "numero", "20°C" and "30°" are degrees.
QString rewriteOrdinals(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(R"(\b[Nn][°º]\s?(?=\d))"));
    QString out = text;
    out.replace(number, QStringLiteral("numero "));
    static const QRegularExpression degrees(QStringLiteral(R"((\d)\s?°\s?[CF]\b)"));
    out.replace(degrees, QStringLiteral("\\1 gradi"));
    static const QRegularExpression ordinal(QStringLiteral(R"((?<![\d.,])(\d{1,6})([°ºª])(\s+\p{L}+)?)"));
    return replaceEach(out, ordinal, [](const QRegularExpressionMatch& m) {
        const qint64 n = m.captured(1).toLongLong();
        const bool feminine = m.captured(2) == u"ª";
        static const QStringList counted = { u"anniversario"_s, u"compleanno"_s, u"piano"_s, u"posto"_s, u"giorno"_s,
            u"secolo"_s, u"anno"_s, u"classificato"_s, u"classificata"_s, u"edizione"_s, u"appello"_s, u"congresso"_s,
            u"capitolo"_s, u"volta"_s, u"livello"_s, u"grado"_s };
        const bool countedNoun = counted.contains(m.captured(3).trimmed().toLower());
        if (m.captured(2) == u"°" && (m.captured(3).isEmpty() || (n > 10 && !countedNoun)))
            return m.captured(1) + u" gradi"_s + m.captured(3);
        const QString word = ItalianNumbers::ordinal(n, feminine);
        return (word.isEmpty() ? m.captured(1) : word) + m.captured(3);
    });
}

// "Via XX Settembre" is "Via 20 Settembre"; "Giovanni XXIII", "XIX secolo" take the ordinal.
QString rewriteRomanNumerals(const QString& text)
{
    static const QRegularExpression numeral(
        QStringLiteral(R"((?:(\b\p{Lu}\p{Ll}+) )?\b([IVXL]{2,}|[IVX](?= secolo))\b( secolo\b)?)"));
    static const QStringList streets
        = { u"Via"_s, u"Viale"_s, u"Piazza"_s, u"Corso"_s, u"Largo"_s, u"Piazzale"_s, u"Vicolo"_s };
    return replaceEach(text, numeral, [](const QRegularExpressionMatch& m) {
        const QString before = m.captured(1);
        const int value = ItalianNumbers::roman(m.captured(2));
        const QString lead = before.isEmpty() ? QString() : before + u' ';
        if (value == 0 || (before.isEmpty() && m.captured(3).isEmpty()))
            return m.captured(0);
        if (streets.contains(before))
            return lead + QString::number(value) + m.captured(3);
        return lead + ItalianNumbers::ordinal(value) + m.captured(3);
    });
}

// Units after a number: "5 kg" is "5 chili", "1 km" "1 chilometro", "90 km/h" "90 chilometri orari".
QString rewriteUnits(const QString& text)
{
    struct Unit
    {
        const char* sign;
        const char* one;
        const char* many;
    };
    static const Unit units[] = { { "km/h", "chilometro orario", "chilometri orari" }, { "kg", "chilo", "chili" },
        { "km", "chilometro", "chilometri" }, { "cm", "centimetro", "centimetri" },
        { "mm", "millimetro", "millimetri" }, { "ml", "millilitro", "millilitri" },
        { "mg", "milligrammo", "milligrammi" }, { "g", "grammo", "grammi" }, { "m", "metro", "metri" },
        { "l", "litro", "litri" }, { "h", "ora", "ore" }, { "min", "minuto", "minuti" } };
    static const QRegularExpression measure(
        QStringLiteral(R"((?<![\w.,])(\d+(?:,\d+)?)\s?(km/h|kg|km|cm|mm|ml|mg|min|g|m|l|h)(?![\w'’/]))"));
    return replaceEach(text, measure, [](const QRegularExpressionMatch& m) {
        const QString sign = m.captured(2);
        for (const Unit& unit : units)
            if (sign == QLatin1String(unit.sign))
                return m.captured(1) + u' ' + QString::fromUtf8(m.captured(1) == u"1" ? unit.one : unit.many);
        return m.captured(0);
    });
}

QString rewriteAbbreviations(const QString& text)
{
    struct Abbreviation
    {
        const char* pattern;
        const char* words;
    };
    static const Abbreviation table[] = { { "dott\\.ssa", "dottoressa" }, { "prof\\.ssa", "professoressa" },
        { "sig\\.ra", "signora" }, { "sig\\.na", "signorina" }, { "sigg\\.", "signori" }, { "sig\\.", "signor" },
        { "dott\\.", "dottor" }, { "dr\\.", "dottor" }, { "prof\\.", "professor" }, { "ing\\.", "ingegner" },
        { "avv\\.", "avvocato" }, { "arch\\.", "architetto" }, { "geom\\.", "geometra" }, { "rag\\.", "ragionier" },
        { "gent\\.mo", "gentilissimo" }, { "gent\\.ma", "gentilissima" }, { "gent\\.mi", "gentilissimi" },
        { "egr\\.", "egregio" }, { "spett\\.le", "spettabile" }, { "p\\.zza", "piazza" }, { "p\\.za", "piazza" },
        { "c\\.so", "corso" }, { "v\\.le", "viale" }, { "l\\.go", "largo" }, { "p\\.le", "piazzale" },
        { "int\\.", "interno" }, { "cell\\.", "cellulare" }, { "tel\\.", "telefono" }, { "cap\\.", "capitolo" },
        { "ca\\.", "circa" }, { "pag\\.", "pagina" }, { "p\\.\\s?es\\.", "per esempio" }, { "c/o", "presso" },
        { "n(?:r|um|\\.ro)?\\.(?=\\s?\\d)", "numero" } };
    static const auto patterns = [] {
        QList<std::pair<QRegularExpression, QString>> list;
        for (const auto& [pattern, words] : table)
            list.append({ QRegularExpression(QStringLiteral(R"((?<![\w.@/]))") + QString::fromLatin1(pattern)
                                  + QStringLiteral(R"((?![\w@]))"),
                              QRegularExpression::CaseInsensitiveOption),
                QString::fromLatin1(words) });
        return list;
    }();
    QString out = text;
    for (const auto& [pattern, words] : patterns)
        out.replace(pattern, words);
    // "ecc." keeps its full stop when a sentence ends with it
    static const QRegularExpression etc(
        QStringLiteral(R"((?<![\w.@])ecc\.(?=(\s+\p{Lu}|\s*$))?)"), QRegularExpression::CaseInsensitiveOption);
    return replaceEach(
        out, etc, [](const QRegularExpressionMatch& m) { return m.hasCaptured(1) ? u"eccetera."_s : u"eccetera"_s; });
}

// "1 ora" is "un'ora", "1 persona" "una persona", "1 studente" "uno studente".
QString rewriteAgreement(const QString& text)
{
    // "1" after a word that names what it counts ("sala 1"), or before a month or a name, is a
    // number, not an article.
    static const QRegularExpression one(QStringLiteral(R"((?:(\p{L}+) )?(?<![\w.,:/'’\-])1 (\p{L}+))"));
    static const QSet<QString> numbered = { u"sala"_s, u"camera"_s, u"piano"_s, u"stanza"_s, u"aula"_s, u"pagina"_s,
        u"capitolo"_s, u"binario"_s, u"via"_s, u"numero"_s, u"linea"_s, u"gate"_s, u"terminal"_s, u"lotto"_s,
        u"scala"_s, u"interno"_s, u"box"_s, u"posto"_s, u"volume"_s, u"atto"_s, u"scena"_s, u"parte"_s, u"livello"_s,
        u"versione"_s, u"articolo"_s, u"comma"_s, u"punto"_s, u"classe"_s, u"sezione"_s, u"fase"_s, u"tavolo"_s,
        u"ufficio"_s, u"reparto"_s, u"ore"_s, u"canale"_s };
    static const QSet<QString> notNouns = { u"e"_s, u"ed"_s, u"o"_s, u"di"_s, u"a"_s, u"ad"_s, u"da"_s, u"in"_s,
        u"con"_s, u"su"_s, u"per"_s, u"tra"_s, u"fra"_s, u"il"_s, u"lo"_s, u"la"_s, u"gli"_s, u"le"_s, u"che"_s,
        u"non"_s, u"al"_s, u"del"_s, u"dal"_s, u"nel"_s, u"sul"_s, u"ma"_s, u"se"_s, u"come"_s, u"alle"_s, u"dalle"_s,
        u"delle"_s, u"sono"_s, u"era"_s, u"volte"_s, u"euro"_s, u"punto"_s, u"virgola"_s };
    static const QSet<QString> masculineInA = { u"problema"_s, u"programma"_s, u"sistema"_s, u"tema"_s, u"clima"_s,
        u"pigiama"_s, u"schema"_s, u"diploma"_s, u"dramma"_s, u"panorama"_s, u"pianeta"_s, u"poeta"_s, u"papa"_s,
        u"cinema"_s, u"telegramma"_s, u"fantasma"_s };
    static const QSet<QString> feminineInE = { u"notte"_s, u"chiave"_s, u"gente"_s, u"classe"_s, u"parte"_s, u"mente"_s,
        u"nave"_s, u"fine"_s, u"madre"_s, u"moglie"_s, u"email"_s, u"mail"_s, u"lente"_s, u"sede"_s, u"fonte"_s,
        u"frase"_s, u"base"_s, u"torre"_s, u"voce"_s, u"pace"_s, u"neve"_s, u"carne"_s };
    return replaceEach(text, one, [](const QRegularExpressionMatch& m) {
        const QString before = m.captured(1);
        const QString lead = before.isEmpty() ? QString() : before + u' ';
        const QString noun = m.captured(2);
        const QString lower = noun.toLower();
        if (notNouns.contains(lower) || monthOf(lower) > 0 || lower.size() < 2 || noun.at(0).isUpper()
            || numbered.contains(before.toLower()))
            return m.captured(0);
        const bool vowel = QStringView(u"aeiouàèéìòù").contains(lower.at(0));
        bool feminine = false;
        if (lower.endsWith(u'a'))
            feminine = !masculineInA.contains(lower);
        else if (lower.endsWith(u"zione"_s) || lower.endsWith(u"sione"_s) || lower.endsWith(u"gione"_s)
            || lower.endsWith(u"tudine"_s) || lower.endsWith(u"tà"_s) || lower.endsWith(u"tù"_s))
            feminine = true;
        else if (lower.endsWith(u'e'))
            feminine = feminineInE.contains(lower);
        else if (lower.endsWith(u'i') && lower != u"taxi")
            return m.captured(0); // "crisi" or "bikini": not guessed
        QString article;
        if (feminine)
            article = vowel ? u"un'"_s : u"una "_s;
        else {
            static const QRegularExpression impure(QStringLiteral(R"(^(?:s[^aeiouàèéìòù]|z|gn|ps|pn|x|y))"));
            article = impure.match(lower).hasMatch() ? u"uno "_s : u"un "_s;
        }
        return lead + article + noun;
    });
}

// English words of the office that both engines read as Italian: "il file" is "il fàil" (but "le
// file", the rows, stay Italian).
QString rewriteLoanwords(const QString& text)
{
    static const QRegularExpression file(
        QStringLiteral(
            R"(\b(il|un|del|dal|nel|sul|al|col|i|dei|nei|sui|ai|questo|quel|quello|questi|quei|ogni|tuo|mio|suo|nuovo|nuovi) (file)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    return replaceEach(text, file, [](const QRegularExpressionMatch& m) {
        return m.captured(1) + (m.captured(2).at(0).isUpper() ? u" Fàil"_s : u" fàil"_s);
    });
}

// "1) pane 2) latte": a list, "1: pane 2: latte".
QString rewriteListMarkers(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral(R"((^|\s)(\d{1,2})\)(?=\s))"));
    return replaceEach(
        text, marker, [](const QRegularExpressionMatch& m) { return m.captured(1) + m.captured(2) + u':'; });
}

// A sign standing alone means nothing to the ear: a full stop or a comma goes back to the word it
// ends ("Rossi . telefono" is "Rossi. telefono", but ". ." stays a pause), a dash is a pause, and
// any other lone sign ("*", "#", "(", ")", "/") is dropped; "_" is a space.
QString rewriteLoneSigns(const QString& text)
{
    QString out = text;
    out.replace(u'_', u' ');
    static const QRegularExpression lone(QStringLiteral(R"((?<=\S)(\s+)([^\p{L}\p{N}\s]+)(?=\s|$))"));
    out = replaceEach(out, lone, [](const QRegularExpressionMatch& m) {
        const QString sign = m.captured(2);
        static const QRegularExpression closing(QStringLiteral(R"(^[.,;:!?…]+$)"));
        if (closing.match(sign).hasMatch())
            return sign.startsWith(u'.') ? m.captured(0) : sign; // ". ." is a pause of its own
        if (sign == u"-" || sign == u"–" || sign == u"—")
            return u","_s;
        static const QRegularExpression meaningful(QStringLiteral(R"(^[€$£%&+=@°§]$)"));
        return meaningful.match(sign).hasMatch() ? m.captured(0) : QString();
    });
    // a lone full stop after a word that has no sign of its own ends that word
    static const QRegularExpression looseStop(QStringLiteral(R"((?<=[\p{L}\p{N})\]"'»])\s+\.(?=\s|$))"));
    out.replace(looseStop, QStringLiteral("."));
    return out;
}

// Festival's Italian alphabet in Latin-1, beside ASCII.
bool festivalLetter(char32_t c) { return QStringView(u"àáèéìíòóùúÀÁÈÉÌÍÒÓÙÚ").contains(QChar(c)); }

QString festivalChar(char32_t c)
{
    static const QHash<char32_t, QString> words = { { U'€', u"euro"_s }, { U'£', u"sterline"_s },
        { U'$', u"dollari"_s }, { U'¥', u"yen"_s }, { U'%', u"per cento"_s }, { U'‰', u"per mille"_s },
        { U'&', u"e"_s }, { U'+', u"più"_s }, { U'=', u"uguale"_s }, { U'@', u"èt"_s }, { U'°', u"gradi"_s },
        { U'§', u"paragrafo"_s }, { U'½', u"un mezzo"_s }, { U'¼', u"un quarto"_s }, { U'¾', u"tre quarti"_s },
        { U'²', u"al quadrato"_s }, { U'³', u"al cubo"_s }, { U'×', u"per"_s }, { U'÷', u"diviso"_s },
        { U'±', u"più o meno"_s }, { U'µ', u"micro"_s }, { U'ß', u"ss"_s }, { U'æ', u"ae"_s }, { U'Æ', u"ae"_s },
        { U'œ', u"oe"_s }, { U'Œ', u"oe"_s }, { U'ø', u"o"_s }, { U'Ø', u"o"_s }, { U'ł', u"l"_s }, { U'Ł', u"l"_s },
        { U'đ', u"d"_s }, { U'ð', u"d"_s }, { U'Ð', u"d"_s }, { U'þ', u"th"_s }, { U'Þ', u"th"_s }, { U'ı', u"i"_s },
        { U'‘', u"'"_s }, { U'’', u"'"_s }, { U'´', u"'"_s }, { U'`', u"'"_s }, { U'“', u"\""_s }, { U'”', u"\""_s },
        { U'„', u"\""_s }, { U'«', u"\""_s }, { U'»', u"\""_s }, { U'–', u","_s }, { U'—', u","_s },
        { U'…', u"..."_s } };
    if (const auto it = words.constFind(c); it != words.constEnd()) // a sign said as a word stands apart
        return it->at(0).isLetter() && !QString::fromUcs4(&c, 1).at(0).isLetter() ? u' ' + *it + u' ' : *it;
    if (c < 0x80)
        return c < 0x20 || c == 0x7f ? u" "_s : QString(QChar(c));
    if (festivalLetter(c))
        return QString(QChar(c));
    const QString one = QString::fromUcs4(&c, 1);
    if (one.at(0).isLetter()) {
        // an accent Festival does not know is dropped; a letter of another alphabet is not said
        QString base;
        for (const QChar part : one.normalized(QString::NormalizationForm_D))
            if (part.unicode() < 0x80 && part.isLetter())
                base += part;
        return base.isEmpty() ? u" "_s : base;
    }
    return u" "_s; // emoji, other signs, odd spaces
}

QString splitAtDigits(const QString& token)
{
    enum Kind
    {
        Number,
        Word,
        Sign
    };
    QString out;
    Kind previous = Sign;
    for (qsizetype i = 0; i < token.size(); ++i) {
        const QChar c = token.at(i);
        const bool digitBefore = i > 0 && token.at(i - 1).isDigit();
        const bool digitAfter = i + 1 < token.size() && token.at(i + 1).isDigit();
        Kind kind = c.isDigit() ? Number : c.isLetter() || c == u'\'' ? Word : Sign;
        if ((QStringView(u".,:").contains(c) && digitBefore && digitAfter) || (c == u'-' && i == 0 && digitAfter))
            kind = Number; // "3,5", "12:30", "-5"
        const bool closing = QStringView(u".,;:!?").contains(c);
        if (closing && std::all_of(token.begin() + i, token.end(), [](QChar d) {
                return QStringView(u".,;:!?").contains(d);
            })) {
            out += token.mid(i); // a sentence's own punctuation ends the token, as Festival expects
            break;
        }
        if (!out.isEmpty() && (kind != previous || kind == Sign))
            out += u' ';
        out += c;
        previous = kind;
    }
    return out;
}

} // namespace

QString forEar(const QString& text)
{
    // A long text a stretch of whole sentences at a time: a pattern's search over the whole of a
    // book for every match would make the cost grow with the square of its length.
    constexpr qsizetype Stretch = 4000;
    if (text.size() > Stretch) {
        QString out;
        for (qsizetype from = 0, end = 0; from < text.size(); from = end) {
            end = SentenceSplitter::pieceEnd(text, from, Stretch);
            out += forEar(text.mid(from, end - from));
        }
        return out;
    }
    // In this order: what has a shape of its own first (an address, a spelled number, a date, a
    // telephone number, a sum), then the times and numbers that are left, then words and signs.
    QString out = collapseMarks(text);
    for (const auto pass : { rewriteSpelled, rewriteAddresses, rewriteDates, rewriteTelephones, rewriteMoney,
             rewriteTimes, rewriteDottedNumbers, rewriteDecimalPoints, rewriteNumberRanges, rewriteSignedNumbers,
             rewriteArticles, rewriteHours, rewriteOrdinals, rewriteRomanNumerals, rewriteUnits, rewriteAbbreviations,
             rewriteLoanwords, rewriteAgreement, rewriteListMarkers, rewriteLoneSigns })
        out = pass(out);
    return out;
}

QByteArray forFestival(const QString& text)
{
    // Italian thousands, "1.500", which Festival would read "uno punto cinquecento"
    static const QRegularExpression thousands(QStringLiteral(R"((?<![\d.,])\d{1,3}(?:\.\d{3})+(?!\d|[.,]\d))"));
    QString out
        = replaceEach(text, thousands, [](const QRegularExpressionMatch& m) { return m.captured(0).remove(u'.'); });
    // a slash beside a digit that is not a date ("1/2", "12/a") would be read as a day and a month
    static const QRegularExpression slash(QStringLiteral(R"((?<=\d)\s*/\s*|\s*/\s*(?=\d))"));
    out.replace(slash, QStringLiteral(" barra "));

    QString mapped;
    for (const char32_t c : out.toUcs4())
        mapped += festivalChar(c);

    // A token with a digit and anything else in it makes Festival give up the sentence ("3)", "5*",
    // "h5;"): such a token is split into its number, its letters and each sign alone.
    QStringList tokens = mapped.split(u' ', Qt::SkipEmptyParts);
    for (QString& token : tokens)
        if (std::any_of(token.begin(), token.end(), [](QChar c) { return c.isDigit(); }))
            token = splitAtDigits(token);
    // Festival reads a token made only of signs by their names ("punto", "chiusa tonda"): a closing
    // sign goes back to the word before it, unless that word has one already; any other is dropped.
    QStringList said;
    for (const QString& token : tokens.join(u' ').split(u' ', Qt::SkipEmptyParts)) {
        if (std::any_of(token.begin(), token.end(), [](QChar c) { return c.isLetterOrNumber(); })) {
            said << token;
            continue;
        }
        const QChar mark = token.at(0);
        if (!said.isEmpty() && QStringView(u".,;:!?").contains(mark) && said.last().back().isLetterOrNumber())
            said.last() += mark;
    }
    return said.join(u' ').toLatin1();
}

} // namespace ItalianSpeechText
