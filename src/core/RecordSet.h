// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlDatabase>
#include <QString>
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
// Every operation that can fail returns false and leaves the reason in lastError().
class RecordSet
{
public:
    enum class Position { OnRecord, BeforeFirst, AtEof, Invalid };
    enum class EditMode { None, New, Edit };

    RecordSet(QSqlDatabase db, QString table);

    bool Refresh();
    bool MoveFirst();
    bool MoveNext();
    bool MovePrevious();
    bool Eof() const;
    Position position() const;

    // The named field of the current record. Date-time fields ("Data", "Ora") read as a
    // QDateTime when the stored text is a valid ISO 8601 date-time, otherwise as the stored
    // value (a null QVariant for NULL), which the caller's conversion rejects.
    // Fails (invalid QVariant, ok = false) when there is no current record or no such field.
    QVariant value(const QString& field, bool* ok = nullptr) const;
    // Sets a field in the edit buffer; QDateTime values are stored as ISO 8601 text.
    bool setValue(const QString& field, const QVariant& value);

    bool AddNew();
    bool Edit();
    bool Update();
    bool CancelUpdate();
    bool Delete();
    EditMode editMode() const;

    bool FindFirst(const FieldEquals& criterion);
    bool FindNext(const FieldEquals& criterion);
    bool NoMatch() const;

    int recordCount() const;
    QString table() const;
    QString lastError() const;

private:
    struct Private;
    // implementation detail, see RecordSet.cpp
};
