// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

class RecordSet;

// One column of a manager window's grid: a field of the record set, shown in its own form.
struct GridColumn
{
    enum class Kind
    {
        Key, // hidden, never edited
        Time, // "HH:mm"
        Date, // "dd/MM/yyyy"
        Text
    };
    QString field;
    QString caption;
    Kind kind;
    int widthTwips = 0;
    int maxChars = 0; // a text's most characters (as a reader counts them); 0: no limit
};

// The first `limit` characters of a text, as a reader counts them (an emoji is one), never half of
// one; the whole text when it is no longer.
QString firstCharacters(const QString& text, int limit);

// The grid of a manager window over its own record set: every record of the table, read from the
// record set's snapshot (no query per cell); a cell edited in place is written back through the
// record set (Edit, Update). A stored time or date that cannot be read (text another program
// wrote) is shown as it is, marked, with a tooltip: such an entry is never announced. It is kept
// until the user writes a valid value over it.
class RecordSetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    RecordSetModel(RecordSet& records, QList<GridColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The stored value of a time or date cell cannot be read: the entry will not be announced.
    bool unreadable(const QModelIndex& index) const;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Writes the row when the value differs from the stored one; a refusal of the database is
    // reported by writeRefused() and changes nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    const GridColumn& column(int column) const { return m_columns[column]; }

    // Refresh: the record set reopened on the file, its first record current.
    bool reload();
    // Requery: the record set read afresh, its current record kept.
    bool requery();
    // Stores the record set's pending new record, then reloads. False when the database refuses
    // it: the pending record stays, with what was written into it.
    bool storeNew();
    enum class Deletion
    {
        Deleted,
        NoCurrentRecord,
        Refused
    };
    // Deletes the current record; there is no current record afterwards.
    Deletion deleteCurrent();

signals:
    void rowWritten();
    void writeRefused(int row, int column, const QVariant& value, const QString& reason);

private:
    void resetRows();

    RecordSet& m_records;
    QList<GridColumn> m_columns;
    // What the views were last told; the snapshot may change first (Update appends, Delete removes).
    int m_rowCount = 0;
};
