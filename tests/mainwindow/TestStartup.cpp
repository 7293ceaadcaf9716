// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/AgendaTexts.h"
#include "mainwindow/Greeting.h"
#include "mainwindow/PageStrip.h"
#include "speech/ItalianSpeechText.h"

#include <QCalendarWidget>
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
        QTest::addColumn<QString>("tipo"); // "Tipo iniziale"
        QTest::addColumn<QString>("messaggio"); // "Messaggio iniziale"
        QTest::addColumn<bool>("hidden"); // "Riduci icona"
        QTest::addColumn<int>("texts"); // spoken, empty ones too
        QTest::addColumn<QStringList>("heard");
        const QString greeting = ItalianSpeechText::forEar(Greeting::text(QDateTime(QDate(2026, 12, 5), QTime(9, 5))));
        QTest::newRow("DataOra, icon only") << u"DataOra"_s << u"mai"_s << true << 1 << QStringList { greeting };
        QTest::newRow("Personalizzato") << u"Personalizzato"_s << u"Ciao, sono qui!"_s << false << 1
                                        << QStringList { u"Ciao, sono qui!"_s };
        QTest::newRow("Personalizzato, no message") << u"Personalizzato"_s << QString() << false << 1 << QStringList {};
        QTest::newRow("Nessuno") << u"Nessuno"_s << u"mai"_s << false << 0 << QStringList {};
        QTest::newRow("other case") << u"dataora"_s << u"mai"_s << false << 0 << QStringList {};
        QTest::newRow("not a word") << u"xyz\x01"_s << u"mai"_s << false << 0 << QStringList {};
    }
    void initialMessageByChoice()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, messaggio);
        QFETCH(bool, hidden);
        QFETCH(int, texts);
        QFETCH(QStringList, heard);
        MainWindowRig rig;
        rig.settings.setTipoIniziale(tipo);
        rig.settings.setRiduciIcona(hidden);
        if (!messaggio.isNull())
            rig.settings.setMessaggioIniziale(messaggio);
        QSignalSpy progress(&rig.speech.speaker, &Speaker::SpeechProgress);
        QVERIFY(rig.start());
        QCOMPARE(rig.window->isVisible(), !hidden);
        QVERIFY(rig.tray.isVisible());
        QCOMPARE(rig.speech.finishAll(), heard);
        QCOMPARE(progress.size(), texts);
    }

    // The greeting is queued at start but synthesised only once the window is on screen, when the
    // icons and the calendar are made too; a page shown before that has its calendar at once.
    void restFollowsTheFirstFrame()
    {
        MainWindowRig rig({ .quiet = false, .load = false });
        QVERIFY(rig.start());
        rig.window->load();
        QVERIFY(rig.speech.synthesisCaughtUp());
        QCOMPARE(rig.speech.spoken(), QStringList());
        QCOMPARE(rig.speech.speaker.SpeakingState(), Speaker::Speaking);
        QVERIFY(!rig.tray.isVisible());
        QVERIFY(!rig.child("MonthView1"));
        rig.window->pages().showPage(PageStrip::Calendario);
        auto* calendar = rig.child<QCalendarWidget>("MonthView1");
        QVERIFY(calendar);
        QVERIFY(calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), rig.clock.now().date());
        QTRY_VERIFY(rig.window->startFinished());
        QVERIFY(rig.tray.isVisible());
        QVERIFY(rig.tray.hasIcon);
        QVERIFY(!rig.window->windowIcon().isNull());
        QCOMPARE(rig.speech.finishAll().size(), 1);
    }

    // Options that are not even text never stop the start: shown, with a usable inactivity time
    // and the heartbeat running.
    void unreadableOptionsNeverStopTheStart()
    {
        MainWindowRig rig({ .quiet = false, .heartbeat = true });
        QFile file(rig.settingsPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write("\xff\xfe\x00\x01[Opz", 9), qint64(9));
        file.close();
        QVERIFY(rig.start());
        QVERIFY(rig.shown());
        QVERIFY(!rig.window->countdown().tmrIcona.isActive());
        QCOMPARE(rig.window->countdown().tmrIcona.interval(), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(
            rig.child<QLabel>("lblDataOra")->text(), AgendaTexts::generalDate(rig.clock.now()), 3000);
        QCOMPARE(rig.window->heartbeat().giornoAgenda, u"5"_s);
    }
};

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
