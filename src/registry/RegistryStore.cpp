// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/RegistryStore.h"

#include "registry/RegFile.h"
#include "registry/RegistryResult.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

QString RegistryStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/registry");
}

RegistryStore::RegistryStore(QString folder)
    : m_folder(std::move(folder))
{
}

QString RegistryStore::fileName(const QString& rootName) const
{
    return m_folder + u'/' + rootName + QStringLiteral(".reg");
}

long RegistryStore::read(const QString& rootName, std::unique_ptr<RegistryKey>& tree) const
{
    QFile file(fileName(rootName));
    if (!file.exists()) {
        tree = std::make_unique<RegistryKey>(rootName);
        return RegistryResult::Success;
    }
    if (!file.open(QIODevice::ReadOnly) || file.size() > RegFile::MaxSize)
        return RegistryResult::Corrupt;
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return RegistryResult::Corrupt;
    tree = RegFile::parse(text, rootName);
    return tree ? RegistryResult::Success : RegistryResult::Corrupt;
}

long RegistryStore::modify(const QString& rootName, const std::function<long(RegistryKey&)>& change)
{
    if (!QDir().mkpath(m_folder))
        return RegistryResult::AccessDenied;
    QLockFile lock(m_folder + QStringLiteral("/registry.lock"));
    if (!lock.tryLock(10000))
        return lock.error() == QLockFile::LockFailedError ? RegistryResult::CantWrite : RegistryResult::AccessDenied;

    std::unique_ptr<RegistryKey> tree;
    if (const long result = read(rootName, tree); result != RegistryResult::Success)
        return result;
    if (const long result = change(*tree); result != RegistryResult::Success)
        return result;

    const QString name = fileName(rootName);
    const QFileInfo info(name);
    if (info.exists() && (!info.isFile() || !info.isWritable()))
        return RegistryResult::AccessDenied;
    const QByteArray text = RegFile::serialize(*tree, rootName);
    if (text.size() > RegFile::MaxSize)
        return RegistryResult::OutOfMemory;
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return RegistryResult::AccessDenied;
    if (file.write(text) != text.size() || !file.commit())
        return file.error() == QFileDevice::OpenError || file.error() == QFileDevice::PermissionsError
            ? RegistryResult::AccessDenied
            : RegistryResult::CantWrite;
    return RegistryResult::Success;
}
