// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/ImportWriter.h"

#include "datafile/DataFileLock.h"
#include "datafile/Refusal.h"

#include <QDir>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <atomic>

namespace {
// Between the parts of a row's identity: no text the user types holds it.
constexpr QChar Separator(0x1F);
// How often cancelling is looked at.
constexpr int CancelEvery = 256;
const QString Invalid = QStringLiteral("con data o ora non valida");
const QString Nameless = QStringLiteral("senza nome");

// The day of a stored Data ("2026-12-05T00:00:00"): its first ten characters.
QStringView dayPart(QStringView data) { return data.left(10); }
// The hour and minute of a stored Ora ("1899-12-30T09:05:00", or a time alone): the five
// characters after its date, when it has one.
QStringView timePart(QStringView ora)
{
    const qsizetype split = std::max(ora.lastIndexOf(u'T'), ora.lastIndexOf(u' '));
    return ora.mid(split + 1, 5);
}

QString key(QStringView a, QStringView b, QStringView c = {})
{
    QString joined;
    joined.reserve(a.size() + b.size() + c.size() + 2);
    joined.append(a).append(Separator).append(b).append(Separator).append(c);
    return joined;
}

// Not seen before: noted now.
bool fresh(QSet<QString>& keys, const QString& key)
{
    const qsizetype before = keys.size();
    keys.insert(key);
    return keys.size() != before;
}

QString notNull(const QString& text) { return text.isNull() ? QString(QLatin1String("")) : text; }

QString dayText(const QDate& day) { return day.toString(Qt::ISODate) + QStringLiteral("T00:00:00"); }
QString timeText(const QTime& time)
{
    return QStringLiteral("1899-12-30T") + time.toString(QStringLiteral("HH:mm")) + QStringLiteral(":00");
}

class Transaction
{
public:
    Transaction(const QString& path, const ReadControl& control, qsizetype rows)
        : m_path(path)
        , m_control(control)
        , m_rows(std::max<qsizetype>(rows, 1))
    {
    }

    bool failed(const QSqlError& error, const QString& table)
    {
        const Refusal refusal = refusalOf(error);
        if (refusal == Refusal::Busy)
            m_failure = DataFileLock::inUseMessage(m_path);
        else
            m_failure = QStringLiteral("Il file dei dati %1 non ha accettato i dati: %2.")
                            .arg(QDir::toNativeSeparators(m_path), refusalInWords(refusal, table, error.text()));
        return false;
    }
    bool cannotOpen(const QSqlError& error)
    {
        m_failure = QStringLiteral("Il file dei dati %1 non si può aprire (%2).")
                        .arg(QDir::toNativeSeparators(m_path), error.text());
        return false;
    }
    // Counts a row done; false when the user has cancelled.
    bool step()
    {
        ++m_done;
        if (m_control.progress) {
            const int percent = int(m_done * 100 / m_rows);
            if (percent != m_percent)
                m_control.progress(m_percent = percent);
        }
        return m_done % CancelEvery != 0 || !m_control.cancelled();
    }
    QString failure() const { return m_failure; }

private:
    QString m_path;
    const ReadControl& m_control;
    qsizetype m_rows;
    qsizetype m_done = 0;
    int m_percent = -1;
    QString m_failure;
};

// What a table holds already, one identity a row.
bool stored(QSqlDatabase& db, const QString& sql, int columns, QSet<QString>* keys, QSqlError* error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        *error = query.lastError();
        return false;
    }
    while (query.next()) {
        const QString a = query.value(0).toString();
        const QString b = query.value(1).toString();
        if (columns == 3)
            keys->insert(key(dayPart(a), timePart(b), query.value(2).toString()));
        else if (columns == 2)
            keys->insert(key(timePart(a), b));
        else
            keys->insert(key(a, b));
    }
    *error = query.lastError();
    return !error->isValid();
}
} // namespace

