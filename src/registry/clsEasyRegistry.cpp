// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/clsEasyRegistry.h"

#include "registry/RegistryResult.h"

#include <QLocale>
#include <QtEndian>
#include <cmath>

namespace {

const QString Source = QStringLiteral("EasyRegistry");
const QString LetSource = QStringLiteral("EasyRegistry [Let ValueOf]");
const QString ApiSource = QStringLiteral("EasyRegistry[API Call]");
constexpr qsizetype EnumerationBuffer = 1024;

QString describe(long result)
{
    switch (result) {
    case RegistryResult::NotFound:
        return QStringLiteral("Key/Value does not exist.");
    case RegistryResult::AccessDenied:
        return QStringLiteral("Access to Registry Denied.");
    case RegistryResult::OutOfMemory:
        return QStringLiteral("Out of memory.");
    case RegistryResult::InvalidParameter:
        return QStringLiteral("Invalid Parameter.");
    case RegistryResult::Corrupt:
        return QStringLiteral("Corrupt Registry Database!");
    case RegistryResult::BadKey:
        return QStringLiteral("Key name is bad.");
    case RegistryResult::CantOpen:
        return QStringLiteral("Cannot Open Key.");
    case RegistryResult::CantRead:
        return QStringLiteral("Cannot Read Key.");
    case RegistryResult::CantWrite:
        return QStringLiteral("Cannot Write Key.");
    default:
        return QStringLiteral("Undefined key error code!");
    }
}

// Only blanks are trimmed: other white space is part of a key's name.
QString trimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.sliced(first, last - first);
}

// "A 0 FF" for the bytes 0A 00 FF.
QString hexBytes(const QByteArray& data)
{
    QStringList bytes;
    bytes.reserve(data.size());
    for (const char byte : data)
        bytes << QString::number(uchar(byte), 16).toUpper();
    return bytes.join(u' ');
}

quint32 dwordOf(const QByteArray& data)
{
    char bytes[4] = {};
    std::copy_n(data.constData(), std::min<qsizetype>(data.size(), 4), bytes);
    return qFromLittleEndian<quint32>(bytes);
}

QString dwordHex(quint32 number) { return QString::number(number, 16).toUpper().rightJustified(8, u'0'); }

// The number in the pattern "0,000,000,000" with the locale's thousands separator.
QString dwordGrouped(quint32 number)
{
    QString digits = QString::number(number).rightJustified(10, u'0');
    const QString separator = QLocale().groupSeparator();
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, separator);
    return digits;
}

// A text value's bytes without the terminating zero.
QByteArray textBytes(const QByteArray& data) { return data.endsWith('\0') ? data.first(data.size() - 1) : data; }

} // namespace

const QStringList& clsEasyRegistry::RootNames()
{
    static const QStringList names { QStringLiteral("HKEY_CLASSES_ROOT"), QStringLiteral("HKEY_CURRENT_USER"),
        QStringLiteral("HKEY_LOCAL_MACHINE"), QStringLiteral("HKEY_USERS"), QStringLiteral("HKEY_DYN_DATA"),
        QStringLiteral("HKEY_CURRENT_CONFIG") };
    return names;
}

clsEasyRegistry::clsEasyRegistry()
    : clsEasyRegistry(RegistryStore::defaultFolder())
{
}

clsEasyRegistry::clsEasyRegistry(const QString& storeFolder)
    : m_store(storeFolder)
{
}

void clsEasyRegistry::Cd(const QString& strDirectory) { OpenPath(strDirectory); }

std::optional<QStringList> clsEasyRegistry::DirKey() const
{
    if (m_path.isEmpty())
        return RootNames();
    std::unique_ptr<RegistryKey> tree;
    const RegistryKey& key = currentKey(tree);
    if (!key.hasChildren())
        return std::nullopt;
    QStringList names;
    for (const RegistryKey* child : key.children())
        names << child->name(); // key names are at most 255 characters: they always fit the buffer
    return names;
}

