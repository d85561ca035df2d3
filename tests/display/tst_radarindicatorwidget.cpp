#include "displaytestsupport.h"

#include "display/radarlayers.h"

#include <QAbstractEventDispatcher>
#include <QtTest>

using namespace DisplayTest;

namespace {

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
    void labelRowSpreadsAlongTheBottom()
    {
        const auto widget = shownWidget(QSize(801, 601));
        QCOMPARE(labelText(*widget, "angleLabel"), QStringLiteral("角度: 0.00°"));
        int previousRight = -1;
        for (const char *name : labelRow) {
            const QLabel *label = widget->findChild<QLabel *>(QLatin1String(name));
            QCOMPARE(label->y(), 601 - 20);
            QVERIFY(label->x() > previousRight);
            QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
            previousRight = label->geometry().right();
        }
        QVERIFY(qAbs(previousRight + 1 - (801 - 40)) <= 1);
    }

    // Wheel notches keep the sensor in place; then a hover `offset` pixels from the sensor.
    void wheelZoomAndReadout_data()
    {
        QTest::addColumn<QPoint>("angleDelta");
        QTest::addColumn<int>("notches");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QString>("texts");
        QTest::newRow("on the sensor") << QPoint() << 0 << QPoint(0, 0)
                                       << "刻度尺: 1000mm|X轴: 0mm|Y轴: 0mm|距离: 0mm|角度: 0.00°";
        QTest::newRow("one up-left")
            << QPoint() << 0 << QPoint(-1, -1)
            << "刻度尺: 1000mm|X轴: -20mm|Y轴: 20mm|距离: 28mm|角度: 135.00°";
        // A tiny delta is a whole notch; 3 px at 55 px per 1000 mm is -54.5 mm, cut toward zero.
        QTest::newRow("tiny delta, truncated")
            << QPoint(0, 1) << 1 << QPoint(-3, 3)
            << "刻度尺: 1000mm|X轴: -54mm|Y轴: -54mm|距离: 77mm|角度: 225.00°";
        QTest::newRow("eleven in") << QPoint(0, 120) << 11 << QPoint(10, 0)
                                   << "刻度尺: 500mm|X轴: 100mm|Y轴: 0mm|距离: 100mm|角度: 0.00°";
        QTest::newRow("one out") << QPoint(0, -120) << 1 << QPoint(0, 10)
                                 << "刻度尺: 2000mm|X轴: 0mm|Y轴: -200mm|距离: 200mm|角度: 270.00°";
        QTest::newRow("horizontal scroll zooms out")
            << QPoint(120, 0) << 1 << QPoint(-10, 0)
            << "刻度尺: 2000mm|X轴: -200mm|Y轴: 0mm|距离: 200mm|角度: 180.00°";
    }
    void wheelZoomAndReadout()
    {
        QFETCH(QPoint, angleDelta);
        QFETCH(int, notches);
        QFETCH(QPoint, offset);
        const auto widget = shownWidget(QSize(600, 400));
        for (int i = 0; i < notches; ++i)
            sendWheel(widget.get(), angleDelta);
        QCOMPARE(widget->viewGeometry().origin(), QPointF(300, 200));
        hover(widget.get(), widget->viewGeometry().origin() + offset);
        QStringList texts;
        for (const char *name : labelRow)
            texts << labelText(*widget, name);
        QTEST(texts.join(QLatin1Char('|')), "texts");
    }

    void rightButtonPansAndResizeResets()
    {
        const auto widget = shownWidget(QSize(600, 400), 1);
        widget->setPointCloud({{QPointF(1500, 2500), QPointF(-3000, 1200)}});
        const QImage before = widget->canvas().copy();

        press(widget.get(), {100, 100}, Qt::RightButton);
        QCOMPARE(widget->cursor().shape(), Qt::OpenHandCursor);
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
        QCOMPARE(labelText(*widget, "xLabel"), QStringLiteral("X轴: 0mm"));

        // An odd size puts the sensor on the larger half.
        widget->resize(501, 301);
        QCOMPARE(widget->viewGeometry().origin(), QPointF(251, 151));
        QCOMPARE(widget->viewGeometry().cellPixels(), 55.0);
        QCOMPARE(widget->canvas().size(), QSize(501, 301));
    }

    // The fixed layers are kept between redraws; each way of changing the view must renew them.
    // Clearing the screen must drop the cloud and keep exactly those layers.
    void backdropFollowsEveryViewChange_data()
    {
        QTest::addColumn<int>("zoomNotches"); // negative: out
        QTest::addColumn<QPoint>("panBy");
        QTest::addColumn<QSize>("resizeTo");
        const QSize unchanged(600, 400);
        QTest::newRow("cell size") << 3 << QPoint() << unchanged;
        QTest::newRow("scale step in") << 13 << QPoint() << unchanged;
        QTest::newRow("scale step out") << -1 << QPoint() << unchanged;
        QTest::newRow("pan") << 0 << QPoint(37, -21) << unchanged;
        QTest::newRow("resize") << 0 << QPoint() << QSize(501, 333);
    }
    void backdropFollowsEveryViewChange()
    {
        QFETCH(int, zoomNotches);
        QFETCH(QPoint, panBy);
        QFETCH(QSize, resizeTo);
        const auto widget = shownWidget(QSize(600, 400));
        widget->setPointRadius(6);
        widget->setPointCloud({{QPointF(500, 500)}});
        widget->resize(resizeTo);
        for (int i = 0; i < qAbs(zoomNotches); ++i)
            zoomNotches > 0 ? widget->zoomIn() : widget->zoomOut();
        press(widget.get(), {100, 100}, Qt::RightButton);
        drag(widget.get(), QPointF(100, 100) + panBy, Qt::RightButton);
        const QImage backdrop = Backdrop().image(widget->viewGeometry(), CanvasStyle());
        QVERIFY(widget->canvas() != backdrop);
        widget->clearScreen();
        QCOMPARE(widget->canvas(), backdrop);
    }

