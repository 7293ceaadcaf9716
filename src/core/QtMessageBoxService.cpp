// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/QtMessageBoxService.h"

#include "core/Controls.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace {
// A text taller than the screen allows would push the buttons off it: the text then scrolls in
// a part of the box, and the buttons stay in sight.
void keepWithinScreen(QMessageBox& box, QWidget* parent)
{
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    const QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    if (!label || !grid || !screen)
        return;
    const int room = screen->availableGeometry().height() * 3 / 5;
    const int width = std::min(label->sizeHint().width(), screen->availableGeometry().width() / 2);
    label->setWordWrap(true);
    if (label->heightForWidth(width) <= room)
        return;
    int row = 0;
    int column = 0;
    int rows = 0;
    int columns = 0;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
    grid->removeWidget(label);
    auto* scroll = new QScrollArea(&box);
    Controls::apply(scroll, { .name = u"scrollTesto" });
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(label);
    scroll->setFixedSize(width + scroll->verticalScrollBar()->sizeHint().width(), room);
    label->setTextInteractionFlags(label->textInteractionFlags() | Qt::TextSelectableByKeyboard);
    grid->addWidget(scroll, row, column, rows, columns);
}
} // namespace

int QtMessageBoxService::show(QWidget* parent, const QString& text, int style, const QString& title)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (style & 0xF0) {
    case Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    const bool yesNo = (style & 0x0F) == YesNo;
    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    // The main window stays on top; a box under it would be lost.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    keepWithinScreen(box, parent);
    const int answer = box.exec();
    if (!yesNo)
        return Ok;
    return answer == QMessageBox::Yes ? Yes : No;
}
