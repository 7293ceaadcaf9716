// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/AutostartEntry.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
} // namespace

class TestAutostartEntry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void aLauncherStartsExactlyTheProgram_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("space and quotes") << u"Vespe'linda di \"prova\""_s;
        QTest::newRow("backslashes") << u"a\\b\\\\c\\s"_s;
        QTest::newRow("shell signs") << u"$HOME $(id) `id` ;|&<>~*?#()"_s;
        QTest::newRow("percent") << u"100% %f %%u"_s;
        QTest::newRow("accents") << u"Città è ß"_s;
    }
    void aLauncherStartsExactlyTheProgram()
    {
        QFETCH(QString, folder);
        const QString programFolder = m_dir.filePath(folder);
        const QString program = programFolder + u"/Vespelinda"_s;
        const QString started = m_dir.filePath(u"started"_s);
        QVERIFY(QDir().mkpath(programFolder));
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        QVERIFY(script.write("#!/bin/sh\nprintf '%s' \"$0\" > \"$MARKER\"\n") > 0);
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));

        AutostartEntry entry(m_dir.filePath(QTest::currentDataTag()) + u"/autostart"_s, programFolder);
        QCOMPARE(entry.update(true), std::nullopt);
        QProcess validate;
        validate.start(u"desktop-file-validate"_s, { entry.filePath() });
        QVERIFY(validate.waitForFinished());
        QCOMPARE(validate.readAll(), QByteArray()); // what it finds wrong
        QCOMPARE(validate.exitCode(), 0);

        // GLib's launcher unquotes the Exec line and starts what it names.
        QProcess launch;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"MARKER"_s, started);
        for (const QString& home : { u"HOME"_s, u"XDG_CACHE_HOME"_s, u"XDG_CONFIG_HOME"_s, u"XDG_DATA_HOME"_s })
            env.insert(home, m_dir.path()); // what the launcher keeps stays in the test's folder
        launch.setProcessEnvironment(env);
        launch.start(u"gio"_s, { u"launch"_s, entry.filePath() });
        QVERIFY(launch.waitForFinished());
        QVERIFY2(launch.exitCode() == 0,
            qPrintable(u"exit code %1: %2"_s.arg(launch.exitCode())
                           .arg(QString::fromLocal8Bit(launch.readAllStandardError()))));
        QTRY_COMPARE(readAll(started), program);
        QFile::remove(started);
    }

    // Registering again leaves one entry, for the program's folder of now, switched on: the user's
    // last choice in the program wins over a switch-off made elsewhere.
    void registeringAgainRefreshesTheOneEntryAndSwitchesItOn_data()
    {
        QTest::addColumn<QString>("switchedOff");
        QTest::newRow("on") << QString();
        QTest::newRow("hidden") << u"Hidden=true"_s;
        QTest::newRow("not enabled") << u"X-GNOME-Autostart-enabled=false"_s;
    }
    void registeringAgainRefreshesTheOneEntryAndSwitchesItOn()
    {
        QFETCH(QString, switchedOff);
        const QString folder = m_dir.filePath(u"again-"_s + QTest::currentDataTag());
        AutostartEntry old(folder, u"/opt/vecchia"_s);
        QCOMPARE(old.update(true), std::nullopt);
        QFile file(old.filePath());
        QVERIFY(file.open(QIODevice::Append));
        QVERIFY(file.write(switchedOff.toUtf8() + "\n") >= 0);
        file.close();
        QCOMPARE(old.isSwitchedOff(), !switchedOff.isEmpty());
        AutostartEntry moved(folder, u"/opt/nuova"_s);
        QCOMPARE(moved.update(true), std::nullopt);
        QCOMPARE(
            QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { u"Vespelinda.desktop"_s });
        const QString text = readAll(moved.filePath());
        QVERIFY(text.contains(u"\nExec=\"/opt/nuova/Vespelinda\"\n"_s));
        QVERIFY(!text.contains(u"vecchia"_s));
        QVERIFY(text.contains(u"\nName=Vespelinda\n"_s));
        QVERIFY(text.contains(u"\nIcon=org.vespelinda.Vespelinda\n"_s)); // the installed icon's name
        QCOMPARE(text.count(u"Hidden"_s) + text.count(u"X-GNOME"_s), 0);
        QVERIFY(!moved.isSwitchedOff());
    }

    // Installed, the entry starts the launcher, which keeps the window on top on Wayland; a
    // program folder outside an installation, or one without its launcher, starts the executable.
    void anInstalledProgramStartsThroughItsLauncher_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<bool>("withLauncher");
        QTest::addColumn<QString>("exec");
        QTest::newRow("installed") << u"prefix/lib/vespelinda"_s << true << u"prefix/bin/vespelinda"_s;
        QTest::newRow("installed, launcher gone")
            << u"bare/lib/vespelinda"_s << false << u"bare/lib/vespelinda/Vespelinda"_s;
        QTest::newRow("a build folder") << u"build/bin"_s << true << u"build/bin/Vespelinda"_s;
    }
    void anInstalledProgramStartsThroughItsLauncher()
    {
        QFETCH(QString, programFolder);
        QFETCH(bool, withLauncher);
        QFETCH(QString, exec);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(programFolder));
        const QString launcher = QDir(root.filePath(programFolder)).absoluteFilePath(u"../../bin/vespelinda"_s);
        if (withLauncher) {
            QVERIFY(QDir().mkpath(QFileInfo(launcher).absolutePath()));
            QFile file(launcher);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write("#!/bin/sh\n") > 0);
            file.close();
            QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
        }
        AutostartEntry entry(root.filePath(u"autostart"_s), root.filePath(programFolder));
        QCOMPARE(entry.executable(), QDir::cleanPath(root.filePath(exec)));
    }

    void removingIsSilentAndAFailedRegistrationNamesTheFile()
    {
        const QString folder = m_dir.filePath(u"remove"_s);
        AutostartEntry entry(folder, u"/opt/v"_s);
        QCOMPARE(entry.update(false), std::nullopt); // no entry, not even the folder
        QCOMPARE(entry.update(true), std::nullopt);
        QCOMPARE(entry.update(false), std::nullopt);
        QVERIFY(!QFile::exists(entry.filePath()));
        QVERIFY(QDir(folder).mkpath(u"Vespelinda.desktop/in-the-way"_s)); // cannot be replaced, even by root
        const std::optional<QString> failure = entry.update(true);
        QVERIFY(failure);
        QVERIFY2(failure->contains(entry.filePath()), qPrintable(*failure));
        QCOMPARE_GT(failure->size(), entry.filePath().size() + 50); // says why, too
        QCOMPARE(entry.update(false), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestAutostartEntry)
#include "TestAutostartEntry.moc"
