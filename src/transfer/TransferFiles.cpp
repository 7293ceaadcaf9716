// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/TransferFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {
// Enough of a file to get past a byte-order mark and any blank lines before its first line.
constexpr qint64 HeadBytes = 4096;

TransferFiles::Kind kindOfText(QStringView text)
{
    const QStringView start = text.trimmed();
    if (start.startsWith(QLatin1String("BEGIN:VCALENDAR"), Qt::CaseInsensitive))
        return TransferFiles::Kind::Calendar;
    if (start.startsWith(QLatin1String("BEGIN:VCARD"), Qt::CaseInsensitive))
        return TransferFiles::Kind::Contacts;
    return TransferFiles::Kind::Unknown;
}

TransferFiles::Kind kindOfContent(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TransferFiles::Kind::Unknown;
    const QByteArray head = file.read(HeadBytes);
    // UTF-16 with its mark (an old telephone's address book), else UTF-8 or a single-byte set: the
    // first line is ASCII in every one of them.
    std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(head);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Latin1));
    if (encoding == QStringConverter::Utf8)
        decoder = QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(head);
    return kindOfText(QStringView(text).mid(text.startsWith(QChar(0xFEFF)) ? 1 : 0));
}
} // namespace

TransferFiles::Kind TransferFiles::kindOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("ics"))
        return Kind::Calendar;
    if (suffix == QLatin1String("vcf") || suffix == QLatin1String("vcard"))
        return Kind::Contacts;
    return kindOfContent(path);
}

QStringList TransferFiles::importable(const QList<QUrl>& urls)
{
    QStringList files;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            return {};
        const QString path = url.toLocalFile();
        if (!QFileInfo(path).isFile() || kindOf(path) == Kind::Unknown)
            return {};
        files.append(path);
    }
    return files;
}

QStringList TransferFiles::openFilters()
{
    return { QStringLiteral("Calendari e rubriche (*.ics *.vcf *.vcard)"), QStringLiteral("Calendario (*.ics)"),
        QStringLiteral("Rubrica (*.vcf *.vcard)") };
}

QString TransferFiles::saveFilter(Kind kind)
{
    return kind == Kind::Contacts ? QStringLiteral("Rubrica (*.vcf)") : QStringLiteral("Calendario (*.ics)");
}

QString TransferFiles::withExtension(const QString& path, Kind kind)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool known = kind == Kind::Contacts ? suffix == QLatin1String("vcf") || suffix == QLatin1String("vcard")
                                              : suffix == QLatin1String("ics");
    if (path.isEmpty() || known)
        return path;
    return path + (kind == Kind::Contacts ? QStringLiteral(".vcf") : QStringLiteral(".ics"));
}
