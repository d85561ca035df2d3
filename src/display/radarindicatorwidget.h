#pragma once

#include "display/viewgeometry.h"
#include "regions/region.h"

#include <QPointF>
#include <QVector>
#include <QWidget>

#include <memory>

class QImage;
class QPixmap;

// The radar display: grid, scan field, point cloud and the regions of one group, with
// pointer readout, wheel zoom, right-button pan and left-button vertex dragging.
// The region page's instance holds the program's only region store.
class RadarIndicatorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit RadarIndicatorWidget(QWidget *parent = nullptr);
    ~RadarIndicatorWidget() override;

    void refresh();
    void drawCanvas();
    void zoomIn();
    void zoomOut();

    void setPointCloud(const QVector<QVector<QPointF>> &frames);
    void clearScreen();
    void setGraphType(int type);
    void setPointRadius(int radius);
    void setLineWidth(int width);
    void setPointColor(const QColor &color);
    void startSweep();
    void stopSweep();
    bool isSweeping() const;

    RegionStore &regions();
    RegionStore sortedRegions() const;
    void addRegionPoint(int groupIndex, int rgnIndex, QPointF point);
    void clearRegionPoints(int groupIndex, int rgnIndex);
    bool setRegionPoint(int groupIndex, int rgnIndex, int pointIndex, const QPointF &point);
    bool isPointInRange(const QPointF &point) const;
    void setAlarmPointNum(int groupIndex, int rgnIndex, int alarmPointNum);
    int alarmPointNum(int groupIndex, int rgnIndex) const;
    // True only when the file was sound and applied.
    bool loadRegions(const QString &path);
    // True only when the whole file was written.
    bool saveRegions(const QString &path) const;

    void setRegionsVisible(bool on);
    bool regionsVisible() const;
    void setCurrentGroupAndRegion(int g, int r);
    int currentGroupIndex() const;
    int currentRegionIndex() const;
    void thumbnail(QPixmap &out);

    const ViewGeometry &viewGeometry() const;
    const QImage &canvas() const;
    int selectedPointIndex() const;
    int sweepAngle() const;

signals:
    void updateRegionPoint(int groupIndex, int rgnIndex, int pointIndex, QPointF point);

protected:
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Private;

    void zoom(ViewGeometry::ZoomChange change);
    void showScale();
    void showReadout(const Readout &readout);
    void hoverVertex(const QPointF &pos);
    void dragVertex(const QPointF &pos);
    void forgetSelectedPoint();

    std::unique_ptr<Private> d;
};
