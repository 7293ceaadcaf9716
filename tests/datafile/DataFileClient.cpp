// SPDX-License-Identifier: GPL-3.0-or-later
// A separate process writing a data file, for the test that kills it at a random moment. Every
// line goes out flushed, so the test has it even if this process is killed next.
//
//   DataFileClient write <dati.mdb> <tag> <seed>
//       adds, changes and deletes appointments for ever; before each change prints
//       "BEGIN A <testo>" / "BEGIN E <id> <testo>" / "BEGIN D <id>", and once Update or Delete
//       has returned "DONE A <id> <testo>" / "DONE E <id> <testo>" / "DONE D <id>".
#include "datafile/AgendaData.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <cstdio>

namespace {
void say(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

int write(RecordSet& set, const QString& tag, quint32 seed)
{
    QRandomGenerator random(seed);
    for (int seq = 0;; ++seq) {
        const QString testo = QStringLiteral("%1-%2 l'ora è 100%").arg(tag).arg(seq);
        const int choice = int(random.bounded(10));
        if (set.recordCount() == 0 || choice < 6) {
            say(QStringLiteral("BEGIN A ") + testo);
            if (!set.AddNew() || !set.setValue(QStringLiteral("Data"), QDateTime(QDate(2026, 12, 5), QTime(0, 0)))
                || !set.setValue(QStringLiteral("Ora"), QDateTime(QDate(2026, 12, 5), QTime(9, seq % 60)))
                || !set.setValue(QStringLiteral("Testo"), testo) || !set.Update())
                break;
            const qint64 id = set.valueAt(set.recordCount() - 1, QStringLiteral("IDAppuntamento")).toLongLong();
            say(QStringLiteral("DONE A %1 %2").arg(id).arg(testo));
            continue;
        }
        set.moveTo(int(random.bounded(set.recordCount())));
        const qint64 id = set.value(QStringLiteral("IDAppuntamento")).toLongLong();
        const bool edit = choice < 9;
        say(edit ? QStringLiteral("BEGIN E %1 %2").arg(id).arg(testo) : QStringLiteral("BEGIN D %1").arg(id));
        if (edit ? !set.Edit() || !set.setValue(QStringLiteral("Testo"), testo) || !set.Update() : !set.Delete())
            break;
        say(edit ? QStringLiteral("DONE E %1 %2").arg(id).arg(testo) : QStringLiteral("DONE D %1").arg(id));
    }
    say(QStringLiteral("FAIL ") + set.lastError());
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5 || args[1] != QLatin1String("write")) {
        std::fprintf(stderr, "usage: DataFileClient write <dati.mdb> <tag> <seed>\n");
        return 64;
    }
    AgendaData data(args[2]);
    if (!data.open()) {
        say(QStringLiteral("OPEN 0 ") + data.errorText());
        return 1;
    }
    say(QStringLiteral("OPEN 1"));
    return write(data.dtaAppun(), args[3], args[4].toUInt());
}
