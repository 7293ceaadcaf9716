// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QRectF>
#include <QSvgRenderer>
#include <QWidget>
#include <memory>

// A picture drawn from SVG artwork, placed to the fraction of a pixel, so that it stays sharp at
// any screen scale. It covers the whole pixels around its exact rectangle. The artwork is drawn
// once per screen scale and kept: the blink repaints the face often, and drawing the gradients
// afresh each time would keep the painting threads busy. The file is read when the picture is
// first painted: a picture that starts hidden (the closed eyes) costs nothing at start.
class SvgPicture : public QWidget
{
    Q_OBJECT

public:
    SvgPicture(const QString& file, const QRectF& exactGeometry, QWidget* parent);

    QRectF exactGeometry() const { return m_exact; }
    bool isLoaded() const { return renderer().isValid(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer& renderer() const;

    QString m_file;
    mutable std::unique_ptr<QSvgRenderer> m_renderer;
    QRectF m_exact;
    QPixmap m_drawn;
};
