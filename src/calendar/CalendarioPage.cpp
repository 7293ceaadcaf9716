// SPDX-License-Identifier: GPL-3.0-or-later
#include "calendar/CalendarioPage.h"

#include "calendar/CalendarTexts.h"
#include "core/ActivityWatcher.h"
#include "core/Clock.h"
#include "core/Controls.h"
#include "speech/Speaker.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextCharFormat>

CalendarioPage::CalendarioPage(QFrame& frame, Speaker& speaker, Clock& clock, MainWindowLink& link)
    : QObject(&frame)
    , m_frame(frame)
    , m_speaker(speaker)
    , m_clock(clock)
    , m_activity(new ActivityWatcher(link, this))
{
    setObjectName(QStringLiteral("CalendarioPage"));
    build(frame);
    frame.installEventFilter(this);
    connect(
        cmdOre, &QPushButton::clicked, this, [this] { m_speaker.Speak(CalendarTexts::time(m_clock.now().time())); });
}

void CalendarioPage::build(QFrame& frame)
{
    auto* line1 = new QFrame(&frame);
    Controls::apply(line1, { .name = u"Line1", .twips = { 120, 2805, 2950, 30 } });
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);

    cmdOre = Controls::make<QPushButton>(&frame,
        { .name = u"cmdOre",
            .caption = QStringLiteral("Dimmi che ore sono"),
            .toolTip = QStringLiteral("Leggo l'ora corrente"),
            .twips = { 120, 2895, 2950, 375 } });
    m_activity->watch(cmdOre);

    auto* line2 = new QFrame(&frame);
    Controls::apply(line2, { .name = u"Line2", .twips = { 120, 3330, 2950, 30 } });
    line2->setFrameShape(QFrame::HLine);
    line2->setFrameShadow(QFrame::Sunken);
}

void CalendarioPage::buildCalendar()
{
    if (MonthView1)
        return;
    MonthView1 = new QCalendarWidget(&m_frame);
    Controls::apply(MonthView1,
        { .name = u"MonthView1",
            .accessibleName = QStringLiteral("Calendario"),
            .accessibleDescription = QStringLiteral("Clicca sulla data che ti interessa (da tastiera: le frecce per "
                                                    "sceglierla, Invio o Spazio per sentirla)"),
            .toolTip = QStringLiteral("Clicca sulla data che ti interessa"),
            .twips = { 120, 60, 2950, 2700 } });
    // Six weeks and the weekday names must fit the narrow page whole.
    QFont font = MonthView1->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    MonthView1->setFont(font);
    QTextCharFormat header = MonthView1->headerTextFormat();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    header.setFont(font);
    MonthView1->setHeaderTextFormat(header);
    MonthView1->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    MonthView1->setFirstDayOfWeek(Qt::Monday);
    MonthView1->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView1->setDateRange(QDate(1752, 1, 1), QDate(7999, 12, 31));
    // Qt leaves these parts of the calendar without a name.
    const std::pair<const char*, const char*> parts[]
        = { { "qt_calendar_prevmonth", "Mese precedente" }, { "qt_calendar_nextmonth", "Mese successivo" },
              { "qt_calendar_yearedit", "Anno" }, { "qt_calendar_calendarview", "Giorni del mese" } };
    for (const auto& [name, spoken] : parts) {
        if (auto* part = MonthView1->findChild<QWidget*>(QLatin1String(name)))
            part->setAccessibleName(QString::fromUtf8(spoken));
    }
    if (auto* grid = MonthView1->findChild<QAbstractItemView*>()) {
        m_grid = grid;
        grid->installEventFilter(this);
    }
    m_activity->watch(MonthView1);
    // Made after the rest of the page, yet first in the page's Tab order.
    QWidget::setTabOrder(MonthView1, cmdOre);
    // A click picks a day; so do Enter and Space on the grid (the filter). Moving through the
    // months, or with the arrows from day to day, picks nothing.
    connect(MonthView1, &QCalendarWidget::clicked, this, &CalendarioPage::dayPicked);
    // The grid is named after the day it is on, weekday and month included ("lunedì 7 dicembre
    // 2026"): a screen reader says it at every move of the arrows, where a cell alone says "7".
    connect(MonthView1, &QCalendarWidget::selectionChanged, this, [this] {
        if (auto* grid = qobject_cast<QWidget*>(m_grid))
            grid->setAccessibleName(CalendarTexts::fullDate(MonthView1->selectedDate()));
    });
    if (m_todayWanted)
        selectToday();
    if (m_frame.isVisible())
        MonthView1->show();
}

void CalendarioPage::selectToday()
{
    m_todayWanted = true;
    if (!MonthView1)
        return;
    const QDate today = m_clock.now().date();
    MonthView1->setSelectedDate(today);
    MonthView1->setCurrentPage(today.year(), today.month());
}

void CalendarioPage::dayPicked(const QDate& date) { m_speaker.Speak(CalendarTexts::day(date, m_clock.now().date())); }

bool CalendarioPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame && event->type() == QEvent::Show)
        buildCalendar();
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool picks = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space;
        if (picks && !key->isAutoRepeat())
            dayPicked(MonthView1->selectedDate());
    }
    return QObject::eventFilter(watched, event);
}
