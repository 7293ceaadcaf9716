// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/QtMessageBoxService.h"

#include <QMessageBox>

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
    const int answer = box.exec();
    if (!yesNo)
        return Ok;
    return answer == QMessageBox::Yes ? Yes : No;
}