std::optional<RegistryValueTable> clsEasyRegistry::DirValue() const
{
    if (m_path.isEmpty())
        return std::nullopt;
    std::unique_ptr<RegistryKey> tree;
    const RegistryKey& key = currentKey(tree);
    if (key.values().empty())
        return std::nullopt;
    RegistryValueTable table;
    for (const RegistryKey::Value& value : key.values()) {
        if (value.name.size() > EnumerationBuffer || value.data.size() > EnumerationBuffer)
            CheckApiResult(RegistryResult::MoreData);
        QString text;
        QString type;
        if (!value.data.isEmpty()) {
            if (value.kind == RegistryKey::Binary) {
                type = QString::number(BINARY);
                text = hexBytes(value.data);
            } else if (value.kind == RegistryKey::Number32) {
                type = QString::number(DWORD);
                const quint32 number = dwordOf(value.data);
                text = dwordHex(number) + QStringLiteral(" (") + dwordGrouped(number) + u')';
            } else {
                type = QString::number(STRING);
                text = QString::fromUtf8(textBytes(value.data));
            }
        }
        table[0] << value.name;
        table[1] << text;
        table[2] << type;
    }
    return table;
}

void clsEasyRegistry::ValueOf(const QString& strValueName, qint32 lngValueType, const RegistryValue& vntValue)
{
    QByteArray data;
    quint32 kind = RegistryKey::Text;
    switch (lngValueType) {
    case STRING:
        if (!vntValue.text())
            RaiseClassError(EasyRegistryError::TypeMismatch);
        data = vntValue.text()->toUtf8() + '\0';
        break;
    case BINARY:
        if (!vntValue.bytes())
            RaiseClassError(EasyRegistryError::TypeMismatch);
        data = *vntValue.bytes();
        kind = RegistryKey::Binary;
        break;
    case DWORD: {
        const double* number = vntValue.number();
        if (!number || !(*number >= 0 && *number <= 4294967295.0) || std::floor(*number) != *number)
            RaiseClassError(EasyRegistryError::TypeMismatch);
        data.resize(4);
        qToLittleEndian(quint32(*number), data.data());
        kind = RegistryKey::Number32;
        break;
    }
    default:
        RaiseClassError(EasyRegistryError::NoSuchType);
    }
    if (m_path.isEmpty())
        CheckApiResult(RegistryResult::InvalidHandle);
    if (!RegistryKey::isValidValueName(strValueName))
        CheckApiResult(RegistryResult::InvalidParameter);
    changeCurrentKey([&](RegistryKey& key) {
        key.setValue(strValueName, kind, data);
        return RegistryResult::Success;
    });
}

std::optional<RegistryValueRead> clsEasyRegistry::ValueOf(const QString& strValueName, qint32& lngValueType) const
{
    if (m_path.isEmpty())
        return std::nullopt;
    try {
        std::unique_ptr<RegistryKey> tree;
        const RegistryKey::Value* value = currentKey(tree).value(strValueName);
        if (!value)
            return std::nullopt;
        const qint32 type = value->kind == RegistryKey::Binary ? BINARY
            : value->kind == RegistryKey::Number32             ? DWORD
                                                               : STRING;
        RegistryValueRead read;
        if (!value->data.isEmpty()) {
            if (type == BINARY) {
                read.text = hexBytes(value->data);
                read.bytes = value->data;
            } else if (type == DWORD) {
                const quint32 number = dwordOf(value->data);
                read.text = dwordHex(number);
                read.bytes.resize(4);
                qToLittleEndian(number, read.bytes.data());
                read.number = number;
            } else {
                read.bytes = textBytes(value->data);
                read.text = QString::fromUtf8(read.bytes);
            }
        }
        lngValueType = type;
        return read;
    } catch (const EasyRegistryError&) {
        return std::nullopt;
    }
}

void clsEasyRegistry::MakeKey(const QString& strDirectory)
{
    if (m_path.isEmpty())
        CheckApiResult(RegistryResult::InvalidHandle);
    const QStringList names = subPath(strDirectory);
    if (currentBelowRoot().size() + names.size() > RegistryKey::MaxDepth)
        CheckApiResult(RegistryResult::BadKey);
    changeCurrentKey([&](RegistryKey& key) {
        RegistryKey* created = &key;
        for (const QString& name : names)
            created = &created->childOrNew(name);
        return RegistryResult::Success;
    });
}

void clsEasyRegistry::DeleteKey(const QString& strName)
{
    if (m_path.isEmpty())
        CheckApiResult(RegistryResult::InvalidHandle);
    const QStringList names = subPath(strName);
    if (names.isEmpty())
        CheckApiResult(RegistryResult::BadKey);
    changeCurrentKey([&](RegistryKey& key) {
        RegistryKey* parent = key.find(names.first(names.size() - 1));
        return parent && parent->removeChild(names.last()) ? RegistryResult::Success : RegistryResult::NotFound;
    });
}

