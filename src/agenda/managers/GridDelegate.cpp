// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/managers/GridDelegate.h"

#include "agenda/managers/RecordSetModel.h"
#include "core/Clock.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QTimeEdit>

namespace {
GridColumn::Kind kindOf(const QModelIndex& index)
{
    const auto* model = qobject_cast<const RecordSetModel*>(index.model());
    return model ? model->column(index.column()).kind : GridColumn::Kind::Text;
}
} // namespace

GridDelegate::GridDelegate(Clock& clock, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_clock(clock)
{
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    QWidget* editor = nullptr;
    switch (kindOf(index)) {
    case GridColumn::Kind::Time: {
        auto* time = new QTimeEdit(parent);
        time->setDisplayFormat(QStringLiteral("HH:mm"));
        editor = time;
        break;
    }
    case GridColumn::Kind::Date: {
        auto* date = new QDateEdit(parent);
        date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        date->setCalendarPopup(true);
        editor = date;
        break;
    }
    case GridColumn::Kind::Key:
    case GridColumn::Kind::Text:
        editor = new QLineEdit(parent);
        break;
    }
    editor->setAutoFillBackground(true);
    editor->setAccessibleName(index.model()->headerData(index.column(), Qt::Horizontal).toString());
    return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QVariant value = m_pending.isValid() ? std::exchange(m_pending, QVariant()) : index.data(Qt::EditRole);
    if (auto* time = qobject_cast<QTimeEdit*>(editor)) {
        time->setTime(value.toTime().isValid() ? value.toTime() : QTime(0, 0));
    } else if (auto* date = qobject_cast<QDateEdit*>(editor)) {
        date->setDate(value.toDate().isValid() ? value.toDate() : m_clock.now().date());
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(value.toString());
    }
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* time = qobject_cast<QTimeEdit*>(editor))
        model->setData(index, time->time());
    else if (auto* date = qobject_cast<QDateEdit*>(editor))
        model->setData(index, date->date());
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        model->setData(index, line->text());
}
