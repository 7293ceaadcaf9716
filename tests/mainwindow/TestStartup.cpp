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
#include <thread>

using namespace Qt::StringLiterals;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The initial message the user chose; with "Riduci icona" only the icon shows.
    void initialMessageByChoice()
    {
        const QString greeting = ItalianSpeechText::forEar(Greeting::text(QDateTime(QDate(2026, 12, 5), QTime(9, 5))));
        // "Tipo iniziale", "Messaggio iniziale", start hidden, texts spoken (empty ones too), texts heard.
        const QList<std::tuple<QString, QString, bool, int, QStringList>> choices { { u"DataOra"_s, u"mai"_s, true, 1,
                                                                                        { greeting } },
            { u"Personalizzato"_s, u"Ciao, sono qui!"_s, false, 1, { u"Ciao, sono qui!"_s } },
            { u"Personalizzato"_s, QString(), false, 1, {} }, { u"Nessuno"_s, u"mai"_s, false, 0, {} },
            { u"dataora"_s, u"mai"_s, false, 0, {} }, { u"xyz\x01"_s, u"mai"_s, false, 0, {} } };
        for (const auto& [tipo, messaggio, hidden, texts, heard] : choices) {
            MainWindowRig rig;
            rig.settings.setTipoIniziale(tipo);
            rig.settings.setRiduciIcona(hidden);
            if (!messaggio.isNull())
                rig.settings.setMessaggioIniziale(messaggio);
            QSignalSpy progress(&rig.speech.speaker, &Speaker::SpeechProgress);
            QVERIFY(rig.start());
            QVERIFY2(rig.window->isVisible() != hidden && rig.tray.isVisible(), qPrintable(tipo));
            QCOMPARE(rig.speech.finishAll(), heard);
            QVERIFY2(progress.size() == texts, qPrintable(tipo));
        }
    }

    // The greeting is queued at start but synthesised only once the window is on screen, when the
    // icons and the calendar are made too; a page shown before that has its calendar at once.
    void restFollowsTheFirstFrame()
    {
        MainWindowRig rig({ .quiet = false, .load = false });
        QVERIFY(rig.start());
        rig.window->load();
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // time enough for the synthesis thread
        QVERIFY(rig.speech.spoken().isEmpty() && rig.speech.speaker.SpeakingState() == Speaker::Speaking);
        QVERIFY(!rig.tray.isVisible() && !rig.child("MonthView1"));
        rig.window->pages().showPage(PageStrip::Calendario);
        auto* calendar = rig.child<QCalendarWidget>("MonthView1");
        QVERIFY(calendar && calendar->isVisible() && calendar->selectedDate() == rig.clock.now().date());
        QTRY_VERIFY(rig.window->startFinished());
        QVERIFY(rig.tray.isVisible() && rig.tray.hasIcon && !rig.window->windowIcon().isNull());
        QCOMPARE(rig.speech.finishAll().size(), 1);
    }

    // Options that are not even text never stop the start: shown, with a usable inactivity time
    // and the heartbeat running.
    void unreadableOptionsNeverStopTheStart()
    {
        MainWindowRig rig({ .quiet = false, .heartbeat = true });
        QFile file(rig.settingsPath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("\xff\xfe\x00\x01[Opz", 9) == 9);
        file.close();
        QVERIFY(rig.start());
        QVERIFY(rig.shown() && !rig.window->countdown().tmrIcona.isActive());
        QCOMPARE(rig.window->countdown().tmrIcona.interval(), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(
            rig.child<QLabel>("lblDataOra")->text(), AgendaTexts::generalDate(rig.clock.now()), 3000);
        QCOMPARE(rig.window->heartbeat().giornoAgenda, u"5"_s);
    }
};

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
