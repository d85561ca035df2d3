#include "display/radarindicatorwidget.h"

#include "display/radarlayers.h"

#include <QDebug>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int sweepIntervalMs = 125;
constexpr int sweepStepDegrees = 5;
constexpr int labelRowHeight = 20;
constexpr double thumbnailScale = 0.25;
// Points inside a region of the alarm view: cyan stands out from the white cloud and the
// regions' yellows and oranges alike.
const QColor pointInsideColor(0, 230, 255);

void setLabelText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize();
}

} // namespace

struct RadarIndicatorWidget::Private
{
    QImage canvas;
    Backdrop backdrop;
    CanvasStyle canvasStyle;
    ViewGeometry view;
    QFont labelFont;
    QLabel *scaleLabel = nullptr;
    QLabel *xLabel = nullptr;
    QLabel *yLabel = nullptr;
    QLabel *distanceLabel = nullptr;
    QLabel *angleLabel = nullptr;
    QPointF lastMousePos;
    QVector<QVector<QPointF>> pointCloud;
    QPointer<RegionDocument> document;
    RegionStore comparedRegions;
    bool sweeping = false;
    int sweepTimerId = 0;
    int sweepAngle = 0;
    PointCloudStyle cloudStyle;
    int groupIndex = 1;
    int regionIndex = 0;
    bool regionsVisible = true;
    int selectedPointIndex = -1;
    // Each left press on a handle starts a drag of its own, which is one undo step.
    int dragId = 0;
    // The vertex a right press landed on; removed at the release unless the press panned.
    int pendingRemoval = -1;
    bool alarmView = false;
    RegionGroup alarmGroup;
    AlarmEvaluator evaluator;
    QVector<RegionAlarmState> alarmStates;
    QVector<QPointF> pointsInside;

    bool editable() const { return regionsVisible && document; }
    Region currentRegion() const
    {
        return document ? document->region(groupIndex, regionIndex) : Region();
    }
    QVector<QLabel *> labelRow() const
    {
        return {scaleLabel, xLabel, yLabel, distanceLabel, angleLabel};
    }
};

RadarIndicatorWidget::RadarIndicatorWidget(QWidget *parent)
    : QWidget(parent), d(std::make_unique<Private>())
{
    d->labelFont = QFont(tr("华文细黑"), 10, QFont::Bold, false);
    const auto makeLabel = [this](const char *objectName) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(objectName));
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setStyleSheet(QStringLiteral("color:white;background-color: transparent;"));
        label->setFont(d->labelFont);
        return label;
    };
    d->scaleLabel = makeLabel("scaleLabel");
    d->xLabel = makeLabel("xLabel");
    d->yLabel = makeLabel("yLabel");
    d->distanceLabel = makeLabel("distanceLabel");
    d->angleLabel = makeLabel("angleLabel");
    showScale();
    d->scaleLabel->adjustSize();
    showReadout(Readout());
    setMouseTracking(true);
    // Focus on click or wheel, so that Delete reaches a hovered handle.
    setFocusPolicy(Qt::WheelFocus);
    // The canvas covers the whole widget, so nothing beneath it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

RadarIndicatorWidget::~RadarIndicatorWidget() = default;

void RadarIndicatorWidget::refresh()
{
    drawCanvas();
    update();
}

void RadarIndicatorWidget::drawCanvas()
{
    if (d->canvas.isNull())
        return;
    QPainter painter(&d->canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, d->backdrop.image(d->view, d->canvasStyle));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    paintForeground(painter);
}

void RadarIndicatorWidget::paintForeground(QPainter &painter) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    // Without regions the display shows only what the device can see.
    if (!d->regionsVisible)
        RadarLayers::clipToScanField(painter, d->view);
    RadarLayers::paintPointCloud(painter, d->view, d->cloudStyle, d->pointCloud);
    if (d->editable()) {
        RadarLayers::paintRegions(painter, d->view, d->document->store().value(d->groupIndex),
                                  d->regionIndex);
        if (!d->comparedRegions.isEmpty())
            RadarLayers::paintComparedRegions(painter, d->view,
                                              d->comparedRegions.value(d->groupIndex));
    }
    if (d->alarmView) {
        QVector<RadarLayers::AlarmRegion> regions;
        for (int rgnIndex = 0; rgnIndex < d->alarmGroup.size(); ++rgnIndex) {
            regions.append({d->evaluator.heldPolygon(rgnIndex), d->alarmGroup[rgnIndex].color,
                            d->alarmStates.value(rgnIndex).alarm});
        }
        RadarLayers::paintAlarmRegions(painter, d->view, regions);
        PointCloudStyle insideStyle = d->cloudStyle;
        insideStyle.graphType = 0;
        insideStyle.color = pointInsideColor;
        insideStyle.radius = std::max(d->cloudStyle.radius, 2);
        RadarLayers::paintPointCloud(painter, d->view, insideStyle, {d->pointsInside});
    }
}

