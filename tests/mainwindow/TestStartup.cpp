// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/AgendaTexts.h"
#include "mainwindow/Greeting.h"
#include "speech/ItalianSpeechText.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The initial message the user chose; with "Riduci icona" only the icon shows.
    void initialMessageByChoice_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<int>("texts"); // texts handed to the speaker, empty ones included
        QTest::addColumn<QStringList>("synthesised");
        const QString greeting = ItalianSpeechText::forEar(Greeting::text(QDateTime(QDate(2026, 12, 5), QTime(9, 5))));
        QTest::newRow("greeting, hidden") << u"DataOra"_s << u"mai"_s << true << 1 << QStringList { greeting };
        QTest::newRow("custom") << u"Personalizzato"_s << u"Ciao, sono qui!"_s << false << 1
                                << QStringList { "Ciao, sono qui!" };
        QTest::newRow("custom, none stored") << u"Personalizzato"_s << QString() << false << 1 << QStringList();
        for (const char* tipo : { "Nessuno", "dataora", "xyz\x01" })
            QTest::newRow(tipo) << QString::fromLatin1(tipo) << u"mai"_s << false << 0 << QStringList();
    }
    void initialMessageByChoice()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, messaggio);
        QFETCH(bool, hidden);
        QFETCH(int, texts);
        QFETCH(QStringList, synthesised);
        MainWindowRig rig;
        rig.settings.setTipoIniziale(tipo);
        rig.settings.setRiduciIcona(hidden);
        if (!messaggio.isNull())
            rig.settings.setMessaggioIniziale(messaggio);
        QSignalSpy progress(&rig.speech.speaker, &Speaker::SpeechProgress);
        QVERIFY(rig.start());
        QVERIFY(rig.window->isVisible() != hidden && rig.tray.isVisible());
        QCOMPARE(rig.speech.finishAll(), synthesised);
        QCOMPARE(progress.size(), texts);
    }

    // Whatever the options file holds, the program starts: shown, with a usable inactivity time
    // and the heartbeat running.
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
        MainWindowRig rig({ .quiet = false, .heartbeat = true });
        QFile file(rig.settingsPath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        QVERIFY(rig.start());
        QVERIFY(rig.shown() && !rig.window->countdown().tmrIcona.isActive()); // "si" is not "1"
        QCOMPARE(rig.window->countdown().tmrIcona.interval(), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(
            rig.child<QLabel>("lblDataOra")->text(), AgendaTexts::generalDate(rig.clock.now()), 3000);
        QCOMPARE(rig.window->heartbeat().giornoAgenda, u"5"_s);
    }
};

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
