// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "agenda/DayAgenda.h"

#include <QObject>
#include <array>

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
    AgendaPage(QFrame& frame, const DayAgenda& agenda, Speaker& speaker, MessageBoxService& boxes);

    // AoP "a" or "p"; Ora "0" to "23" (one digit gets a leading zero) lights that hour's letter,
    // "cc" clears all 24 letters of that kind; anything else does nothing.
    void accendi(const QString& AoP, const QString& Ora);

    QLabel* lblDataOra = nullptr;
    QLabel* Label9 = nullptr;
    std::array<TimelineLetter*, 24> appu {};
    std::array<TimelineLetter*, 24> prom {};
    // The buttons of the appointment and reminder manager windows.
    QPushButton* cmdAppuntamento = nullptr;
    QPushButton* cmdPromemoria = nullptr;

signals:
    // The pointer moved over one of the page's controls: the inactivity countdown stops.
    void pointerActivity();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(QFrame& frame);
    void readOut(DayAgenda::Kind kind, int hour);
    void watchPointer(QWidget* control);

    const DayAgenda& m_agenda;
    Speaker& m_speaker;
    MessageBoxService& m_boxes;
};
