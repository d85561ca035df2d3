#include "display/viewgeometry.h"

#include "regions/region.h"

#include <QtMath>

ViewGeometry::ZoomChange ViewGeometry::zoomIn()
{
    const int finestStep = int(scaleSteps.size()) - 1;
    if (m_scaleStepIndex == finestStep && m_cellPixels == maxCellPixels)
        return ZoomChange::None;
    m_cellPixels += cellPixelStep;
    if (m_cellPixels <= maxCellPixels)
        return ZoomChange::CellSize;
    m_cellPixels = minCellPixels;
    setScaleStep(m_scaleStepIndex + 1);
    return ZoomChange::ScaleStep;
}

ViewGeometry::ZoomChange ViewGeometry::zoomOut()
{
    if (m_scaleStepIndex == 0 && m_cellPixels == minCellPixels)
        return ZoomChange::None;
    m_cellPixels -= cellPixelStep;
    if (m_cellPixels >= minCellPixels)
        return ZoomChange::CellSize;
    m_cellPixels = maxCellPixels;
    setScaleStep(m_scaleStepIndex - 1);
    return ZoomChange::ScaleStep;
}

bool ViewGeometry::operator==(const ViewGeometry &other) const
{
    return m_canvasSize == other.m_canvasSize && m_centre == other.m_centre &&
           m_panOffset == other.m_panOffset && m_cellPixels == other.m_cellPixels &&
           m_scaleStepIndex == other.m_scaleStepIndex && m_gridLineCount == other.m_gridLineCount;
}

void ViewGeometry::setScaleStep(int index)
{
    m_scaleStepIndex = index;
    m_gridLineCount = gridSpanMillimetres / scaleSteps[index] + 1;
}

void ViewGeometry::setCanvasSize(const QSize &size)
{
    m_canvasSize = size;
    m_centre = QPointF(size.width() - size.width() / 2, size.height() - size.height() / 2);
    m_panOffset = QPointF();
}

void ViewGeometry::pan(const QPointF &delta)
{
    m_panOffset += delta;
}

QRectF ViewGeometry::gridRect() const
{
    const double span = (m_gridLineCount - 1) * m_cellPixels;
    const QPointF centre = origin();
    return QRectF(centre.x() - span * 0.5, centre.y() - span * 0.5, span, span);
}

QRectF ViewGeometry::circleRect(double millimetres) const
{
    const double radius = millimetres / cellMillimetres() * m_cellPixels;
    const QPointF centre = origin();
    return QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
}

QPointF ViewGeometry::toPixel(const QPointF &world) const
{
    const QPointF centre = origin();
    return QPointF(centre.x() + world.x() / cellMillimetres() * m_cellPixels,
                   centre.y() - world.y() / cellMillimetres() * m_cellPixels);
}

QPointF ViewGeometry::toWorld(const QPointF &pixel) const
{
    const QPointF centre = origin();
    return QPointF((pixel.x() - centre.x()) / m_cellPixels * cellMillimetres(),
                   (centre.y() - pixel.y()) / m_cellPixels * cellMillimetres());
}

Readout ViewGeometry::readoutAt(const QPointF &pixel) const
{
    const QPointF world = toWorld(pixel);
    Readout readout;
    readout.x = int(world.x());
    readout.y = int(world.y());
    readout.distance = int(qSqrt(world.x() * world.x() + world.y() * world.y()));
    readout.angle = polarAngle(world.x(), world.y());
    return readout;
}

QVector<int> ViewGeometry::labelRowPositions(int rowWidth, const QVector<int> &labelWidths)
{
    int widthSum = 0;
    for (int width : labelWidths)
        widthSum += width;
    const double gap = (rowWidth - widthSum) * 0.25 - 10.0;
    QVector<int> positions;
    int widthsBefore = 0;
    for (int i = 0; i < labelWidths.size(); ++i) {
        positions.append(int(widthsBefore + i * gap));
        widthsBefore += labelWidths[i];
    }
    return positions;
}
