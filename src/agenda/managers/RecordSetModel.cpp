// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/managers/RecordSetModel.h"

#include "datafile/RecordSet.h"

#include <QColor>
#include <QDateTime>

namespace {
const QString TimeFormat = QStringLiteral("HH:mm");
const QString DateFormat = QStringLiteral("dd/MM/yyyy");

const QString UnreadableMark = QStringLiteral("⚠ ");

QString shown(const GridColumn& column, const QVariant& value)
{
    if (value.typeId() != QMetaType::QDateTime)
        return value.toString(); // a value that is no date-time shows as it is stored, marked
    const QDateTime dateTime = value.toDateTime();
    if (column.kind == GridColumn::Kind::Time)
        return dateTime.toString(TimeFormat);
    // A date that carries a time of day never reaches the timeline: it shows.
    if (dateTime.time() != QTime(0, 0))
        return dateTime.toString(DateFormat + QLatin1Char(' ') + TimeFormat);
    return dateTime.toString(DateFormat);
}
} // namespace

QString firstCharacters(const QString& text, int limit)
{
    qsizetype end = 0;
    for (int characters = 0; end < text.size() && characters < limit; ++characters)
        end += text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate() ? 2 : 1;
    return end == text.size() ? text : text.left(end);
}

RecordSetModel::RecordSetModel(RecordSet& records, QList<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_records(records)
    , m_columns(std::move(columns))
    , m_rowCount(records.recordCount())
{
}

int RecordSetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rowCount; }

int RecordSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

bool RecordSetModel::unreadable(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const GridColumn& column = m_columns[index.column()];
    if (column.kind != GridColumn::Kind::Time && column.kind != GridColumn::Kind::Date)
        return false;
    const QVariant value = m_records.valueAt(index.row(), column.field);
    // A date with a time of day never matches a day of the timeline either.
    return value.typeId() != QMetaType::QDateTime
        || (column.kind == GridColumn::Kind::Date && value.toDateTime().time() != QTime(0, 0));
}

QVariant RecordSetModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const GridColumn& column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        break;
    case Qt::ToolTipRole:
        if (!unreadable(index))
            return {};
        return column.kind == GridColumn::Kind::Time
            ? QStringLiteral("Quest'ora non è valida: la voce non sarà annunciata finché non scrivi un'ora giusta.")
            : QStringLiteral(
                "Questa data non è valida: la voce non sarà annunciata finché non scrivi una data giusta.");
    case Qt::ForegroundRole:
        return unreadable(index) ? QVariant(QColor(Qt::red)) : QVariant();
    default:
        return {};
    }
    const QVariant value = m_records.valueAt(index.row(), column.field);
    if (role == Qt::DisplayRole)
        return unreadable(index) ? UnreadableMark + shown(column, value) : shown(column, value);
    switch (column.kind) {
    case GridColumn::Kind::Time:
        return value.toDateTime().time();
    case GridColumn::Kind::Date:
        return value.toDateTime().date();
    case GridColumn::Kind::Key:
    case GridColumn::Kind::Text:
        break;
    }
    return value.toString();
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < m_columns.size() ? m_columns[section].caption : QVariant();
    return QString(); // the record-selector strip carries no numbers
}

Qt::ItemFlags RecordSetModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && m_columns[index.column()].kind != GridColumn::Kind::Key)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool RecordSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::EditRole
        || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const GridColumn& column = m_columns[index.column()];
    const QVariant stored = m_records.valueAt(index.row(), column.field);
    QVariant written;
    switch (column.kind) {
    case GridColumn::Kind::Time: {
        const QTime time = value.toTime();
        if (!time.isValid())
            return false;
        const QTime old = stored.toDateTime().time();
        if (stored.typeId() == QMetaType::QDateTime && old.hour() == time.hour() && old.minute() == time.minute())
            return true;
        written = QTime(time.hour(), time.minute());
        break;
    }
    case GridColumn::Kind::Date:
        if (!value.toDate().isValid())
            return false;
        if (stored.toDateTime() == QDateTime(value.toDate(), QTime(0, 0)))
            return true;
        written = value.toDate();
        break;
    case GridColumn::Kind::Key:
    case GridColumn::Kind::Text: {
        // The column's limit holds however the text comes.
        const QString text
            = column.maxChars > 0 ? firstCharacters(value.toString(), column.maxChars) : value.toString();
        if (stored.toString() == text)
            return true;
        written = text;
        break;
    }
    }

    if (!m_records.moveTo(index.row()) || !m_records.Edit() || !m_records.setValue(column.field, written)
        || !m_records.Update()) {
        const QString reason = m_records.lastRefusalInWords();
        if (m_records.editMode() != RecordSet::EditMode::None)
            m_records.CancelUpdate();
        emit writeRefused(index.row(), index.column(), value, reason);
        return false;
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    emit rowWritten();
    return true;
}

void RecordSetModel::resetRows()
{
    beginResetModel();
    m_rowCount = m_records.recordCount();
    endResetModel();
}

bool RecordSetModel::reload()
{
    const bool reopened = m_records.Refresh();
    resetRows();
    return reopened;
}

bool RecordSetModel::requery()
{
    if (!m_records.Requery())
        return false;
    resetRows();
    return true;
}

bool RecordSetModel::storeNew()
{
    // Update fails with the buffer dropped only when the record was stored but could not be
    // read back: it is in the file, and the reload shows it.
    if (!m_records.Update() && m_records.editMode() != RecordSet::EditMode::None)
        return false;
    reload();
    return true;
}

RecordSetModel::Deletion RecordSetModel::deleteCurrent()
{
    if (m_records.currentIndex() < 0)
        return Deletion::NoCurrentRecord;
    const int before = m_records.recordCount();
    m_records.Delete();
    // A record that another window had already deleted is gone all the same.
    if (m_records.recordCount() == before)
        return Deletion::Refused;
    resetRows();
    return Deletion::Deleted;
}
