// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"
#include "core/AgendaData.h"

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

private slots:
    void initTestCase();
    void opensTheThreeTablesOfAFreshFile();
    void managerRecordSetsAreOwnViews();
    void refusesAnUnsoundFile_data();
    void refusesAnUnsoundFile();
    void readOnlyFileShowsDataAndRefusesChanges_data();
    void readOnlyFileShowsDataAndRefusesChanges();

private:
    static void runSql(const QString& path, const QStringList& statements);

    QTemporaryDir m_dir;
};

void TestAgendaData::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

void TestAgendaData::runSql(const QString& path, const QStringList& statements)
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

void TestAgendaData::opensTheThreeTablesOfAFreshFile()
{
    QCOMPARE(AgendaData::defaultPath(), QCoreApplication::applicationDirPath() + u"/dati.mdb"_s);

    QVERIFY(QDir().mkpath(m_dir.filePath(u"fresh"_s)));
    QVERIFY(!DataFileFixture::create(m_dir.filePath(u"fresh"_s)).isEmpty());
    AgendaData data(m_dir.filePath(u"fresh/dati.mdb"_s));
    QVERIFY2(data.open(), qPrintable(data.errorText()));
    QVERIFY(data.errorText().isEmpty());
    QCOMPARE(data.filePath(), m_dir.filePath(u"fresh/dati.mdb"_s));

    QCOMPARE(data.dtaProm().table(), u"Promemoria"_s);
    QCOMPARE(data.dtaAppun().table(), u"Appuntamenti"_s);
    QCOMPARE(data.dtaRubrica().table(), u"Rubrica"_s);
    for (RecordSet* set : { &data.dtaProm(), &data.dtaAppun(), &data.dtaRubrica() })
        QVERIFY(set->Eof());
    QCOMPARE(data.dtaAppun().fields(), QStringList({ u"IDAppuntamento"_s, u"Data"_s, u"Ora"_s, u"Testo"_s }));
    QCOMPARE(data.dtaProm().fields(), QStringList({ u"IDPromemoria"_s, u"Ora"_s, u"Testo"_s }));
    QCOMPARE(data.dtaRubrica().fields().mid(1), QStringList({ u"Nome"_s, u"Telefono"_s, u"Email"_s }));

    // Durable commits with the ordinary rollback journal: no extra files beside the data file.
    QSqlQuery query(QSqlDatabase::database(QSqlDatabase::connectionNames().filter(u"vespelinda-data"_s).value(0)));
    QVERIFY(query.exec(u"PRAGMA synchronous"_s) && query.next());
    QCOMPARE(query.value(0).toInt(), 2);
    QVERIFY(query.exec(u"PRAGMA journal_mode"_s) && query.next());
    QCOMPARE(query.value(0).toString(), u"delete"_s);
}

void TestAgendaData::managerRecordSetsAreOwnViews()
{
    const QString path = DataFileFixture::create(m_dir.path());
    AgendaData data(path);
    QVERIFY(data.open());

    QString error;
    std::unique_ptr<RecordSet> data1 = data.openRecordSet(u"Promemoria"_s, &error);
    QVERIFY2(data1, qPrintable(error));
    QVERIFY(data1->AddNew());
    QVERIFY(data1->setValue(u"Testo"_s, u"pillola"_s));
    QVERIFY(data1->Update());
    QVERIFY(data.dtaProm().Eof());
    QVERIFY(data.dtaProm().Refresh());
    QCOMPARE(data.dtaProm().value(u"Testo"_s).toString(), u"pillola"_s);

    // A second instance over the same file is independent and sees what was stored.
    AgendaData again(path);
    QVERIFY(again.open());
    QCOMPARE(again.dtaProm().recordCount(), 1);

    AgendaData closed(path);
    QVERIFY(!closed.openRecordSet(u"Promemoria"_s, &error));
    QVERIFY(!error.isEmpty());
}

void TestAgendaData::refusesAnUnsoundFile_data()
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

void TestAgendaData::refusesAnUnsoundFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"dati.mdb"_s);
    if (kind == u"folder"_s) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == u"text"_s || kind == u"empty"_s || kind == u"damaged"_s) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (kind == u"text"_s)
            file.write(QByteArray("Nome;Telefono\nRossi;0612345\n").repeated(300));
        if (kind == u"damaged"_s) {
            QFile good(DataFileFixture::create(m_dir.path()));
            QVERIFY(good.open(QIODevice::ReadOnly));
            QByteArray bytes = good.readAll();
            bytes[3] = 'X';
            file.write(bytes);
        }
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
    QByteArray bytesBefore;
    if (before.isFile()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        bytesBefore = file.readAll();
    }
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
    if (before.isFile()) {
        QCOMPARE(after.lastModified(), before.lastModified());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytesBefore);
    }
}

void TestAgendaData::readOnlyFileShowsDataAndRefusesChanges_data()
{
    QTest::addColumn<bool>("folderReadOnly");
    QTest::newRow("read-only file") << false;
    QTest::newRow("read-only folder") << true;
}

void TestAgendaData::readOnlyFileShowsDataAndRefusesChanges()
{
    QFETCH(bool, folderReadOnly);

    QTemporaryDir dir;
    const QString path = DataFileFixture::create(dir.path());
    runSql(path, { u"INSERT INTO Rubrica (Nome, Telefono) VALUES ('Anna', '111'), ('Bruno', '222')"_s });
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytesBefore = file.readAll();
    file.close();

    const auto everyone
        = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
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
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], u"OPEN 1"_s);
    QCOMPARE(lines[1], u"COUNT 2"_s);
    QCOMPARE(lines[2], u"FIRST Anna"_s);
    for (int i = 3; i < 6; ++i)
        QVERIFY2(lines[i].section(u' ', 1, 1) == u"0"_s && !lines[i].section(u' ', 2).isEmpty(), qPrintable(lines[i]));

    // Nothing stored is lost or changed, and no journal is left behind.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytesBefore);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

QTEST_GUILESS_MAIN(TestAgendaData)
#include "TestAgendaData.moc"
