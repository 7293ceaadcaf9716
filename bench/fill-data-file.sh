#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes a copy of the empty data file with ROWS rows in each of its three tables (appointments spread
# over the coming year, reminders over the day, address-book entries), for bench/startup.sh.
#
# usage: bench/fill-data-file.sh build/bin/dati.mdb OUT [rows]
set -euo pipefail
empty=${1:?the empty data file}
out=${2:?the data file to make}
rows=${3:-100000}
cp "$empty" "$out"
sqlite3 "$out" <<SQL
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $rows)
INSERT INTO Appuntamenti (Data, Ora, Testo)
    SELECT date('now', '+' || (i % 365) || ' days') || 'T00:00:00',
           '1899-12-30T' || printf('%02d:%02d:00', i % 24, i % 60), 'Appuntamento numero ' || i FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $rows)
INSERT INTO Promemoria (Ora, Testo)
    SELECT '1899-12-30T' || printf('%02d:%02d:00', i % 24, i % 60), 'Promemoria numero ' || i FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $rows)
INSERT INTO Rubrica (Nome, Telefono, Email)
    SELECT 'Persona ' || i, printf('06 %08d', i), 'persona' || i || '@esempio.it' FROM n;
COMMIT;
SQL
