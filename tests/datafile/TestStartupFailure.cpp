// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, copied into a folder of its own, started against a data file that is missing,
// unsound or read-only: it must stop before its window shows, say why and leave the file alone;
// or, for a file it may only read, start. (With a real screen it also shows an error box and waits
// for it: tests/e2e/test_startup_error_box.sh.)
#include "DataFileFixture.h"

#include <QDir>
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

class TestStartupFailure : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A folder with a copy of the program, a private home and a data file of the given kind,
    // and the program ready to start there.
    QString programFolder(const QString& kind, QProcess& program)
    {
        const QString folder = m_dir.filePath(kind);
        const QString path = folder + u"/dati.mdb"_s;
        QDir().mkpath(folder + u"/home/run"_s);
        QFile::setPermissions(folder + u"/home/run"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::copy(QStringLiteral(VESPELINDA_EXECUTABLE), folder + u"/Vespelinda"_s);
        if (kind == u"garbage"_s) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write("\x89PNG\r\n\x1a\n questo non è un database");
        } else if (kind == u"folder"_s) {
            QDir().mkpath(path);
        } else if (kind != u"missing"_s) {
            DataFileFixture::create(folder);
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"setup"_s);
                db.setDatabaseName(path);
                db.open();
                QSqlQuery(db).exec(kind == u"noTables"_s ? u"DROP TABLE Appuntamenti"_s
                        : kind == u"noField"_s           ? u"ALTER TABLE Promemoria DROP COLUMN Ora"_s
                                               : u"INSERT INTO Rubrica (Nome, Telefono) VALUES ('Anna', '111')"_s);
            }
            QSqlDatabase::removeDatabase(u"setup"_s);
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] :
            { std::pair { u"HOME"_s, u"/home"_s }, std::pair { u"XDG_CONFIG_HOME"_s, u"/home/.config"_s },
                std::pair { u"XDG_RUNTIME_DIR"_s, u"/home/run"_s } })
            env.insert(name, folder + value);
        env.insert(u"QT_LOGGING_RULES"_s, u"vespelinda.speech=true"_s);
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        program.setProcessEnvironment(env);
        program.setProgram(folder + u"/Vespelinda"_s);
        return folder;
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Readable by nobody too, for the run without write permission.
        QVERIFY(
            QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther | QFile::ReadOther));
    }

    void stopsBeforeTheWindowShows_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << u"missing"_s << u"il file non esiste"_s;
        QTest::newRow("not a database") << u"garbage"_s << u"il file non è un database SQLite"_s;
        QTest::newRow("no tables") << u"noTables"_s << u"manca la tabella Appuntamenti"_s;
        QTest::newRow("a folder, not a file") << u"folder"_s << u"non è un file"_s;
        QTest::newRow("missing field") << u"noField"_s << u"nella tabella Promemoria manca il campo Ora"_s;
    }
    void stopsBeforeTheWindowShows()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QProcess program;
        const QString folder = programFolder(kind, program);
        const QString path = folder + u"/dati.mdb"_s;
        const QFileInfo before(path);
        const QByteArray bytes = contents(path);
        QTest::qWait(20); // a change would show in the modification time

        program.start();
        QVERIFY(program.waitForFinished(30000));
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QVERIFY(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 1);
        QVERIFY2(errors.contains(u"Impossibile aprire il file dei dati "_s + path + u": "_s + reason)
                && !errors.contains(u"oggi è il"_s), // no greeting: start-up never got that far
            qPrintable(errors));
        QCOMPARE(QFileInfo(path).isFile(), before.isFile());
        QCOMPARE(QFileInfo(path).lastModified(), before.lastModified());
        QCOMPARE(contents(path), bytes);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), before.isFile() ? 2 : 1); // nothing made either
    }

    // A data file nobody may write to still lets the program start and greet.
    void startsWithAReadOnlyFile()
    {
        QProcess program;
        const QString folder = programFolder(u"readonly"_s, program);
        const QByteArray bytes = contents(folder + u"/dati.mdb"_s);
        const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const auto executable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        const auto restore
            = qScopeGuard([&] { QFile::setPermissions(folder, readable | executable | QFile::WriteOwner); });
        QVERIFY(QFile::setPermissions(folder + u"/dati.mdb"_s, readable));
        QVERIFY(QFile::setPermissions(folder, readable | executable));
        QVERIFY(QFile::setPermissions(folder + u"/home"_s, QFile::permissions(folder) | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(folder + u"/home/run"_s, QFile::permissions(folder) | QFile::WriteOther));
        if (geteuid() == 0) // root writes anywhere: run as nobody, for whom the modes count
            program.setChildProcessModifier([] {
                if (setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(99);
            });
        program.start();
        QString errors;
        QTRY_VERIFY_WITH_TIMEOUT(
            (errors += QString::fromUtf8(program.readAllStandardError())).contains(u"oggi è il"_s), 30000);
        QVERIFY2(!errors.contains(u"Impossibile"_s) && program.state() == QProcess::Running, qPrintable(errors));
        program.kill();
        program.waitForFinished(10000);
        QCOMPARE(contents(folder + u"/dati.mdb"_s), bytes);
    }
};

QTEST_GUILESS_MAIN(TestStartupFailure)
#include "TestStartupFailure.moc"
