// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/TransferFormats.h"

#include "transfer/CalendarFile.h"
#include "transfer/ContactFile.h"

TransferFormats TransferFormats::files()
{
    return { { [](const QString& path, const QDate& today, const ReadControl& control) {
                  return CalendarFile::read(path, today, control);
              },
                 [](const QString& path, const ReadControl& control) {
                     return ContactFile::read(path, control);
                 } },
        &CalendarFile::write, &ContactFile::write };
}
