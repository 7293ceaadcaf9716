// SPDX-License-Identifier: GPL-3.0-or-later
#include "AgendaTestData.h"
#include "datafile/AgendaData.h"

#include <QtTest>

// Another program holding dati.mdb locked: the file is in use, not damaged; a change waits a
// moment, is refused with the same words, and what was typed stays in the edit buffer.
class TestDataFileLock : public QObject
{
    Q_OBJECT

private slots:
    void lockedFileIsInUseNotDamaged()
    {
        AgendaTestData file;
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(file.path);
        QSqlQuery otherProgram(other.open() ? other : QSqlDatabase());
        QVERIFY(otherProgram.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        AgendaData data(file.path);
        QVERIFY(!data.open());
        const QString inUse = data.errorText();
        QVERIFY(inUse.contains(file.path + QStringLiteral(" è in uso da un altro programma")));

        QVERIFY(otherProgram.exec(QStringLiteral("ROLLBACK")));
        QVERIFY2(data.open(), qPrintable(data.errorText()));
        RecordSet& rubrica = data.dtaRubrica();
        QVERIFY(otherProgram.exec(QStringLiteral("BEGIN IMMEDIATE"))); // others may read, not write
        QVERIFY(rubrica.AddNew());
        QVERIFY(rubrica.setValue(QStringLiteral("Nome"), QStringLiteral("Anna")));
        QVERIFY(!rubrica.Update());
        QCOMPARE(rubrica.lastRefusal(), Refusal::Busy);
        QCOMPARE(rubrica.lastError(), inUse);
        QCOMPARE(rubrica.value(QStringLiteral("Nome")).toString(), QStringLiteral("Anna"));
        QVERIFY(otherProgram.exec(QStringLiteral("ROLLBACK")));
        QVERIFY2(rubrica.Update(), qPrintable(rubrica.lastError()));
    }
};

QTEST_GUILESS_MAIN(TestDataFileLock)
#include "TestDataFileLock.moc"
