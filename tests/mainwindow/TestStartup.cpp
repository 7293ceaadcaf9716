// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/AgendaTexts.h"
#include "mainwindow/Greeting.h"
#include "speech/ItalianSpeechText.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstRunShowsTheWindowOnTopGreetsAndTicks()
    {
        MainWindowRig rig({ .quiet = false, .heartbeat = true });
        QVERIFY(rig.start());
        QVERIFY(rig.shown() && rig.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!rig.window->countdown().tmrIcona.isActive());
        QCOMPARE(rig.speech.finishAll(), QStringList { ItalianSpeechText::forEar(Greeting::text(rig.clock.now())) });
        QVERIFY(rig.boxes.shown.isEmpty());
        // The heartbeat runs from the start.
        QTRY_COMPARE_WITH_TIMEOUT(
            rig.child<QLabel>("lblDataOra")->text(), AgendaTexts::generalDate(rig.clock.now()), 3000);
        QCOMPARE(rig.window->heartbeat().giornoAgenda, QStringLiteral("5"));
    }

    void initialMessageByChoice_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<int>("texts"); // texts handed to the speaker, empty ones included
        QTest::addColumn<QStringList>("synthesised");
        const QString greeting = ItalianSpeechText::forEar(Greeting::text(QDateTime(QDate(2026, 12, 5), QTime(9, 5))));
        QTest::newRow("greeting, hidden") << "DataOra"
                                          << "mai" << true << 1 << QStringList { greeting };
        QTest::newRow("custom") << "Personalizzato"
                                << "Ciao, sono qui!" << false << 1 << QStringList { "Ciao, sono qui!" };
        QTest::newRow("custom, none stored") << "Personalizzato" << QString() << false << 1 << QStringList();
        QTest::newRow("none") << "Nessuno"
                              << "mai" << false << 0 << QStringList();
        QTest::newRow("lower case") << "dataora"
                                    << "mai" << false << 0 << QStringList();
        QTest::newRow("garbage") << "xyz\x01"
                                 << "mai" << false << 0 << QStringList();
    }
    void initialMessageByChoice()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, messaggio);
        QFETCH(bool, hidden);
        QFETCH(int, texts);
        QFETCH(QStringList, synthesised);
        MainWindowRig rig;
        rig.set("Tipo iniziale", tipo);
        rig.set("Riduci icona", hidden ? QStringLiteral("1") : QStringLiteral("0"));
        if (!messaggio.isNull())
            rig.set("Messaggio iniziale", messaggio);
        QSignalSpy progress(&rig.speech.speaker, &Speaker::SpeechProgress);
        QVERIFY(rig.start());
        QVERIFY(rig.window->isVisible() != hidden && rig.tray.isVisible());
        QCOMPARE(rig.speech.finishAll(), synthesised);
        QCOMPARE(progress.size(), texts);
    }

    void storedOptionsNeverStopTheStart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("binary") << QByteArray("\xff\xfe\x00\x01[Opz", 9);
        QTest::newRow("garbage values") << QByteArray("[Opzioni]\nCarica%20avvio=boh\nTipo%20iniziale=\n"
                                                      "Secondi%20inatt=-1e309\nRiduci%20icona=si\n");
    }
    void storedOptionsNeverStopTheStart()
    {
        QFETCH(QByteArray, content);
        MainWindowRig rig({ .quiet = false });
        QFile file(rig.settingsPath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        QVERIFY(rig.start());
        QVERIFY(rig.window->isVisible()); // "si" is not "1"
        QCOMPARE(rig.window->countdown().tmrIcona.interval(), 15000);
    }
};

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
