#include "display/radarlayers.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>

namespace RadarLayers {
namespace {

const QColor handleColor(255, 255, 255, 128);
const QColor hoveredHandleOutline(0, 0, 0);
// Pixels between a hovered handle and its number.
constexpr double numberGap = 3.0;
constexpr int sweepSpanDegrees = 90;
// Lines beyond this margin around the canvas cannot touch a visible pixel.
constexpr double offCanvasMargin = 2.0;
// The alarm view's fill opacity and outline width for a quiet and an alarming region.
constexpr int quietFillAlpha = 40;
constexpr int alarmFillAlpha = 150;
constexpr double quietOutlineWidth = 1.5;
constexpr double alarmOutlineWidth = 4.0;

// Sixteenths of a degree, as QPainter's arcs take them.
int arcUnits(double degrees)
{
    return int(degrees * 16);
}

// Indexes of the grid lines first + i * step that fall within [low, high].
std::pair<int, int> linesWithin(double first, double step, int count, double low, double high)
{
    const int from = std::max(0, int(qCeil((low - first) / step)));
    const int to = std::min(count - 1, int(qFloor((high - first) / step)));
    return {from, to};
}

// A straight line of the pen's width with square caps, filled as its outline rectangle: the
// rasteriser's fill is several times faster than its stroke for the long grid lines.
// Parts beyond the canvas edges are cut off.
void drawHorizontal(QPainter &painter, const QPen &pen, double y, double fromX, double toX,
                    double canvasWidth)
{
    const double half = pen.widthF() * 0.5;
    const double left = std::max(fromX, -offCanvasMargin) - half;
    const double right = std::min(toX, canvasWidth + offCanvasMargin) + half;
    painter.fillRect(QRectF(left, y - half, right - left, 2 * half), pen.color());
}

void drawVertical(QPainter &painter, const QPen &pen, double x, double fromY, double toY,
                  double canvasHeight)
{
    const double half = pen.widthF() * 0.5;
    const double top = std::max(fromY, -offCanvasMargin) - half;
    const double bottom = std::min(toY, canvasHeight + offCanvasMargin) + half;
    painter.fillRect(QRectF(x - half, top, 2 * half, bottom - top), pen.color());
}

// Keeps the part of a closed polygon where sign * (coordinate - limit) >= 0 (Sutherland-Hodgman).
// Inside the kept half-plane every point keeps its winding number, so any fill rule still holds.
QPolygonF clipToHalfPlane(const QPolygonF &polygon, Qt::Orientation axis, double limit, double sign)
{
    const auto coordinate = [axis](const QPointF &p) {
        return axis == Qt::Horizontal ? p.x() : p.y();
    };
    const auto inside = [&](const QPointF &p) { return sign * (coordinate(p) - limit) >= 0; };
    QPolygonF clipped;
    for (int i = 0; i < polygon.size(); ++i) {
        const QPointF &current = polygon[i];
        const QPointF &previous = polygon[(i + polygon.size() - 1) % polygon.size()];
        if (inside(current) != inside(previous)) {
            const double t =
                (limit - coordinate(previous)) / (coordinate(current) - coordinate(previous));
            clipped.append(previous + (current - previous) * t);
        }
        if (inside(current))
            clipped.append(current);
    }
    return clipped;
}

// Far-reaching polygons at fine scales cost the rasteriser dearly; only the canvas is needed.
QPolygonF clipToCanvas(const QPolygonF &polygon, const QSize &canvas)
{
    const QRectF window =
        QRectF(QPointF(), QSizeF(canvas))
            .adjusted(-offCanvasMargin, -offCanvasMargin, offCanvasMargin, offCanvasMargin);
    if (window.contains(polygon.boundingRect()))
        return polygon;
    QPolygonF clipped = clipToHalfPlane(polygon, Qt::Horizontal, window.left(), 1);
    clipped = clipToHalfPlane(clipped, Qt::Horizontal, window.right(), -1);
    clipped = clipToHalfPlane(clipped, Qt::Vertical, window.top(), 1);
    return clipToHalfPlane(clipped, Qt::Vertical, window.bottom(), -1);
}

void fillRegion(QPainter &painter, const ViewGeometry &view, const Region &region)
{
    const QPolygonF polygon = regionPixelPolygon(view, region.polygon);
    if (polygon.size() < 3)
        return;
    painter.setBrush(region.color);
    painter.drawPolygon(clipToCanvas(polygon, view.canvasSize()), Qt::OddEvenFill);
}

void paintGrid(QPainter &painter, const ViewGeometry &view, const CanvasStyle &style)
{
    const QPen pen(style.grid, style.gridPenWidth);
    const QRectF grid = view.gridRect();
    const QSize canvas = view.canvasSize();
    const double step = view.cellPixels();
    const int count = view.gridLineCount();
    if (grid.right() < -offCanvasMargin || grid.left() > canvas.width() + offCanvasMargin)
        return;
    if (grid.bottom() < -offCanvasMargin || grid.top() > canvas.height() + offCanvasMargin)
        return;

    const auto rows =
        linesWithin(grid.top(), step, count, -offCanvasMargin, canvas.height() + offCanvasMargin);
    for (int i = rows.first; i <= rows.second; ++i)
        drawHorizontal(painter, pen, grid.top() + i * step, grid.left(), grid.right(),
                       canvas.width());
    const auto columns =
        linesWithin(grid.left(), step, count, -offCanvasMargin, canvas.width() + offCanvasMargin);
    for (int i = columns.first; i <= columns.second; ++i)
        drawVertical(painter, pen, grid.left() + i * step, grid.top(), grid.bottom(),
                     canvas.height());
}

void paintScanField(QPainter &painter, const ViewGeometry &view, const CanvasStyle &style)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(style.scanField);
    painter.drawPie(view.circleRect(ViewGeometry::scanFieldRadius),
                    arcUnits(ViewGeometry::scanFieldStartAngle),
                    arcUnits(ViewGeometry::scanFieldEndAngle - ViewGeometry::scanFieldStartAngle));
}

void paintAxes(QPainter &painter, const ViewGeometry &view, const CanvasStyle &style)
{
    const QPen pen(style.axis, style.gridPenWidth);
    const QRectF grid = view.gridRect();
    const QPointF origin = view.origin();
    const QSize canvas = view.canvasSize();
    drawHorizontal(painter, pen, origin.y(), grid.left(), grid.right(), canvas.width());
    drawVertical(painter, pen, origin.x(), grid.top(), grid.bottom(), canvas.height());
}

// One anti-aliased dot, centred on the corner shared by the image's four middle pixels.
QImage dotImage(int radius, const QColor &color)
{
    const int reach = std::max(radius, 0) + 1;
    QImage dot(2 * reach, 2 * reach, QImage::Format_ARGB32_Premultiplied);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QPointF(reach, reach), radius, radius);
    return dot;
}

} // namespace

