// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"
#include "datafile/AgendaData.h"

#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// A writer killed at any moment leaves a sound file holding everything it was told was stored.
class TestCrashSafety : public QObject
{
    Q_OBJECT

    using Records = QMap<qint64, QString>;
    QTemporaryDir m_dir;

    static Records storedRecords(const QString& path, QString* integrity)
    {
        Records records;
        const QString connection = QStringLiteral("crash-check");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(path);
            if (db.open()) {
                QSqlQuery query(db);
                // Reading first rolls back whatever the killed writer left half done.
                query.exec(QStringLiteral("PRAGMA integrity_check"));
                *integrity = query.next() ? query.value(0).toString() : QStringLiteral("no answer");
                query.exec(QStringLiteral("SELECT IDAppuntamento, Testo FROM Appuntamenti"));
                while (query.next())
                    records.insert(query.value(0).toLongLong(), query.value(1).toString());
            } else {
                *integrity = QStringLiteral("cannot open");
            }
        }
        QSqlDatabase::removeDatabase(connection);
        return records;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void killedWriterLosesNothingStored()
    {
        QString error;
        const QString path = DataFileFixture::create(m_dir.path(), &error);
        QVERIFY2(!path.isEmpty(), qPrintable(error));

        Records expected;
        int confirmed = 0;
        int pendingApplied = 0;
        QRandomGenerator random(20261205);
        // VESPELINDA_CRASH_KILLS=1000 for a long run on demand (with QTEST_FUNCTION_TIMEOUT raised).
        bool set = false;
        const int wanted = qEnvironmentVariableIntValue("VESPELINDA_CRASH_KILLS", &set);
        const int Kills = set && wanted > 0 ? wanted : 50;
        for (int run = 0; run < Kills; ++run) {
            QProcess writer;
            writer.setProgram(QStringLiteral(DATA_FILE_CLIENT));
            writer.setArguments(
                { QStringLiteral("write"), path, QStringLiteral("r%1").arg(run), QString::number(random.generate()) });
            writer.start();
            QVERIFY(writer.waitForStarted());
            // Let it get going, then kill it at a random moment of its work.
            QTRY_VERIFY_WITH_TIMEOUT(writer.canReadLine(), 10000);
            QTest::qWait(int(random.bounded(5, 120)));
            writer.kill();
            QVERIFY(writer.waitForFinished(10000));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

            QString pending;
            const QStringList lines = QString::fromUtf8(writer.readAllStandardOutput()).split(u'\n');
            for (const QString& line : lines) {
                QVERIFY2(!line.startsWith(QLatin1String("FAIL")) && !line.startsWith(QLatin1String("OPEN 0")),
                    qPrintable(line));
                if (line.startsWith(QLatin1String("BEGIN "))) {
                    pending = line.mid(6);
                } else if (line.startsWith(QLatin1String("DONE "))) {
                    const QString op = line.mid(5);
                    const QString kind = op.section(u' ', 0, 0);
                    const qint64 id = op.section(u' ', 1, 1).toLongLong();
                    if (kind == QLatin1String("D"))
                        expected.remove(id);
                    else
                        expected.insert(id, op.section(u' ', 2));
                    pending.clear();
                    ++confirmed;
                }
            }

            QString integrity;
            const Records actual = storedRecords(path, &integrity);
            QCOMPARE(integrity, QStringLiteral("ok"));
            const qint64 pendingId
                = pending.section(u' ', 0, 0) == QLatin1String("A") ? -1 : pending.section(u' ', 1, 1).toLongLong();
            for (auto it = expected.cbegin(); it != expected.cend(); ++it)
                if (it.key() != pendingId)
                    QVERIFY2(actual.value(it.key()) == it.value(),
                        qPrintable(QStringLiteral("run %1 lost the confirmed record %2 \"%3\"")
                                       .arg(run)
                                       .arg(it.key())
                                       .arg(it.value())));
            if (actual == expected)
                continue;
            // The change under way when the writer died may be stored whole, but only whole.
            QVERIFY2(!pending.isEmpty(), qPrintable(QStringLiteral("run %1 stored a change never made").arg(run)));
            Records withPending = expected;
            const QString kind = pending.section(u' ', 0, 0);
            if (kind == QLatin1String("A")) {
                const QList<qint64> added = QSet<qint64>(actual.keyBegin(), actual.keyEnd())
                                                .subtract(QSet<qint64>(expected.keyBegin(), expected.keyEnd()))
                                                .values();
                QCOMPARE(added.size(), 1);
                withPending.insert(added.first(), pending.section(u' ', 1));
            } else if (kind == QLatin1String("E")) {
                withPending.insert(pending.section(u' ', 1, 1).toLongLong(), pending.section(u' ', 2));
            } else {
                withPending.remove(pending.section(u' ', 1, 1).toLongLong());
            }
            QCOMPARE(actual, withPending);
            expected = actual;
            ++pendingApplied;
        }
        qInfo("%d kills, %d confirmed changes, %d unconfirmed changes found stored whole, %d records", Kills, confirmed,
            pendingApplied, int(expected.size()));
        QVERIFY(confirmed > Kills);

        // The program itself still opens the file.
        AgendaData data(path);
        QVERIFY2(data.open(), qPrintable(data.errorText()));
        QCOMPARE(data.dtaAppun().recordCount(), int(expected.size()));
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "TestCrashSafety.moc"
