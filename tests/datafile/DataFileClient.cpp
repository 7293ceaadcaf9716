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

using namespace Qt::StringLiterals;

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
        const QString testo = u"%1-%2 l'ora è 100%"_s.arg(tag).arg(seq);
        const int choice = int(random.bounded(10));
        if (set.recordCount() == 0 || choice < 6) {
            say(u"BEGIN A "_s + testo);
            if (!set.AddNew() || !set.setValue(u"Data"_s, QDateTime(QDate(2026, 12, 5), QTime(0, 0)))
                || !set.setValue(u"Ora"_s, QDateTime(QDate(2026, 12, 5), QTime(9, seq % 60)))
                || !set.setValue(u"Testo"_s, testo) || !set.Update())
                break;
            const qint64 id = set.valueAt(set.recordCount() - 1, u"IDAppuntamento"_s).toLongLong();
            say(u"DONE A %1 %2"_s.arg(id).arg(testo));
            continue;
        }
        set.moveTo(int(random.bounded(set.recordCount())));
        const qint64 id = set.value(u"IDAppuntamento"_s).toLongLong();
        const bool edit = choice < 9;
        say(edit ? u"BEGIN E %1 %2"_s.arg(id).arg(testo) : u"BEGIN D %1"_s.arg(id));
        if (edit ? !set.Edit() || !set.setValue(u"Testo"_s, testo) || !set.Update() : !set.Delete())
            break;
        say(edit ? u"DONE E %1 %2"_s.arg(id).arg(testo) : u"DONE D %1"_s.arg(id));
    }
    say(u"FAIL "_s + set.lastError());
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
        say(u"OPEN 0 "_s + data.errorText());
        return 1;
    }
    say(u"OPEN 1"_s);
    return write(data.dtaAppun(), args[3], args[4].toUInt());
}