void RadarIndicatorWidget::paintScene(QPainter &painter) const
{
    RadarLayers::paintBackdrop(painter, d->view, d->canvasStyle);
    paintForeground(painter);
}

void RadarIndicatorWidget::zoomIn()
{
    zoom(d->view.zoomIn());
}

void RadarIndicatorWidget::zoomOut()
{
    zoom(d->view.zoomOut());
}

void RadarIndicatorWidget::zoom(ViewGeometry::ZoomChange change)
{
    if (change == ViewGeometry::ZoomChange::None)
        return;
    if (change == ViewGeometry::ZoomChange::ScaleStep) {
        qDebug() << "grid_row_col:" << d->view.gridLineCount();
        showScale();
    }
    refresh();
}

void RadarIndicatorWidget::showScale()
{
    d->scaleLabel->setText(tr("刻度尺: %0mm").arg(d->view.cellMillimetres(), 0, 'g'));
}

void RadarIndicatorWidget::showReadout(const Readout &readout)
{
    setLabelText(d->xLabel, tr("X轴: %0mm").arg(readout.x));
    setLabelText(d->yLabel, tr("Y轴: %0mm").arg(readout.y));
    setLabelText(d->distanceLabel, tr("距离: %0mm").arg(readout.distance));
    setLabelText(d->angleLabel, tr("角度: %0°").arg(readout.angle, 0, 'f', 2));
}

void RadarIndicatorWidget::setPointCloud(const QVector<QVector<QPointF>> &frames)
{
    d->pointCloud = frames;
    evaluateAlarms();
    refresh();
}

void RadarIndicatorWidget::clearScreen()
{
    d->pointCloud.clear();
    evaluateAlarms();
    refresh();
}

void RadarIndicatorWidget::setAlarmGroup(const RegionGroup &group)
{
    d->alarmGroup = group;
    d->evaluator = AlarmEvaluator(group);
    evaluateAlarms();
    refresh();
}

void RadarIndicatorWidget::setAlarmViewVisible(bool on)
{
    d->alarmView = on;
    evaluateAlarms();
    refresh();
}

bool RadarIndicatorWidget::alarmViewVisible() const
{
    return d->alarmView;
}

QVector<RegionAlarmState> RadarIndicatorWidget::alarmStates() const
{
    return d->alarmStates;
}

void RadarIndicatorWidget::evaluateAlarms()
{
    d->pointsInside.clear();
    if (!d->alarmView) {
        d->alarmStates.clear();
        return;
    }
    d->alarmStates = d->evaluator.evaluate(d->pointCloud);
    for (const QVector<QPointF> &frame : qAsConst(d->pointCloud)) {
        for (const QPointF &point : frame) {
            if (d->evaluator.regionHolding(point) != -1)
                d->pointsInside.append(point);
        }
    }
    emit alarmEvaluated(d->alarmStates);
}

void RadarIndicatorWidget::setGraphType(int type)
{
    d->cloudStyle.graphType = type;
    refresh();
}

void RadarIndicatorWidget::setPointRadius(int radius)
{
    d->cloudStyle.radius = radius;
    refresh();
}

void RadarIndicatorWidget::setLineWidth(int width)
{
    d->cloudStyle.lineWidth = width;
    refresh();
}

void RadarIndicatorWidget::setPointColor(const QColor &color)
{
    d->cloudStyle.color = color;
    refresh();
}

void RadarIndicatorWidget::startSweep()
{
    // A second start would leave the first timer running with no id to stop it by.
    if (d->sweeping)
        return;
    d->sweeping = true;
    d->sweepTimerId = startTimer(sweepIntervalMs, Qt::CoarseTimer);
}

