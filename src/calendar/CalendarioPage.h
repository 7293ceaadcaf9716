// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class ActivityWatcher;
class Clock;
class MainWindowLink;
class QCalendarWidget;
class QDate;
class QFrame;
class QPushButton;
class Speaker;

// The Calendario page: tells the time on request and, for a day the user picks in the month
// calendar, whether it was, is or will be which day of the week.
class CalendarioPage : public QObject
{
    Q_OBJECT

public:
    CalendarioPage(QFrame& frame, Speaker& speaker, Clock& clock, MainWindowLink& link);

    // The calendar shows and selects today (at start-up).
    void selectToday();
    // Makes the month calendar, which the window's first frame does not need: right after that
    // frame, or when the page is first shown, whichever comes first.
    void buildCalendar();

    QCalendarWidget* MonthView1 = nullptr;
    QPushButton* cmdOre = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(QFrame& frame);
    void dayPicked(const QDate& date);

    QFrame& m_frame;
    bool m_todayWanted = false;
    Speaker& m_speaker;
    Clock& m_clock;
    ActivityWatcher* m_activity = nullptr;
    QObject* m_grid = nullptr; // the calendar's grid of days, where Enter and Space pick a day
};
