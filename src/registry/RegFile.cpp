// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/RegFile.h"

#include <QStringDecoder>
#include <QtEndian>

namespace {

constexpr auto Header = "REGEDIT4";
constexpr int BytesPerLine = 25;

// A quoted name or text from pos (on the opening quote); only \\ and \" are escapes.
bool readQuoted(QStringView line, qsizetype& pos, QString& out)
{
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == u'"') {
            ++pos;
            return true;
        }
        if (c == u'\\') {
            if (++pos == line.size() || (line[pos] != u'\\' && line[pos] != u'"'))
                return false;
        }
        out += line[pos];
    }
    return false;
}

bool readHexBytes(QStringView list, QByteArray& out)
{
    if (list.trimmed().isEmpty())
        return true;
    for (const QStringView item : list.split(u',')) {
        const QStringView digits = item.trimmed();
        bool ok = false;
        const uint byte = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 2 || digits.startsWith(u'+') || digits.startsWith(u'-'))
            return false;
        out.append(char(byte));
    }
    return true;
}

bool readData(QStringView data, quint32& kind, QByteArray& bytes)
{
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        QString text;
        if (!readQuoted(data, pos, text) || !data.mid(pos).trimmed().isEmpty())
            return false;
        kind = RegistryKey::Text;
        bytes = text.toUtf8() + '\0';
        return true;
    }
    if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
        const QStringView digits = data.mid(6).trimmed();
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || !digits.first().isLetterOrNumber())
            return false;
        kind = RegistryKey::Number32;
        bytes.resize(4);
        qToLittleEndian(quint32(number), bytes.data());
        return true;
    }
    if (data.startsWith(u"hex:", Qt::CaseInsensitive)) {
        kind = RegistryKey::Binary;
        return readHexBytes(data.mid(4), bytes);
    }
    if (data.startsWith(u"hex(", Qt::CaseInsensitive)) {
        const qsizetype close = data.indexOf(u"):");
        if (close < 4)
            return false;
        const QStringView digits = data.sliced(4, close - 4);
        bool ok = false;
        kind = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || !digits.first().isLetterOrNumber())
            return false;
        return readHexBytes(data.mid(close + 2), bytes);
    }
    return false;
}

bool readValue(QStringView line, RegistryKey& key)
{
    QString name;
    qsizetype pos = 0;
    if (line.startsWith(u'@'))
        pos = 1;
    else if (!line.startsWith(u'"') || !readQuoted(line, pos, name))
        return false;
    const QStringView rest = line.mid(pos).trimmed();
    if (!rest.startsWith(u'=') || !RegistryKey::isValidValueName(name))
        return false;
    quint32 kind = 0;
    QByteArray bytes;
    if (!readData(rest.mid(1).trimmed(), kind, bytes))
        return false;
    key.setValue(name, kind, std::move(bytes));
    return true;
}

RegistryKey* keyAt(RegistryKey& root, QStringView path, const QString& rootName)
{
    const auto names = path.split(u'\\');
    if (RegistryKey::upper(names.first()) != rootName || names.size() - 1 > RegistryKey::MaxDepth)
        return nullptr;
    RegistryKey* key = &root;
    for (qsizetype i = 1; i < names.size(); ++i) {
        if (!RegistryKey::isValidKeyName(names[i]))
            return nullptr;
        key = &key->childOrNew(names[i].toString());
    }
    return key;
}

QString quoted(const QString& text)
{
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + out + u'"';
}

// The text a string value holds, when it can be written between quotes and read back the same.
bool plainText(const QByteArray& data, QString& text)
{
    if (!data.endsWith('\0'))
        return false;
    const QByteArray body = data.first(data.size() - 1);
    text = QString::fromUtf8(body);
    if (text.toUtf8() != body)
        return false;
    for (const QChar c : std::as_const(text)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

void writeHex(QString& out, const QByteArray& data)
{
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (i > 0)
            out += (i % BytesPerLine == 0) ? QStringLiteral(",\\\n  ") : QStringLiteral(",");
        out += QString::number(uchar(data[i]), 16).rightJustified(2, u'0');
    }
}

void writeValue(QString& out, const RegistryKey::Value& value)
{
    out += value.name.isEmpty() ? QStringLiteral("@") : quoted(value.name);
    out += u'=';
    QString text;
    if (value.kind == RegistryKey::Text && plainText(value.data, text)) {
        out += quoted(text);
    } else if (value.kind == RegistryKey::Number32 && value.data.size() == 4) {
        out += QStringLiteral("dword:")
            + QString::number(qFromLittleEndian<quint32>(value.data.constData()), 16).rightJustified(8, u'0');
    } else {
        out += value.kind == RegistryKey::Binary ? QStringLiteral("hex:")
                                                 : QStringLiteral("hex(%1):").arg(value.kind, 0, 16);
        writeHex(out, value.data);
    }
    out += u'\n';
}

void writeKey(QString& out, const RegistryKey& key, const QString& path, bool isRoot)
{
    if (!isRoot || !key.values().empty()) {
        out += QStringLiteral("\n[") + path + QStringLiteral("]\n");
        for (const auto& value : key.values())
            writeValue(out, value);
    }
    for (const RegistryKey* child : key.children())
        writeKey(out, *child, path + u'\\' + child->name(), false);
}

} // namespace

std::unique_ptr<RegistryKey> RegFile::parse(const QByteArray& text, const QString& rootName)
{
    if (text.size() > MaxSize || !text.endsWith('\n'))
        return nullptr;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder(text);
    if (decoder.hasError())
        return nullptr;
    QList<QStringView> lines = QStringView(decoded).split(u'\n');
    lines.removeLast(); // after the final line break
    for (QStringView& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    if (lines.isEmpty() || lines.first().trimmed() != QLatin1String(Header))
        return nullptr;

    auto root = std::make_unique<RegistryKey>(rootName);
    RegistryKey* key = nullptr;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringView line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            key = line.endsWith(u']') ? keyAt(*root, line.sliced(1, line.size() - 2), rootName) : nullptr;
            if (!key)
                return nullptr;
            continue;
        }
        if (!key)
            return nullptr;
        QString entry = line.toString();
        while (entry.endsWith(u'\\') && i + 1 < lines.size()) {
            entry.chop(1);
            entry += lines[++i].trimmed();
        }
        if (!readValue(entry, *key))
            return nullptr;
    }
    return root;
}

QByteArray RegFile::serialize(const RegistryKey& root, const QString& rootName)
{
    QString out = QLatin1String(Header) + u'\n';
    writeKey(out, root, rootName, true);
    return out.toUtf8();
}
