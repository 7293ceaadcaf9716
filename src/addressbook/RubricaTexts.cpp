// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/RubricaTexts.h"

#include <QTextBoundaryFinder>

namespace RubricaTexts {

namespace {
// Calls each(piece) for every user-perceived character of text, in order.
template <typename Each> void forEachCharacter(const QString& text, Each each)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        each(QStringView(text).mid(start, end - start));
        start = end;
    }
}
} // namespace

QString telephoneForEar(const QString& telefono)
{
    QString spoken;
    forEachCharacter(telefono, [&](QStringView c) {
        spoken += c;
        spoken += u'.';
    });
    return spoken;
}

QString emailForEar(const QString& email)
{
    QString spoken;
    forEachCharacter(email, [&](QStringView c) {
        if (c == QLatin1String("@"))
            spoken += QStringLiteral(" èt ");
        else if (c == QLatin1String("."))
            spoken += QStringLiteral(" punto ");
        else
            spoken += c;
    });
    return spoken;
}

QString spokenEntry(const QString& nome, const QString& telefono, const QString& email)
{
    QString tel = telephoneForEar(telefono);
    if (tel.isEmpty())
        tel = QStringLiteral("Non inserito");
    QString mail = emailForEar(email);
    if (mail.isEmpty())
        mail = QStringLiteral("Non inserita");
    return nome + QStringLiteral(" . telefono. ") + tel + QStringLiteral(". . imèil. ") + mail;
}

QString notFound(const QString& searched)
{
    return QStringLiteral("Non ho trovato nessun ") + searched + QStringLiteral(" nella rubrica.");
}

} // namespace RubricaTexts
