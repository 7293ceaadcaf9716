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
#include <functional>

using namespace Qt::StringLiterals;

namespace {
const QString Unavailable = u"Le informazioni sul sistema non sono attualmente disponibili."_s;

// The About window over a registry store, a search path (one folder) and an address recorder of its own.
struct AboutRig
{
    AboutRig()
    {
        QDir().mkpath(bin);
        window = std::make_unique<frmAbout>(
            AboutServices { alert, dir.filePath(u"registry"_s), ProgramLauncher({ bin }), [this](const QUrl& url) {
                               opened.append(url);
                               return desktopAnswers;
                           } });
        window->show();
    }
    // A stand-in program that writes "<pid> <name>" to started.txt and keeps running.
    QString tool(const QString& folder, const QString& name, const char* shell = "/bin/sh")
    {
        QDir().mkpath(folder);
        QFile file(folder + u'/' + name);
        file.open(QIODevice::WriteOnly);
        file.write("#!" + QByteArray(shell) + "\necho \"$$ " + name.toUtf8() + "\" > '" + started.toUtf8()
            + ".new'\nmv '" + started.toUtf8() + ".new' '" + started.toUtf8() + "'\nexec sleep 30\n");
        file.setPermissions(file.permissions() | QFile::ExeOwner);
        return file.fileName();
    }
    void registryValue(const QString& key, const QString& name, const QString& value)
    {
        clsEasyRegistry registry(dir.filePath(u"registry"_s));
        registry.Cd(u"\\HKEY_LOCAL_MACHINE"_s);
        registry.MakeKey(key);
        registry.Cd(key);
        registry.ValueOf(name, clsEasyRegistry::STRING, value);
    }
    template <typename T = QWidget> T* child(const char* name) { return window->findChild<T*>(QLatin1String(name)); }

