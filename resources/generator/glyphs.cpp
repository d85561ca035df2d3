#include "glyphs.h"

#include "canvas.h"

#include <QPainter>
#include <QPolygonF>
#include <functional>

namespace {

constexpr qreal gridUnits = 16.0;

QImage drawOnGrid(int size, const QColor &color, const std::function<void(QPainter &)> &draw)
{
    QImage image = transparentCanvas(QSize(size, size));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / gridUnits, size / gridUnits);
    painter.setPen(QPen(color, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    draw(painter);
    return image;
}

} // namespace

namespace glyphs {

QImage close(int size, const QColor &color)
{
    return drawOnGrid(size, color, [](QPainter &p) {
        QPen diagonal = p.pen();
        diagonal.setWidthF(1.3);
        diagonal.setCapStyle(Qt::RoundCap);
        p.setPen(diagonal);
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    });
}

QImage maximize(int size, const QColor &color)
{
    return drawOnGrid(size, color, [](QPainter &p) {
        p.drawRect(QRectF(3.5, 3.5, 9, 9));
        // A heavier top edge reads as a window's caption.
        p.drawLine(QPointF(3.5, 4.5), QPointF(12.5, 4.5));
    });
}

QImage minimize(int size, const QColor &color)
{
    return drawOnGrid(size, color,
                      [](QPainter &p) { p.drawLine(QPointF(3.5, 10.5), QPointF(12.5, 10.5)); });
}

QImage restore(int size, const QColor &color)
{
    return drawOnGrid(size, color, [](QPainter &p) {
        p.drawRect(QRectF(3.5, 5.5, 7, 7));
        const QPolygonF backWindow(QVector<QPointF>{QPointF(5.5, 5.5), QPointF(5.5, 3.5),
                                                    QPointF(12.5, 3.5), QPointF(12.5, 10.5),
                                                    QPointF(10.5, 10.5)});
        p.drawPolyline(backWindow);
    });
}

QImage more(int size, const QColor &color)
{
    return drawOnGrid(size, color, [&color](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        for (const qreal x : {4.0, 8.0, 12.0})
            p.drawEllipse(QPointF(x, 8), 1.25, 1.25);
    });
}

} // namespace glyphs
