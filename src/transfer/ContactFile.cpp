// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/ContactFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Far more than a person's address book (100 000 contacts take about 15 MB), little enough to
// hold in memory at once.
constexpr qint64 MaxFileBytes = 64LL * 1024 * 1024;
constexpr qint64 ReadChunkBytes = 1024 * 1024;
// How many lines go by between two looks at the cancel flag and the progress.
constexpr int LinesPerCheck = 4096;
// The longest line written, CRLF aside.
constexpr qsizetype FoldOctets = 75;

QString noNameReason() { return u"senza nome"_s; }
QString incompleteReason() { return u"contatto incompleto"_s; }

QString fileName(const QString& path) { return u'"' + QFileInfo(path).fileName() + u'"'; }

QString megabytes(qint64 bytes) { return QString::number(qRound64(double(bytes) / (1024 * 1024))) + u" MB"_s; }

bool same(QByteArrayView text, const char* word) { return qstrnicmp(text.data(), text.size(), word, -1) == 0; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// --- Lines -----------------------------------------------------------------------------------

// The physical lines of the file, without their ends (CRLF, LF or CR).
class Lines
{
public:
    explicit Lines(QByteArrayView data)
        : m_data(data)
    {
    }

    bool atEnd() const { return m_pos >= m_data.size(); }
    qsizetype position() const { return m_pos; }

    QByteArrayView next()
    {
        const qsizetype start = m_pos;
        const qsizetype end = lineEnd(start);
        m_pos = end;
        if (m_pos < m_data.size() && m_data[m_pos] == '\r')
            ++m_pos;
        if (m_pos < m_data.size() && m_data[m_pos] == '\n')
            ++m_pos;
        return m_data.sliced(start, end - start);
    }

    // The line that next() would give, without moving on.
    QByteArrayView peek() const { return atEnd() ? QByteArrayView() : m_data.sliced(m_pos, lineEnd(m_pos) - m_pos); }

private:
    qsizetype lineEnd(qsizetype from) const
    {
        const char* begin = m_data.data() + from;
        const char* end = m_data.data() + m_data.size();
        const char* p = begin;
        while (p != end && *p != '\n' && *p != '\r')
            ++p;
        return from + (p - begin);
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

// --- Content lines ---------------------------------------------------------------------------

enum class Encoding
{
    Plain,
    QuotedPrintable,
    Base64
};

// One content line, with what its parameters say that matters here.
struct Property
{
    QByteArrayView name;
    QByteArrayView value;
    QByteArrayView charset;
    Encoding encoding = Encoding::Plain;
    // The preference: 0 for none, else 1 (most preferred) to 100.
    int pref = 0;
    bool cell = false;

    void preferAt(int rank)
    {
        rank = std::clamp(rank, 1, 100);
        if (pref == 0 || rank < pref)
            pref = rank;
    }
    void applyType(QByteArrayView type)
    {
        type = type.trimmed();
        if (same(type, "pref"))
            preferAt(1);
        else if (same(type, "cell") || same(type, "mobile"))
            cell = true;
    }
    void applyEncoding(QByteArrayView word)
    {
        if (same(word, "QUOTED-PRINTABLE") || same(word, "QP") || same(word, "Q"))
            encoding = Encoding::QuotedPrintable;
        else if (same(word, "BASE64") || same(word, "B"))
            encoding = Encoding::Base64;
    }
    // A named parameter's value; a bare one (2.1) comes with an empty name.
    void applyParameter(QByteArrayView parameter, QByteArrayView value)
    {
        if (parameter.isEmpty()) {
            if (same(value, "QUOTED-PRINTABLE") || same(value, "BASE64"))
                applyEncoding(value);
            else
                applyType(value);
        } else if (same(parameter, "TYPE")) {
            // TYPE="cell,voice" arrives as one quoted value.
            qsizetype start = 0;
            for (qsizetype comma; (comma = value.indexOf(',', start)) >= 0; start = comma + 1)
                applyType(value.sliced(start, comma - start));
            applyType(value.sliced(start));
        } else if (same(parameter, "PREF")) {
            bool ok = false;
            const int rank = value.trimmed().toInt(&ok);
            preferAt(ok ? rank : 1);
        } else if (same(parameter, "ENCODING")) {
            applyEncoding(value.trimmed());
        } else if (same(parameter, "CHARSET")) {
            charset = value.trimmed();
        }
    }
};

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// Reads "[group.]NAME[;param...]:value"; false when the line is not one.
bool parseProperty(QByteArrayView line, Property* property)
{
    const qsizetype n = line.size();
    qsizetype i = 0;
    qsizetype nameStart = 0;
    while (i < n && isNameChar(line[i]))
        ++i;
    if (i < n && line[i] == '.') {
        nameStart = ++i;
        while (i < n && isNameChar(line[i]))
            ++i;
    }
    if (i == nameStart || i == n || (line[i] != ';' && line[i] != ':'))
        return false;
    *property = Property {};
    property->name = line.sliced(nameStart, i - nameStart);
    while (i < n && line[i] == ';') {
        const qsizetype start = ++i;
        while (i < n && line[i] != '=' && line[i] != ';' && line[i] != ':')
            ++i;
        const QByteArrayView parameter = line.sliced(start, i - start).trimmed();
        if (i == n || line[i] != '=') {
            property->applyParameter({}, parameter);
            continue;
        }
        // name=value[,value...], each value quoted or not.
        do {
            ++i;
            qsizetype valueStart = i;
            qsizetype valueEnd;
            if (i < n && line[i] == '"') {
                valueStart = ++i;
                while (i < n && line[i] != '"')
                    ++i;
                if (i == n)
                    return false;
                valueEnd = i++;
                while (i < n && line[i] != ',' && line[i] != ';' && line[i] != ':')
                    ++i;
            } else {
                while (i < n && line[i] != ',' && line[i] != ';' && line[i] != ':')
                    ++i;
                valueEnd = i;
            }
            property->applyParameter(parameter, line.sliced(valueStart, valueEnd - valueStart));
        } while (i < n && line[i] == ',');
    }
    if (i == n || line[i] != ':')
        return false;
    property->value = line.sliced(i + 1);
    return true;
}

// --- Values ----------------------------------------------------------------------------------

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray fromQuotedPrintable(QByteArrayView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            bytes.append(text[i]);
            continue;
        }
        const int high = i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
        if (low >= 0) {
            bytes.append(char(high * 16 + low));
            i += 2;
        } else if (i + 1 < text.size()) {
            bytes.append('='); // not an escape: kept as written
        }
    }
    return bytes;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

// windows-1252, which is ISO-8859-1 with letters and signs where that has control codes.
QString fromWindows1252(QByteArrayView bytes)
{
    static constexpr char16_t Block80[32] = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
        0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
        0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const uchar byte = uchar(c);
        *out++ = QChar(byte >= 0x80 && byte < 0xA0 ? Block80[byte - 0x80] : char16_t(byte));
    }
    return text;
}

bool isUtf8Name(QByteArrayView charset) { return same(charset, "UTF-8") || same(charset, "UTF8"); }

bool isWesternName(QByteArrayView charset)
{
    for (const char* name : { "ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1", "LATIN-1", "L1", "WINDOWS-1252",
             "CP1252", "WIN-1252", "US-ASCII", "ASCII" })
        if (same(charset, name))
            return true;
    return false;
}

QString decodeCharset(QByteArrayView bytes, QByteArrayView charset)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    if (!charset.isEmpty() && isWesternName(charset))
        return fromWindows1252(bytes);
    if (!charset.isEmpty() && !isUtf8Name(charset)) {
        QStringDecoder named(charset.toByteArray().constData(), QStringDecoder::Flag::Stateless);
        if (named.isValid()) {
            QString text = named.decode(bytes);
            if (!named.hasError())
                return text;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

// The characters of a property's value, its escapes still in place.
QString rawText(const Property& property)
{
    switch (property.encoding) {
    case Encoding::QuotedPrintable:
        return decodeCharset(fromQuotedPrintable(property.value), property.charset);
    case Encoding::Base64:
        return decodeCharset(QByteArray::fromBase64(property.value.toByteArray()), property.charset);
    case Encoding::Plain:
        break;
    }
    return decodeCharset(property.value, property.charset);
}

QString unescaped(QStringView text)
{
    if (!text.contains(u'\\'))
        return text.toString();
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            plain.append(c);
            continue;
        }
        const QChar escaped = text[++i];
        if (escaped == u'n' || escaped == u'N')
            plain.append(u'\n');
        else if (escaped == u'\\' || escaped == u',' || escaped == u';' || escaped == u':')
            plain.append(escaped);
        else
            plain.append(c).append(escaped);
    }
    return plain;
}

// Cuts at each `separator` that no backslash escapes; the parts keep their escapes.
QList<QStringView> splitUnescaped(QStringView text, QChar separator)
{
    QList<QStringView> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\')
            ++i;
        else if (text[i] == separator) {
            parts.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.sliced(start));
    return parts;
}

// One line of plain words: line ends, tabs and runs of blanks become one space.
QString oneLine(const QString& text)
{
    QString line = text;
    for (QChar& c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u' ';
    return line.simplified();
}

QString fitted(const QString& text)
{
    if (text.size() <= TransferRows::TextChars)
        return text;
    qsizetype keep = TransferRows::TextChars - 1; // room for "…"
    if (text[keep - 1].isHighSurrogate())
        --keep;
    const qsizetype space = text.lastIndexOf(u' ', keep);
    if (space > keep / 2)
        keep = space;
    QString cut = text.left(keep);
    while (!cut.isEmpty() && (cut.back().isSpace() || cut.back() == u',' || cut.back() == u';' || cut.back() == u':'))
        cut.chop(1);
    return cut + u'…';
}

// N (Family;Given;Additional;Prefix;Suffix) in the order it is said: "Dott. Mario Giovanni Rossi".
QString nameOfComponents(const QString& raw, bool commaLists)
{
    const QList<QStringView> parts = splitUnescaped(raw, u';');
    QStringList words;
    for (const int index : { 3, 1, 2, 0, 4 }) {
        if (index >= parts.size())
            continue;
        // From 3.0 on, a part may list several names: "Anna,Maria".
        const QList<QStringView> names = commaLists ? splitUnescaped(parts[index], u',') : QList { parts[index] };
        for (const QStringView name : names)
            words.append(unescaped(name));
    }
    return oneLine(words.join(u' '));
}

QString organization(const QString& raw)
{
    QStringList parts;
    for (const QStringView part : splitUnescaped(raw, u';')) {
        const QString text = oneLine(unescaped(part));
        if (!text.isEmpty())
            parts.append(text);
    }
    return parts.join(u", "_s);
}

QString phoneNumber(const QString& raw)
{
    QString text = oneLine(unescaped(raw));
    if (!text.startsWith(u"tel:"_s, Qt::CaseInsensitive))
        return text;
    // tel:+39-0543-712111;ext=12;phone-context=...
    const QList<QStringView> parts = QStringView(text).sliced(4).split(u';');
    QString number = QString::fromUtf8(QByteArray::fromPercentEncoding(parts.first().toUtf8()));
    for (const QStringView part : parts.sliced(1))
        if (part.startsWith(u"ext=", Qt::CaseInsensitive) && part.size() > 4)
            number += u" int. "_s + part.sliced(4).toString();
    return oneLine(number);
}

QString emailAddress(const QString& raw)
{
    QString text = oneLine(unescaped(raw));
    if (text.startsWith(u"mailto:"_s, Qt::CaseInsensitive))
        text = text.sliced(7).trimmed();
    return text;
}

// --- Cards -----------------------------------------------------------------------------------

// The telephone or address a card gives so far: the most preferred, the first mobile, the first.
struct Choice
{
    QString preferred;
    int preferredRank = 0;
    QString mobile;
    QString first;

    void offer(const QString& value, const Property& property)
    {
        if (value.isEmpty())
            return;
        if (property.pref != 0 && (preferredRank == 0 || property.pref < preferredRank)) {
            preferred = value;
            preferredRank = property.pref;
        }
        if (property.cell && mobile.isEmpty())
            mobile = value;
        if (first.isEmpty())
            first = value;
    }
    QString chosen() const { return !preferred.isEmpty() ? preferred : !mobile.isEmpty() ? mobile : first; }
};

struct Card
{
    bool version21 = false;
    bool commaLists = true;
    QString fullName;
    QString structuredName;
    QString organization;
    Choice phone;
    Choice email;
    // Inside a card carried by an AGENT property (2.1): how deep.
    int agentDepth = 0;
    // The last property was an AGENT with no value: a BEGIN:VCARD now opens the agent's card.
    bool agentOpen = false;

    QString name() const
    {
        return !fullName.isEmpty() ? fullName : !structuredName.isEmpty() ? structuredName : organization;
    }
};

class Reader
{
public:
    Reader(QByteArrayView data, const ReadControl& control)
        : m_data(data)
        , m_lines(data)
        , m_control(control)
    {
    }

    // False when cancelled.
    bool run()
    {
        int countdown = LinesPerCheck;
        while (!m_lines.atEnd()) {
            if (--countdown == 0) {
                countdown = LinesPerCheck;
                if (m_control.cancelled())
                    return false;
                report();
            }
            const QByteArrayView first = m_lines.next();
            if (first.trimmed().isEmpty())
                continue;
            Property property;
            if (!parseProperty(logicalLine(first), &property))
                continue;
            take(property);
        }
        if (m_card)
            skip(incompleteReason());
        return true;
    }

    bool sawBegin() const { return m_sawBegin; }
    int completeCards() const { return m_completeCards; }
    TransferRows& rows() { return m_rows; }

    void report()
    {
        if (!m_control.progress || m_data.isEmpty())
            return;
        const int percent = int(m_lines.position() * 100 / m_data.size());
        if (percent != m_percent)
            m_control.progress(m_percent = percent);
    }

private:
    // The first physical line with those that continue it.
    QByteArrayView logicalLine(QByteArrayView first)
    {
        Property header;
        if (first.endsWith('=') && parseProperty(first, &header) && header.encoding == Encoding::QuotedPrintable) {
            // A soft line break: the value goes on in the next line as it stands.
            m_joined.resize(0);
            m_joined.append(first);
            while (m_joined.endsWith('=') && !m_lines.atEnd() && !same(m_lines.peek().trimmed(), "END:VCARD")) {
                m_joined.chop(1);
                m_joined.append(m_lines.next());
            }
            return m_joined;
        }
        if (!isFolded())
            return first;
        m_joined.resize(0);
        m_joined.append(first);
        while (isFolded()) {
            const QByteArrayView more = m_lines.next();
            // 2.1 folds at white space and keeps it; 3.0 and 4.0 fold anywhere and drop it.
            m_joined.append(m_card && m_card->version21 ? more : more.sliced(1));
        }
        return m_joined;
    }
    bool isFolded() const
    {
        const QByteArrayView next = m_lines.peek();
        return !m_lines.atEnd() && !next.isEmpty() && isBlank(next[0]);
    }

    void take(const Property& property)
    {
        if (same(property.name, "BEGIN")) {
            if (!same(property.value.trimmed(), "VCARD"))
                return;
            m_sawBegin = true;
            if (m_card && (m_card->agentOpen || m_card->agentDepth > 0)) {
                ++m_card->agentDepth;
                m_card->agentOpen = false;
                return;
            }
            if (m_card)
                skip(incompleteReason());
            m_card.emplace();
            return;
        }
        if (same(property.name, "END")) {
            if (!same(property.value.trimmed(), "VCARD"))
                return;
            if (!m_card)
                m_rows.skipped[incompleteReason()] += 1;
            else if (m_card->agentDepth > 0)
                --m_card->agentDepth;
            else
                finish();
            return;
        }
        if (!m_card || m_card->agentDepth > 0)
            return;
        Card& card = *m_card;
        card.agentOpen = same(property.name, "AGENT") && property.value.trimmed().isEmpty();
        if (same(property.name, "VERSION")) {
            card.version21 = property.value.trimmed().startsWith("2");
            card.commaLists = !card.version21;
        } else if (same(property.name, "FN")) {
            if (card.fullName.isEmpty())
                card.fullName = oneLine(unescaped(rawText(property)));
        } else if (same(property.name, "N")) {
            if (card.structuredName.isEmpty())
                card.structuredName = nameOfComponents(rawText(property), card.commaLists);
        } else if (same(property.name, "ORG")) {
            if (card.organization.isEmpty())
                card.organization = organization(rawText(property));
        } else if (same(property.name, "TEL")) {
            card.phone.offer(phoneNumber(rawText(property)), property);
        } else if (same(property.name, "EMAIL")) {
            card.email.offer(emailAddress(rawText(property)), property);
        }
    }

    void finish()
    {
        ++m_completeCards;
        const QString name = m_card->name();
        if (name.isEmpty())
            m_rows.skipped[noNameReason()] += 1;
        else
            m_rows.contacts.append({ fitted(name), fitted(m_card->phone.chosen()), fitted(m_card->email.chosen()) });
        m_card.reset();
    }
    void skip(const QString& reason)
    {
        m_rows.skipped[reason] += 1;
        m_card.reset();
    }

    QByteArrayView m_data;
    Lines m_lines;
    const ReadControl& m_control;
    QByteArray m_joined;
    std::optional<Card> m_card;
    bool m_sawBegin = false;
    int m_completeCards = 0;
    int m_percent = -1;
    TransferRows m_rows;
};

// --- The file --------------------------------------------------------------------------------

// Why the file at `path` cannot be read, or an empty text when it can be tried.
QString unreadable(const QString& path, const QFileInfo& info)
{
    if (!info.exists())
        return u"Il file %1 non esiste."_s.arg(fileName(path));
    if (info.isDir())
        return u"%1 è una cartella, non un file."_s.arg(fileName(path));
    if (!info.isFile())
        return u"Il file %1 non è un file normale (è un dispositivo o una coda) e non si può leggere."_s.arg(
            fileName(path));
    if (!info.isReadable())
        return u"Il file %1 non si può leggere: non hai il permesso di aprirlo."_s.arg(fileName(path));
    if (info.size() > MaxFileBytes)
        return u"Il file %1 è troppo grande (%2): una rubrica si legge fino a %3."_s.arg(
            fileName(path), megabytes(info.size()), megabytes(MaxFileBytes));
    return {};
}

} // namespace

TransferRows ContactFile::read(const QString& path, const ReadControl& control)
{
    const QFileInfo info(path);
    if (const QString reason = unreadable(path, info); !reason.isEmpty())
        return TransferRows::refused(reason);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TransferRows::refused(
            u"Il file %1 non si è potuto aprire (%2)."_s.arg(fileName(path), file.errorString()));

    QByteArray data;
    data.reserve(info.size());
    for (;;) {
        if (control.cancelled())
            return TransferRows::cancelledRead();
        const qsizetype start = data.size();
        data.resize(start + ReadChunkBytes);
        const qint64 got = file.read(data.data() + start, ReadChunkBytes);
        if (got < 0)
            return TransferRows::refused(
                u"Il file %1 non si è potuto leggere (%2)."_s.arg(fileName(path), file.errorString()));
        data.resize(start + got);
        if (data.size() > MaxFileBytes)
            return TransferRows::refused(u"Il file %1 è troppo grande (%2): una rubrica si legge fino a %3."_s.arg(
                fileName(path), megabytes(data.size()), megabytes(MaxFileBytes)));
        if (got == 0)
            break;
    }

    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(data.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        data = QString(utf16.decode(data)).toUtf8();
    } else if (data.startsWith("\xEF\xBB\xBF")) {
        data.remove(0, 3);
    }
    if (std::all_of(data.cbegin(), data.cend(), [](char c) { return isBlank(c) || c == '\r' || c == '\n'; }))
        return TransferRows::refused(u"Il file %1 è vuoto."_s.arg(fileName(path)));
    if (data.contains('\0'))
        return TransferRows::refused(
            u"Il file %1 non è un file di testo: non può essere una rubrica vCard."_s.arg(fileName(path)));

    Reader reader(data, control);
    if (!reader.run() || control.cancelled())
        return TransferRows::cancelledRead();
    if (!reader.sawBegin())
        return TransferRows::refused(u"Il file %1 non è una rubrica in formato vCard: non vi inizia nessun contatto "
                                     "(BEGIN:VCARD)."_s.arg(fileName(path)));
    if (reader.completeCards() == 0)
        return TransferRows::refused(
            u"Il file %1 non contiene nessun contatto completo: ogni BEGIN:VCARD è rimasto senza "
            "END:VCARD."_s.arg(fileName(path)));
    reader.report();
    return std::move(reader.rows());
}

// --- Writing ---------------------------------------------------------------------------------

namespace {

QByteArray escaped(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u',' || c == u';')
            out.append(u'\\').append(c);
        else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // the \n that follows is written
        else if (c == u'\r' || c == u'\n')
            out.append(u"\\n"_s);
        else
            out.append(c);
    }
    return out.toUtf8();
}