void clsEasyRegistry::DeleteValue(const QString& strName) noexcept
{
    try {
        if (m_path.isEmpty())
            return;
        changeCurrentKey([&](RegistryKey& key) {
            return key.removeValue(strName) ? RegistryResult::Success : RegistryResult::NotFound;
        });
    } catch (...) {
        // Deleting a value never reports a failure.
    }
}

void clsEasyRegistry::OpenPath(const QString& strDirectory)
{
    QString path = trimBlanks(RegistryKey::upper(strDirectory));
    if (path == u"\\") {
        m_path.clear();
        return;
    }
    if (path == u"..") {
        if (m_path.isEmpty())
            RaiseClassError(EasyRegistryError::NoCurrentKey);
        OpenPath(m_path.left(m_path.lastIndexOf(u'\\') + 1)); // from a root, a lone "\": no key current
        return;
    }
    if (path.size() >= 2 && path.endsWith(u'\\'))
        path.chop(1);
    if (m_path.isEmpty() && !path.startsWith(u'\\'))
        path.prepend(u'\\');
    const QString target = path.startsWith(u'\\') ? path : path.isEmpty() ? m_path : m_path + u'\\' + path;

    // Until the new key is found no key is current, so a failure never leaves a path naming one
    // key while the object works on another.
    m_path.clear();
    const QString root = PathRoot(target);
    if (!RootNames().contains(root))
        RaiseClassError(EasyRegistryError::InvalidRoot);
    const QString belowText = PathBelowRoot(target);
    if (belowText.isEmpty() && target.indexOf(u'\\', 1) > 0)
        CheckApiResult(RegistryResult::BadKey); // "\ROOT\": a root followed by an empty name
    const QStringList below = subPath(belowText);
    std::unique_ptr<RegistryKey> tree;
    CheckApiResult(m_store.read(root, tree));
    if (!tree->find(below))
        CheckApiResult(RegistryResult::NotFound);
    m_path = target;
}

QString clsEasyRegistry::PathRoot(const QString& path)
{
    const qsizetype end = path.indexOf(u'\\', 1);
    return path.mid(1, end < 0 ? -1 : end - 1);
}

QString clsEasyRegistry::PathBelowRoot(const QString& path)
{
    const qsizetype start = path.indexOf(u'\\', 1);
    return start < 0 ? QString() : path.mid(start + 1);
}

void clsEasyRegistry::RaiseClassError(qint32 number)
{
    switch (number) {
    case EasyRegistryError::NoCurrentKey:
        throw EasyRegistryError(number, Source, QStringLiteral("No current Key."));
    case EasyRegistryError::InvalidRoot:
        throw EasyRegistryError(number, Source, QStringLiteral("Invalid Key root."));
    case EasyRegistryError::TypeMismatch:
        throw EasyRegistryError(number, LetSource, QStringLiteral("Type passed doesn't match Value passed."));
    default:
        throw EasyRegistryError(
            number, LetSource, QStringLiteral("Type passed doesn't exist. Use STRING, DWORD or BINARY."));
    }
}

void clsEasyRegistry::CheckApiResult(long result)
{
    if (result != RegistryResult::Success)
        throw EasyRegistryError(EasyRegistryError::ApiCall, ApiSource, describe(result), result);
}

QStringList clsEasyRegistry::subPath(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QStringList names = path.split(u'\\');
    if (names.size() > RegistryKey::MaxDepth)
        CheckApiResult(RegistryResult::BadKey);
    for (const QString& name : names) {
        if (!RegistryKey::isValidKeyName(name))
            CheckApiResult(RegistryResult::BadKey);
    }
    return names;
}

QStringList clsEasyRegistry::currentBelowRoot() const
{
    if (m_path.isEmpty())
        CheckApiResult(RegistryResult::InvalidHandle);
    return subPath(PathBelowRoot(m_path));
}

const RegistryKey& clsEasyRegistry::currentKey(std::unique_ptr<RegistryKey>& tree) const
{
    const QStringList below = currentBelowRoot();
    CheckApiResult(m_store.read(PathRoot(m_path), tree));
    const RegistryKey* key = tree->find(below);
    if (!key)
        CheckApiResult(RegistryResult::NotFound);
    return *key;
}

void clsEasyRegistry::changeCurrentKey(const std::function<long(RegistryKey&)>& change)
{
    const QStringList below = currentBelowRoot();
    CheckApiResult(m_store.modify(PathRoot(m_path), [&](RegistryKey& root) {
        RegistryKey* key = root.find(below);
        return key ? change(*key) : RegistryResult::NotFound;
    }));
}
