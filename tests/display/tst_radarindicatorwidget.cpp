#include "displaytestsupport.h"

#include "display/radarlayers.h"

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QWheelEvent>
#include <QtTest>

using namespace DisplayTest;

namespace {

const QColor background = CanvasStyle().background;
const char *const labelRow[] = {"scaleLabel", "xLabel", "yLabel", "distanceLabel", "angleLabel"};

bool isRed(const QColor &color)
{
    return color == QColor(255, 0, 0);
}

// A shown display drawing the given frames as red dots of `radius` pixels.
std::unique_ptr<RadarIndicatorWidget> redCloud(const QSize &size, int radius,
                                               const QVector<QVector<QPointF>> &frames)
{
    auto widget = shownWidget(size);
    widget->setPointColor(Qt::red);
    widget->setPointRadius(radius);
    widget->setPointCloud(frames);
    return widget;
}

} // namespace

// The zoom arithmetic itself is tst_viewgeometry's; here it is reached through the wheel.
class TestRadarIndicatorWidget : public QObject
{
    Q_OBJECT
private slots:
    // Wheel notches of one angle delta keep the sensor in place; then a hover `offset` pixels
    // from the sensor fills the label row.
    void wheelZoomAndReadout()
    {
        const std::tuple<QPoint, int, QPoint, const char *> cases[] = {
            {{}, 0, {-1, -1}, "刻度尺: 1000mm|X轴: -20mm|Y轴: 20mm|距离: 28mm|角度: 135.00°"},
            // A tiny delta is a whole notch; 3 px at 55 px per 1000 mm is -54.5 mm, cut
            // toward zero.
            {{0, 1}, 1, {-3, 3}, "刻度尺: 1000mm|X轴: -54mm|Y轴: -54mm|距离: 77mm|角度: 225.00°"},
            {{0, 120}, 11, {10, 0}, "刻度尺: 500mm|X轴: 100mm|Y轴: 0mm|距离: 100mm|角度: 0.00°"},
            // A horizontal scroll zooms out.
            {{120, 0}, 1, {0, 1}, "刻度尺: 2000mm|X轴: 0mm|Y轴: -20mm|距离: 20mm|角度: 270.00°"}};
        for (const auto &[angleDelta, notches, offset, expected] : cases) {
            const auto widget = shownWidget(QSize(600, 400));
            QWheelEvent wheel({10, 10}, widget->mapToGlobal({10, 10}), {}, angleDelta, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            for (int i = 0; i < notches; ++i)
                QApplication::sendEvent(widget.get(), &wheel);
            QCOMPARE(widget->viewGeometry().origin(), QPointF(300, 200));
            hover(widget.get(), widget->viewGeometry().origin() + offset);
            QStringList texts;
            for (const char *name : labelRow)
                texts << widget->findChild<QLabel *>(name)->text();
            QCOMPARE(texts.join(QLatin1Char('|')), QString::fromUtf8(expected));
        }
    }

    void rightButtonPansAndResizeResets()
    {
        const auto widget = shownWidget(QSize(600, 400), 1);
        widget->setPointCloud({{QPointF(1500, 2500), QPointF(-3000, 1200)}});
        const QImage before = widget->canvas().copy();

        press(widget.get(), {100, 100}, Qt::RightButton);
        drag(widget.get(), {120, 110}, Qt::RightButton);
        QCOMPARE(widget->cursor().shape(), Qt::ClosedHandCursor);
        drag(widget.get(), {130, 115}, Qt::RightButton);
        sendMouse(widget.get(), QEvent::MouseButtonRelease, {130, 115}, Qt::RightButton,
                  Qt::NoButton);
        QCOMPARE(widget->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(widget->viewGeometry().origin(), QPointF(330, 215));
        // Grid, field, axes and cloud all moved by the same 30 x 15 pixels.
        QCOMPARE(widget->canvas().copy(30, 15, 570, 385), before.copy(0, 0, 570, 385));

        // With both buttons held the pointer neither pans nor updates the readout.
        const Qt::MouseButtons both = Qt::LeftButton | Qt::RightButton;
        press(widget.get(), {100, 100}, Qt::RightButton);
        sendMouse(widget.get(), QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, both);
        drag(widget.get(), {150, 150}, both);
        QCOMPARE(widget->viewGeometry().origin(), QPointF(330, 215));
        QCOMPARE(widget->findChild<QLabel *>("xLabel")->text(), QStringLiteral("X轴: 0mm"));

        // An odd size puts the sensor on the larger half and drops the pan.
        widget->resize(501, 301);
        QCOMPARE(widget->viewGeometry().origin(), QPointF(251, 151));
        QCOMPARE(widget->canvas().size(), QSize(501, 301));
    }

    // The fixed layers are kept between redraws; each way of changing the view must renew them.
    // Clearing the screen must drop the cloud and keep exactly those layers: the blind wedge
    // below the sensor, the shaded field above, grid lines one cell apart and the brighter
    // axis through the sensor.
    void backdropFollowsEveryViewChange()
    {
        // Zoom notches (negative: out), a right-button pan, a new size; last the finest scale.
        const std::tuple<int, QPoint, QSize> changes[] = {{3, {}, {600, 600}},
                                                          {-1, {}, {600, 600}},
                                                          {0, {37, -21}, {600, 600}},
                                                          {0, {}, {501, 333}},
                                                          {60, {}, {600, 600}}};
        for (const auto &[zoomNotches, panBy, resizeTo] : changes) {
            const auto widget = shownWidget(QSize(600, 600));
            widget->setPointRadius(6);
            widget->setPointCloud({{QPointF(5, 5)}});
            widget->resize(resizeTo);
            for (int i = 0; i < qAbs(zoomNotches); ++i)
                zoomNotches > 0 ? widget->zoomIn() : widget->zoomOut();
            press(widget.get(), {100, 100}, Qt::RightButton);
            drag(widget.get(), QPointF(100, 100) + panBy, Qt::RightButton);
            const QImage backdrop = Backdrop().image(widget->viewGeometry(), CanvasStyle());
            QVERIFY(widget->canvas() != backdrop);
            widget->clearScreen();
            QCOMPARE(widget->canvas(), backdrop);

            const QPoint origin = widget->viewGeometry().origin().toPoint();
            const int cell = int(widget->viewGeometry().cellPixels());
            const auto at = [&](int x, int y) {
                return backdrop.pixelColor(origin + QPoint(x, y));
            };
            const int below = 2 * cell + cell / 5;
            QCOMPARE(at(cell / 2, below), background);
            const QColor field = at(cell / 2, -below);
            QVERIFY(field != background);
            QCOMPARE(at(cell + cell / 2, -(cell / 5)), field);
            const QColor onLine = at(cell, below);
            QVERIFY(onLine.red() > background.red() + 20);
            QCOMPARE(at(-cell, below), onLine);
            QVERIFY(at(0, below).red() > onLine.red());
        }
    }

    // Clipped to the field only while regions are hidden; lines join the points of a frame,
    // never two frames; a 50 px dot at two scales is 48 whole pixels across its middle row,
    // its edges anti-aliased; the thumbnail shows it.
    void pointCloudDrawingAndThumbnail()
    {
        const QPointF behind(1100, -4100), ahead(1100, 4100);
        const auto clipped = redCloud(QSize(600, 600), 4, {{behind, ahead}});
        QVERIFY(isRed(canvasColorAt(*clipped, behind)));
        clipped->setRegionsVisible(false);
        QCOMPARE(canvasColorAt(*clipped, behind), background);
        QVERIFY(isRed(canvasColorAt(*clipped, ahead)));

        const auto lines = redCloud(QSize(800, 600), 3,
                                    {{QPointF(1000, 3110), QPointF(3000, 3110)},
                                     {QPointF(5000, 3110), QPointF(7000, 3110)},
                                     {QPointF(-2000, 3110)}});
        const auto onLine = [&](double x) { return isRed(canvasColorAt(*lines, {x, 3110})); };
        lines->setLineWidth(3);
        lines->setGraphType(1);
        QVERIFY(onLine(2000) && onLine(6000));
        QVERIFY(!onLine(4000) && !onLine(-2000));
        lines->setGraphType(0);
        QVERIFY(!onLine(2000) && onLine(-2000));

        const QPointF point(400, 1600);
        const auto dot = redCloud(QSize(600, 600), 25, {{point}});
        for (int notches : {0, 7}) {
            for (int i = 0; i < notches; ++i)
                dot->zoomIn();
            const QPoint centre = pixelOf(*dot, point);
            const auto redAt = [&](int x, int y) {
                return isRed(dot->canvas().pixelColor(centre + QPoint(x, y)));
            };
            QVERIFY(redAt(-24, 0) && redAt(23, 0) && redAt(0, -24));
            QVERIFY(!redAt(-27, 0) && !redAt(26, 0) && !redAt(18, 18));
        }
        // The thumbnail is the picture without the label row, whose labels sit side by side
        // along the bottom and let the pointer through to the display.
        const auto thumbnailed = redCloud(QSize(802, 322), 20, {{QPointF(0, 2000)}});
        QPixmap thumbnail;
        thumbnailed->thumbnail(thumbnail);
        QCOMPARE(thumbnail.size(), QSize(200, 75));
        QVERIFY(isRed(thumbnail.toImage().pixelColor(pixelOf(*thumbnailed, {0, 2000}) / 4)));
        int previousRight = -1;
        for (const char *name : labelRow) {
            const QLabel *label = thumbnailed->findChild<QLabel *>(QLatin1String(name));
            QCOMPARE(label->y(), 322 - 20);
            QVERIFY(label->x() > previousRight);
            QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
            previousRight = label->geometry().right();
        }
    }

    // The sweep is painted over the canvas, never into it, on one timer that a second start
    // must not leave running behind.
    void sweepRunsOnOneTimerOverTheCanvas()
    {
        const auto widget = shownWidget(QSize(400, 400));
        const auto timers = [&] {
            return QAbstractEventDispatcher::instance()->registeredTimers(widget.get()).size();
        };
        const QImage canvas = widget->canvas().copy();
        const QRect picture(0, 0, 400, 380);
        const auto shownPicture = [&] {
            return widget->grab(picture).toImage().convertToFormat(canvas.format());
        };
        for (int run = 0; run < 2; ++run) {
            widget->startSweep();
            widget->startSweep();
            QCOMPARE(timers(), 1);
            QTRY_VERIFY(widget->sweepAngle() >= 10);
            QVERIFY(shownPicture() != canvas.copy(picture));
            QCOMPARE(widget->canvas(), canvas);
            widget->stopSweep();
            QCOMPARE(timers(), 0);
            QCOMPARE(shownPicture(), canvas.copy(picture));
        }
    }
};

QTEST_MAIN(TestRadarIndicatorWidget)
#include "tst_radarindicatorwidget.moc"