// Appends one content line, folded so that no line is longer than 75 octets and no character's
// octets are parted.
void appendLine(QByteArray& out, QByteArrayView line)
{
    qsizetype room = FoldOctets;
    while (line.size() > room) {
        qsizetype cut = room;
        while (cut > 1 && (uchar(line[cut]) & 0xC0) == 0x80)
            --cut;
        out.append(line.first(cut)).append("\r\n ");
        line = line.sliced(cut);
        room = FoldOctets - 1;
    }
    out.append(line).append("\r\n");
}

QByteArray vcard(const ContactRow& contact)
{
    QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    appendLine(card, "FN:" + escaped(contact.name));
    // The last word as the family name, the rest as the given names.
    const QString name = contact.name.simplified();
    const qsizetype lastSpace = name.lastIndexOf(u' ');
    const QString family = name.sliced(lastSpace + 1);
    const QString given = lastSpace < 0 ? QString() : name.first(lastSpace);
    appendLine(card, "N:" + escaped(family) + ';' + escaped(given) + ";;;");
    if (!contact.phone.isEmpty())
        appendLine(card, "TEL;TYPE=VOICE:" + escaped(contact.phone));
    if (!contact.email.isEmpty())
        appendLine(card, "EMAIL;TYPE=INTERNET:" + escaped(contact.email));
    card.append("END:VCARD\r\n");
    return card;
}

