// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileFixture.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

// A fresh dati.mdb in a temporary folder, with rows written straight into its tables as
// another program (or a manager window) would: record sets see them after their Refresh().
class AgendaTestData
{
public:
    AgendaTestData()
        : m_connection(QStringLiteral("agenda-test-data-%1").arg(quintptr(this)))
    {
        path = DataFileFixture::create(m_dir.path(), &error);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(path);
        // Test rows need not survive a power cut: no sync after each one.
        if (db.open())
            QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = OFF"));
    }
    ~AgendaTestData()
    {
        QSqlDatabase::database(m_connection).close();
        QSqlDatabase::removeDatabase(m_connection);
    }

    static QString dateText(const QDate& date) { return date.toString(Qt::ISODate) + QStringLiteral("T00:00:00"); }
    static QString timeText(const QTime& time)
    {
        return QStringLiteral("1899-12-30T") + time.toString(QStringLiteral("HH:mm:ss"));
    }

    bool addAppointment(const QDate& date, const QTime& time, const QString& testo)
    {
        return addRawAppointment(dateText(date), timeText(time), testo);
    }
    // Stored as given: text, NULL (a null QVariant) or anything else the file may hold.
    bool addRawAppointment(const QVariant& data, const QVariant& ora, const QVariant& testo)
    {
        return exec(
            QStringLiteral("INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES (?, ?, ?)"), { data, ora, testo });
    }
    bool addReminder(const QTime& time, const QString& testo) { return addRawReminder(timeText(time), testo); }
    bool addRawReminder(const QVariant& ora, const QVariant& testo)
    {
        return exec(QStringLiteral("INSERT INTO Promemoria (Ora, Testo) VALUES (?, ?)"), { ora, testo });
    }
    bool moveAppointments(const QString& testo, const QTime& time)
    {
        return exec(QStringLiteral("UPDATE Appuntamenti SET Ora = ? WHERE Testo = ?"), { timeText(time), testo });
    }
    bool addEntry(const QVariant& nome, const QVariant& telefono, const QVariant& email)
    {
        return exec(
            QStringLiteral("INSERT INTO Rubrica (Nome, Telefono, Email) VALUES (?, ?, ?)"), { nome, telefono, email });
    }
    bool removeAppointments(const QString& testo)
    {
        return exec(QStringLiteral("DELETE FROM Appuntamenti WHERE Testo = ?"), { testo });
    }

    // Any statement, its values bound in order.
    bool exec(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery query(QSqlDatabase::database(m_connection));
        if (!query.prepare(sql))
            return false;
        for (const QVariant& value : values)
            query.addBindValue(value.isNull() ? QVariant(QMetaType(QMetaType::QString)) : value);
        return query.exec();
    }

    QString path;
    QString error;

private:
    QTemporaryDir m_dir;
    QString m_connection;
};
