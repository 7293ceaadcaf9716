// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, copied into a folder of its own, with a data file that is missing or unsound:
// it stops before its window shows, names the file and the problem, and leaves the file alone.
// (On a real screen it also shows an error box: tests/e2e/test_startup_error_box.sh.)
#include "AgendaTestData.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestStartupFailure : public QObject
{
    Q_OBJECT

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Dates a file or folder an hour back, so that any change would show in its modification time.
    static bool backdate(const QString& path)
    {
        const timespec anHourAgo { std::time(nullptr) - 3600, 0 };
        const timespec times[2] { anHourAgo, anHourAgo };
        return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void stopsBeforeTheWindowShows_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // the file's content, when not made from the schema
        QTest::addColumn<QString>("sql"); // run on a file made from the schema
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << QString() << u"il file non esiste"_s;
        QTest::newRow("a folder") << QByteArray("/") << QString() << u"non è un file"_s;
        QTest::newRow("not a database") << QByteArray("\x89PNG\r\n\x1a\n questo non è un database") << QString()
                                        << u"il file non è un database SQLite"_s;
        QTest::newRow("empty file") << QByteArray("") << QString() << u"manca la tabella Appuntamenti"_s;
        QTest::newRow("no Rubrica") << QByteArray() << u"DROP TABLE Rubrica"_s << u"manca la tabella Rubrica"_s;
        QTest::newRow("no Email") << QByteArray() << u"ALTER TABLE Rubrica DROP COLUMN Email"_s
                                  << u"nella tabella Rubrica manca il campo Email"_s;
        QTest::newRow("Data renamed") << QByteArray() << u"ALTER TABLE Appuntamenti RENAME COLUMN Data TO Giorno"_s
                                      << u"nella tabella Appuntamenti manca il campo Data"_s;
    }
    void stopsBeforeTheWindowShows()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, sql);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString path = folder.filePath(u"dati.mdb"_s);
        QVERIFY(QFile::copy(QStringLiteral(VESPELINDA_EXECUTABLE), folder.filePath(u"Vespelinda"_s)));
        if (!sql.isEmpty()) {
            AgendaTestData made;
            QVERIFY2(made.exec(sql), qPrintable(sql));
            QVERIFY(QFile::copy(made.path, path));
        } else if (bytes == "/") {
            QVERIFY(QDir().mkdir(path));
        } else if (!bytes.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(bytes), qint64(bytes.size()));
        }
        if (QFileInfo::exists(path))
            QVERIFY(backdate(path));
        const QFileInfo before(path);
        const QByteArray bytesBefore = contents(path);

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, folder.filePath(u"home"_s));
        env.insert(u"XDG_CONFIG_HOME"_s, folder.filePath(u"home"_s));
        env.insert(u"QT_LOGGING_RULES"_s, u"vespelinda.speech=true"_s);
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        program.setProcessEnvironment(env);
        program.start(folder.filePath(u"Vespelinda"_s), {});
        QVERIFY(program.waitForFinished(30000));
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(errors.contains(u"Impossibile aprire il file dei dati "_s + path + u": "_s), qPrintable(errors));
        QVERIFY2(errors.contains(reason), qPrintable(errors));
        QVERIFY2(!errors.contains(u"oggi è il"_s), qPrintable(errors)); // no greeting: start-up never got that far
        QCOMPARE(QFileInfo(path).isFile(), before.isFile());
        QCOMPARE(QFileInfo(path).lastModified(), before.lastModified());
        QCOMPARE(contents(path), bytesBefore);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), before.isFile() ? 2 : 1); // nothing made
    }
};

QTEST_GUILESS_MAIN(TestStartupFailure)
#include "TestStartupFailure.moc"
