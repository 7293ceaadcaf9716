// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/AppIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QIcon appIcon()
{
    QSvgRenderer large(QStringLiteral(":/vespelinda.svg"));
    QSvgRenderer small(QStringLiteral(":/vespelinda-16.svg"));
    QIcon icon;
    for (const int size : { 16, 22, 24, 32, 44, 48, 64, 96, 128 }) {
        QSvgRenderer& renderer = size <= 24 && small.isValid() ? small : large;
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
