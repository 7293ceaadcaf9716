// SPDX-License-Identifier: GPL-3.0-or-later
#include "AgendaTestData.h"
#include "datafile/AgendaData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

// The sound and unsound files at the program's start: TestStartupFailure.
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
        AgendaData missing(dir.filePath(u"altro.mdb"_s)); // refused: no record set works, nothing is made
        QVERIFY(!missing.open() && missing.dtaRubrica().Eof() && !missing.dtaRubrica().Refresh());
        QVERIFY(!missing.openRecordSet(u"Rubrica"_s) && !QFileInfo::exists(dir.filePath(u"altro.mdb"_s)));
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
        AgendaTestData file;
        QVERIFY(file.exec(u"INSERT INTO Rubrica (Nome, Telefono) VALUES ('Anna', '111'), ('Bruno', '222')"_s));
        const QString folder = QFileInfo(file.path).path();
        const QByteArray bytesBefore = contents(file.path);
        const auto read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const auto exe = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        const auto write = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        const auto restore = qScopeGuard([&] { QFile::setPermissions(folder, read | exe | write); });
        QVERIFY(QFile::setPermissions(folder, folderReadOnly ? read | exe : read | exe | write));
        QVERIFY(QFile::setPermissions(file.path, folderReadOnly ? read | write : read));

        QProcess client;
        if (geteuid() == 0)
            client.setChildProcessModifier([] {
                if (setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(99);
            });
        client.start(QStringLiteral(DATA_FILE_CLIENT), { u"try-change"_s, file.path });
        QVERIFY(client.waitForFinished(20000) && client.exitCode() == 0);
        const QStringList lines = QString::fromUtf8(client.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(0, 3), QStringList({ u"OPEN 1"_s, u"COUNT 2"_s, u"FIRST Anna"_s }));
        QCOMPARE(lines.size(), 6);
        for (const QString& line : lines.mid(3))
            QVERIFY2(line.section(u' ', 1, 1) == u"0"_s && !line.section(u' ', 2).isEmpty(), qPrintable(line));
        QCOMPARE(contents(file.path), bytesBefore);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1); // no journal left behind
    }
};

QTEST_GUILESS_MAIN(TestAgendaData)
#include "TestAgendaData.moc"
