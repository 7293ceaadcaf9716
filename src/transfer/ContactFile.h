// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/TransferRows.h"

#include <QList>
#include <QString>

// Address books in vCard files (.vcf), read into the rows of Rubrica (Nome, Telefono, Email) and
// written out of them, so that a user can bring in the contacts of a telephone, a mail program
// or another address book, and take theirs away.
//
// The reader is our own. The vCard libraries Debian offers each failed on files that telephones
// and mail programs really write: belcard reads only version 4.0 and refuses a whole 2.1 or 3.0
// file; libvformat splits a 3.0 name at an escaped "\;", leaves "\," as it is and cuts a 4.0
// quoted parameter at the ":" it holds; libvc stops at the first card of a 2.1 or 3.0 file and
// leaves QUOTED-PRINTABLE undecoded; EVCard (libebook-contacts) decodes windows-1252 wrongly,
// reads one card per call (the file must be cut into cards by the caller) and brings the
// Evolution data server's libraries with it; KContacts exists only for Qt 5. A card is a few
// kinds of line, and the rules below are what the three versions ask.
//
// Reading, one card at a time:
// - Lines: line ends CRLF, LF or CR. A line that begins with a space or a tab continues the one
//   before: in 3.0 and 4.0 that first blank goes, in 2.1 it stays (folding at white space). Under
//   ENCODING=QUOTED-PRINTABLE (or the bare 2.1 QUOTED-PRINTABLE) a value ending in "=" goes on
//   in the next line, whatever that line begins with.
// - A line is [group.]NAME[;param...]:value. Parameters come named (TYPE=cell,voice; PREF=1) or
//   bare (2.1: TEL;CELL;PREF), values quoted or not; a quoted value may hold ":" ";" ",".
// - Text: the value is decoded (QUOTED-PRINTABLE, BASE64), then turned into characters by its
//   CHARSET (UTF-8, ISO-8859-1 and windows-1252 read as windows-1252, others by name); without
//   one, a value is UTF-8 when it is valid UTF-8 and windows-1252 otherwise, so that an old
//   program's "Niccolò" comes out right. A UTF-16 file with its byte-order mark is read too.
//   Escapes "\\" "\," "\;" "\:" "\n" are undone; structured values split at unescaped ";".
// - Nome: the first non-empty FN; else N (Family;Given;Additional;Prefix;Suffix) read as an
//   Italian says it, "Dott. Mario Giovanni Rossi"; else ORG, its parts joined by ", ". A card
//   with none is left out ("senza nome").
// - Telefono: the preferred TEL (the lowest PREF=n, or TYPE=pref, or the bare 2.1 PREF), else
//   the first mobile (TYPE=cell, bare CELL), else the first. A "tel:" address gives its number,
//   an extension as " int. 12". Email: the preferred EMAIL, else the first ("mailto:" dropped).
// - A text longer than TransferRows::TextChars is cut at a word's end and closed with "…".
// - A card inside a 2.1 AGENT is no contact of its own. A card cut short (BEGIN:VCARD again
//   before END:VCARD, or the file ending) and an END:VCARD with no card are left out
//   ("contatto incompleto"); the others are kept.
// - The whole file is refused, with the reason in Italian naming it, when it cannot be opened
//   or read, is empty, is larger than 64 MB, holds NUL bytes (not text), has no BEGIN:VCARD
//   (not a vCard) or no complete card.
// - Cancelling (control.cancel) is looked at every few thousand lines: the result then has
//   `cancelled` set and no rows. Progress goes to control.progress by the part of the file read.
// Nothing is shared between calls: the functions may run on any thread.
//
// Writing: vCard 3.0 in UTF-8, lines ending CRLF and folded at 75 octets (never inside a
// character), one card per row that holds anything: FN, N (the last word of the name as the
// family name, the rest as the given names), TEL;TYPE=VOICE and EMAIL;TYPE=INTERNET, the last
// two only when not empty; "\" "," ";" and line ends escaped. Through QSaveFile, so an existing
// file is replaced only by a complete one. Reading the file back gives the same rows.
namespace ContactFile {

// Reads the contacts of the vCard file at `path` into `contacts`.
TransferRows read(const QString& path, const ReadControl& control = {});

// Writes `contacts` to `path`. On failure returns false and sets `*error` (when given) to the
// reason in Italian, naming the file.
bool write(const QString& path, const QList<ContactRow>& contacts, QString* error);

} // namespace ContactFile