void RadarIndicatorWidget::stopSweep()
{
    if (d->sweepTimerId != 0)
        killTimer(d->sweepTimerId);
    d->sweepTimerId = 0;
    d->sweeping = false;
    update();
}

bool RadarIndicatorWidget::isSweeping() const
{
    return d->sweeping;
}

void RadarIndicatorWidget::setDocument(RegionDocument *document)
{
    d->document = document;
    connect(document, &RegionDocument::vertexMoved, this, [this](int groupIndex) {
        if (groupIndex == d->groupIndex)
            refresh();
    });
    connect(document, &RegionDocument::regionChanged, this,
            &RadarIndicatorWidget::showRegionChange);
    connect(document, &RegionDocument::storeReset, this, [this] {
        forgetSelectedPoint();
        refresh();
    });
    refresh();
}

void RadarIndicatorWidget::showRegionChange(int groupIndex, int rgnIndex)
{
    if (groupIndex != d->groupIndex)
        return;
    // Added or removed vertices shift the indexes after them.
    if (rgnIndex == d->regionIndex)
        forgetSelectedPoint();
    refresh();
}

void RadarIndicatorWidget::setRegionsVisible(bool on)
{
    d->regionsVisible = on;
    forgetSelectedPoint();
    refresh();
}

bool RadarIndicatorWidget::regionsVisible() const
{
    return d->regionsVisible;
}

void RadarIndicatorWidget::setComparedRegions(const RegionStore &regions)
{
    d->comparedRegions = regions;
    refresh();
}

void RadarIndicatorWidget::setCurrentGroupAndRegion(int g, int r)
{
    d->groupIndex = g;
    d->regionIndex = r;
    forgetSelectedPoint();
    refresh();
}

int RadarIndicatorWidget::currentGroupIndex() const
{
    return d->groupIndex;
}

int RadarIndicatorWidget::currentRegionIndex() const
{
    return d->regionIndex;
}

void RadarIndicatorWidget::thumbnail(QPixmap &out)
{
    const int pictureHeight = height() - labelRowHeight;
    out = grab(QRect(0, 0, width(), pictureHeight))
              .scaled(int(width() * thumbnailScale), int(pictureHeight * thumbnailScale),
                      Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

const ViewGeometry &RadarIndicatorWidget::viewGeometry() const
{
    return d->view;
}

const QImage &RadarIndicatorWidget::canvas() const
{
    return d->canvas;
}

int RadarIndicatorWidget::selectedPointIndex() const
{
    return d->selectedPointIndex;
}

int RadarIndicatorWidget::sweepAngle() const
{
    return d->sweepAngle;
}

// A vertex index survives only as long as the region it points into stays the same.
void RadarIndicatorWidget::forgetSelectedPoint()
{
    d->selectedPointIndex = -1;
}

void RadarIndicatorWidget::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != d->sweepTimerId) {
        QWidget::timerEvent(event);
        return;
    }
    d->sweepAngle += sweepStepDegrees;
    if (d->sweepAngle >= 360)
        d->sweepAngle = 0;
    update();
}

void RadarIndicatorWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        setCursor(Qt::OpenHandCursor);
        d->lastMousePos = event->pos();
        d->pendingRemoval = d->regionsVisible ? d->selectedPointIndex : -1;
    } else if (event->button() == Qt::LeftButton) {
        if (d->selectedPointIndex != -1 && d->regionsVisible) {
            d->lastMousePos = event->pos();
            ++d->dragId;
        }
    }
}

void RadarIndicatorWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton)
        return;
    setCursor(Qt::ArrowCursor);
    removeVertex(std::exchange(d->pendingRemoval, -1));
}

void RadarIndicatorWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !d->editable() || d->selectedPointIndex != -1)
        return;
    // Whole millimetres, so the editor's table shows the vertex exactly as stored; +0.0 turns
    // a rounded -0 into 0.
    const QPointF world = d->view.toWorld(event->pos());
    const QPointF vertex(std::round(world.x()) + 0.0, std::round(world.y()) + 0.0);
    const RegionDocument::AddResult result =
        d->document->addVertex(d->groupIndex, d->regionIndex, vertex);
    if (result != RegionDocument::AddResult::Added)
        emit vertexRefused(result);
}

void RadarIndicatorWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && d->selectedPointIndex != -1)
        removeVertex(d->selectedPointIndex);
    else
        QWidget::keyPressEvent(event);
}

void RadarIndicatorWidget::leaveEvent(QEvent *event)
{
    // Nothing is hovered once the pointer has gone (Qt holds the leave back during a drag).
    if (d->selectedPointIndex != -1) {
        forgetSelectedPoint();
        update();
    }
    QWidget::leaveEvent(event);
}

void RadarIndicatorWidget::removeVertex(int pointIndex)
{
    if (pointIndex != -1 && d->editable())
        d->document->removeVertex(d->groupIndex, d->regionIndex, pointIndex);
}

void RadarIndicatorWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF pos = event->pos();
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons == Qt::RightButton) {
        // A right press that moves is a pan, never a removal.
        if (pos != d->lastMousePos)
            d->pendingRemoval = -1;
        setCursor(Qt::ClosedHandCursor);
        d->view.pan(pos - d->lastMousePos);
        d->lastMousePos = pos;
        refresh();
    } else if (buttons == Qt::NoButton) {
        showReadout(d->view.readoutAt(pos));
        if (d->regionsVisible)
            hoverVertex(pos);
    } else if (buttons == Qt::LeftButton) {
        dragVertex(pos);
    }
}

void RadarIndicatorWidget::hoverVertex(const QPointF &pos)
{
    const QPolygonF points = d->currentRegion().polygon;
    if (points.isEmpty())
        return;
    const double half = RadarLayers::handleHalfSize;
    int hovered = -1;
    // Where handles overlap, the one drawn last (the highest index) is taken.
    for (int k = points.size() - 1; k >= 0 && hovered == -1; --k) {
        const QPointF pixel = d->view.toPixel(points[k]);
        if (QRectF(pixel.x() - half, pixel.y() - half, 2 * half, 2 * half).contains(pos))
            hovered = k;
    }
    setCursor(hovered == -1 ? Qt::ArrowCursor : Qt::SizeAllCursor);
    if (hovered != d->selectedPointIndex) {
        d->selectedPointIndex = hovered;
        update(); // the hovered handle is highlighted over the canvas
    }
}

void RadarIndicatorWidget::dragVertex(const QPointF &pos)
{
    const int index = d->selectedPointIndex;
    if (index == -1 || !d->editable())
        return;
    const QPolygonF points = d->currentRegion().polygon;
    if (index >= points.size())
        return;
    // Only the pointer's movement counts, so a vertex held back at the range limit
    // continues from where it stopped.
    const QPointF delta = pos - d->lastMousePos;
    const QPointF moved(
        points[index].x() + delta.x() / d->view.cellPixels() * d->view.cellMillimetres(),
        points[index].y() - delta.y() / d->view.cellPixels() * d->view.cellMillimetres());
    d->document->setVertex(d->groupIndex, d->regionIndex, index, moved, d->dragId);
    d->lastMousePos = pos;
}

void RadarIndicatorWidget::wheelEvent(QWheelEvent *event)
{
    if (event->angleDelta().y() > 0)
        zoomIn();
    else
        zoomOut();
}

void RadarIndicatorWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (!d->canvas.isNull())
        painter.drawImage(event->rect(), d->canvas, event->rect());
    if (d->sweeping)
        RadarLayers::paintSweep(painter, d->view, d->sweepAngle);
    const QPolygonF points = d->currentRegion().polygon;
    const int hovered = d->selectedPointIndex;
    if (d->editable() && hovered >= 0 && hovered < points.size())
        RadarLayers::paintHoveredHandle(painter, d->view, points.at(hovered), hovered + 1,
                                        d->labelFont);
}

void RadarIndicatorWidget::resizeEvent(QResizeEvent *event)
{
    const QSize size = event->size();
    d->view.setCanvasSize(size);
    d->canvas = QImage(size, QImage::Format_ARGB32_Premultiplied);
    drawCanvas();

    const QVector<QLabel *> labels = d->labelRow();
    QVector<int> widths;
    for (const QLabel *label : labels)
        widths.append(label->width());
    const QVector<int> positions = ViewGeometry::labelRowPositions(size.width(), widths);
    for (int i = 0; i < labels.size(); ++i)
        labels[i]->move(positions[i], size.height() - labelRowHeight);
}