void paintBackdrop(QPainter &painter, const ViewGeometry &view, const CanvasStyle &style)
{
    painter.fillRect(QRect(QPoint(), view.canvasSize()), style.background);
    paintGrid(painter, view, style);
    paintScanField(painter, view, style);
    paintAxes(painter, view, style);
}

void clipToScanField(QPainter &painter, const ViewGeometry &view)
{
    QPainterPath sector(view.origin().toPoint());
    sector.arcTo(view.circleRect(ViewGeometry::scanFieldRadius), ViewGeometry::scanFieldStartAngle,
                 ViewGeometry::scanFieldEndAngle - ViewGeometry::scanFieldStartAngle);
    sector.closeSubpath();
    painter.setClipPath(sector);
}

void paintPointCloud(QPainter &painter, const ViewGeometry &view, const PointCloudStyle &style,
                     const QVector<QVector<QPointF>> &frames)
{
    if (style.graphType != 0) {
        painter.setPen(QPen(style.color, style.lineWidth));
        painter.setBrush(Qt::NoBrush);
        for (const QVector<QPointF> &frame : frames) {
            if (frame.size() < 2)
                continue;
            QPolygonF line;
            line.reserve(frame.size());
            for (const QPointF &point : frame)
                line.append(view.toPixel(point));
            painter.drawPolyline(line);
        }
        return;
    }
    // Rasterising an ellipse per point is what a redraw would spend most of its time on; a
    // dot copied to the nearest pixel corner looks the same and costs a fraction of it.
    const QImage dot = dotImage(style.radius, style.color);
    const QPoint centreToCorner(dot.width() / 2, dot.height() / 2);
    const double reach = style.radius + offCanvasMargin;
    const QRectF visible =
        QRectF(QPointF(), QSizeF(view.canvasSize())).adjusted(-reach, -reach, reach, reach);
    for (const QVector<QPointF> &frame : frames) {
        for (const QPointF &point : frame) {
            const QPointF pixel = view.toPixel(point);
            if (visible.contains(pixel))
                painter.drawImage(pixel.toPoint() - centreToCorner, dot);
        }
    }
}

