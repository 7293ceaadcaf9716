// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// Which of the user's files the program can import, and how it reads each: a calendar (.ics) or an
// address book (.vcf, .vcard). The name decides; a file named otherwise is looked into.
namespace TransferFiles {
enum class Kind
{
    Unknown,
    Calendar,
    Contacts
};

// By the name's extension (any letter case), else by what the file begins with ("BEGIN:VCALENDAR",
// "BEGIN:VCARD", after white space and a byte-order mark). A file that cannot be read and has no
// known extension is Unknown.
Kind kindOf(const QString& path);

// The files of a drop that can be imported: every address must be a local file of a known kind,
// else none is taken (a drop of which only a part would be imported is refused whole).
QStringList importable(const QList<QUrl>& urls);

// The open dialog's filters, the first chosen at the start.
QStringList openFilters();
// The save dialog's filter for each kind.
QString saveFilter(Kind kind);
// The extension a saved file gets when the name typed has none (".ics", ".vcf").
QString withExtension(const QString& path, Kind kind);
} // namespace TransferFiles
