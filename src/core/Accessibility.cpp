// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <qdrawutil.h>

namespace {
constexpr auto RoleProperty = "accessibleRole";

bool pressable(QAccessible::Role role)
{
    return role == QAccessible::PushButton || role == QAccessible::ButtonMenu || role == QAccessible::Link;
}

// Qt reports a plain QWidget as a bare "client" (a "filler" to AT-SPI), even when it is a window.
class ProgramWidget : public QAccessibleWidget
{
public:
    explicit ProgramWidget(QWidget* widget)
        : QAccessibleWidget(widget)
    {
    }

    QAccessible::Role role() const override
    {
        const QVariant given = widget()->property(RoleProperty);
        if (given.isValid())
            return QAccessible::Role(given.toInt());
        if (widget()->isWindow())
            return widget()->windowType() == Qt::Dialog ? QAccessible::Dialog : QAccessible::Window;
        return QAccessibleWidget::role();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = role() == QAccessible::Link;
        state.hasPopup = role() == QAccessible::ButtonMenu;
        return state;
    }

    QStringList actionNames() const override
    {
        const QStringList names = QAccessibleWidget::actionNames();
        return pressable(role()) ? QStringList { pressAction() } + names : names;
    }

    void doAction(const QString& name) override
    {
        if (name != pressAction() || !pressable(role())) {
            QAccessibleWidget::doAction(name);
            return;
        }
        for (const QEvent::Type type : { QEvent::KeyPress, QEvent::KeyRelease }) {
            QKeyEvent space(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QCoreApplication::sendEvent(widget(), &space);
        }
    }
};

// Shift+F10 asks for the focused control's context menu, as the menu key does (and as it does on
// the other desktops); a control without a menu of its own leaves the request to its window.
class ContextMenuKey : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier)
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        const QRect cursor = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QPoint at = cursor.isValid() ? cursor.center() : widget->rect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at));
        QCoreApplication::sendEvent(widget, &request);
        return true;
    }
};

// A list to choose from (a combo box that takes no typing) reports its choice as its text and its
// value: Qt's own gives a screen reader neither, so the choice is never heard. A change of the
// choice is told as the text's caret moving (to the other end of the one line): a screen reader
// reads the line an arrow key has moved to, which is the new choice.
class ChoiceBox : public QAccessibleWidget, public QAccessibleTextInterface, public QAccessibleValueInterface
{
public:
    explicit ChoiceBox(QComboBox* box)
        : QAccessibleWidget(box, QAccessible::ComboBox)
    {
        QObject::connect(box, &QComboBox::currentIndexChanged, box, [this, box] {
            m_caret = m_caret == 0 ? 1 : 0;
            QAccessibleTextCursorEvent moved(box, m_caret);
            QAccessible::updateAccessibility(&moved);
        });
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text which) const override
    {
        if (which == QAccessible::Value)
            return choice();
        // Named by its label, as heard: "Motore", not "Motore:".
        return which == QAccessible::Name ? Accessibility::spoken(QAccessibleWidget::text(which))
                                          : QAccessibleWidget::text(which);
    }

    // The text: the choice, read only.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override { }
    void removeSelection(int) override { }
    void setSelection(int, int, int) override { }
    int cursorPosition() const override { return m_caret; }
    void setCursorPosition(int) override { }
    QString text(int start, int end) const override { return choice().mid(start, end - start); }
    // One line, one word as far as a reader asks: the whole choice.
    QString textAtOffset(int, QAccessible::TextBoundaryType, int* start, int* end) const override
    {
        *start = 0;
        *end = int(choice().size());
        return choice();
    }
    QString textBeforeOffset(int, QAccessible::TextBoundaryType, int* start, int* end) const override
    {
        *start = *end = -1;
        return {};
    }
    QString textAfterOffset(int, QAccessible::TextBoundaryType, int* start, int* end) const override
    {
        *start = *end = -1;
        return {};
    }
    int characterCount() const override { return int(choice().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override { }
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0; // one run, without attributes
        *end = int(choice().size());
        return {};
    }

    // The value: the choice's place in the list.
    QVariant currentValue() const override { return box()->currentIndex(); }
    void setCurrentValue(const QVariant& value) override { box()->setCurrentIndex(value.toInt()); }
    QVariant maximumValue() const override { return std::max(0, box()->count() - 1); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
    QString choice() const { return box()->currentText(); }

    int m_caret = 0;
};

// Qt's table tells assistive technology that a cell has the focus whenever its current cell
// changes, even when the table does not have the focus (the calendar turning to today at start-up,
// hidden on a page not shown): a screen reader then leaves the control the user is on for it.
// Such a report is dropped; every other goes on to the bridge.
void withoutFalseFocus(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::Focus) {
        if (auto* view = qobject_cast<QAbstractItemView*>(event->object()); view && !view->hasFocus())
            return;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(withoutFalseFocus);
}

QAccessibleInterface* programWidget(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (auto* box = qobject_cast<QComboBox*>(widget); box && !box->isEditable())
        return new ChoiceBox(box);
    if (widget->property(RoleProperty).isValid() || (className == QLatin1String("QWidget") && widget->isWindow()))
        return new ProgramWidget(widget);
    return nullptr;
}
} // namespace

namespace Accessibility {

void install()
{
    // Installed after the application's own factory, so it is asked first.
    static const bool installed = [] {
        QAccessible::installFactory(programWidget);
        QAccessible::installUpdateHandler(withoutFalseFocus);
        qApp->installEventFilter(new ContextMenuKey(qApp));
        return true;
    }();
    Q_UNUSED(installed)
}

QString spoken(const QString& caption)
{
    QString heard;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i; // "&&" is a "&" shown
        else if (caption[i] == u'&')
            continue;
        heard += caption[i];
    }
    while (!heard.isEmpty() && (heard.back() == u'.' || heard.back() == u':' || heard.back().isSpace()))
        heard.chop(1);
    return heard.trimmed();
}

void label(QLabel* label, QWidget* control)
{
    label->setBuddy(control);
    control->setAccessibleName(spoken(label->text()));
}

void setRole(QWidget* widget, QAccessible::Role role)
{
    install();
    widget->setProperty(RoleProperty, int(role));
}

double contrast(const QColor& one, const QColor& other)
{
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](float channel) {
            return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
        };
        const QColor rgb = colour.toRgb();
        return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
    };
    const double a = luminance(one), b = luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor contrasting(const QColor& background)
{
    const QColor black(Qt::black), white(Qt::white);
    return contrast(background, black) >= contrast(background, white) ? black : white;
}

void drawFocus(QWidget* widget)
{
    // Only once the keyboard has moved the focus in this window: a mouse user sees no frame.
    if (!widget->hasFocus() || !widget->window()->testAttribute(Qt::WA_KeyboardFocusChange))
        return;
    // What shows where the widget paints nothing of its own: its background, if it fills it, else
    // that of the widget beneath that does.
    const QWidget* filled = widget;
    while (!filled->autoFillBackground() && !filled->isWindow() && filled->parentWidget())
        filled = filled->parentWidget();
    const QColor inner = contrasting(filled->palette().color(filled->backgroundRole()));
    const QColor outer = inner == QColor(Qt::black) ? QColor(Qt::white) : QColor(Qt::black);
    QPainter painter(widget);
    const QRect area = widget->contentsRect();
    qDrawPlainRect(&painter, area, outer);
    qDrawPlainRect(&painter, area.adjusted(1, 1, -1, -1), inner);
}

} // namespace Accessibility
