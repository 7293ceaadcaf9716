// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "calendar/CalendarTexts.h"
#include "mainwindow/PageStrip.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// What the assistant says next, played to its end; empty when nothing is queued.
QString heard(SpeechRig& speech)
{
    if (speech.speaker.SpeakingState() == Speaker::Idle)
        return {};
    if (!QTest::qWaitFor([&] { return speech.output.playing(); }, 2000))
        return u"<nothing played>"_s;
    const QString text = speech.spoken().last();
    speech.output.finishClip();
    return text;
}

// Zeller's congruence for the Gregorian calendar, a reckoning independent of QDate.
QString zellerWeekday(int year, int month, int day)
{
    if (month < 3) {
        month += 12;
        --year;
    }
    const int k = year % 100;
    const int j = year / 100;
    static const char* const names[] = { "sabato", "domenica", "lunedì", "martedì", "mercoledì", "giovedì", "venerdì" };
    return QString::fromUtf8(names[(day + 13 * (month + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7]);
}
} // namespace

class TestPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void leggiReadsPausesAndStops()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        auto* text1 = rig.child<QPlainTextEdit>("Text1");
        QWidget* command3 = rig.widget("Command3");
        QTimer& tmrIcona = rig.window->countdown().tmrIcona;
        const auto click = [&](const char* name) {
            QTest::mouseClick(rig.widget(name), Qt::LeftButton);
        };

        click("Command1"); // an empty box: the prompt, and no box
        QCOMPARE(heard(rig.speech), u"Digita il testo nello spazio bianco. e te lo leggerò!"_s);
        QVERIFY(rig.boxes.shown.isEmpty());
        text1->setPlainText(u"   "_s); // only spaces is a text like any other
        click("Command1");
        QCOMPARE(heard(rig.speech), u"   "_s);

        text1->setPlainText(u"Una frase."_s);
        click("Command1");
        QTRY_VERIFY(rig.speech.output.playing());
        click("Command3");
        QVERIFY(rig.speech.output.paused() && command3->property("text") == u"&Riprendi"_s);
        click("Command3");
        QVERIFY(!rig.speech.output.paused() && command3->property("text") == u"&Pausa"_s);
        click("Command1"); // queued behind the first
        click("Command3");
        click("Command4"); // stop after pause: the caption back to "&Pausa", nothing left
        QCOMPARE(command3->property("text").toString(), u"&Pausa"_s);
        QCOMPARE(rig.speech.speaker.SpeakingState(), Speaker::Idle);

        // Enter reads the whole box, and the line break still goes in; any key stops the countdown.
        text1->moveCursor(QTextCursor::End);
        tmrIcona.start(60000);
        QTest::keyClick(text1, Qt::Key_Return);
        QVERIFY(!tmrIcona.isActive());
        QCOMPARE(heard(rig.speech), u"Una frase."_s);
        QCOMPARE(text1->toPlainText(), u"Una frase.\n"_s);
        tmrIcona.start(60000);
        QTest::keyClick(text1, Qt::Key_A);
        QVERIFY(!tmrIcona.isActive());

        // The clipboard's plain text replaces the box; a clipboard without text empties it, and so
        // does a double click.
        rig.clipboard.content = u"dagli appunti"_s;
        click("Command2");
        QCOMPARE(text1->toPlainText(), u"dagli appunti"_s);
        rig.clipboard.content.clear();
        click("Command2");
        QCOMPARE(text1->toPlainText(), QString());
        text1->setPlainText(u"via"_s);
        QTest::mouseDClick(text1->viewport(), Qt::LeftButton);
        QCOMPARE(text1->toPlainText(), QString());
        QCOMPARE(heard(rig.speech), QString());

        // Closed in the middle of a long reading: it stops, and the farewell follows at once.
        text1->setPlainText(u"Una frase del libro. "_s.repeated(500));
        click("Command1");
        QTRY_VERIFY(rig.speech.output.playing());
        rig.window->close();
        QCOMPARE(heard(rig.speech), u"spero di esserti stata utile. . arrivederci"_s);
        QTRY_VERIFY(rig.timer("Timer2")->isActive());
    }

    void calendarioSaysTheTimeAndEachPickedDayOnce()
    {
        MainWindowRig rig({}, QDateTime(QDate(2026, 12, 5), QTime(9, 0)));
        QVERIFY(rig.start());
        rig.window->pages().showPage(PageStrip::Calendario);
        auto* calendar = rig.child<QCalendarWidget>("MonthView1");
        auto* grid = calendar->findChild<QAbstractItemView*>();
        QCOMPARE(calendar->selectedDate(), QDate(2026, 12, 5));
        QTest::mouseClick(rig.widget("cmdOre"), Qt::LeftButton);
        QCOMPARE(heard(rig.speech), u"sono le 9 in punto"_s);

        const auto clickOn = [&](const QDate& date) {
            calendar->setSelectedDate(date);
            const QRect cell = grid->visualRect(grid->selectionModel()->selectedIndexes().value(0));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            return heard(rig.speech);
        };
        QCOMPARE(clickOn(QDate(2026, 12, 5)), u"Oggi è sabato 5 dicembre 2026"_s);
        QCOMPARE(clickOn(QDate(2026, 12, 4)), u"il 4 dicembre 2026 era venerdì"_s);
        QCOMPARE(clickOn(QDate(2026, 12, 1)), u"il primo dicembre 2026 era martedì"_s);
        QCOMPARE(heard(rig.speech), QString()); // once per pick

        // The arrows move the selection silently; Enter or Space picks it.
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Left);
        QTest::keyClick(grid, Qt::Key_Left);
        QCOMPARE(heard(rig.speech), QString());
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(heard(rig.speech), u"il 6 dicembre 2026 sarà domenica"_s);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(heard(rig.speech), u"il 6 dicembre 2026 sarà domenica"_s);
        QCOMPARE(heard(rig.speech), QString());

        // So do the month arrows of the header.
        QTest::mouseClick(calendar->findChild<QToolButton*>(u"qt_calendar_nextmonth"_s), Qt::LeftButton);
        QCOMPARE(calendar->monthShown(), 1);
        QCOMPARE(heard(rig.speech), QString());
    }

    void calendarPhrases_data()
    {
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("expected");
        const QDate today(2026, 12, 5);
        QTest::newRow("time") << CalendarTexts::time(QTime(14, 7, 59)) << u"sono le 14 e 7"_s;
        QTest::newRow("future") << CalendarTexts::day(QDate(2026, 12, 25), today)
                                << u"il 25 dicembre 2026 sarà venerdì"_s;
        QTest::newRow("past") << CalendarTexts::day(QDate(2026, 1, 1), today) << u"il 1 gennaio 2026 era giovedì"_s;
        QTest::newRow("leap day") << CalendarTexts::day(QDate(2028, 2, 29), today)
                                  << u"il 29 febbraio 2028 sarà martedì"_s;
    }
    void calendarPhrases()
    {
        QFETCH(QString, said);
        QFETCH(QString, expected);
        QCOMPARE(said, expected);
    }

    // Around every 29 February and every new year the calendar can show.
    void weekdaysAgreeWithZeller()
    {
        for (int year = 1752; year <= 7999; ++year)
            for (const QDate& date :
                { QDate(year, 1, 1), QDate(year, 2, 28), QDate(year, 2, 29), QDate(year, 3, 1), QDate(year, 12, 31) })
                if (date.isValid())
                    QVERIFY2(CalendarTexts::weekdayName(date) == zellerWeekday(date.year(), date.month(), date.day()),
                        qPrintable(date.toString(Qt::ISODate)));
    }

    // Movement over a page's controls stops the countdown and leaves a sleeping face asleep (the
    // page frames, the tab strip and the face, which wake her, are TestTrayAndSleep's).
    void pointerOverThePagesControls_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("control");
        for (const char* name : { "Text1", "Command1", "Command2", "Command3", "Command4" })
            QTest::newRow(name) << int(PageStrip::Leggi) << QString::fromLatin1(name);
        QTest::newRow("MonthView1") << int(PageStrip::Calendario) << u"MonthView1"_s;
        QTest::newRow("cmdOre") << int(PageStrip::Calendario) << u"cmdOre"_s;
        for (const char* name : { "appu7", "prom20", "Label9", "lblDataOra", "cmdAppuntamento", "cmdPromemoria" })
            QTest::newRow(name) << int(PageStrip::Agenda) << QString::fromLatin1(name);
    }
    void pointerOverThePagesControls()
    {
        QFETCH(int, page);
        QFETCH(QString, control);
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        rig.window->pages().showPage(page);
        QWidget* widget = rig.widget(qPrintable(control));
        QTest::mouseMove(widget, widget->rect().center());
        rig.window->countdown().tmrIconaTimer(); // asleep
        // Movement within the control, not only entering it, counts.
        rig.window->countdown().tmrIcona.start(60000);
        QTest::mouseMove(widget, widget->rect().center() + QPoint(0, 1));
        QVERIFY(!rig.window->countdown().tmrIcona.isActive());
        QVERIFY(rig.eyesClosed());
    }
};

QTEST_MAIN(TestPages)
#include "TestPages.moc"
