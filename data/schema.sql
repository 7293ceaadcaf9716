-- SPDX-License-Identifier: GPL-3.0-or-later
-- The data file dati.mdb (an SQLite 3 database): appointments, daily reminders, address book.
--
-- Dates and times are ISO 8601 text "YYYY-MM-DDTHH:MM:SS": Data carries 00:00:00, only the
-- hour and the minute of Ora count.
-- Every table has an INTEGER PRIMARY KEY AUTOINCREMENT key (an alias of the rowid), so keys are
-- never reused and rowid order is the order in which records were added: the record sets read
-- the tables in that order. Rubrica's key IDRubrica is hidden: the program never shows or
-- writes it.

CREATE TABLE Appuntamenti (
    IDAppuntamento INTEGER PRIMARY KEY AUTOINCREMENT,
    Data DATETIME,
    Ora DATETIME,
    Testo TEXT
);

CREATE TABLE Promemoria (
    IDPromemoria INTEGER PRIMARY KEY AUTOINCREMENT,
    Ora DATETIME,
    Testo TEXT
);

CREATE TABLE Rubrica (
    IDRubrica INTEGER PRIMARY KEY AUTOINCREMENT,
    Nome TEXT,
    Telefono TEXT,
    Email TEXT
);
