// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "calendar/CalendarTexts.h"
#include "mainwindow/PageStrip.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCalendarWidget>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
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

class TestCalendarioPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void calendarioSaysTheTimeAndEachPickedDayOnce()
    {
        MainWindowRig rig({}, QDateTime(QDate(2026, 12, 5), QTime(9, 0)));
        QVERIFY(rig.start());
        rig.window->pages().showPage(PageStrip::Calendario);
        auto* calendar = rig.child<QCalendarWidget>("MonthView1");
        auto* grid = calendar->findChild<QAbstractItemView*>();
        QCOMPARE(calendar->selectedDate(), QDate(2026, 12, 5));
        QTest::mouseClick(rig.widget("cmdOre"), Qt::LeftButton);
        QCOMPARE(rig.speech.nextHeard(), u"sono le 9 in punto"_s);

        const auto clickOn = [&](const QDate& date) {
            calendar->setSelectedDate(date);
            const QRect cell = grid->visualRect(grid->selectionModel()->selectedIndexes().value(0));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            return rig.speech.nextHeard();
        };
        QCOMPARE(clickOn(QDate(2026, 12, 5)), u"Oggi è sabato 5 dicembre 2026"_s);
        QCOMPARE(clickOn(QDate(2026, 12, 4)), u"il 4 dicembre 2026 era venerdì"_s);
        QCOMPARE(clickOn(QDate(2026, 12, 1)), u"il primo dicembre 2026 era martedì"_s);
        QCOMPARE(rig.speech.nextHeard(), QString()); // once per pick

        // The arrows move the selection silently; Enter or Space picks it. A screen reader hears
        // the whole date the arrows reach, as the grid's name.
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Left);
        QTest::keyClick(grid, Qt::Key_Left);
        QCOMPARE(rig.speech.nextHeard(), QString());
        QCOMPARE(QAccessible::queryAccessibleInterface(grid)->text(QAccessible::Name), u"domenica 6 dicembre 2026"_s);
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(rig.speech.nextHeard(), u"il 6 dicembre 2026 sarà domenica"_s);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(rig.speech.nextHeard(), u"il 6 dicembre 2026 sarà domenica"_s);
        QCOMPARE(rig.speech.nextHeard(), QString());

        // So do the month arrows of the header.
        QTest::mouseClick(calendar->findChild<QToolButton*>(u"qt_calendar_nextmonth"_s), Qt::LeftButton);
        QCOMPARE(calendar->monthShown(), 1);
        QCOMPARE(rig.speech.nextHeard(), QString());
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
        for (int year = 1752; year <= 7999; ++year) {
            for (const QDate& date :
                { QDate(year, 1, 1), QDate(year, 2, 28), QDate(year, 2, 29), QDate(year, 3, 1), QDate(year, 12, 31) }) {
                if (!date.isValid())
                    continue;
                const QString ours = CalendarTexts::weekdayName(date);
                const QString zeller = zellerWeekday(date.year(), date.month(), date.day());
                QVERIFY2(ours == zeller,
                    qPrintable(QStringLiteral("%1: %2, Zeller says %3").arg(date.toString(Qt::ISODate), ours, zeller)));
            }
        }
    }
};

QTEST_MAIN(TestCalendarioPage)
#include "TestCalendarioPage.moc"
