// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>
#include <QVariant>

class Clock;

// Edits a grid cell with the input its column needs: a time (hours and minutes), a date with a
// calendar, or a line of text within the column's limit; no invalid time or date can be typed.
// An editor left without being touched writes nothing: a stored value it could not show (an
// unreadable time, shown as 00:00) stays as it was.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    GridDelegate(Clock& clock, QObject* parent = nullptr);

    // The next editor opens with this value instead of the stored one: what the user typed, after
    // the database refused it.
    void reopenWith(const QVariant& value) { m_pending = value; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

    // A cell's editor is open.
    bool editing() const { return m_openEditors > 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Clock& m_clock;
    mutable QVariant m_pending;
    mutable int m_openEditors = 0;
};
