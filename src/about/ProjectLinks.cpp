// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/ProjectLinks.h"

#include "about/ProgramInfo.h"

#include <QUrlQuery>

namespace ProjectLinks {
QUrl homePageUrl() { return QUrl(QString::fromLatin1(HomePage)); }

QUrl contactUrl()
{
    QUrl url(QStringLiteral("mailto:") + QString::fromLatin1(Contact));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"),
        QString::fromLatin1(ProgramName) + QLatin1Char(' ') + QString::fromLatin1(ProgramVersion));
    url.setQuery(query);
    return url;
}
} // namespace ProjectLinks
