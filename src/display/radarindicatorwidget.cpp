#include "display/radarindicatorwidget.h"

#include "display/radarlayers.h"
#include "regions/regionfile.h"

#include <QDebug>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimerEvent>
#include <QWheelEvent>

namespace {

constexpr int sweepIntervalMs = 125;
constexpr int sweepStepDegrees = 5;
constexpr int labelRowHeight = 20;
constexpr double thumbnailScale = 0.25;

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
    RegionStore store = Regions::initialStore();
    bool sweeping = false;
    int sweepTimerId = 0;
    int sweepAngle = 0;
    PointCloudStyle cloudStyle;
    int groupIndex = 1;
    int regionIndex = 0;
    bool regionsVisible = true;
    int selectedPointIndex = -1;

    Region currentRegion() const { return store.value(groupIndex).value(regionIndex); }
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
    painter.setRenderHint(QPainter::Antialiasing);
    // Without regions the display shows only what the device can see.
    if (!d->regionsVisible)
        RadarLayers::clipToScanField(painter, d->view);
    RadarLayers::paintPointCloud(painter, d->view, d->cloudStyle, d->pointCloud);
    if (d->regionsVisible)
        RadarLayers::paintRegions(painter, d->view, d->store.value(d->groupIndex), d->regionIndex);
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
    refresh();
}

void RadarIndicatorWidget::clearScreen()
{
    d->pointCloud.clear();
    refresh();
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

RegionStore &RadarIndicatorWidget::regions()
{
    return d->store;
}

RegionStore RadarIndicatorWidget::sortedRegions() const
{
    return Regions::sortedRegions(d->store);
}

void RadarIndicatorWidget::addRegionPoint(int groupIndex, int rgnIndex, QPointF point)
{
    d->store[groupIndex][rgnIndex].polygon.append(point);
    forgetSelectedPoint();
    refresh();
}

void RadarIndicatorWidget::clearRegionPoints(int groupIndex, int rgnIndex)
{
    d->store[groupIndex][rgnIndex].polygon.clear();
    forgetSelectedPoint();
    refresh();
}

bool RadarIndicatorWidget::setRegionPoint(int groupIndex, int rgnIndex, int pointIndex,
                                          const QPointF &point)
{
    QPolygonF &polygon = d->store[groupIndex][rgnIndex].polygon;
    if (pointIndex < 0 || pointIndex >= polygon.size() || !isPointInRange(point))
        return false;
    polygon[pointIndex] = point;
    refresh();
    return true;
}

bool RadarIndicatorWidget::isPointInRange(const QPointF &point) const
{
    return Regions::isPointInRange(point);
}

void RadarIndicatorWidget::setAlarmPointNum(int groupIndex, int rgnIndex, int alarmPointNum)
{
    d->store[groupIndex][rgnIndex].alarmPointNum = alarmPointNum;
}

int RadarIndicatorWidget::alarmPointNum(int groupIndex, int rgnIndex) const
{
    return d->store.value(groupIndex).value(rgnIndex).alarmPointNum;
}

bool RadarIndicatorWidget::loadRegions(const QString &path)
{
    if (!RegionFile::load(path, d->store))
        return false;
    forgetSelectedPoint();
    refresh();
    return true;
}

bool RadarIndicatorWidget::saveRegions(const QString &path) const
{
    return RegionFile::save(d->store, path);
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
    } else if (event->button() == Qt::LeftButton) {
        if (d->selectedPointIndex != -1 && d->regionsVisible)
            d->lastMousePos = event->pos();
    }
}

void RadarIndicatorWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        setCursor(Qt::ArrowCursor);
}

void RadarIndicatorWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF pos = event->pos();
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons == Qt::RightButton) {
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
    d->selectedPointIndex = hovered;
    setCursor(hovered == -1 ? Qt::ArrowCursor : Qt::SizeAllCursor);
}

void RadarIndicatorWidget::dragVertex(const QPointF &pos)
{
    const int index = d->selectedPointIndex;
    if (index == -1 || !d->regionsVisible)
        return;
    const QPolygonF points = d->currentRegion().polygon;
    // The store can also change in place through regions(); never follow a vanished vertex.
    if (index >= points.size())
        return;
    // Only the pointer's movement counts, so a vertex held back at the range limit
    // continues from where it stopped.
    const QPointF delta = pos - d->lastMousePos;
    const QPointF moved(
        points[index].x() + delta.x() / d->view.cellPixels() * d->view.cellMillimetres(),
        points[index].y() - delta.y() / d->view.cellPixels() * d->view.cellMillimetres());
    if (setRegionPoint(d->groupIndex, d->regionIndex, index, moved))
        emit updateRegionPoint(d->groupIndex, d->regionIndex, index, moved);
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
