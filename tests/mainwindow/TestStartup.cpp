// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const MainWindowRig::Options FirstRun { .quiet = false, .heartbeat = true };
}

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstRunWritesDefaultsShowsTheWindowAndGreets()
    {
        MainWindowRig rig(FirstRun);
        QVERIFY(rig.start());
        QCOMPARE(rig.settings.get(QStringLiteral("Leggi errore")), QStringLiteral("1"));
        QCOMPARE(rig.settings.get(QStringLiteral("Secondi inatt")), QStringLiteral("15"));
        frmArriv& window = *rig.window;
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Vespelinda"));
        QCOMPARE(window.size(), QSize(228, 528));
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(window.countdown().tmrIcona.interval(), 15000);
        QVERIFY(!window.countdown().tmrIcona.isActive());
        QTRY_COMPARE(rig.speech.spoken(),
            QStringList { QStringLiteral("Buongiorno. oggi è il 5 dicembre 2026. sono le 9 e 5 minuti.") });
        QVERIFY(rig.boxes.shown.isEmpty());
    }

    void initialMessageByChoice_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<int>("texts"); // texts handed to the speaker, empty ones included
        QTest::addColumn<QStringList>("synthesised");
        QTest::newRow("custom") << "Personalizzato" << u"Ciao, sono qui!"_s << 1 << QStringList { "Ciao, sono qui!" };
        QTest::newRow("custom, none stored") << "Personalizzato" << QString() << 1 << QStringList();
        QTest::newRow("none") << "Nessuno" << u"mai"_s << 0 << QStringList();
        QTest::newRow("lower case") << "dataora" << u"mai"_s << 0 << QStringList();
        QTest::newRow("garbage") << "xyz\x01" << u"mai"_s << 0 << QStringList();
    }
    void initialMessageByChoice()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, messaggio);
        QFETCH(int, texts);
        QFETCH(QStringList, synthesised);
        MainWindowRig rig({ .quiet = false });
        rig.set("Carica avvio", QStringLiteral("0"));
        rig.set("Tipo iniziale", tipo);
        if (!messaggio.isNull())
            rig.set("Messaggio iniziale", messaggio);
        QSignalSpy progress(&rig.speech.speaker, &Speaker::SpeechProgress);
        QVERIFY(rig.start());
        if (!synthesised.isEmpty())
            QVERIFY(rig.speech.finishCurrent());
        QTRY_COMPARE(progress.size(), texts);
        QCOMPARE(rig.speech.spoken(), synthesised);
        // An existing store is left as it was: the missing keys stay missing.
        QCOMPARE(rig.settings.get(QStringLiteral("Tipo finale")), QString());
        QCOMPARE(rig.settings.get(QStringLiteral("Tipo iniziale")), tipo);
    }

    void startsHiddenWithTheIconStillGreeting()
    {
        MainWindowRig rig(FirstRun);
        rig.settings.initialiseOnFirstRun();
        rig.set("Riduci icona", QStringLiteral("1"));
        QVERIFY(rig.start());
        QVERIFY(!rig.window->isVisible());
        QVERIFY(rig.tray.isVisible());
        QCOMPARE(rig.tray.toolTip(), QStringLiteral("Vespelinda - Click per minimizzare"));
        QTRY_COMPARE(rig.speech.spoken().size(), 1);
        QVERIFY(rig.speech.spoken().first().startsWith(QStringLiteral("Buongiorno. oggi è il 5 dicembre 2026.")));
    }

    void storedOptionsNeverStopTheStart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("interval");
        QTest::newRow("empty") << QByteArray() << 15000;
        QTest::newRow("binary") << QByteArray("\xff\xfe\x00\x01[Opz", 9) << 15000;
        QTest::newRow("garbage values") << QByteArray("[Opzioni]\nCarica%20avvio=boh\nTipo%20iniziale=\n"
                                                      "Secondi%20inatt=-1e309\nRiduci%20icona=si\n")
                                        << 15000;
        QTest::newRow("decimal seconds") << QByteArray("[Opzioni]\nCarica%20avvio=1\nSecondi%20inatt=20.5\n") << 20500;
    }
    void storedOptionsNeverStopTheStart()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, interval);
        MainWindowRig rig(FirstRun);
        QFile file(rig.settingsPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QVERIFY(rig.start());
        QVERIFY(rig.window->isVisible()); // "si" is not "1"
        QCOMPARE(rig.window->countdown().tmrIcona.interval(), interval);
        QVERIFY(!rig.window->countdown().tmrIcona.isActive());
    }
};

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
