#pragma once

#include "display/viewgeometry.h"
#include "regions/region.h"

#include <QColor>
#include <QImage>
#include <QPolygonF>
#include <QVector>

class QFont;
class QPainter;

// Fixed colours of the picture beneath the data.
struct CanvasStyle
{
    QColor background{53, 53, 53, 255};
    QColor grid{160, 160, 160, 255};
    int gridPenWidth = 1;
    QColor axis{255, 255, 255, 255};
    QColor scanField{109, 116, 116, 150};
};

// How the point cloud is drawn; graph type 0 means dots, anything else one line per frame.
struct PointCloudStyle
{
    int graphType = 0;
    QColor color{255, 255, 255, 255};
    int radius = 1;
    int lineWidth = 1;
};

// The layers of one canvas redraw, each painted relative to the view's sensor position.
namespace RadarLayers {

// Background, grid, scan field and axes: everything beneath the data.
void paintBackdrop(QPainter &painter, const ViewGeometry &view, const CanvasStyle &style);
void clipToScanField(QPainter &painter, const ViewGeometry &view);
void paintPointCloud(QPainter &painter, const ViewGeometry &view, const PointCloudStyle &style,
                     const QVector<QVector<QPointF>> &frames);
// The sensor followed by the region's points in angular order, in pixels.
QPolygonF regionPixelPolygon(const ViewGeometry &view, const QPolygonF &points);
// The other regions first, the current one on top with a handle on each of its points.
void paintRegions(QPainter &painter, const ViewGeometry &view, const RegionGroup &group,
                  int currentRegion);
// Another set's regions of the group, outlined dashed over the edited ones for comparison.
void paintComparedRegions(QPainter &painter, const ViewGeometry &view, const RegionGroup &group);
// A region as the alarm view shows it: the polygon the evaluation uses, the region's colour
// and whether it alarms with the revolution on display.
struct AlarmRegion
{
    QPolygonF polygon;
    QColor color;
    bool alarm = false;
};
// Each region faintly filled and outlined in its colour; an alarming one filled and outlined
// strongly.
void paintAlarmRegions(QPainter &painter, const ViewGeometry &view,
                       const QVector<AlarmRegion> &regions);
// The handle under the pointer, opaque and outlined, with its vertex number beside it.
void paintHoveredHandle(QPainter &painter, const ViewGeometry &view, const QPointF &point,
                        int number, const QFont &font);
void paintSweep(QPainter &painter, const ViewGeometry &view, int sweepAngle);

// The vertex handle's square around a point's pixel position.
constexpr double handleHalfSize = 5.0;

} // namespace RadarLayers

// The backdrop layers kept as a picture: they change only with the view, while the data over
// them changes with every revolution the device reports.
class Backdrop
{
public:
    // The backdrop of `view`, painted again only when the view differs from the last one.
    const QImage &image(const ViewGeometry &view, const CanvasStyle &style);

private:
    QImage m_image;
    ViewGeometry m_view;
};
