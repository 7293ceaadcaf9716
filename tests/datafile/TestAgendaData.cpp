// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"
#include "datafile/AgendaData.h"

#include <QCoreApplication>
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

namespace {
void runSql(const QString& path, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"setup"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString& s : statements)
            QVERIFY2(QSqlQuery(db).exec(s), qPrintable(s));
    }
    QSqlDatabase::removeDatabase(u"setup"_s);
}
QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestAgendaData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void opensTheThreeTablesOfAFreshFile()
    {
        QCOMPARE(AgendaData::defaultPath(), QCoreApplication::applicationDirPath() + u"/dati.mdb"_s);
        QTemporaryDir dir;
        const QString path = DataFileFixture::create(dir.path());
        AgendaData data(path);
        QVERIFY2(data.open() && data.errorText().isEmpty(), qPrintable(data.errorText()));
        QCOMPARE(data.dtaAppun().fields(), QStringList({ u"IDAppuntamento"_s, u"Data"_s, u"Ora"_s, u"Testo"_s }));
        QCOMPARE(data.dtaProm().fields(), QStringList({ u"IDPromemoria"_s, u"Ora"_s, u"Testo"_s }));
        QCOMPARE(data.dtaRubrica().fields().mid(1), QStringList({ u"Nome"_s, u"Telefono"_s, u"Email"_s }));
        // Durable commits with the ordinary rollback journal: no extra files beside the data file.
        QSqlQuery query(QSqlDatabase::database(QSqlDatabase::connectionNames().filter(u"vespelinda-data"_s).value(0)));
        QVERIFY(query.exec(u"PRAGMA synchronous"_s) && query.next() && query.value(0).toInt() == 2);
        QVERIFY(query.exec(u"PRAGMA journal_mode"_s) && query.next() && query.value(0).toString() == u"delete"_s);
        query.finish(); // a statement left open would hold back the commits below

        // A second instance over the same file sees what the first stored; one not opened refuses.
        std::unique_ptr<RecordSet> data1 = data.openRecordSet(u"Promemoria"_s);
        QVERIFY(data1 && data1->AddNew() && data1->Update());
        AgendaData again(path);
        QVERIFY(again.open() && again.dtaProm().recordCount() == 1);
        QString error;
        QVERIFY(!AgendaData(path).openRecordSet(u"Promemoria"_s, &error) && !error.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { u"dati.mdb"_s });
    }

    // Refused with the reason, and left exactly as it was; a missing file is never made.
    void refusesAnUnsoundFile_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // the file's content, when not made from the schema
        QTest::addColumn<QStringList>("sql"); // run on a fresh file
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << QStringList() << u"il file non esiste"_s;
        QTest::newRow("folder") << QByteArray("/") << QStringList() << u"non è un file"_s;
        QTest::newRow("text") << QByteArray("Nome;Telefono\nRossi;0612345\n").repeated(300) << QStringList()
                              << u"non è un database"_s;
        QTest::newRow("damaged header") << QByteArray("SQLXte format 3").append('\0').append(4080, 'x') << QStringList()
                                        << u"non è un database"_s;
        QTest::newRow("empty file") << QByteArray("") << QStringList() << u"manca la tabella Appuntamenti"_s;
        QTest::newRow("other tables") << QByteArray()
                                      << QStringList { u"DROP TABLE Appuntamenti"_s, u"DROP TABLE Promemoria"_s,
                                             u"DROP TABLE Rubrica"_s, u"CREATE TABLE Clienti (Nome TEXT)"_s }
                                      << u"manca la tabella Appuntamenti"_s;
        QTest::newRow("no Rubrica") << QByteArray() << QStringList { u"DROP TABLE Rubrica"_s }
                                    << u"manca la tabella Rubrica"_s;
        QTest::newRow("no Email") << QByteArray() << QStringList { u"ALTER TABLE Rubrica DROP COLUMN Email"_s }
                                  << u"nella tabella Rubrica manca il campo Email"_s;
        QTest::newRow("no Data") << QByteArray()
                                 << QStringList { u"ALTER TABLE Appuntamenti RENAME COLUMN Data TO Giorno"_s }
                                 << u"nella tabella Appuntamenti manca il campo Data"_s;
    }
    void refusesAnUnsoundFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, sql);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"dati.mdb"_s);
        if (!sql.isEmpty()) {
            DataFileFixture::create(dir.path());
            runSql(path, sql);
        } else if (bytes == "/") {
            QVERIFY(QDir().mkdir(path));
        } else if (!bytes.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        const QFileInfo before(path);
        const QByteArray bytesBefore = contents(path);
        QTest::qWait(20); // a change would show in the modification time

        AgendaData data(path);
        QVERIFY(!data.open());
        QVERIFY2(data.errorText().startsWith(u"Impossibile aprire il file dei dati "_s + path + u": "_s)
                && data.errorText().contains(reason),
            qPrintable(data.errorText()));
        QVERIFY(data.dtaRubrica().Eof() && !data.dtaRubrica().Refresh() && !data.openRecordSet(u"Rubrica"_s));
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), before.exists() ? 1 : 0);
        QCOMPARE(QFileInfo(path).lastModified(), before.lastModified());
        QCOMPARE(contents(path), bytesBefore);
    }

    // Shown, never changed: the changes are tried by another process (as nobody when run as root,
    // for whom the modes count), which reports each one refused.
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
        const auto read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const auto exe = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        const auto write = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        const auto restore = qScopeGuard([&] { QFile::setPermissions(dir.path(), read | exe | write); });
        QVERIFY(QFile::setPermissions(dir.path(), folderReadOnly ? read | exe : read | exe | write));
        QVERIFY(QFile::setPermissions(path, folderReadOnly ? read | write : read));

        QProcess client;
        if (geteuid() == 0)
            client.setChildProcessModifier([] {
                if (setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(99);
            });
        client.start(QStringLiteral(DATA_FILE_CLIENT), { u"try-change"_s, path });
        QVERIFY(client.waitForFinished(20000) && client.exitCode() == 0);
        const QStringList lines = QString::fromUtf8(client.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(0, 3), QStringList({ u"OPEN 1"_s, u"COUNT 2"_s, u"FIRST Anna"_s }));
        QCOMPARE(lines.size(), 6);
        for (const QString& line : lines.mid(3))
            QVERIFY2(line.section(u' ', 1, 1) == u"0"_s && !line.section(u' ', 2).isEmpty(), qPrintable(line));
        QCOMPARE(contents(path), bytesBefore);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no journal left behind
    }
};

QTEST_GUILESS_MAIN(TestAgendaData)
#include "TestAgendaData.moc"