QPolygonF regionPixelPolygon(const ViewGeometry &view, const QPolygonF &points)
{
    QPolygonF polygon;
    polygon.reserve(points.size() + 1);
    polygon.append(view.origin());
    for (const QPointF &point : Regions::sortedByAngle(points))
        polygon.append(view.toPixel(point));
    return polygon;
}

void paintRegions(QPainter &painter, const ViewGeometry &view, const RegionGroup &group,
                  int currentRegion)
{
    painter.setPen(Qt::NoPen);
    for (int k = 0; k < group.size(); ++k) {
        if (k != currentRegion)
            fillRegion(painter, view, group[k]);
    }
    if (currentRegion < 0 || currentRegion >= group.size())
        return;
    const Region &current = group[currentRegion];
    fillRegion(painter, view, current);

    // Handles get no outline, whatever the layers before left in the painter.
    painter.setBrush(handleColor);
    const int handleSize = int(2 * handleHalfSize);
    for (const QPointF &point : current.polygon) {
        const QPointF pixel = view.toPixel(point);
        painter.drawRect(QRect(int(pixel.x() - handleHalfSize), int(pixel.y() - handleHalfSize),
                               handleSize, handleSize));
    }
}

void paintComparedRegions(QPainter &painter, const ViewGeometry &view, const RegionGroup &group)
{
    painter.setBrush(Qt::NoBrush);
    for (const Region &region : group) {
        const QPolygonF polygon = regionPixelPolygon(view, region.polygon);
        if (polygon.size() < 3)
            continue;
        painter.setPen(QPen(region.color.lighter(160), 2, Qt::DashLine));
        painter.drawPolygon(clipToCanvas(polygon, view.canvasSize()));
    }
}

void paintAlarmRegions(QPainter &painter, const ViewGeometry &view,
                       const QVector<AlarmRegion> &regions)
{
    for (const AlarmRegion &region : regions) {
        if (region.polygon.size() < 3)
            continue;
        QPolygonF pixels;
        pixels.reserve(region.polygon.size());
        for (const QPointF &point : region.polygon)
            pixels.append(view.toPixel(point));
        QColor outline = region.color;
        outline.setAlpha(255);
        QColor fill = region.color;
        fill.setAlpha(region.alarm ? alarmFillAlpha : quietFillAlpha);
        painter.setPen(QPen(outline, region.alarm ? alarmOutlineWidth : quietOutlineWidth));
        painter.setBrush(fill);
        painter.drawPolygon(clipToCanvas(pixels, view.canvasSize()), Qt::OddEvenFill);
    }
}

void paintHoveredHandle(QPainter &painter, const ViewGeometry &view, const QPointF &point,
                        int number, const QFont &font)
{
    const QPointF pixel = view.toPixel(point);
    const QPointF corner(handleHalfSize, handleHalfSize);
    painter.setPen(hoveredHandleOutline);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(pixel - corner, pixel + corner));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixel + QPointF(handleHalfSize + numberGap, -handleHalfSize - numberGap),
                     QString::number(number));
}

void paintSweep(QPainter &painter, const ViewGeometry &view, int sweepAngle)
{
    const QPointF origin = view.origin();
    QConicalGradient gradient(origin, sweepAngle);
    gradient.setColorAt(0.0, QColor(0, 83, 83, 0));
    gradient.setColorAt(0.5, QColor(0, 83, 83, 150));
    gradient.setColorAt(1.0, Qt::transparent);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    const double reach = view.gridRect().width() * 0.5;
    painter.drawPie(QRectF(origin.x() - reach, origin.y() - reach, 2 * reach, 2 * reach),
                    arcUnits(sweepAngle), arcUnits(sweepSpanDegrees));
}

} // namespace RadarLayers

const QImage &Backdrop::image(const ViewGeometry &view, const CanvasStyle &style)
{
    if (m_image.isNull() || view != m_view) {
        m_image = QImage(view.canvasSize(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&m_image);
        painter.setRenderHint(QPainter::Antialiasing);
        RadarLayers::paintBackdrop(painter, view, style);
        m_view = view;
    }
    return m_image;
}
