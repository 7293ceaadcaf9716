// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/DayAgenda.h"

#include <QObject>
#include <array>

class ActivityWatcher;
class AgendaData;
class Alert;
class Clock;
class MainWindowLink;
class QFrame;
class QLabel;
class QPushButton;
class TimelineLetter;
class WindowOpener;

// The Agenda page: builds its controls inside the page frame (whose own background belongs to
// the main window), lights the timeline letters, reads out the entries of a clicked letter and
// opens the appointment and reminder windows.
class AgendaPage : public QObject
{
    Q_OBJECT

public:
    struct Services
    {
        Alert& alert; // every box, and what the readouts say
        Clock& clock;
        AgendaData& data;
    };

    AgendaPage(QFrame& frame, const Services& services, MainWindowLink& link);

    // The tables a click on a lit letter reads from.
    void setAgenda(const DayAgenda& agenda) { m_agenda = &agenda; }

    // AoP "a" or "p"; Ora "0" to "23" (one digit gets a leading zero) lights that hour's letter,
    // "cc" clears all 24 letters of that kind; anything else does nothing.
    void accendi(const QString& AoP, const QString& Ora);
    // The same, typed: light one hour's letter (0 to 23), or clear every letter of a kind.
    void light(DayAgenda::Kind kind, int hour);
    void clear(DayAgenda::Kind kind);
    // The date-and-time readout lblDataOra.
    void setReadout(const QString& text);

    QLabel* lblDataOra = nullptr;
    QLabel* Label9 = nullptr;
    std::array<TimelineLetter*, 24> appu {};
    std::array<TimelineLetter*, 24> prom {};
    // The buttons of the appointment and reminder manager windows.
    QPushButton* cmdAppuntamento = nullptr;
    QPushButton* cmdPromemoria = nullptr;

private:
    void build(QFrame& frame);
    // A manager window over its own record set of the table, or null (and an alert) when the
    // table cannot be read.
    template <typename Window> QWidget* makeManager(const QString& table);
    void readOut(DayAgenda::Kind kind, int hour);
    std::array<TimelineLetter*, 24>& letters(DayAgenda::Kind kind);

    const DayAgenda* m_agenda = nullptr;
    Alert& m_alert;
    Clock& m_clock;
    AgendaData& m_data;
    MainWindowLink& m_link;
    QFrame& m_frame;
    ActivityWatcher* m_activity = nullptr;
    WindowOpener* m_appun = nullptr;
    WindowOpener* m_prom = nullptr;
};
