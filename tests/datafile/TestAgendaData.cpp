// SPDX-License-Identifier: GPL-3.0-or-later
#include "AgendaTestData.h"
#include "datafile/AgendaData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

// Unsound files are tested at the program's start-up: TestStartupFailure.
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
        QVERIFY2(data.open(), qPrintable(data.errorText()));
        QCOMPARE(data.errorText(), QString());
        QCOMPARE(data.dtaAppun().fields(), QStringList({ u"IDAppuntamento"_s, u"Data"_s, u"Ora"_s, u"Testo"_s }));
        QCOMPARE(data.dtaProm().fields(), QStringList({ u"IDPromemoria"_s, u"Ora"_s, u"Testo"_s }));
        QCOMPARE(data.dtaRubrica().fields().mid(1), QStringList({ u"Nome"_s, u"Telefono"_s, u"Email"_s }));
        // Durable commits with the ordinary rollback journal: no extra files beside the data file.
        QSqlQuery query(QSqlDatabase::database(QSqlDatabase::connectionNames().filter(u"vespelinda-data"_s).value(0)));
        QVERIFY(query.exec(u"PRAGMA synchronous"_s));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 2);
        QVERIFY(query.exec(u"PRAGMA journal_mode"_s));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), u"delete"_s);
        query.finish(); // a statement left open would hold back the commits below
        std::unique_ptr<RecordSet> data1 = data.openRecordSet(u"Promemoria"_s); // a manager window's own
        QVERIFY(data1);
        QVERIFY(data1->AddNew());
        QVERIFY2(data1->Update(), qPrintable(data1->lastError()));
        QVERIFY(data.dtaProm().Refresh());
        QCOMPARE(data.dtaProm().recordCount(), 1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { u"dati.mdb"_s });
        AgendaData missing(dir.filePath(u"altro.mdb"_s)); // refused: no record set works, nothing is made
        QString error;
        QVERIFY(!missing.open());
        QVERIFY(missing.dtaRubrica().Eof());
        QVERIFY(!missing.dtaRubrica().Refresh());
        QVERIFY(!missing.openRecordSet(u"Rubrica"_s, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(dir.filePath(u"altro.mdb"_s)));
    }

    // Shown, never changed: each change is refused with its reason, and nothing is left behind.
    // Run as root, the test acts as nobody meanwhile, for whom the modes count.
    void readOnlyFileShowsDataAndRefusesChanges_data()
    {
        QTest::addColumn<bool>("folderReadOnly");
        QTest::newRow("a read-only file") << false;
        QTest::newRow("a read-only folder, the file writable") << true;
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
        QVERIFY(QFile::setPermissions(folder, folderReadOnly ? read | exe : read | exe | write));
        QVERIFY(QFile::setPermissions(file.path, folderReadOnly ? read | write : read));
        const bool root = geteuid() == 0;
        if (root) {
            QCOMPARE(setegid(65534), 0);
            QCOMPARE(seteuid(65534), 0);
        }
        const auto restore = qScopeGuard([&] {
            if (root) {
                QCOMPARE(seteuid(0), 0);
                QCOMPARE(setegid(0), 0);
            }
            QFile::setPermissions(folder, read | exe | write);
        });

        AgendaData data(file.path);
        QVERIFY2(data.open(), qPrintable(data.errorText()));
        RecordSet& set = data.dtaRubrica();
        QCOMPARE(set.recordCount(), 2);
        QCOMPARE(set.value(u"Nome"_s).toString(), u"Anna"_s);
        QVERIFY(set.AddNew());
        QVERIFY(set.setValue(u"Nome"_s, u"Nuovo"_s));
        QVERIFY(!set.Update());
        QVERIFY(!set.lastError().isEmpty());
        QVERIFY(set.CancelUpdate());
        QVERIFY(set.Edit());
        QVERIFY(set.setValue(u"Nome"_s, u"Cambiato"_s));
        QVERIFY(!set.Update());
        QVERIFY(!set.lastError().isEmpty());
        QVERIFY(set.CancelUpdate());
        QVERIFY(!set.Delete());
        QVERIFY(!set.lastError().isEmpty());
        QVERIFY(set.Refresh());
        QCOMPARE(set.recordCount(), 2);
        QCOMPARE(contents(file.path), bytesBefore);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1); // no journal left behind
    }
};

QTEST_GUILESS_MAIN(TestAgendaData)
#include "TestAgendaData.moc"
