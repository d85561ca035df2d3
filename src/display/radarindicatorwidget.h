#pragma once

#include "display/viewgeometry.h"
#include "regions/alarmevaluation.h"
#include "regions/regiondocument.h"

#include <QPointF>
#include <QVector>
#include <QWidget>

#include <memory>

class QImage;
class QPainter;
class QPixmap;

// The radar display: grid, scan field, point cloud and the regions of one group, with
// pointer readout, wheel zoom and right-button pan. On the region page it edits the current
// region of its document with the mouse: a left drag moves a vertex, a double click on empty
// canvas adds one, a right click on a handle (or Delete while one is hovered) removes it.
class RadarIndicatorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit RadarIndicatorWidget(QWidget *parent = nullptr);
    ~RadarIndicatorWidget() override;

    void refresh();
    void drawCanvas();
    // The canvas's layers, drawn afresh on any painter: vector pictures come out as vectors.
    void paintScene(QPainter &painter) const;
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

    // The regions shown and edited with the mouse; without one the display shows none.
    // Set once, before the display is used.
    void setDocument(RegionDocument *document);

    // Another set's regions, outlined dashed over those of the current group; an empty store
    // ends the comparison.
    void setComparedRegions(const RegionStore &regions);

    void setRegionsVisible(bool on);
    bool regionsVisible() const;
    void setCurrentGroupAndRegion(int g, int r);
    int currentGroupIndex() const;
    int currentRegionIndex() const;
    void thumbnail(QPixmap &out);

    // The alarm view: the regions of `group` as the device holds them, over the point cloud;
    // an alarming one filled and outlined strongly, the points inside any of them in a
    // contrasting colour. Every revolution, and every change of the group, is evaluated.
    void setAlarmGroup(const RegionGroup &group);
    void setAlarmViewVisible(bool on);
    bool alarmViewVisible() const;
    QVector<RegionAlarmState> alarmStates() const;

    const ViewGeometry &viewGeometry() const;
    const QImage &canvas() const;
    int selectedPointIndex() const;
    int sweepAngle() const;

signals:
    // A double click asked for a vertex the region cannot take.
    void vertexRefused(RegionDocument::AddResult reason);
    // The alarm view evaluated the group against the revolution on display.
    void alarmEvaluated(const QVector<RegionAlarmState> &states);

protected:
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Private;

    void paintForeground(QPainter &painter) const;
    void zoom(ViewGeometry::ZoomChange change);
    void showScale();
    void showReadout(const Readout &readout);
    void hoverVertex(const QPointF &pos);
    void dragVertex(const QPointF &pos);
    void removeVertex(int pointIndex);
    void showRegionChange(int groupIndex, int rgnIndex);
    void forgetSelectedPoint();
    void evaluateAlarms();

    std::unique_ptr<Private> d;
};
