// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/TransferTexts.h"

#include <QStringList>

namespace {
QString count(int n, const char* one, const char* many)
{
    return QString::number(n) + u' ' + QString::fromUtf8(n == 1 ? one : many);
}

// Why entries were skipped, as the readers put it ("senza data di inizio", "annullati", "che si
// ripetono solo fra più di un anno"), after "saltati perché": a relative clause becomes a plain
// one, and for one entry the plural of its first word (a participle, or the verb "si ripetono")
// becomes the singular.
QString because(QString reason, int n)
{
    if (reason.startsWith(QLatin1String("che ")))
        reason.remove(0, 4);
    if (n != 1)
        return reason;
    const qsizetype end = reason.indexOf(u' ');
    const qsizetype firstSize = end < 0 ? reason.size() : end;
    if (QStringView(reason).left(firstSize) == QLatin1String("si")) {
        const qsizetype verbEnd = reason.indexOf(u' ', 3);
        const qsizetype verbSize = (verbEnd < 0 ? reason.size() : verbEnd) - 3;
        if (verbSize > 4 && QStringView(reason).mid(3, verbSize).endsWith(QLatin1String("ono")))
            reason.replace(3 + verbSize - 3, 3, QStringLiteral("e"));
        return reason;
    }
    for (const char* plural : { "ati", "iti", "uti" })
        if (firstSize > 4 && QStringView(reason).left(firstSize).endsWith(QLatin1String(plural)))
            reason[firstSize - 1] = u'o';
    return reason;
}

// "a", "a e b", "a, b e c".
QString joined(const QStringList& parts)
{
    if (parts.size() <= 1)
        return parts.value(0);
    return parts.mid(0, parts.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" e ") + parts.last();
}
} // namespace

QString TransferTexts::counted(int appointments, int reminders, int contacts)
{
    QStringList parts;
    if (appointments > 0)
        parts.append(count(appointments, "appuntamento", "appuntamenti"));
    if (reminders > 0)
        parts.append(count(reminders, "promemoria", "promemoria"));
    if (contacts > 0)
        parts.append(count(contacts, "contatto", "contatti"));
    return joined(parts);
}

TransferTexts::Report TransferTexts::importReport(const ImportOutcome& outcome)
{
    if (outcome.cancelled)
        return { QStringLiteral("Ho annullato l'importazione: non ho salvato nulla."), false };
    if (!outcome.failure.isEmpty())
        return { QStringLiteral("Non ho importato nulla. ") + outcome.failure, true };

    const QString errors = outcome.fileErrors.join(QStringLiteral("\n\n"));
    const bool anythingRead = outcome.stored() > 0 || outcome.duplicates > 0 || outcome.allDay > 0 || outcome.past > 0
        || !outcome.skipped.isEmpty();
    // Every file refused: only why.
    if (!anythingRead && !outcome.fileErrors.isEmpty())
        return { errors, true };

    QStringList sentences;
    const QString present = outcome.duplicates == 1 ? QStringLiteral("1 era già presente")
                                                    : QStringLiteral("%1 erano già presenti").arg(outcome.duplicates);
    if (outcome.stored() > 0) {
        sentences.append(QStringLiteral("Ho importato ")
            + counted(outcome.appointments, outcome.reminders, outcome.contacts)
            + (outcome.duplicates > 0 ? QStringLiteral("; ") + present + u'.' : QStringLiteral(".")));
    } else if (outcome.duplicates > 0) {
        sentences.append(QStringLiteral("Nessun dato nuovo: ") + present + u'.');
    } else {
        sentences.append(QStringLiteral("Nessun dato nuovo da importare."));
    }
    if (outcome.allDay == 1)
        sentences.append(QStringLiteral("1 appuntamento di tutto il giorno è alle 9."));
    else if (outcome.allDay > 1)
        sentences.append(QStringLiteral("%1 appuntamenti di tutto il giorno sono alle 9.").arg(outcome.allDay));
    if (outcome.past == 1)
        sentences.append(QStringLiteral("1 era già passato e non l'ho importato."));
    else if (outcome.past > 1)
        sentences.append(QStringLiteral("%1 erano già passati e non li ho importati.").arg(outcome.past));
    for (auto reason = outcome.skipped.cbegin(); reason != outcome.skipped.cend(); ++reason) {
        if (reason.value() > 0)
            sentences.append(QStringLiteral("%1 %2 perché %3.")
                                 .arg(QString::number(reason.value()),
                                     reason.value() == 1 ? QStringLiteral("saltato") : QStringLiteral("saltati"),
                                     because(reason.key(), reason.value())));
    }
    QString text = sentences.join(u' ');
    if (!errors.isEmpty())
        text += QStringLiteral("\n\n") + errors;
    return { text, !outcome.fileErrors.isEmpty() };
}

QString TransferTexts::exportReport(int appointments, int reminders, int contacts, const QString& fileName)
{
    const QString what = counted(appointments, reminders, contacts);
    if (what.isEmpty())
        return QStringLiteral("Non c'era nulla da esportare in %1.").arg(fileName);
    return QStringLiteral("Ho esportato %1 in %2.").arg(what, fileName);
}
