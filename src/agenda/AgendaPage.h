// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/DayAgenda.h"

#include <QObject>
#include <array>

class ActivityWatcher;
class MainWindowLink;
class MessageBoxService;
class QFrame;
class QLabel;
class QPushButton;
class Speaker;
class TimelineLetter;

// The Agenda page: builds its controls inside the page frame (whose own background belongs to
// the main window), lights the timeline letters and reads out the entries of a clicked letter.
class AgendaPage : public QObject
{
    Q_OBJECT

public:
    AgendaPage(QFrame& frame, Speaker& speaker, MessageBoxService& boxes, MainWindowLink& link);

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
    void readOut(DayAgenda::Kind kind, int hour);
    std::array<TimelineLetter*, 24>& letters(DayAgenda::Kind kind);

    const DayAgenda* m_agenda = nullptr;
    Speaker& m_speaker;
    MessageBoxService& m_boxes;
    ActivityWatcher* m_activity = nullptr;
};
