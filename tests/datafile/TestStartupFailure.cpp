// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, copied into a folder of its own, started against a data file that is missing
// or unsound: it must stop before its window shows, say why, and leave the file alone.
#include "DataFileFixture.h"

#include <QDateTime>
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

class TestStartupFailure : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A folder holding a copy of the program and a data file of the given kind.
    QString programFolder(const QString& name, const QString& kind)
    {
        const QString folder = m_dir.filePath(name);
        if (!QDir().mkpath(folder + u"/home"_s))
            return {};
        QFile::copy(QStringLiteral(VESPELINDA_EXECUTABLE), folder + u"/Vespelinda"_s);
        const QString path = folder + u"/dati.mdb"_s;
        if (kind == u"garbage"_s) {
            QFile file(path);
            file.open(QIODevice::WriteOnly);
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
        return folder;
    }

    static QProcessEnvironment environment(const QString& folder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, folder + u"/home"_s);
        env.insert(u"XDG_CONFIG_HOME"_s, folder + u"/home/.config"_s);
        env.insert(u"XDG_DATA_HOME"_s, folder + u"/home/.local/share"_s);
        env.insert(u"QT_LOGGING_RULES"_s, u"vespelinda.speech=true"_s);
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        const QString runtime = folder + u"/home/run"_s;
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        return env;
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

        const QString folder = programFolder(u"stop-"_s + kind, kind);
        QVERIFY(!folder.isEmpty());
        const QString path = folder + u"/dati.mdb"_s;
        const bool existed = QFileInfo(path).isFile();
        const QDateTime modified = QFileInfo(path).lastModified();
        const QByteArray bytes = contents(path);
        QTest::qWait(20); // a change would show in the modification time

        QProcess program;
        program.setProcessEnvironment(environment(folder));
        program.start(folder + u"/Vespelinda"_s, {});
        QVERIFY(program.waitForFinished(30000));
        const QString errors = QString::fromUtf8(program.readAllStandardError());

        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(
            errors.contains(u"Impossibile aprire il file dei dati "_s + path + u": "_s + reason), qPrintable(errors));
        QVERIFY2(!errors.contains(u"oggi è il"_s), qPrintable(errors)); // no greeting: start-up never got that far

        QCOMPARE(QFileInfo(path).isFile(), existed);
        if (existed) {
            QCOMPARE(QFileInfo(path).lastModified(), modified);
            QCOMPARE(contents(path), bytes);
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), existed ? 2 : 1); // nothing made either
    }

    // With a real screen the error box shows and holds the program until it is closed.
    void errorBoxShowsOnAScreen()
    {
        const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
        const QString xdotool = QStandardPaths::findExecutable(u"xdotool"_s);
        if (xvfb.isEmpty() || xdotool.isEmpty())
            QSKIP("Xvfb and xdotool are needed to see the box");

        const QString folder = programFolder(u"screen"_s, u"garbage"_s);
        QVERIFY(!folder.isEmpty());
        const QByteArray bytes = contents(folder + u"/dati.mdb"_s);

        QProcess server;
        server.start(
            xvfb, { u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s, u"-nolisten"_s, u"tcp"_s });
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 20000);
        const QString display = u":"_s + QString::fromLatin1(server.readLine()).trimmed();

        QProcessEnvironment env = environment(folder);
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        env.insert(u"DISPLAY"_s, display);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(folder + u"/Vespelinda"_s, {});

        auto xdo = [&](const QStringList& args) {
            QProcess tool;
            tool.setProcessEnvironment(env);
            tool.start(xdotool, args);
            tool.waitForFinished(10000);
            return QString::fromLatin1(tool.readAllStandardOutput()).trimmed();
        };
        QString errors;
        QTRY_VERIFY_WITH_TIMEOUT((errors += QString::fromUtf8(program.readAllStandardError()))
                                     .contains(u"Impossibile aprire il file dei dati "_s + folder),
            30000);
        // The box, titled after the program, holds it open until the user answers.
        QString box;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(box = xdo({ u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Vespelinda$"_s })).isEmpty(), 30000);
        QCOMPARE(program.state(), QProcess::Running);
        QTRY_VERIFY_WITH_TIMEOUT(
            (xdo({ u"windowfocus"_s, u"--sync"_s, box.section(u'\n', 0, 0), u"key"_s, u"Return"_s }),
                program.state() == QProcess::NotRunning),
            30000);

        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(contents(folder + u"/dati.mdb"_s), bytes);
        server.terminate();
        server.waitForFinished(10000);
    }

    // A data file nobody may write to still lets the program start and greet.
    void startsWithAReadOnlyFile()
    {
        const QString folder = programFolder(u"readonly"_s, u"sound"_s);
        QVERIFY(!folder.isEmpty());
        const QString path = folder + u"/dati.mdb"_s;
        const QByteArray bytes = contents(path);
        const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const auto executable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        const auto writable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        const auto restore
            = qScopeGuard([&] { QFile::setPermissions(folder, readable | executable | QFile::WriteOwner); });
        QVERIFY(QFile::setPermissions(path, readable));
        QVERIFY(QFile::setPermissions(folder, readable | executable));
        QVERIFY(QFile::setPermissions(folder + u"/home"_s, readable | executable | writable));

        QProcess program;
        program.setProcessEnvironment(environment(folder));
        if (geteuid() == 0) { // root writes anywhere: run as nobody, for whom the modes count
            program.setChildProcessModifier([] {
                if (setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(99);
            });
        }
        program.start(folder + u"/Vespelinda"_s, {});
        QString errors;
        QTRY_VERIFY_WITH_TIMEOUT(
            (errors += QString::fromUtf8(program.readAllStandardError())).contains(u"oggi è il"_s), 30000);
        QVERIFY2(!errors.contains(u"Impossibile"_s), qPrintable(errors));
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished(10000);
        QCOMPARE(contents(path), bytes);
    }
};

QTEST_GUILESS_MAIN(TestStartupFailure)
#include "TestStartupFailure.moc"
