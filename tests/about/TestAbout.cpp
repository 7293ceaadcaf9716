// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "about/ProgramInfo.h"
#include "about/ProjectLinks.h"
#include "about/frmAbout.h"
#include "registry/clsEasyRegistry.h"

#include <QAccessible>
#include <QPushButton>
#include <QtTest>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {
// The About window over a registry store, a search path (the folder `bin`) and an address recorder of its own.
struct AboutRig
{
    AboutRig()
    {
        QDir().mkpath(bin);
        settings.setLeggiErrore(true);
        window = std::make_unique<frmAbout>(
            AboutServices { alert, dir.filePath(u"registry"_s), ProgramLauncher({ bin }), [this](const QUrl& url) {
                               opened.append(url);
                               return false; // a desktop without handlers
                           } });
        window->show();
    }
    // A stand-in program that writes "<pid> <name>" to started.txt and keeps running.
    QString tool(const QString& folder, const QString& name, const char* shell = "/bin/sh")
    {
        QFile file(folder + u'/' + name);
        file.open(QIODevice::WriteOnly);
        const QString script = u"#!%1\necho \"$$ %2\" > '%3.new'; mv '%3.new' '%3'\nexec sleep 30\n"_s;
        file.write(script.arg(QLatin1String(shell), name, started).toUtf8());
        file.setPermissions(file.permissions() | QFile::ExeOwner);
        return file.fileName();
    }
    // Whether a stand-in program was started. startDetached() returns once the program runs, and
    // while it runs its script its command line names this folder; past the script it has written
    // started.txt. Looked at in that order, nothing is missed and nothing need be waited for.
    bool toolStarted() const
    {
        const QByteArray folder = QFile::encodeName(dir.path());
        for (const QString& pid : QDir(u"/proc"_s).entryList({ u"[0-9]*"_s }, QDir::Dirs)) {
            QFile commandLine(u"/proc/"_s + pid + u"/cmdline"_s);
            if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(folder))
                return true;
        }
        return QFile::exists(started);
    }
    // A text value below HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft.
    void registryValue(const QString& key, const QString& name, const QString& value)
    {
        clsEasyRegistry registry(dir.filePath(u"registry"_s));
        registry.Cd(u"\\HKEY_LOCAL_MACHINE"_s);
        registry.MakeKey(u"SOFTWARE\\Microsoft\\"_s + key);
        registry.Cd(u"SOFTWARE\\Microsoft\\"_s + key);
        registry.ValueOf(name, clsEasyRegistry::STRING, value);
    }

    QTemporaryDir dir;
    QString bin = dir.filePath(u"bin"_s), started = dir.filePath(u"started.txt"_s);
    SettingsStore settings { dir.filePath(u"s.conf"_s) };
    SpeechRig speech;
    FakeMessageBoxes boxes;
    Alert alert { settings, speech.speaker, boxes };
    QList<QUrl> opened;
    std::unique_ptr<frmAbout> window;
};
} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void opensOnceAndClosesWithOkEnterOrEsc_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("key");
        QTest::newRow("Esc") << u"mnuInfo"_s << int(Qt::Key_Escape);
        QTest::newRow("Enter") << u"mnuIcoInfo"_s << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << u"mnuInfo"_s << int(Qt::Key_Enter);
        QTest::newRow("OK") << u"mnuIcoInfo"_s << 0;
    }
    void opensOnceAndClosesWithOkEnterOrEsc()
    {
        QFETCH(QString, menu);
        QFETCH(int, key);
        MainWindowRig rig;
        QVERIFY(rig.start());
        rig.action(menu.toLatin1())->trigger();
        auto* about = rig.window->findChild<frmAbout*>();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QVERIFY(rig.window->finestraAperta());
        rig.action(menu == u"mnuInfo"_s ? "mnuIcoInfo" : "mnuInfo")->trigger(); // only brought forward
        QCOMPARE(rig.window->findChildren<frmAbout*>(), QList<frmAbout*> { about });
        if (key)
            QTest::keyClick(about->focusWidget(), Qt::Key(key));
        else
            QTest::mouseClick(about->findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
        QVERIFY(!rig.window->finestraAperta());
        QTRY_VERIFY(rig.window->findChildren<frmAbout*>().isEmpty());
    }

    void systemInfoStartsTheToolDetachedOrSaysThereIsNone_data()
    {
        // The first place names a program ("gone": a missing one); the second a folder holding the
        // given program ("-": none); programs on PATH ("!name" cannot start).
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("onPath");
        QTest::addColumn<QString>("expected"); // the program started; none: the alert
        const QString no;
        QTest::newRow("nothing anywhere") << no << no << QStringList {} << no;
        QTest::newRow("second place, no tool there") << no << u"-"_s << QStringList {} << no;
        QTest::newRow("first place missing: no PATH") << u"gone"_s << no << QStringList { u"hardinfo"_s } << no;
        QTest::newRow("it does not start") << no << no << QStringList { u"!cpu-x"_s } << no;
        QTest::newRow("first known on PATH") << no << no << QStringList { u"cpu-x"_s, u"hardinfo"_s } << u"hardinfo"_s;
        QTest::newRow("first place") << u"sysinfo"_s << no << QStringList { u"hardinfo"_s } << u"sysinfo"_s;
        QTest::newRow("second place") << no << u"kinfocenter"_s << QStringList { u"hardinfo"_s } << u"kinfocenter"_s;
        QTest::newRow("second place without it: PATH") << no << u"-"_s << QStringList { u"cpu-x"_s } << u"cpu-x"_s;
    }
    void systemInfoStartsTheToolDetachedOrSaysThereIsNone()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QStringList, onPath);
        QFETCH(QString, expected);
        AboutRig rig;
        for (const QString& name : onPath)
            rig.tool(rig.bin, QString(name).remove(u'!'), name.startsWith(u'!') ? "/none/sh" : "/bin/sh");
        if (!first.isEmpty())
            rig.registryValue(u"Shared Tools\\MSINFO"_s, u"PATH"_s,
                first == u"gone"_s ? rig.dir.filePath(first) : rig.tool(rig.dir.path(), first));
        if (!second.isEmpty())
            rig.registryValue(u"Shared Tools Location"_s, u"MSINFO"_s,
                second == u"-"_s ? rig.dir.path() : QFileInfo(rig.tool(rig.dir.path(), second)).path());
        QTest::mouseClick(rig.window->findChild<QPushButton*>(u"cmdSysInfo"_s), Qt::LeftButton);
        QCOMPARE(rig.boxes.shown.size(), expected.isEmpty() ? 1 : 0);
        if (expected.isEmpty()) {
            const QString text = u"Le informazioni sul sistema non sono attualmente disponibili."_s;
            const FakeMessageBoxes::Box box = rig.boxes.shown[0];
            QCOMPARE(std::tuple(box.text, box.style, box.title), std::tuple(text, 0, u"Vespelinda"_s));
            QTRY_COMPARE(rig.speech.spoken(), QStringList { text }); // "Leggi errore" is "1"
            QVERIFY(rig.window->isVisible());
            QVERIFY(!rig.toolStarted());
            return;
        }
        QTRY_VERIFY(QFile::exists(rig.started));
        QFile file(rig.started);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList started = QString::fromUtf8(file.readAll()).trimmed().split(u' ');
        QCOMPARE(started.value(1), expected);
        rig.window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // what it deleted later goes now
        QCOMPARE(::kill(started[0].toInt(), 0), 0); // outlives the window
        ::kill(started[0].toInt(), SIGTERM);
    }

    void linksOpenTheProjectAddresses_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("key"); // reached with Tab; none: a click
        QTest::addColumn<QUrl>("expected");
        const QUrl web(QString::fromLatin1(ProjectLinks::HomePage));
        const QUrl mail(u"mailto:"_s + QLatin1String(ProjectLinks::Contact) + u"?subject=Vespelinda%20"_s
            + QLatin1String(ProgramVersion));
        QTest::newRow("click on the web address") << u"Label1"_s << 0 << web;
        QTest::newRow("Enter on the web address") << u"Label1"_s << int(Qt::Key_Return) << web;
        QTest::newRow("Space on the mail address") << u"Label2"_s << int(Qt::Key_Space) << mail;
    }
    void linksOpenTheProjectAddresses()
    {
        QFETCH(QString, label);
        QFETCH(int, key);
        QFETCH(QUrl, expected);
        AboutRig rig;
        auto* link = rig.window->findChild<QWidget*>(label);
        QCOMPARE(QAccessible::queryAccessibleInterface(link)->role(), QAccessible::Link);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"could not open"_s)); // and nothing else
        if (key) {
            for (int tab = 0; tab < 4 && rig.window->focusWidget() != link; ++tab)
                QTest::keyClick(rig.window->focusWidget(), Qt::Key_Tab);
            QCOMPARE(rig.window->focusWidget(), link);
            QTest::keyClick(link, Qt::Key(key));
        } else {
            QTest::mouseClick(link, Qt::LeftButton);
        }
        QCOMPARE(rig.opened, QList<QUrl> { expected });
        QVERIFY(rig.window->isVisible());
        QCOMPARE(rig.boxes.shown.size(), 0);
    }
};

QTEST_MAIN(TestAbout)
#include "TestAbout.moc"
