// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "registry/RegistryKey.h"

#include <QString>
#include <functional>
#include <memory>

// The folder that stands in for the system registry: one REGEDIT4 file per root
// (HKEY_CURRENT_USER.reg, ...), read afresh by every call and replaced whole and atomically by
// every change. Changes take the lock file "registry.lock" and re-read the file under it, so two
// objects or two programs writing the same store never lose each other's values.
// Calls answer with the registry's result codes (RegistryResult).
class RegistryStore
{
public:
    // The per-user store: <program data folder>/registry.
    static QString defaultFolder();

    explicit RegistryStore(QString folder);

    const QString& folder() const { return m_folder; }
    QString fileName(const QString& rootName) const;

    // The root's tree as it is on disk now; a missing file is an empty root.
    long read(const QString& rootName, std::unique_ptr<RegistryKey>& tree) const;
    // Re-reads the root under the lock and lets change() alter it; when change() answers success,
    // writes the new tree in place of the old file. A root that cannot be read is never written.
    long modify(const QString& rootName, const std::function<long(RegistryKey&)>& change);

private:
    QString m_folder;
};
