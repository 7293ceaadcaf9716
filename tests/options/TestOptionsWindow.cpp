// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "options/frmOpzioni.h"

#include <QAccessible>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// The main window over a store holding `stored`, with the options opened from the face's menu.
struct OptionsRig : MainWindowRig
{
    explicit OptionsRig(const QList<std::pair<const char*, QString>>& stored)
    {
        for (const auto& [key, value] : stored)
            set(key, value);
        if (start())
            action("mnuOpzioni")->trigger();
    }
    frmOpzioni* options() const { return window->findChild<frmOpzioni*>(); }
    template <typename T = QAbstractButton> T* in(const char* name) const { return options()->findChild<T*>(name); }
    QLineEdit* text(const char* name) const { return in<QLineEdit>(name); }
    template <typename... Name> void click(Name... names) const { (in(names)->click(), ...); }
};
} // namespace

class TestOptionsWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void cancelDiscardsAndOkWritesBackExactly_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("fine");
        QTest::addColumn<int>("cancel"); // "&Annulla", Esc, the close box
        QTest::addColumn<QString>("seconds"); // kept as stored while auto-minimise is off
        QTest::addColumn<int>("interval");
        QTest::newRow("none") << u"Nessuno"_s << u"optIniNessuno"_s << u"optFineNessuno"_s << 0 << u"45"_s << 45000;
        QTest::newRow("custom") << u"Personalizzato"_s << u"optIniPers"_s << u"optFinePers"_s << 1 << u"abc"_s << 15000;
        QTest::newRow("other") << u"nessuno"_s << u"optIniData"_s << u"optFineStd"_s << 2 << u"120"_s << 120000;
        QTest::newRow("empty") << QString() << u"optIniData"_s << u"optFineStd"_s << 0 << QString() << 15000;
    }
    void cancelDiscardsAndOkWritesBackExactly()
    {
        QFETCH(QString, stored);
        QFETCH(QString, ini);
        QFETCH(QString, fine);
        QFETCH(int, cancel);
        QFETCH(QString, seconds);
        const QString iniText = u"Ciao \"capo\", oggi; a=b\nriga 2 \\ 'fine'"_s;
        const QString fineText = QString(40000, u'à') + u",;=\""_s;
        OptionsRig rig({ { "Tipo iniziale", stored }, { "Tipo finale", stored }, { "Messaggio iniziale", iniText },
            { "Messaggio finale", fineText }, { "Automin", u"0"_s }, { "Mess Min", u"1"_s },
            { "Secondi inatt", seconds } });
        const auto file = [&rig] {
            QFile file(rig.settingsPath);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QByteArray before = file();
        QVERIFY(rig.options());
        QVERIFY(rig.window->finestraAperta());
        rig.click("optIniPers", "optFineNessuno", "chkLeggiErr");
        QTest::keyClicks(rig.text("txtIniPers"), u"nuovo"_s);
        rig.action("mnuOpzioni")->trigger(); // only brings it forward
        QCOMPARE(rig.window->findChildren<frmOpzioni*>().size(), 1);
        if (cancel == 0)
            rig.click("Command2");
        else if (cancel == 1)
            QTest::keyClick(rig.options(), Qt::Key_Escape);
        else
            rig.options()->close();
        QTRY_VERIFY(!rig.options());
        QTRY_VERIFY(!rig.window->finestraAperta());
        QCOMPARE(file(), before);

        rig.action("mnuOpzioni")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(rig.options()));
        QVERIFY2(rig.in(qPrintable(ini))->isChecked(), qPrintable(ini));
        QVERIFY2(rig.in(qPrintable(fine))->isChecked(), qPrintable(fine));
        QCOMPARE(rig.text("txtIniPers")->isVisible(), ini == u"optIniPers"_s);
        QCOMPARE(rig.text("txtIniPers")->text() + rig.text("txtFinePers")->text(), iniText + fineText);
        QCOMPARE(rig.text("txtSecIn")->text(), seconds);
        for (const bool automin : { false, true }) {
            QStringList enabled;
            for (const char* name : { "chkMessMin", "Label1", "txtSecIn" }) {
                if (rig.in<QWidget>(name)->isEnabled())
                    enabled << QLatin1String(name);
            }
            QCOMPARE(enabled, (automin ? QStringList { "chkMessMin", "Label1", "txtSecIn" } : QStringList()));
            rig.text("txtSecIn")->setText(automin ? u"x"_s : seconds); // typed, then disabled: never stored
            rig.click("chkAutomin");
        }
        QVERIFY(!rig.text("txtSecIn")->isEnabled());
        QVERIFY(rig.in("chkMessMin")->isChecked());
        QTest::keyClick(rig.options(), Qt::Key_Return);
        QTRY_VERIFY(!rig.options());
        QTRY_VERIFY(!rig.window->finestraAperta());
        // A word outside the set leaves the first selection, which is what is written back.
        const bool known = ini != u"optIniData"_s;
        SettingsStore reread(rig.settingsPath);
        QCOMPARE(reread.tipoIniziale() + reread.tipoFinale(), known ? stored + stored : u"DataOraStandard"_s);
        QCOMPARE(reread.messaggioIniziale() + reread.messaggioFinale(), iniText + fineText);
        QCOMPARE(reread.secondiInatt(), seconds);
        QTEST(rig.timer("tmrIcona")->interval(), "interval");
        QVERIFY(rig.boxes.shown.isEmpty());
    }

    void secondsMustBeFifteenToSixty_data()
    {
        QTest::addColumn<QString>("typed");
        for (const char* text : { "10", "61", "abc", "-15", "", " 2", "15", "60" })
            QTest::newRow(text) << QString::fromUtf8(text);
    }
    // An option group by keyboard and by ear: Tab reaches it on the chosen option, the arrows move
    // the choice, and each option is named by its own choice (the frame says the group, once).
    void optionGroupsByKeyboard()
    {
        OptionsRig rig({});
        QVERIFY(rig.options());
        QVERIFY(QTest::qWaitForWindowActive(rig.options()));
        QCOMPARE(QAccessible::queryAccessibleInterface(rig.in("optIniData"))->text(QAccessible::Name), u"Data e ora"_s);
        QCOMPARE(
            QAccessible::queryAccessibleInterface(rig.in("optIniPers"))->text(QAccessible::Name), u"Personalizzato"_s);
        QCOMPARE(QAccessible::queryAccessibleInterface(rig.in<QWidget>("Frame2"))->text(QAccessible::Name),
            u"Messaggio iniziale"_s);
        QStringList reached;
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (auto* option = qobject_cast<QRadioButton*>(QApplication::focusWidget()))
                reached << option->objectName();
        }
        reached.removeDuplicates();
        reached.sort();
        QCOMPARE(reached, (QStringList { u"optFineStd"_s, u"optIniNessuno"_s })); // the chosen ones only
        rig.in("optIniData")->setChecked(true);
        rig.in("optIniData")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(rig.in("optIniData"), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), rig.in<QWidget>("optIniPers"));
        QVERIFY(rig.in("optIniPers")->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // on to the text of the choice
        QCOMPARE(QApplication::focusWidget(), rig.in<QWidget>("txtIniPers"));
    }

    void secondsMustBeFifteenToSixty()
    {
        QFETCH(QString, typed);
        const bool accepted = typed == u"15"_s || typed == u"60"_s;
        OptionsRig rig({ { "Automin", u"1"_s }, { "Secondi inatt", u"20"_s } });
        QVERIFY(rig.options());
        QVERIFY(QTest::qWaitForWindowActive(rig.options()));
        rig.text("txtSecIn")->setFocus();
        rig.text("txtSecIn")->clear();
        QTest::keyClicks(rig.text("txtSecIn"), typed);
        QTest::keyClick(rig.text("txtSecIn"), Qt::Key_Backtab); // to "Messaggio vocale"
        QTRY_COMPARE(rig.boxes.shown.size(), accepted ? 0 : 1);
        QCOMPARE(QApplication::focusWidget() == rig.text("txtSecIn"), !accepted);
        rig.click("Command1");
        QCOMPARE(rig.boxTexts(),
            QStringList(accepted ? 0 : 2, u"I secondi di inattività devono essere compresi tra 15 e 60!"_s));
        QCOMPARE(rig.settings.secondiInatt(), accepted ? typed : u"20"_s);
        QCOMPARE(rig.timer("tmrIcona")->interval(), accepted ? typed.toInt() * 1000 : 20000);
    }

    void savingActsAtOnceAndSurvivesAFailedRegistration()
    {
        OptionsRig rig({ { "Messaggio finale", u"vecchio"_s }, { "Leggi errore", u"1"_s } });
        QVERIFY(rig.options());
        // A custom farewell typed, then given up for the standard one: the stored text stays.
        rig.click("optFinePers");
        QTest::keyClicks(rig.text("txtFinePers"), u"nuovo"_s);
        rig.click("optFineStd", "chkAvvio", "chkLeggiErr", "Command1");
        QVERIFY(QFile::exists(rig.autostart.filePath()));
        QCOMPARE(rig.settings.tipoFinale() + rig.settings.messaggioFinale(), u"Standardvecchio"_s);
        rig.alert(nullptr, u"zitta"_s, u"zitta"_s, 48); // "Leggi errore" off is honoured at once
        rig.speech.speaker.Speak(u"segno"_s); // whatever was queued before it is said before it
        const QStringList said = rig.speech.finishAll();
        QVERIFY(said.contains(u"segno"_s));
        QVERIFY(!said.contains(u"zitta"_s));
        QTRY_VERIFY(!rig.options());
        rig.action("mnuOpzioni")->trigger();
        rig.click("chkAvvio", "Command1");
        QVERIFY(!QFile::exists(rig.autostart.filePath()));

        // Its folder is a file: the entry cannot be written, the rest is saved all the same.
        AutostartEntry blocked(rig.settingsPath, rig.settingsDir.path());
        QList<std::pair<QWidget*, QString>> voice;
        const auto record = [&voice](QWidget* owner, const QString& title) {
            voice.append({ owner, title });
        };
        frmOpzioni failing({ rig.settings, rig.alert, *rig.window, blocked, record });
        for (const char* name : { "cmdVoce", "chkAvvio", "chkIcona", "Command1" })
            failing.findChild<QAbstractButton*>(name)->click();
        QCOMPARE(voice, (QList<std::pair<QWidget*, QString>> { { &failing, u"Opzioni voce"_s } }));
        QCOMPARE(rig.boxes.shown.size(), 2);
        QVERIFY2(rig.boxes.shown.last().text.contains(blocked.filePath()), qPrintable(rig.boxes.shown.last().text));
        QVERIFY(rig.settings.riduciIcona());
        QVERIFY(!failing.isVisible());
    }

    // The desktop switched the entry off: the box shows it unchecked, and checking it with OK
    // switches it on again, the user's last choice winning.
    void anEntrySwitchedOffElsewhereShowsUnchecked()
    {
        OptionsRig rig({ { "Carica avvio", u"1"_s } });
        QVERIFY(rig.in("chkAvvio")->isChecked());
        rig.click("Command1");
        QTRY_VERIFY(!rig.options());
        QFile entry(rig.autostart.filePath());
        QVERIFY(entry.open(QIODevice::Append));
        QVERIFY(entry.write("Hidden=true\n") > 0);
        entry.close();
        rig.action("mnuOpzioni")->trigger();
        QVERIFY(!rig.in("chkAvvio")->isChecked());
        rig.click("chkAvvio", "Command1");
        QVERIFY(!rig.autostart.isSwitchedOff());
        QVERIFY(rig.settings.caricaAvvio());
    }

    // Options that cannot be stored are said to be lost at the next start, with the file; nothing
    // ever claims they were saved.
    void aFailedSaveIsSaidAndNeverCalledASuccess_data()
    {
        QTest::addColumn<bool>("entryBlocked");
        QTest::newRow("the options alone") << false;
        QTest::newRow("the entry too") << true;
    }
    void aFailedSaveIsSaidAndNeverCalledASuccess()
    {
        QFETCH(bool, entryBlocked);
        OptionsRig rig({ { "Leggi errore", u"1"_s } });
        QVERIFY(QFile::remove(rig.settingsPath));
        QVERIFY(QDir().mkdir(rig.settingsPath)); // a folder in its place
        QFile plain(rig.settingsDir.filePath(u"un file"_s));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        AutostartEntry blocked(plain.fileName(), rig.settingsDir.path()); // its folder is a file
        frmOpzioni options({ rig.settings, rig.alert, *rig.window, entryBlocked ? blocked : rig.autostart, {} });
        for (const char* name : { "chkAvvio", "chkIcona", "Command1" })
            options.findChild<QAbstractButton*>(name)->click();
        QCOMPARE(rig.boxes.shown.size(), 1);
        const QString told = rig.boxTexts().first();
        QVERIFY2(told.contains(u"Non riesco a salvare le opzioni nel file "_s + rig.settingsPath), qPrintable(told));
        QVERIFY2(told.contains(u"al posto del file c'è una cartella"_s), qPrintable(told));
        QVERIFY2(!told.contains(u"sono state salvate"_s), qPrintable(told));
        QCOMPARE(told.contains(blocked.filePath()), entryBlocked);
        QVERIFY(rig.settings.riduciIcona()); // for this session all the same
    }
};

QTEST_MAIN(TestOptionsWindow)
#include "TestOptionsWindow.moc"
