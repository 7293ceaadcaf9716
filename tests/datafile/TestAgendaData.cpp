// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"
#include "datafile/AgendaData.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestAgendaData : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static void runSql(const QString& path, const QStringList& statements)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"setup"_s);
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery query(db);
            for (const QString& s : statements)
                QVERIFY2(query.exec(s), qPrintable(s));
        }
        QSqlDatabase::removeDatabase(u"setup"_s);
    }
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void opensTheThreeTablesOfAFreshFile()
    {
        QCOMPARE(AgendaData::defaultPath(), QCoreApplication::applicationDirPath() + u"/dati.mdb"_s);
        const QString path = DataFileFixture::create(m_dir.path());
        AgendaData data(path);
        QVERIFY2(data.open(), qPrintable(data.errorText()));
        QVERIFY(data.errorText().isEmpty());
        QCOMPARE(data.dtaAppun().fields(), QStringList({ u"IDAppuntamento"_s, u"Data"_s, u"Ora"_s, u"Testo"_s }));
        QCOMPARE(data.dtaProm().fields(), QStringList({ u"IDPromemoria"_s, u"Ora"_s, u"Testo"_s }));
        QCOMPARE(data.dtaRubrica().fields().mid(1), QStringList({ u"Nome"_s, u"Telefono"_s, u"Email"_s }));
        for (RecordSet* set : { &data.dtaProm(), &data.dtaAppun(), &data.dtaRubrica() })
            QVERIFY(set->Eof());

        // Durable commits with the ordinary rollback journal: no extra files beside the data file.
        QSqlQuery query(QSqlDatabase::database(QSqlDatabase::connectionNames().filter(u"vespelinda-data"_s).value(0)));
        QVERIFY(query.exec(u"PRAGMA synchronous"_s) && query.next());
        QCOMPARE(query.value(0).toInt(), 2);
        QVERIFY(query.exec(u"PRAGMA journal_mode"_s) && query.next());
        QCOMPARE(query.value(0).toString(), u"delete"_s);
        query.finish(); // a statement left open would hold back the commits below

        // A second instance over the same file sees what the first stored; one not opened refuses.
        std::unique_ptr<RecordSet> data1 = data.openRecordSet(u"Promemoria"_s);
        QVERIFY(data1 && data1->AddNew() && data1->Update());
        AgendaData again(path);
        QVERIFY(again.open());
        QCOMPARE(again.dtaProm().recordCount(), 1);
        QString error;
        QVERIFY(!AgendaData(path).openRecordSet(u"Promemoria"_s, &error));
        QVERIFY(!error.isEmpty());
    }

    void refusesAnUnsoundFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << u"missing"_s << u"il file non esiste"_s;
        QTest::newRow("folder") << u"folder"_s << u"non è un file"_s;
        QTest::newRow("text") << u"text"_s << u"non è un database"_s;
        QTest::newRow("damaged header") << u"damaged"_s << u"non è un database"_s;
        QTest::newRow("empty file") << u"empty"_s << u"manca la tabella Appuntamenti"_s;
        QTest::newRow("other tables") << u"other"_s << u"manca la tabella Appuntamenti"_s;
        QTest::newRow("no Rubrica") << u"noRubrica"_s << u"manca la tabella Rubrica"_s;
        QTest::newRow("no Email") << u"noEmail"_s << u"nella tabella Rubrica manca il campo Email"_s;
        QTest::newRow("no Data") << u"noData"_s << u"nella tabella Appuntamenti manca il campo Data"_s;
    }

    void refusesAnUnsoundFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"dati.mdb"_s);
        if (kind == u"folder"_s) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == u"text"_s || kind == u"empty"_s || kind == u"damaged"_s) {
            QByteArray bytes = contents(DataFileFixture::create(m_dir.path()));
            bytes[3] = 'X';
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kind == u"text"_s   ? QByteArray("Nome;Telefono\nRossi;0612345\n").repeated(300)
                    : kind == u"damaged"_s ? bytes
                                           : QByteArray());
        } else if (kind != u"missing"_s) {
            QVERIFY(!DataFileFixture::create(dir.path()).isEmpty());
            if (kind == u"other"_s)
                runSql(path,
                    { u"DROP TABLE Appuntamenti"_s, u"DROP TABLE Promemoria"_s, u"DROP TABLE Rubrica"_s,
                        u"CREATE TABLE Clienti (Nome TEXT)"_s });
            if (kind == u"noRubrica"_s)
                runSql(path, { u"DROP TABLE Rubrica"_s });
            if (kind == u"noEmail"_s)
                runSql(path, { u"ALTER TABLE Rubrica DROP COLUMN Email"_s });
            if (kind == u"noData"_s)
                runSql(path, { u"ALTER TABLE Appuntamenti RENAME COLUMN Data TO Giorno"_s });
        }
        const QFileInfo before(path);
        const QByteArray bytesBefore = contents(path);
        QTest::qWait(20); // a change would show in the modification time

        AgendaData data(path);
        QVERIFY(!data.open());
        QVERIFY2(data.errorText().startsWith(u"Impossibile aprire il file dei dati "_s + path + u": "_s),
            qPrintable(data.errorText()));
        QVERIFY2(data.errorText().contains(reason), qPrintable(data.errorText()));
        QVERIFY(data.dtaRubrica().Eof());
        QVERIFY(!data.dtaRubrica().Refresh());
        QVERIFY(!data.openRecordSet(u"Rubrica"_s));

        // The file is left exactly as it was, and never made.
        const QFileInfo after(path);
        QCOMPARE(after.exists(), before.exists());
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), before.exists() ? 1 : 0);
        QCOMPARE(after.lastModified(), before.lastModified());
        QCOMPARE(contents(path), bytesBefore);
    }

    void readOnlyFileShowsDataAndRefusesChanges_data()
    {
        QTest::addColumn<bool>("folderReadOnly");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }

    void readOnlyFileShowsDataAndRefusesChanges()
    {
        QFETCH(bool, folderReadOnly);

        QTemporaryDir dir;
        const QString path = DataFileFixture::create(dir.path());
        runSql(path, { u"INSERT INTO Rubrica (Nome, Telefono) VALUES ('Anna', '111'), ('Bruno', '222')"_s });
        const QByteArray bytesBefore = contents(path);

        const auto everyone = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup
            | QFile::ExeOther;
        const auto writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(dir.path(), everyone | writable);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        });
        QVERIFY(QFile::setPermissions(dir.path(), folderReadOnly ? everyone : everyone | writable));
        QVERIFY(QFile::setPermissions(path,
            folderReadOnly ? QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | writable
                           : QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

        // The change runs in another process; as root it runs as nobody, for whom the modes count.
        QProcess client;
        client.setProgram(QStringLiteral(DATA_FILE_CLIENT));
        client.setArguments({ u"try-change"_s, path });
        if (geteuid() == 0) {
            client.setChildProcessModifier([] {
                if (setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(99);
            });
        }
        client.start();
        QVERIFY(client.waitForFinished(20000));
        const QString output = QString::fromUtf8(client.readAllStandardOutput());
        QCOMPARE(client.exitCode(), 0);

        const QStringList lines = output.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(0, 3), QStringList({ u"OPEN 1"_s, u"COUNT 2"_s, u"FIRST Anna"_s }));
        QCOMPARE(lines.size(), 6);
        for (int i = 3; i < 6; ++i)
            QVERIFY2(
                lines[i].section(u' ', 1, 1) == u"0"_s && !lines[i].section(u' ', 2).isEmpty(), qPrintable(lines[i]));

        // Nothing stored is lost or changed, and no journal is left behind.
        QCOMPARE(contents(path), bytesBefore);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestAgendaData)
#include "TestAgendaData.moc"
