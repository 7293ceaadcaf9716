// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileFixture.h"
#include "FakeClock.h"
#include "FakeMessageBoxes.h"
#include "FakeTrayIcon.h"
#include "SpeechRig.h"
#include "core/AgendaData.h"
#include "core/Alert.h"
#include "core/SettingsStore.h"
#include "mainwindow/frmArriv.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// The main window's start-up over a fresh data file and settings file.
struct StartupRig
{
    StartupRig()
    {
        QVERIFY(!DataFileFixture::create(dir.path()).isEmpty());
        QVERIFY(data.open());
    }
    void load()
    {
        window = std::make_unique<frmArriv>(
            MainWindowServices { clock, settings, speech.speaker, boxes, alert, data, tray });
        window->load();
    }
    void writeSettings(const QByteArray& content)
    {
        QFile file(settingsPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir dir;
    QString settingsPath = dir.filePath(QStringLiteral("Vespelinda.conf"));
    SettingsStore settings { settingsPath };
    FakeClock clock { QDateTime(QDate(2026, 12, 5), QTime(9, 5, 30)) };
    SpeechRig speech;
    FakeMessageBoxes boxes;
    Alert alert { settings, speech.speaker, boxes };
    AgendaData data { dir.filePath(QStringLiteral("dati.mdb")) };
    FakeTrayIcon tray;
    std::unique_ptr<frmArriv> window;
};

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstRunWritesDefaultsShowsTheWindowAndGreets()
    {
        StartupRig rig;
        rig.load();
        const QList<std::pair<const char*, const char*>> defaults = { { "Tipo iniziale", "DataOra" },
            { "Tipo finale", "Standard" }, { "Carica avvio", "0" }, { "Riduci icona", "0" }, { "Leggi errore", "1" },
            { "Automin", "0" }, { "Mess Min", "1" }, { "Secondi inatt", "15" } };
        for (const auto& [key, value] : defaults)
            QCOMPARE(rig.settings.get(QString::fromLatin1(key)), QString::fromLatin1(value));

        frmArriv& window = *rig.window;
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Vespelinda"));
        QCOMPARE(window.size(), QSize(228, 528));
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(window.palette().color(QPalette::Window), QColor(255, 224, 207));
        QVERIFY(window.autoFillBackground());
        QCOMPARE(window.tmrIcona.interval(), 15000);
        QVERIFY(!window.tmrIcona.isActive());
        QVERIFY(window.intercettaChiusura);
        QVERIFY(!window.congedoInCorso && !window.finestraAperta);
        QCOMPARE(window.giornoAgenda, QString());
        QTRY_COMPARE(rig.speech.spoken(),
            QStringList { QStringLiteral("Buongiorno. oggi è il 05/12/2026. sono le 9 e 5 minuti.") });
        QVERIFY(rig.boxes.shown.isEmpty());
    }

    void initialMessageByChoice_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<int>("texts"); // texts handed to the speaker, empty ones included
        QTest::addColumn<QStringList>("synthesised");
        QTest::newRow("custom") << "Personalizzato"
                                << "Ciao, sono qui!" << 1 << QStringList { "Ciao, sono qui!" };
        QTest::newRow("custom, none stored") << "Personalizzato" << QString() << 1 << QStringList();
        QTest::newRow("none") << "Nessuno"
                              << "mai" << 0 << QStringList();
        QTest::newRow("lower case") << "dataora"
                                    << "mai" << 0 << QStringList();
        QTest::newRow("garbage") << "xyz\x01"
                                 << "mai" << 0 << QStringList();
    }
    void initialMessageByChoice()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, messaggio);
        QFETCH(int, texts);
        QFETCH(QStringList, synthesised);
        StartupRig rig;
        rig.settings.save(QStringLiteral("Carica avvio"), QStringLiteral("0"));
        rig.settings.save(QStringLiteral("Tipo iniziale"), tipo);
        if (!messaggio.isNull())
            rig.settings.save(QStringLiteral("Messaggio iniziale"), messaggio);
        QSignalSpy progress(&rig.speech.speaker, &Speaker::SpeechProgress);
        rig.load();
        if (!synthesised.isEmpty())
            QVERIFY(rig.speech.finishCurrent());
        QTRY_COMPARE(progress.size(), texts);
        QCOMPARE(rig.speech.spoken(), synthesised);
        // An existing store is left as it was: the missing keys stay missing.
        QCOMPARE(rig.settings.get(QStringLiteral("Tipo finale")), QString());
        QCOMPARE(rig.settings.get(QStringLiteral("Tipo iniziale")), tipo);
    }

    void inactivityIntervalFromTheStore_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<int>("interval");
        QTest::newRow("30") << "30" << 30000;
        QTest::newRow("decimal") << "20.5" << 20500;
        QTest::newRow("not a number") << "tanti" << 15000;
        QTest::newRow("missing") << QString() << 15000;
    }
    void inactivityIntervalFromTheStore()
    {
        QFETCH(QString, seconds);
        QFETCH(int, interval);
        StartupRig rig;
        rig.settings.save(QStringLiteral("Carica avvio"), QStringLiteral("1"));
        if (!seconds.isNull())
            rig.settings.save(QStringLiteral("Secondi inatt"), seconds);
        rig.load();
        QCOMPARE(rig.window->tmrIcona.interval(), interval);
        QVERIFY(!rig.window->tmrIcona.isActive());
    }

    void startsHiddenWithTheIconStillGreeting()
    {
        StartupRig rig;
        rig.settings.initialiseOnFirstRun();
        rig.settings.save(QStringLiteral("Riduci icona"), QStringLiteral("1"));
        rig.load();
        QVERIFY(!rig.window->isVisible());
        QVERIFY(rig.tray.isVisible());
        QCOMPARE(rig.tray.toolTip(), QStringLiteral("Vespelinda - Click per minimizzare"));
        QTRY_COMPARE(rig.speech.spoken().size(), 1);
        QVERIFY(rig.speech.spoken().first().startsWith(QStringLiteral("Buongiorno. oggi è il 05/12/2026.")));
    }

    void brokenSettingsFilesNeverStopTheStart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("binary") << QByteArray("\xff\xfe\x00\x01[Opz", 9);
        QTest::newRow("garbage values") << QByteArray(
            "[Opzioni]\nCarica%20avvio=boh\nTipo%20iniziale=\nSecondi%20inatt="
            "-1e309\nRiduci%20icona=si\n");
    }
    void brokenSettingsFilesNeverStopTheStart()
    {
        QFETCH(QByteArray, content);
        StartupRig rig;
        rig.writeSettings(content);
        rig.load();
        QVERIFY(rig.window->isVisible()); // "si" is not "1"
        QCOMPARE(rig.window->tmrIcona.interval(), 15000);
    }
};

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
