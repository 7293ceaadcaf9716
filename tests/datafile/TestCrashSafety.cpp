// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"
#include "datafile/AgendaData.h"

#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
using Records = QMap<qint64, QString>;

// What the file holds, read as another program would after the crash (reading first rolls back
// whatever the killed writer left half done), and SQLite's verdict on the file.
Records storedRecords(const QString& path, QString* integrity)
{
    Records records;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"crash-check"_s);
        db.setDatabaseName(path);
        const bool open = db.open();
        QSqlQuery query(db);
        *integrity = open && query.exec(u"PRAGMA integrity_check"_s) && query.next() ? query.value(0).toString()
                                                                                     : u"cannot read"_s;
        query.exec(u"SELECT IDAppuntamento, Testo FROM Appuntamenti"_s);
        while (query.next())
            records.insert(query.value(0).toLongLong(), query.value(1).toString());
    }
    QSqlDatabase::removeDatabase(u"crash-check"_s);
    return records;
}

// Applies a change as the writer reports it: "A <id> <testo>", "E <id> <testo>" or "D <id>".
void apply(Records& records, const QString& change)
{
    const qint64 id = change.section(u' ', 1, 1).toLongLong();
    if (change.startsWith(u'D'))
        records.remove(id);
    else
        records.insert(id, change.section(u' ', 2));
}
} // namespace

// A writer killed at any moment leaves a sound file with every change it was told was stored,
// and the one it was making at most whole.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void killedWriterLosesNothingStored()
    {
        QTemporaryDir dir;
        QString error;
        const QString path = DataFileFixture::create(dir.path(), &error);
        QVERIFY2(!path.isEmpty(), qPrintable(error));
        Records expected;
        int confirmed = 0;
        int pendingStored = 0;
        QRandomGenerator random(20261205);
        // VESPELINDA_CRASH_KILLS=1000 for a long run on demand (with QTEST_FUNCTION_TIMEOUT raised).
        bool set = false;
        const int wanted = qEnvironmentVariableIntValue("VESPELINDA_CRASH_KILLS", &set);
        const int Kills = set && wanted > 0 ? wanted : 50;
        for (int run = 0; run < Kills; ++run) {
            QProcess writer;
            writer.start(QStringLiteral(DATA_FILE_CLIENT),
                { u"write"_s, path, u"r%1"_s.arg(run), QString::number(random.generate()) });
            // Let it get going, then kill it at a random moment of its work.
            QTRY_VERIFY_WITH_TIMEOUT(writer.canReadLine(), 10000);
            QTest::qWait(int(random.bounded(5, 120)));
            writer.kill();
            QVERIFY2(writer.waitForFinished(10000), qPrintable(u"run %1"_s.arg(run)));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

            QString pending; // begun, not confirmed
            const QStringList lines = QString::fromUtf8(writer.readAllStandardOutput()).split(u'\n');
            for (const QString& line : lines) {
                QVERIFY2(!line.startsWith(QLatin1String("FAIL")), qPrintable(line));
                QVERIFY2(!line.startsWith(QLatin1String("OPEN 0")), qPrintable(line));
                if (line.startsWith(QLatin1String("BEGIN "))) {
                    pending = line.mid(6);
                } else if (line.startsWith(QLatin1String("DONE "))) {
                    apply(expected, line.mid(5));
                    pending.clear();
                    ++confirmed;
                }
            }

            QString integrity;
            const Records actual = storedRecords(path, &integrity);
            QCOMPARE(integrity, u"ok"_s);
            if (actual == expected)
                continue;
            QVERIFY2(!pending.isEmpty(), qPrintable(u"run %1 lost or made up a change"_s.arg(run)));
            if (pending.startsWith(u'A') && !actual.isEmpty()) // a new record gets the highest key so far
                pending = u"A %1 "_s.arg(actual.lastKey()) + pending.mid(2);
            apply(expected, pending);
            QCOMPARE(actual, expected);
            ++pendingStored;
        }
        qInfo("%d kills, %d confirmed changes, %d unconfirmed changes found stored whole, %d records", Kills, confirmed,
            pendingStored, int(expected.size()));
        QVERIFY(confirmed > Kills);

        // The program itself still opens the file.
        AgendaData data(path);
        QVERIFY2(data.open(), qPrintable(data.errorText()));
        QCOMPARE(data.dtaAppun().recordCount(), int(expected.size()));
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "TestCrashSafety.moc"
