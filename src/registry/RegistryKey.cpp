// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/RegistryKey.h"

QString RegistryKey::upper(QStringView name)
{
    QString result;
    result.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate())
            result.append(QChar::fromUcs4(QChar::toUpper(QChar::surrogateToUcs4(c, name[++i]))));
        else if (c.isSurrogate())
            result.append(c); // left as it is; the name checks refuse it
        else
            result.append(QChar::fromUcs4(QChar::toUpper(char32_t(c.unicode()))));
    }
    return result;
}

static bool isPrintableText(QStringView name)
{
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return name.isValidUtf16();
}

bool RegistryKey::isValidKeyName(QStringView name)
{
    return !name.isEmpty() && name.size() <= MaxKeyName && !name.contains(u'\\') && name != u"." && name != u".."
        && isPrintableText(name);
}

bool RegistryKey::isValidValueName(QStringView name) { return name.size() <= MaxValueName && isPrintableText(name); }

RegistryKey* RegistryKey::child(QStringView name) const
{
    const auto found = m_children.find(upper(name));
    return found == m_children.end() ? nullptr : found->second.get();
}

RegistryKey& RegistryKey::childOrNew(const QString& name)
{
    auto& slot = m_children[upper(name)];
    if (!slot)
        slot = std::make_unique<RegistryKey>(name);
    return *slot;
}

bool RegistryKey::removeChild(QStringView name) { return m_children.erase(upper(name)) > 0; }

std::vector<const RegistryKey*> RegistryKey::children() const
{
    std::vector<const RegistryKey*> list;
    list.reserve(m_children.size());
    for (const auto& entry : m_children)
        list.push_back(entry.second.get());
    return list;
}

RegistryKey* RegistryKey::find(const QStringList& path)
{
    RegistryKey* key = this;
    for (const QString& name : path) {
        key = key->child(name);
        if (!key)
            return nullptr;
    }
    return key;
}

const RegistryKey::Value* RegistryKey::value(QStringView name) const
{
    const auto found = m_valueIndex.constFind(upper(name));
    return found == m_valueIndex.cend() ? nullptr : &m_values[size_t(*found)];
}

void RegistryKey::setValue(const QString& name, quint32 kind, QByteArray data)
{
    const QString key = upper(name);
    const auto found = m_valueIndex.constFind(key);
    if (found != m_valueIndex.cend()) {
        m_values[size_t(*found)].kind = kind;
        m_values[size_t(*found)].data = std::move(data);
        return;
    }
    m_valueIndex.insert(key, qsizetype(m_values.size()));
    m_values.push_back({ name, kind, std::move(data) });
}

bool RegistryKey::removeValue(QStringView name)
{
    const auto found = m_valueIndex.constFind(upper(name));
    if (found == m_valueIndex.cend())
        return false;
    m_values.erase(m_values.begin() + *found);
    m_valueIndex.clear();
    for (size_t i = 0; i < m_values.size(); ++i)
        m_valueIndex.insert(upper(m_values[i].name), qsizetype(i));
    return true;
}
