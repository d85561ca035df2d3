#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QVector>

#include <array>

// Pointer position read out in world units, as the label row shows it.
struct Readout
{
    int x = 0;        // mm, truncated toward zero
    int y = 0;        // mm, truncated toward zero
    int distance = 0; // mm, truncated
    double angle = 0; // degrees [0, 360)
};

// The radar view's arithmetic: scale steps, zoom, pan and the mapping between world
// millimetres (sensor at 0,0, y up) and canvas pixels. Knows nothing about widgets.
class ViewGeometry
{
public:
    enum class ZoomChange
    {
        None,      // the limit was reached; nothing changed
        CellSize,  // only the cell's pixel size changed
        ScaleStep, // the cell's millimetre size changed as well
    };

    static constexpr std::array<int, 8> scaleSteps{5000, 2000, 1000, 500, 200, 100, 50, 25};
    static constexpr double minCellPixels = 50.0;
    static constexpr double maxCellPixels = 100.0;
    static constexpr double cellPixelStep = 5.0;
    // The grid always covers +-40 000 mm around the sensor.
    static constexpr int gridSpanMillimetres = 80000;
    static constexpr double scanFieldStartAngle = -45.0;
    static constexpr double scanFieldEndAngle = 225.0;
    static constexpr double scanFieldRadius = 20000.0;

    ZoomChange zoomIn();
    ZoomChange zoomOut();

    // Same canvas, scale and pan: every pixel of the view lands in the same place.
    bool operator==(const ViewGeometry &other) const;
    bool operator!=(const ViewGeometry &other) const { return !(*this == other); }

    // A new canvas size puts the sensor back at the centre pixel (rounded up) and drops the pan.
    void setCanvasSize(const QSize &size);
    void pan(const QPointF &delta);

    QSize canvasSize() const { return m_canvasSize; }
    double cellPixels() const { return m_cellPixels; }
    double cellMillimetres() const { return scaleSteps[m_scaleStepIndex]; }
    int scaleStepIndex() const { return m_scaleStepIndex; }
    int gridLineCount() const { return m_gridLineCount; }
    QPointF panOffset() const { return m_panOffset; }
    QPointF origin() const { return m_centre + m_panOffset; }

    // The whole grid's square in pixels, centred on the sensor.
    QRectF gridRect() const;
    // Square around the sensor whose inscribed circle has the pixel length of `millimetres`.
    QRectF circleRect(double millimetres) const;
    QPointF toPixel(const QPointF &world) const;
    QPointF toWorld(const QPointF &pixel) const;
    Readout readoutAt(const QPointF &pixel) const;

    // x positions of a row of labels along the bottom edge, spread so the row ends
    // 40 px before the right edge.
    static QVector<int> labelRowPositions(int rowWidth, const QVector<int> &labelWidths);

private:
    void setScaleStep(int index);

    QSize m_canvasSize;
    QPointF m_centre;
    QPointF m_panOffset;
    double m_cellPixels = minCellPixels;
    int m_scaleStepIndex = 2;
    int m_gridLineCount = gridSpanMillimetres / scaleSteps[2] + 1;
};
