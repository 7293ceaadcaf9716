// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/AppIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QImage appIconImage(int size)
{
    QSvgRenderer renderer(size <= 24 ? QStringLiteral(":/vespelinda-16.svg") : QStringLiteral(":/vespelinda.svg"));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return image;
}

QIcon appIcon()
{
    QIcon icon;
    for (const int size : { 16, 22, 24, 32, 44, 48, 64, 96, 128 })
        icon.addPixmap(QPixmap::fromImage(appIconImage(size)));
    return icon;
}