QString writeProblem(const QString& path, const QString& detail)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    const QString folderName = u'"' + QDir::toNativeSeparators(folder.absoluteFilePath()) + u'"';
    if (info.isDir())
        return u"%1 è una cartella: scegli un nome per il file della rubrica."_s.arg(fileName(path));
    if (!folder.isDir())
        return u"Il file %1 non si può scrivere: la cartella %2 non esiste."_s.arg(fileName(path), folderName);
    if (!folder.isWritable())
        return u"Il file %1 non si può scrivere: non hai il permesso di scrivere nella cartella %2."_s.arg(
            fileName(path), folderName);
    return u"Il file %1 non si è potuto scrivere (%2)."_s.arg(fileName(path), detail);
}

} // namespace

bool ContactFile::write(const QString& path, const QList<ContactRow>& contacts, QString* error)
{
    QByteArray out;
    for (const ContactRow& contact : contacts)
        if (!contact.name.trimmed().isEmpty() || !contact.phone.trimmed().isEmpty()
            || !contact.email.trimmed().isEmpty())
            out.append(vcard(contact));

    QSaveFile file(path);
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(writeProblem(path, file.errorString()));
    if (file.write(out) != out.size()) {
        const QString detail = file.errorString();
        file.cancelWriting();
        return fail(u"Il file %1 non si è potuto scrivere fino in fondo: il disco potrebbe essere pieno (%2)."_s.arg(
            fileName(path), detail));
    }
    if (!file.commit())
        return fail(u"Il file %1 non si è potuto salvare: il disco potrebbe essere pieno (%2)."_s.arg(
            fileName(path), file.errorString()));
    return true;
}
