// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/ItalianSpeechText.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
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

QString rewriteDates(const QString& text)
{
    // dd/mm/yyyy (also d/m/yyyy), not part of a longer run of digits or slashes
    static const QRegularExpression date(QStringLiteral(R"((?<![\d/])(\d{1,2})/(\d{1,2})/(\d{4})(?![\d/]))"));
    return replaceEach(text, date, [](const QRegularExpressionMatch& m) {
        const int day = m.captured(1).toInt();
        const int month = m.captured(2).toInt();
        const int year = m.captured(3).toInt();
        if (!QDate(year, month, day).isValid())
            return m.captured(0);
        return (day == 1 ? u"primo"_s : QString::number(day)) + u' ' + monthName(month) + u' ' + QString::number(year);
    });
}

QString rewriteTimes(const QString& text)
{
    // H:MM, HH:MM:SS and the 24-hour HH.MM; a decimal number or an address is left alone
    static const QRegularExpression time(
        QStringLiteral(R"((?<![\d.,:])(\d{1,2})([:.])(\d{2})(?:\2(\d{2}))?(?!\d|[.,:]\d))"));
    return replaceEach(text, time, [](const QRegularExpressionMatch& m) {
        const int hour = m.captured(1).toInt();
        const int minute = m.captured(3).toInt();
        const bool hasSeconds = m.capturedLength(4) > 0;
        const int second = m.captured(4).toInt();
        if (hour > 23 || minute > 59 || second > 59)
            return m.captured(0);
        QString words = QString::number(hour) + QStringLiteral(" e ") + QString::number(minute);
        if (hasSeconds)
            words += QStringLiteral(" e ") + QString::number(second) + QStringLiteral(" secondi");
        return words;
    });
}

// "0.6.1.2." (each character followed by a dot, as the address book spells a telephone number):
// the digits one by one with a short pause, "0, 6, 1, 2.", never "zero punto sei".
QString rewriteSpelled(const QString& text)
{
    static const QRegularExpression spelled(QStringLiteral(R"((?<![\w.])(?:[^.\n]\.){3,})"));
    return replaceEach(text, spelled, [](const QRegularExpressionMatch& m) {
        const QString run = m.captured(0);
        QStringList said;
        int digits = 0;
        for (qsizetype i = 0; i < run.size(); i += 2) {
            const QChar c = run.at(i);
            if (c.isDigit())
                ++digits;
            if (c.isLetterOrNumber())
                said << QString(c);
            else if (c == u'+')
                said << QStringLiteral("più");
            // blanks, dashes, slashes and brackets only group the digits
        }
        return digits >= 2 ? said.join(QStringLiteral(", ")) + u'.' : run;
    });
}

// "il 1 gennaio" is "il primo gennaio"; "il 8 dicembre" is "l'otto dicembre".
QString rewriteDayArticles(const QString& text)
{
    static const QRegularExpression day(QStringLiteral(R"(\b([Ii])l (1|8|11) (%1)\b)").arg(Months));
    return replaceEach(text, day, [](const QRegularExpressionMatch& m) {
        const QString article = m.captured(1);
        const QString month = m.captured(3);
        if (m.captured(2) == u"1")
            return article + QStringLiteral("l primo ") + month;
        const QString number = m.captured(2) == u"8" ? QStringLiteral("otto") : QStringLiteral("undici");
        return (article == u"I" ? QStringLiteral("L'") : QStringLiteral("l'")) + number + u' ' + month;
    });
}

// "sono le 1 e 5" is "è l'una e 5", "alle 0 e 30" "a mezzanotte e 30"; "e 0 minuti" is "in punto".
QString rewriteHours(const QString& text)
{
    static const QRegularExpression oneOrZero(QStringLiteral(R"(\b([Ss]ono le|[Aa]lle|[Dd]elle) ([01]) e (?=\d))"));
    QString out = replaceEach(text, oneOrZero, [](const QRegularExpressionMatch& m) {
        const QString lead = m.captured(1);
        const bool capital = lead.at(0).isUpper();
        const bool one = m.captured(2) == u"1";
        QString said;
        if (lead.endsWith(QLatin1String("ono le")))
            said = (capital ? QStringLiteral("È ") : QStringLiteral("è ")) + (one ? u"l'una"_s : u"mezzanotte"_s);
        else if (lead.endsWith(QLatin1String("lle")))
            said = one ? (capital ? u"All'una"_s : u"all'una"_s) : (capital ? u"A mezzanotte"_s : u"a mezzanotte"_s);
        else
            said
                = one ? (capital ? u"Dell'una"_s : u"dell'una"_s) : (capital ? u"Di mezzanotte"_s : u"di mezzanotte"_s);
        return said + QStringLiteral(" e ");
    });
    static const QString hour = QStringLiteral(R"(((?:[Ss]ono le|[Aa]lle|[Dd]elle) \d{1,2}|l'una|mezzanotte))");
    static const QRegularExpression sharp(hour + QStringLiteral(R"( e 0(?: minuti)?(?!\d|[.,]\d))"));
    out.replace(sharp, QStringLiteral("\\1 in punto"));
    static const QRegularExpression oneMinute(hour + QStringLiteral(R"( e 1 minuti\b)"));
    out.replace(oneMinute, QStringLiteral("\\1 e un minuto"));
    return out;
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
        { "dott\\.", "dottor" }, { "prof\\.", "professor" }, { "ing\\.", "ingegner" }, { "avv\\.", "avvocato" },
        { "arch\\.", "architetto" }, { "geom\\.", "geometra" }, { "rag\\.", "ragionier" }, { "tel\\.", "telefono" },
        { "pag\\.", "pagina" }, { "p\\.\\s?es\\.", "per esempio" }, { "c/o", "presso" },
        { "n(?:r|um)?\\.(?=\\s?\\d)", "numero" } };
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
    return rewriteAbbreviations(rewriteHours(rewriteDayArticles(rewriteTimes(rewriteDates(rewriteSpelled(text))))));
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
    return tokens.join(u' ').simplified().toLatin1();
}

} // namespace ItalianSpeechText
