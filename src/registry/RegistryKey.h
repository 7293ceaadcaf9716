// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

// One key of the registry store with its values and sub-keys. Names are compared without regard to
// letter case and keep the case they were given; sub-keys are kept in name order, values in the
// order they were first set.
class RegistryKey
{
public:
    // Data kinds as the registry numbers them.
    enum Kind : quint32
    {
        Text = 1,
        Binary = 3,
        Number32 = 4
    };

    struct Value
    {
        QString name;
        quint32 kind = Text;
        QByteArray data;
    };

    static constexpr qsizetype MaxKeyName = 255;
    static constexpr qsizetype MaxValueName = 16383;
    static constexpr int MaxDepth = 512;

    // Upper case one code point at a time (simple case mapping), so that a name and its upper-case
    // form always name the same key: "ß" stays "ß" where a full mapping would make it "SS".
    static QString upper(QStringView name);
    // A key name: 1 to 255 characters, no "\", no control characters, not "." or "..".
    static bool isValidKeyName(QStringView name);
    // A value name: up to 16383 characters, no control characters ("" is the key's default value).
    static bool isValidValueName(QStringView name);

    explicit RegistryKey(QString name = {})
        : m_name(std::move(name))
    {
    }

    const QString& name() const { return m_name; }

    RegistryKey* child(QStringView name) const;
    // The named sub-key, made when missing.
    RegistryKey& childOrNew(const QString& name);
    bool removeChild(QStringView name);
    std::vector<const RegistryKey*> children() const;
    bool hasChildren() const { return !m_children.empty(); }

    // The key at the end of a path of names below this one, or nullptr.
    RegistryKey* find(const QStringList& path);

    const Value* value(QStringView name) const;
    // Replaces the data of a value of that name (keeping its place and the case it was first
    // given) or appends a new one.
    void setValue(const QString& name, quint32 kind, QByteArray data);
    bool removeValue(QStringView name);
    const std::vector<Value>& values() const { return m_values; }

private:
    QString m_name;
    std::map<QString, std::unique_ptr<RegistryKey>> m_children; // by upper-case name
    std::vector<Value> m_values;
    QHash<QString, qsizetype> m_valueIndex; // upper-case name -> position in m_values
};