ImportWriter::Written ImportWriter::write(const QString& dataPath, const TransferRows& rows, const ReadControl& control)
{
    Written written;
    const qsizetype total = rows.appointments.size() + rows.reminders.size() + rows.contacts.size();
    if (total == 0)
        return written;
    if (control.cancelled()) {
        written.cancelled = true;
        return written;
    }

    static std::atomic<int> serial;
    const QString connection = QStringLiteral("vespelinda-import-%1").arg(serial++);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        QUrl uri = QUrl::fromLocalFile(dataPath);
        uri.setQuery(QStringLiteral("mode=rw")); // never created
        db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(DataFileLock::WaitMs));
        Transaction transaction(dataPath, control, total);
        const auto run = [&]() -> bool {
            if (!db.open())
                return transaction.cannotOpen(db.lastError());
            QSqlQuery query(db);
            // As the program's own connection: a stored row survives a power cut. The rows stay in
            // memory until the commit, so that no reader is locked out before it.
            query.exec(QStringLiteral("PRAGMA synchronous = FULL"));
            query.exec(QStringLiteral("PRAGMA cache_size = -65536"));
            // The write lock at once: a file locked by another program fails here, before anything.
            if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
                return transaction.failed(query.lastError(), QString());
            const auto rollBack = [&] {
                query.finish();
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
                return false;
            };
            QSqlError error;

            if (!rows.appointments.isEmpty()) {
                QSet<QString> keys;
                if (!stored(db, QStringLiteral("SELECT Data, Ora, Testo FROM Appuntamenti"), 3, &keys, &error))
                    return transaction.failed(error, QStringLiteral("Appuntamenti")) || rollBack();
                if (!query.prepare(QStringLiteral("INSERT INTO Appuntamenti (Data, Ora, Testo) VALUES (?, ?, ?)")))
                    return transaction.failed(query.lastError(), QStringLiteral("Appuntamenti")) || rollBack();
                for (const AppointmentRow& row : rows.appointments) {
                    if (!transaction.step())
                        return rollBack();
                    if (!row.day.isValid() || !row.time.isValid()) {
                        ++written.skipped[Invalid];
                        continue;
                    }
                    const QString data = dayText(row.day);
                    const QString ora = timeText(row.time);
                    if (!fresh(keys, key(dayPart(data), timePart(ora), row.text))) {
                        ++written.duplicates;
                        continue;
                    }
                    query.addBindValue(data);
                    query.addBindValue(ora);
                    query.addBindValue(row.text);
                    if (!query.exec())
                        return transaction.failed(query.lastError(), QStringLiteral("Appuntamenti")) || rollBack();
                    ++written.appointments;
                }
            }
            if (!rows.reminders.isEmpty()) {
                QSet<QString> keys;
                if (!stored(db, QStringLiteral("SELECT Ora, Testo FROM Promemoria"), 2, &keys, &error))
                    return transaction.failed(error, QStringLiteral("Promemoria")) || rollBack();
                if (!query.prepare(QStringLiteral("INSERT INTO Promemoria (Ora, Testo) VALUES (?, ?)")))
                    return transaction.failed(query.lastError(), QStringLiteral("Promemoria")) || rollBack();
                for (const ReminderRow& row : rows.reminders) {
                    if (!transaction.step())
                        return rollBack();
                    if (!row.time.isValid()) {
                        ++written.skipped[Invalid];
                        continue;
                    }
                    const QString ora = timeText(row.time);
                    if (!fresh(keys, key(timePart(ora), row.text))) {
                        ++written.duplicates;
                        continue;
                    }
                    query.addBindValue(ora);
                    query.addBindValue(row.text);
                    if (!query.exec())
                        return transaction.failed(query.lastError(), QStringLiteral("Promemoria")) || rollBack();
                    ++written.reminders;
                }
            }
            if (!rows.contacts.isEmpty()) {
                QSet<QString> keys;
                if (!stored(db, QStringLiteral("SELECT Nome, Telefono FROM Rubrica"), 1, &keys, &error))
                    return transaction.failed(error, QStringLiteral("Rubrica")) || rollBack();
                if (!query.prepare(QStringLiteral("INSERT INTO Rubrica (Nome, Telefono, Email) VALUES (?, ?, ?)")))
                    return transaction.failed(query.lastError(), QStringLiteral("Rubrica")) || rollBack();
                for (const ContactRow& row : rows.contacts) {
                    if (!transaction.step())
                        return rollBack();
                    if (row.name.trimmed().isEmpty()) {
                        ++written.skipped[Nameless];
                        continue;
                    }
                    if (!fresh(keys, key(row.name, row.phone))) {
                        ++written.duplicates;
                        continue;
                    }
                    // An empty value is stored as an empty text, as the address book stores it.
                    query.addBindValue(row.name);
                    query.addBindValue(notNull(row.phone));
                    query.addBindValue(notNull(row.email));
                    if (!query.exec())
                        return transaction.failed(query.lastError(), QStringLiteral("Rubrica")) || rollBack();
                    ++written.contacts;
                }
            }
            query.finish();
            // The last moment a cancel can still keep everything out.
            if (control.cancelled())
                return rollBack();
            if (!query.exec(QStringLiteral("COMMIT")))
                return transaction.failed(query.lastError(), QString()) || rollBack();
            return true;
        };
        if (!run()) {
            written.cancelled = transaction.failure().isEmpty() && control.cancelled();
            written.failure = transaction.failure();
            written.appointments = written.reminders = written.contacts = written.duplicates = 0;
            written.skipped.clear();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return written;
}
