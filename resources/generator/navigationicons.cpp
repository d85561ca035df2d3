#include "navigationicons.h"

#include "canvas.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

// Drawn at 64 px, twice the 32 px the navigation list shows, with 4 px strokes.
const int iconSize = 64;
const qreal strokeWidth = 4.0;
const QColor lineColor(205, 205, 205);

const int groupIconSize = 36;

QImage lineIcon(const std::function<void(QPainter &)> &draw)
{
    QImage image = transparentCanvas(QSize(iconSize, iconSize));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(lineColor, strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    draw(painter);
    return image;
}

void fillDot(QPainter &painter, const QPointF &center, qreal radius)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(lineColor);
    painter.drawEllipse(center, radius, radius);
    painter.restore();
}

// The face of a nine-pin serial plug.
void drawSerialPlug(QPainter &painter)
{
    QPainterPath shell;
    shell.moveTo(6, 18);
    shell.lineTo(58, 18);
    shell.lineTo(52, 46);
    shell.lineTo(12, 46);
    shell.closeSubpath();
    painter.drawPath(shell);
    for (int pin = 0; pin < 5; ++pin)
        fillDot(painter, QPointF(16 + pin * 8, 27), 2.6);
    for (int pin = 0; pin < 4; ++pin)
        fillDot(painter, QPointF(20 + pin * 8, 37), 2.6);
}

// The scan field: 270 degrees open towards the bottom, a few echoes.
void drawScanField(QPainter &painter)
{
    const QPointF sensor(32, 36);
    for (const qreal radius : {12.0, 24.0})
        painter.drawArc(QRectF(sensor.x() - radius, sensor.y() - radius, 2 * radius, 2 * radius),
                        -45 * 16, 270 * 16);
    painter.drawLine(sensor, QPointF(sensor.x() + 17, sensor.y() + 17));
    painter.drawLine(sensor, QPointF(sensor.x() - 17, sensor.y() + 17));
    fillDot(painter, sensor, 3.5);
    for (const QPointF &echo : {QPointF(19, 21), QPointF(44, 16), QPointF(50, 30)})
        fillDot(painter, echo, 2.4);
}

// An alarm region: a polygon with its vertex handles.
void drawRegion(QPainter &painter)
{
    const QPolygonF outline(QVector<QPointF>{QPointF(12, 48), QPointF(8, 22), QPointF(28, 10),
                                             QPointF(54, 20), QPointF(48, 52)});
    painter.setBrush(QColor(lineColor.red(), lineColor.green(), lineColor.blue(), 50));
    painter.drawPolygon(outline);
    for (const QPointF &vertex : outline)
        fillDot(painter, vertex, 4.5);
}

// A message log: a page with a folded corner and lines of text.
void drawDataMessage(QPainter &painter)
{
    QPainterPath page;
    page.moveTo(12, 6);
    page.lineTo(40, 6);
    page.lineTo(52, 18);
    page.lineTo(52, 58);
    page.lineTo(12, 58);
    page.closeSubpath();
    painter.drawPath(page);
    painter.drawPolyline(
        QPolygonF(QVector<QPointF>{QPointF(40, 6), QPointF(40, 18), QPointF(52, 18)}));
    const QVector<qreal> lineLengths{14, 24, 18, 24};
    for (int line = 0; line < lineLengths.size(); ++line) {
        const qreal y = 26 + line * 8;
        painter.drawLine(QPointF(20, y), QPointF(20 + lineLengths.at(line), y));
    }
}

// A round connector with three wires leading away to terminals.
void drawWiring(QPainter &painter)
{
    const QPointF connector(18, 32);
    painter.drawEllipse(connector, 12, 12);
    const QVector<qreal> wireEnds{14, 32, 50};
    for (int wire = 0; wire < wireEnds.size(); ++wire) {
        const QPointF pin(connector.x() - 5 + wire * 5, connector.y() - 3 + wire * 3);
        fillDot(painter, pin, 2.0);
        QPainterPath path(QPointF(30, connector.y() - 6 + wire * 6));
        path.cubicTo(QPointF(40, connector.y() - 6 + wire * 6), QPointF(40, wireEnds.at(wire)),
                     QPointF(52, wireEnds.at(wire)));
        painter.drawPath(path);
        painter.drawRect(QRectF(53, wireEnds.at(wire) - 2.5, 5, 5));
    }
}

// An empty group: a dim grid with the scan field dotted in.
QImage emptyGroupIcon()
{
    QImage image = transparentCanvas(QSize(groupIconSize, groupIconSize));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(70, 70, 70), 1));
    painter.setBrush(QColor(30, 30, 30));
    painter.drawRoundedRect(QRectF(0.5, 0.5, groupIconSize - 1, groupIconSize - 1), 4, 4);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(50, 50, 50), 1));
    for (int line = 6; line < groupIconSize - 1; line += 6) {
        painter.drawLine(line, 2, line, groupIconSize - 3);
        painter.drawLine(2, line, groupIconSize - 3, line);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF sensor(groupIconSize / 2.0, groupIconSize / 2.0 + 2);
    const qreal radius = 13;
    painter.setPen(QPen(QColor(175, 175, 175), 1.3, Qt::DotLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPie(QRectF(sensor.x() - radius, sensor.y() - radius, 2 * radius, 2 * radius),
                    -45 * 16, 270 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(170, 170, 170));
    painter.drawEllipse(sensor, 1.8, 1.8);
    return image;
}

} // namespace

NamedImages navigationIcons()
{
    return {
        {QStringLiteral("images/resource/conn_settings.png"), lineIcon(drawSerialPlug)},
        {QStringLiteral("images/resource/scan_image.png"), lineIcon(drawScanField)},
        {QStringLiteral("images/resource/region.png"), lineIcon(drawRegion)},
        {QStringLiteral("images/resource/data.png"), lineIcon(drawDataMessage)},
        {QStringLiteral("images/resource/writing_graph.png"), lineIcon(drawWiring)},
        {QStringLiteral("images/resource/default_icon.png"), emptyGroupIcon()},
    };
}