    void gridAndBlindWedge()
    {
        const auto widget = shownWidget(QSize(600, 600));
        for (int notches : {0, 60}) { // the start scale, then the finest
            for (int i = 0; i < notches; ++i)
                widget->zoomIn();
            const QImage &canvas = widget->canvas();
            const QPoint origin = widget->viewGeometry().origin().toPoint();
            const int cell = int(widget->viewGeometry().cellPixels());

            // Straight down lies in the blind wedge, straight up in the shaded field.
            const QPoint below = origin + QPoint(cell / 2, 2 * cell + cell / 5);
            const QPoint above = origin + QPoint(cell / 2, -(2 * cell + cell / 5));
            QCOMPARE(canvas.pixelColor(below), background);
            const QColor field = canvas.pixelColor(above);
            QVERIFY(field != background);
            QCOMPARE(canvas.pixelColor(origin + QPoint(cell + cell / 2, -(cell / 5))), field);

            // Grid lines one cell apart and nothing between them.
            const QColor onLine = canvas.pixelColor(QPoint(origin.x() + cell, below.y()));
            QVERIFY(onLine.red() > background.red() + 20);
            QCOMPARE(canvas.pixelColor(QPoint(origin.x() - cell, below.y())), onLine);
            QCOMPARE(canvas.pixelColor(QPoint(origin.x() + cell / 2, below.y())), background);
            // The vertical axis through the sensor is brighter than the grid.
            QVERIFY(canvas.pixelColor(QPoint(origin.x(), below.y())).red() > onLine.red());
        }
    }

    void cloudClippedOnlyWithoutRegions()
    {
        const QPointF behind(1100, -4100);
        const QPointF ahead(1100, 4100);
        const auto widget = redCloud(QSize(600, 600), 4, {{behind, ahead}});
        QVERIFY(isRed(canvasColorAt(*widget, behind)));
        QVERIFY(isRed(canvasColorAt(*widget, ahead)));
        widget->setRegionsVisible(false);
        QCOMPARE(canvasColorAt(*widget, behind), background);
        QVERIFY(isRed(canvasColorAt(*widget, ahead)));
    }

    void lineModeNeverJoinsFrames()
    {
        const auto widget = redCloud(QSize(800, 600), 3,
                                     {{QPointF(1000, 3110), QPointF(3000, 3110)},
                                      {QPointF(5000, 3110), QPointF(7000, 3110)},
                                      {QPointF(-2000, 3110)}});
        const auto redAt = [&](double x) { return isRed(canvasColorAt(*widget, {x, 3110})); };
        widget->setLineWidth(3);
        widget->setGraphType(1);
        QVERIFY(redAt(2000) && redAt(6000));
        QVERIFY(!redAt(4000) && !redAt(-2000));
        widget->setGraphType(0);
        QVERIFY(!redAt(2000) && redAt(-2000));
    }

    void dotRadiusIsInPixels()
    {
        const QPointF point(400, 1600);
        const auto widget = redCloud(QSize(600, 600), 25, {{point}});
        for (int notches : {0, 7}) {
            for (int i = 0; i < notches; ++i)
                widget->zoomIn();
            const QPoint centre = pixelOf(*widget, point);
            const auto redAt = [&](int x, int y) {
                return isRed(widget->canvas().pixelColor(centre + QPoint(x, y)));
            };
            // A 50 px dot: 48 whole pixels across its middle row, anti-aliased edges beyond.
            QVERIFY(redAt(-24, 0) && redAt(23, 0) && redAt(0, -24));
            QVERIFY(!redAt(-27, 0) && !redAt(26, 0) && !redAt(18, 18));
        }
    }

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

        // A second start must not leave a timer behind that nothing can stop.
        widget->startSweep();
        widget->startSweep();
        QCOMPARE(timers(), 1);
        QTRY_VERIFY(widget->sweepAngle() >= 10);
        // The sweep is painted over the canvas, never into it.
        QCOMPARE(widget->canvas(), canvas);
        QVERIFY(shownPicture() != canvas.copy(picture));

        widget->stopSweep();
        QCOMPARE(timers(), 0);
        QCOMPARE(shownPicture(), canvas.copy(picture));
        widget->startSweep();
        QCOMPARE(timers(), 1);
        widget->stopSweep();
    }

    void thumbnailLeavesOutLabelRow()
    {
        const auto widget = redCloud(QSize(402, 322), 20, {{QPointF(0, 2000)}});
        QPixmap thumbnail;
        widget->thumbnail(thumbnail);
        QCOMPARE(thumbnail.size(), QSize(100, 75));
        const QPoint dot = pixelOf(*widget, QPointF(0, 2000));
        QVERIFY(isRed(thumbnail.toImage().pixelColor(dot / 4)));
    }
};

QTEST_MAIN(TestRadarIndicatorWidget)
#include "tst_radarindicatorwidget.moc"
