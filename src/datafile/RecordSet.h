// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "datafile/Refusal.h"

#include <QDateTime>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// The only search the program makes: the field equals a text, ignoring letter case
// (for all of Unicode), on the whole value. It is data, never SQL text.
struct FieldEquals
{
    QString field;
    QString text;
};

// A view of one whole table of the data file, read and changed one current record at a time.
// Records come in insertion order. The view is a snapshot taken by Refresh(): changes stored
// through another record set are seen after this one's next Refresh().
// Every operation that can fail returns false and leaves the reason in lastError(); a statement that
// meets another program's lock waits a moment for it, then fails.
class RecordSet
{
public:
    enum class Position
    {
        OnRecord,
        BeforeFirst,
        AtEof,
        Invalid
    };
    enum class EditMode
    {
        None,
        New,
        Edit
    };

    RecordSet(QSqlDatabase db, QString table);

    bool Refresh();
    // Reads the table afresh like Refresh(), but keeps the current record (by its key: a record
    // deleted meanwhile leaves no current record, as Delete() does) and an open edit buffer. On
    // failure nothing changes.
    bool Requery();
    bool MoveFirst();
    // The last record: after AddNew and Update, the one just added.
    bool MoveLast();
    bool MoveNext();
    bool MovePrevious();
    bool Eof() const;
    Position position() const;

    // The named field of the current record. Date-time fields ("Data", "Ora") read as a
    // QDateTime when the stored text is a valid ISO 8601 date-time, otherwise as the stored
    // value (a null QVariant for NULL), which the caller's conversion rejects.
    // While an edit buffer is open the fields read from it (a new record starts empty).
    // Fails (invalid QVariant, ok = false) when there is no current record or no such field.
    QVariant value(const QString& field, bool* ok = nullptr) const;
    // Sets a field in the edit buffer. QDateTime values are stored as ISO 8601 text, a QDate
    // at midnight, a QTime on 1899-12-30.
    bool setValue(const QString& field, const QVariant& value);

    // Any move, find or Refresh drops an open edit buffer, as does a second AddNew or Edit.
    bool AddNew();
    bool Edit();
    // Stores the buffer. A new record gets its key and joins the end of this view, and the record
    // current before AddNew is current again. When the database refuses, the buffer stays open.
    bool Update();
    bool CancelUpdate();
    // The position stays where the deleted record was: no current record until the next move.
    bool Delete();
    EditMode editMode() const;

    // Return false only for a malformed criterion (no such field); NoMatch() tells whether a
    // record was found. When none is, the position does not move.
    bool FindFirst(const FieldEquals& criterion);
    bool FindNext(const FieldEquals& criterion);
    bool NoMatch() const;

    int recordCount() const;
    QString table() const;
    QString lastError() const;
    // Why the database refused the last failed operation; None when the failure was not the
    // database's. A lock held by another program (after waiting a moment for it) is Busy, and
    // lastError() then says that the file is in use, naming it.
    using Refusal = ::Refusal;
    Refusal lastRefusal() const;
    // The last failure in the user's words: why the file refused, or what went wrong otherwise.
    QString lastRefusalInWords() const;

    // For grids that show every record: the fields in table order (the key first), the index of
    // the current record (-1 when there is none), a field of any record, and a move to a record.
    QStringList fields() const;
    int currentIndex() const;
    QVariant valueAt(int index, const QString& field) const;
    bool moveTo(int index);

private:
    struct Row
    {
        qint64 rowid;
        QVector<QVariant> values;
    };

    // The searched field of one record hashed without letter case, as stored and in normal form
    // C, kept side by side for every record so that a find over many records stays quick.
    struct FindKey
    {
        quint32 raw;
        quint32 nfc;
    };
    FindKey findKey(const Row& row) const;

    bool fail(const QString& reason) const;
    bool fail(const QSqlError& error) const;
    int fieldIndex(const QString& field) const;
    bool readColumns(QStringList* columns) const;
    bool readTable(QStringList* columns, QVector<Row>* rows) const;
    void takeTable(QStringList columns, QVector<Row> rows);
    bool readRow(qint64 rowid, Row* row) const;
    QVariant presented(int column, const QVariant& stored) const;
    void dropEditBuffer();
    // Back to the record current before AddNew.
    void restorePositionBeforeNew();
    bool matches(int index, int column, const QString& text, const QString& textNfc) const;
    bool find(const FieldEquals& criterion, int from);

    QSqlDatabase m_db;
    QString m_table;
    QStringList m_fields;
    QVector<bool> m_isDateTime;
    QVector<Row> m_rows;

    // OnRecord: m_index is the current record. Invalid (after Delete): m_index is the record that
    // followed the deleted one, so the next move continues from there.
    Position m_position = Position::AtEof;
    int m_index = 0;

    EditMode m_editMode = EditMode::None;
    QVector<QVariant> m_buffer;
    QVector<bool> m_changed;
    qint64 m_editRowid = 0; // the record an Edit() buffer belongs to
    Position m_positionBeforeNew = Position::AtEof;
    int m_indexBeforeNew = 0;

    bool m_noMatch = false;
    int m_findColumn = -1; // the field m_findKeys describes, or -1
    QVector<FindKey> m_findKeys;
    mutable QString m_lastError;
    mutable Refusal m_lastRefusal = Refusal::None;
    mutable QHash<QString, QDateTime> m_dateTimes;
};
