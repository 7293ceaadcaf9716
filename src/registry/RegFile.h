// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "registry/RegistryKey.h"

#include <QByteArray>
#include <QString>
#include <memory>

// The text of one root of the store in the REGEDIT4 syntax (UTF-8):
//
//     REGEDIT4
//
//     [HKEY_CURRENT_USER\Software\Example]
//     "Name"="text with \"quotes\" and \\ backslashes"
//     "Count"=dword:0000002a
//     "Blob"=hex:0a,00,ff
//     @="the key's default value"
//
// Text that cannot stand between quotes (control characters, a zero inside) is written as
// hex(1):, any other kind as hex(<kind>):. Reading is strict: anything that is not a complete file
// of this syntax for this root, including a file cut short in the middle of a line, is refused.
class RegFile
{
public:
    static constexpr qsizetype MaxSize = 16 * 1024 * 1024;

    // The tree of the root named rootName, or nullptr when the text is not a sound file for it.
    static std::unique_ptr<RegistryKey> parse(const QByteArray& text, const QString& rootName);
    static QByteArray serialize(const RegistryKey& root, const QString& rootName);
};
