// SPDX-License-Identifier: GPL-3.0-or-later
#include "agenda/managers/GridDelegate.h"

#include "agenda/managers/RecordSetModel.h"
#include "core/Clock.h"
#include "core/Controls.h"

#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimeEdit>

namespace {
GridColumn columnOf(const QModelIndex& index)
{
    const auto* model = qobject_cast<const RecordSetModel*>(index.model());
    return model ? model->column(index.column()) : GridColumn { {}, {}, GridColumn::Kind::Text };
}

// Dynamic properties of an editor: the value it was opened with, whether that value is the user's
// own (typed before the database refused it), and whether the user confirmed it with Enter.
constexpr char OpenedWith[] = "vespelindaOpenedWith";
constexpr char UsersOwn[] = "vespelindaUsersOwn";
constexpr char Touched[] = "vespelindaTouched";

QVariant editorValue(QWidget* editor)
{
    if (auto* time = qobject_cast<QTimeEdit*>(editor))
        return time->time();
    if (auto* date = qobject_cast<QDateEdit*>(editor))
        return date->date();
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line->text();
    return {};
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
    const GridColumn column = columnOf(index);
    switch (column.kind) {
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
    case GridColumn::Kind::Text: {
        auto* line = new QLineEdit(parent);
        if (column.maxChars > 0) {
            // What would go beyond the limit is not taken, however the text arrives.
            connect(line, &QLineEdit::textChanged, line, [line, limit = column.maxChars](const QString& text) {
                const QString kept = firstCharacters(text, limit);
                if (kept.size() != text.size())
                    line->setText(kept);
            });
        }
        editor = line;
        break;
    }
    }
    ++m_openEditors;
    editor->setAutoFillBackground(true);
    Controls::apply(editor, { .accessibleName = index.model()->headerData(index.column(), Qt::Horizontal).toString() });
    return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const bool usersOwn = m_pending.isValid();
    const QVariant value = usersOwn ? std::exchange(m_pending, QVariant()) : index.data(Qt::EditRole);
    if (auto* time = qobject_cast<QTimeEdit*>(editor)) {
        time->setTime(value.toTime().isValid() ? value.toTime() : QTime(0, 0));
    } else if (auto* date = qobject_cast<QDateEdit*>(editor)) {
        date->setDate(value.toDate().isValid() ? value.toDate() : m_clock.now().date());
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(value.toString());
    }
    editor->setProperty(OpenedWith, editorValue(editor));
    editor->setProperty(UsersOwn, usersOwn);
    editor->setProperty(Touched, false);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    // Opened and left: nothing is written, whatever the editor could or could not show.
    if (!editor->property(Touched).toBool() && !editor->property(UsersOwn).toBool()
        && editorValue(editor) == editor->property(OpenedWith))
        return;
    if (auto* time = qobject_cast<QTimeEdit*>(editor))
        model->setData(index, time->time());
    else if (auto* date = qobject_cast<QDateEdit*>(editor))
        model->setData(index, date->date());
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        model->setData(index, line->text());
}

void GridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    --m_openEditors;
    QStyledItemDelegate::destroyEditor(editor, index);
}

bool GridDelegate::eventFilter(QObject* watched, QEvent* event)
{
    // Enter confirms the value shown, even the one put in place of an unreadable value; any other
    // touch that matters changes the value.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            watched->setProperty(Touched, true);
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}