    QTemporaryDir dir;
    QString bin = dir.filePath(u"bin"_s);
    QString started = dir.filePath(u"started.txt"_s);
    SettingsStore settings { dir.filePath(u"s.conf"_s) };
    SpeechRig speech;
    FakeMessageBoxes boxes;
    Alert alert { settings, speech.speaker, boxes };
    QList<QUrl> opened;
    bool desktopAnswers = true;
    std::unique_ptr<frmAbout> window;
};

const QString Msinfo = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s;
const QString Location = u"SOFTWARE\\Microsoft\\Shared Tools Location"_s;
using Setup = std::function<void(AboutRig&)>;
} // namespace
Q_DECLARE_METATYPE(Setup)

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
        QVERIFY(about && about->isVisible() && rig.window->finestraAperta());
        rig.action(menu == u"mnuInfo"_s ? "mnuIcoInfo" : "mnuInfo")->trigger(); // only brought forward
        QCOMPARE(rig.window->findChildren<frmAbout*>(), QList<frmAbout*> { about });
        QCOMPARE(about->windowTitle(), u"Informazioni su Vespelinda"_s);
        if (key)
            QTest::keyClick(about->focusWidget(), Qt::Key(key));
        else
            QTest::mouseClick(about->findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
        QVERIFY(!rig.window->finestraAperta());
        QTRY_VERIFY(rig.window->findChildren<frmAbout*>().isEmpty());
    }

    void systemInfoUnavailable_data()
    {
        QTest::addColumn<QString>("leggiErrore");
        QTest::addColumn<Setup>("setup");
        QTest::newRow("nothing anywhere, spoken") << u"1"_s << Setup([](AboutRig&) {});
        QTest::newRow("nothing anywhere, silent") << u"0"_s << Setup([](AboutRig&) {});
        QTest::newRow("second place: a folder without the tool") << u"1"_s << Setup([](AboutRig& rig) {
            QDir().mkpath(rig.dir.filePath(u"empty"_s));
            rig.registryValue(Location, u"MSINFO"_s, rig.dir.filePath(u"empty"_s));
        });
        QTest::newRow("first place: a missing program wins over PATH") << u"1"_s << Setup([](AboutRig& rig) {
            rig.registryValue(Msinfo, u"PATH"_s, rig.dir.filePath(u"gone/msinfo"_s));
            rig.tool(rig.bin, u"hardinfo"_s);
        });
        QTest::newRow("the tool does not start")
            << u"1"_s << Setup([](AboutRig& rig) { rig.tool(rig.bin, u"cpu-x"_s, "/nowhere/sh"); });
    }
    void systemInfoUnavailable()
    {
        QFETCH(QString, leggiErrore);
        QFETCH(Setup, setup);
        AboutRig rig;
        rig.settings.save(u"Leggi errore"_s, leggiErrore);
        setup(rig);
        QTest::mouseClick(rig.child<QPushButton>("cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(rig.boxes.shown.size(), 1);
        QCOMPARE(rig.boxes.shown[0].text, Unavailable);
        QCOMPARE(rig.boxes.shown[0].style, 0);
        QCOMPARE(rig.boxes.shown[0].title, u"Vespelinda"_s);
        QTRY_COMPARE(rig.speech.spoken(), leggiErrore == u"1"_s ? QStringList { Unavailable } : QStringList {});
        QVERIFY(rig.window->isVisible());
        QTest::qWait(200);
        QVERIFY(!QFile::exists(rig.started));
    }

    void systemInfoStartsTheToolDetached_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first known program on PATH") << Setup([](AboutRig& rig) {
            rig.tool(rig.bin, u"cpu-x"_s);
            rig.tool(rig.bin, u"hardinfo"_s);
        }) << u"hardinfo"_s;
        QTest::newRow("named by the first place") << Setup([](AboutRig& rig) {
            rig.registryValue(Msinfo, u"PATH"_s, rig.tool(rig.dir.filePath(u"opt"_s), u"sysinfo"_s));
            rig.tool(rig.bin, u"hardinfo"_s);
        }) << u"sysinfo"_s;
        QTest::newRow("in the folder of the second place") << Setup([](AboutRig& rig) {
            rig.tool(rig.dir.filePath(u"opt"_s), u"kinfocenter"_s);
            rig.registryValue(Location, u"MSINFO"_s, rig.dir.filePath(u"opt"_s));
            rig.tool(rig.bin, u"hardinfo"_s);
        }) << u"kinfocenter"_s;
        QTest::newRow("second place without it: PATH") << Setup([](AboutRig& rig) {
            rig.registryValue(Location, u"MSINFO"_s, rig.dir.path());
            rig.tool(rig.bin, u"gnome-system-monitor"_s);
        }) << u"gnome-system-monitor"_s;
    }
    void systemInfoStartsTheToolDetached()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, expected);
        AboutRig rig;
        setup(rig);
        QTest::mouseClick(rig.child<QPushButton>("cmdSysInfo"), Qt::LeftButton);
        QTRY_VERIFY(QFile::exists(rig.started));
        QFile file(rig.started);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList started = QString::fromUtf8(file.readAll()).split(u' ');
        const pid_t pid = started.value(0).toInt();
        QCOMPARE(started.value(1).trimmed(), expected);
        QVERIFY(rig.boxes.shown.isEmpty());
        rig.window->close();
        rig.window.reset();
        QTest::qWait(100);
        QCOMPARE(::kill(pid, 0), 0); // still running
        ::kill(pid, SIGTERM);
    }

    void linksOpenTheProjectAddresses_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("desktopAnswers");
        QTest::addColumn<QUrl>("expected");
        const QUrl web(QString::fromLatin1(ProjectLinks::HomePage));
        const QUrl mail(u"mailto:"_s + QLatin1String(ProjectLinks::Contact) + u"?subject=Vespelinda%20"_s
            + QLatin1String(ProgramVersion));
        QTest::newRow("click on the web address") << u"Label1"_s << 0 << true << web;
        QTest::newRow("Enter on the web address") << u"Label1"_s << int(Qt::Key_Return) << true << web;
        QTest::newRow("Space on the mail address") << u"Label2"_s << int(Qt::Key_Space) << true << mail;
        QTest::newRow("the desktop cannot open it") << u"Label2"_s << 0 << false << mail;
    }
    void linksOpenTheProjectAddresses()
    {
        QFETCH(QString, label);
        QFETCH(int, key);
        QFETCH(bool, desktopAnswers);
        QFETCH(QUrl, expected);
        AboutRig rig;
        rig.desktopAnswers = desktopAnswers;
        auto* link = rig.window->findChild<QWidget*>(label);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(link);
        QCOMPARE(accessible->role(), QAccessible::Link);
        QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
        QCOMPARE(accessible->text(QAccessible::Description), link->toolTip());
        if (!desktopAnswers)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"could not open"_s));
        if (key) {
            rig.window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
            for (int tab = 0; tab < 4 && rig.window->focusWidget() != link; ++tab)
                QTest::keyClick(rig.window->focusWidget(), Qt::Key_Tab);
            QCOMPARE(rig.window->focusWidget(), link);
            QTest::keyClick(link, Qt::Key(key));
        } else {
            QTest::mouseClick(link, Qt::LeftButton);
        }
        QCOMPARE(rig.opened, QList<QUrl> { expected });
        QVERIFY(rig.window->isVisible() && rig.boxes.shown.isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "TestAbout.moc"
