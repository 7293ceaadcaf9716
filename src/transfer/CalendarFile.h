// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/TransferRows.h"

#include <QDate>
#include <QList>
#include <QString>

// Calendar files (iCalendar, .ics) read into the agenda's rows and the agenda written out as one,
// through libical, so that appointments move between Vespelinda and other calendar programs.
//
// Reading. Each VEVENT with a start becomes an appointment on the day and at the hour:minute it
// has in this machine's time zone (QTimeZone::systemTimeZone()): its SUMMARY (line breaks and tabs
// made spaces, runs of spaces one), then ", " and its LOCATION when that still fits; without a
// SUMMARY its LOCATION alone. A text longer than TransferRows::TextChars is cut at a word and ends
// with "…". A start's zone is the VTIMEZONE the file gives for its TZID, else a zone libical or
// Qt knows by that name (also a Windows name, a libical-prefixed one, "UTC+01:00"), else the
// event is left out ("con un fuso orario sconosciuto"); a UTC time is converted, a floating time
// taken as local, and a TZID naming this machine's own zone taken as it is written.
// - An all-day event is placed at 09:00 of its day and counted in allDay. An event that began
//   before today and is still going (a trip, a conference) is placed today: all-day at 09:00, a
//   timed one at its own start time if it is still going then, else it counts as past.
// - FREQ=DAILY every day with no end, no BY... part (a pill, a walk) becomes a reminder at its
//   time of day (09:00 if all-day), from whenever it starts; EXDATEs do not apply to a reminder.
//   Any other recurrence is expanded through libical's recurrence iterator into its occurrences
//   from today for one year (today included, the same day a year on not), EXDATE, RDATE and moved
//   or cancelled occurrences (RECURRENCE-ID) honoured, at most MaxOccurrences per event (the
//   event is then counted among the skipped with the reason that says so).
// - Events that ended before today are counted in past, never imported. Left out and counted in
//   skipped by reason: "senza data di inizio", "senza titolo" (no SUMMARY, no LOCATION),
//   "annullati" (STATUS:CANCELLED), "con un fuso orario sconosciuto", "con una data non valida",
//   and a recurrence with no occurrence in the coming year.
// - The whole file is refused (error set, naming the file) when it cannot be read, is empty,
//   is larger than MaxFileBytes, holds binary data or text that is not UTF-8, is not an iCalendar
//   or is too damaged for libical to parse, or holds no VEVENT.
// - control.cancelled() is checked while parsing, per event and while expanding recurrences;
//   control.progress is told the percent reached whenever it grows (parsing is the first half).
//
// Writing puts the appointments from today on (by day and time) and every reminder in one UTF-8
// file with CRLF lines folded at 75 octets, as libical writes them, saved atomically. Times carry
// the system zone's name as TZID with its VTIMEZONE (from libical's zones, kept to what applies
// from today); without one known to libical they are floating local times (UTC times for a UTC
// machine). Each appointment lasts DurationMinutes; a reminder is a daily event from today at its
// time. Both carry a display alarm at their start, as Vespelinda says them then. UIDs are made
// from the content, so exporting the same agenda twice gives the same UIDs. With nothing to write
// (no appointment from today on, no reminder) no file is made and write() says so.
//
// Threads: reading and writing may run on any thread, several at once. libical keeps its
// built-in zones in one process-wide table that it fills lazily and grows, without a lock, when
// a name outside zones.tab is looked up, and it extends each zone's table of changes on demand;
// so that table is filled once, first, and every later use of a libical zone here is made under
// one mutex (libical's own locks cover only part of this). The parsed calendar, its VTIMEZONEs and
// the recurrence iterators belong to one read. Nothing else in the program uses libical.
namespace CalendarFile {
// Larger calendar files are refused.
inline constexpr qint64 MaxFileBytes = 64LL * 1024 * 1024;
// The most occurrences one recurring event gives in the coming year.
inline constexpr int MaxOccurrences = 1000;
// How long a written appointment or reminder lasts.
inline constexpr int DurationMinutes = 30;

// Reads an .ics file. today is the local day the import is made.
TransferRows read(const QString& path, const QDate& today, const ReadControl& control = {});
// Writes the appointments from `today` on and every reminder to one .ics file (UTF-8, CRLF,
// folded at 75 octets, through libical). False, with the reason in Italian naming the file in *error.
bool write(const QString& path, const QList<AppointmentRow>& appointments, const QList<ReminderRow>& reminders,
    const QDate& today, QString* error);
} // namespace CalendarFile
