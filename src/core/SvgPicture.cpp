// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SvgPicture.h"

#include "core/Accessibility.h"

#include <QPainter>

SvgPicture::SvgPicture(const QString& file, const QRectF& exactGeometry, QWidget* parent)
    : QWidget(parent)
    , m_file(file)
    , m_exact(exactGeometry)
{
    setGeometry(m_exact.toAlignedRect());
    setAttribute(Qt::WA_TranslucentBackground);
}

QSvgRenderer& SvgPicture::renderer() const
{
    if (!m_renderer)
        m_renderer = std::make_unique<QSvgRenderer>(m_file);
    return *m_renderer;
}

void SvgPicture::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatioF();
    if (m_drawn.isNull() || m_drawn.devicePixelRatio() != ratio) {
        m_drawn = QPixmap((QSizeF(size()) * ratio).toSize());
        m_drawn.setDevicePixelRatio(ratio);
        m_drawn.fill(Qt::transparent);
        QPainter painter(&m_drawn);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer().render(&painter, m_exact.translated(-QPointF(pos())));
    }
    QPainter(this).drawPixmap(0, 0, m_drawn);
    Accessibility::drawFocus(this);
}
