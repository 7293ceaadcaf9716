// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "registry/EasyRegistryError.h"
#include "registry/RegistryStore.h"
#include "registry/RegistryValue.h"

#include <QString>
#include <QStringList>
#include <optional>

// A shell over the registry store: Cd moves a current key by path ("HKEY_CURRENT_USER\Software",
// "Sub", "..", "\"), the other members list, read, write, create and delete below it. Failures
// are raised as EasyRegistryError, except by DeleteValue (silent) and the reading ValueOf (empty
// result). After a failed Cd no key is current, so the path and the key always agree.
class clsEasyRegistry
{
public:
    enum ValueType : qint32
    {
        STRING = 0,
        BINARY = 1,
        DWORD = 2
    };

    // The roots, in the order DirKey lists them.
    static const QStringList& RootNames();

    // Over the per-user store (RegistryStore::defaultFolder()).
    clsEasyRegistry();
    explicit clsEasyRegistry(const QString& storeFolder);

    // "\HKEY_LOCAL_MACHINE\SOFTWARE", in upper case; empty when no key is current.
    QString CurrentKey() const { return m_path; }
    void Cd(const QString& strDirectory);
    // Sub-key names in name order; with no key current, the six roots; empty when there are none.
    std::optional<QStringList> DirKey() const;
    std::optional<RegistryValueTable> DirValue() const;
    void ValueOf(const QString& strValueName, qint32 lngValueType, const RegistryValue& vntValue);
    std::optional<RegistryValueRead> ValueOf(const QString& strValueName, qint32& lngValueType) const;
    void MakeKey(const QString& strDirectory);
    void DeleteKey(const QString& strName);
    void DeleteValue(const QString& strName) noexcept;

private:
    void OpenPath(const QString& path);
    static QString PathRoot(const QString& path);
    static QString PathBelowRoot(const QString& path);
    [[noreturn]] static void RaiseClassError(qint32 number);
    static void CheckApiResult(long result);

    // The names of a path below the current key, each checked.
    static QStringList subPath(const QString& path);
    // The current key's names below its root (raises when no key is current).
    QStringList currentBelowRoot() const;
    const RegistryKey& currentKey(std::unique_ptr<RegistryKey>& tree) const;
    void changeCurrentKey(const std::function<long(RegistryKey&)>& change);

    RegistryStore m_store;
    QString m_path;
};
