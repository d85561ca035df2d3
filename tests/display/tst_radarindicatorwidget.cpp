#include "displaytestsupport.h"

#include "display/radarlayers.h"

#include <QtTest>

using namespace DisplayTest;

namespace {

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
    void startsWithSensorCentredAndLabelRow()
    {
        const auto widget = shownWidget(QSize(801, 601));
        QCOMPARE(widget->viewGeometry().origin(), QPointF(401, 301));
        QCOMPARE(widget->canvas().size(), QSize(801, 601));
        QCOMPARE(labelText(*widget, "scaleLabel"), QStringLiteral("刻度尺: 1000mm"));
        QCOMPARE(labelText(*widget, "angleLabel"), QStringLiteral("角度: 0.00°"));
        int previousRight = -1;
        for (const char *name : {"scaleLabel", "xLabel", "yLabel", "distanceLabel", "angleLabel"}) {
            const QLabel *label = widget->findChild<QLabel *>(QLatin1String(name));
            QCOMPARE(label->y(), 601 - 20);
            QVERIFY(label->x() > previousRight);
            QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
            previousRight = label->geometry().right();
        }
        QVERIFY(qAbs(previousRight + 1 - (801 - 40)) <= 1);
    }

    void wheelZoomKeepsSensorAndShowsScale_data()
    {
        QTest::addColumn<QPoint>("angleDelta");
        QTest::addColumn<int>("notches");
        QTest::addColumn<int>("cellMillimetres");
        QTest::newRow("eleven in") << QPoint(0, 120) << 11 << 500;
        QTest::newRow("tiny delta is a whole step") << QPoint(0, 1) << 11 << 500;
        QTest::newRow("one out") << QPoint(0, -120) << 1 << 2000;
        QTest::newRow("horizontal scroll zooms out") << QPoint(120, 0) << 1 << 2000;
        QTest::newRow("stops at the finest") << QPoint(0, 120) << 70 << 25;
        QTest::newRow("stops at the coarsest") << QPoint(0, -120) << 100 << 5000;
    }
    void wheelZoomKeepsSensorAndShowsScale()
    {
        QFETCH(QPoint, angleDelta);
        QFETCH(int, notches);
        QFETCH(int, cellMillimetres);
        const auto widget = shownWidget(QSize(600, 400));
        for (int i = 0; i < notches; ++i)
            sendWheel(widget.get(), angleDelta);
        QCOMPARE(widget->viewGeometry().cellMillimetres(), double(cellMillimetres));
        QCOMPARE(widget->viewGeometry().origin(), QPointF(300, 200));
        QCOMPARE(labelText(*widget, "scaleLabel"),
                 QStringLiteral("刻度尺: %1mm").arg(cellMillimetres));
    }

    void readoutFollowsPointer_data()
    {
        QTest::addColumn<int>("zoomNotches");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QString>("texts");
        QTest::newRow("on the sensor")
            << 0 << QPoint(0, 0) << "X轴: 0mm|Y轴: 0mm|距离: 0mm|角度: 0.00°";
        QTest::newRow("one up-left")
            << 0 << QPoint(-1, -1) << "X轴: -20mm|Y轴: 20mm|距离: 28mm|角度: 135.00°";
        // 3 px at 55 px per 1000 mm is -54.5 mm.
        QTest::newRow("truncated toward zero")
            << 1 << QPoint(-3, 3) << "X轴: -54mm|Y轴: -54mm|距离: 77mm|角度: 225.00°";
    }
    void readoutFollowsPointer()
    {
        QFETCH(int, zoomNotches);
        QFETCH(QPoint, offset);
        const auto widget = shownWidget(QSize(600, 400), zoomNotches);
        hover(widget.get(), widget->viewGeometry().origin() + offset);
        const QStringList texts{labelText(*widget, "xLabel"), labelText(*widget, "yLabel"),
                                labelText(*widget, "distanceLabel"),
                                labelText(*widget, "angleLabel")};
        QTEST(texts.join(QLatin1Char('|')), "texts");
    }

    void rightButtonPansAndResizeResets()
    {
        const auto widget = shownWidget(QSize(600, 400), 1);
        widget->setPointCloud({{QPointF(1500, 2500), QPointF(-3000, 1200)}});
        const QImage before = widget->canvas().copy();

        sendMouse(widget.get(), QEvent::MouseButtonPress, QPointF(100, 100), Qt::RightButton,
                  Qt::RightButton);
        QCOMPARE(widget->cursor().shape(), Qt::OpenHandCursor);
        sendMouse(widget.get(), QEvent::MouseMove, QPointF(120, 110), Qt::NoButton,
                  Qt::RightButton);
        QCOMPARE(widget->cursor().shape(), Qt::ClosedHandCursor);
        sendMouse(widget.get(), QEvent::MouseMove, QPointF(130, 115), Qt::NoButton,
                  Qt::RightButton);
        sendMouse(widget.get(), QEvent::MouseButtonRelease, QPointF(130, 115), Qt::RightButton,
                  Qt::NoButton);
        QCOMPARE(widget->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(widget->viewGeometry().origin(), QPointF(330, 215));
        // Grid, field, axes and cloud all moved by the same 30 x 15 pixels.
        QCOMPARE(widget->canvas().copy(30, 15, 570, 385), before.copy(0, 0, 570, 385));

        widget->resize(501, 301);
        QCOMPARE(widget->viewGeometry().origin(), QPointF(251, 151));
        QCOMPARE(widget->viewGeometry().panOffset(), QPointF());
        QCOMPARE(widget->viewGeometry().cellPixels(), 55.0);
        QCOMPARE(widget->canvas().size(), QSize(501, 301));
    }

    // The fixed layers are kept between redraws; each way of changing the view must renew them.
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
        widget->setPointCloud({{QPointF(1500, 2500)}});
        widget->resize(resizeTo);
        for (int i = 0; i < qAbs(zoomNotches); ++i)
            zoomNotches > 0 ? widget->zoomIn() : widget->zoomOut();
        const QPointF grab(100, 100);
        sendMouse(widget.get(), QEvent::MouseButtonPress, grab, Qt::RightButton, Qt::RightButton);
        sendMouse(widget.get(), QEvent::MouseMove, grab + panBy, Qt::NoButton, Qt::RightButton);
        widget->clearScreen();
        QCOMPARE(widget->canvas(), Backdrop().image(widget->viewGeometry(), CanvasStyle()));
    }

    void bothButtonsHeldDoNothing()
    {
        const auto widget = shownWidget(QSize(600, 400));
        const Qt::MouseButtons both = Qt::LeftButton | Qt::RightButton;
        sendMouse(widget.get(), QEvent::MouseButtonPress, QPointF(100, 100), Qt::RightButton,
                  Qt::RightButton);
        sendMouse(widget.get(), QEvent::MouseButtonPress, QPointF(100, 100), Qt::LeftButton, both);
        sendMouse(widget.get(), QEvent::MouseMove, QPointF(150, 150), Qt::NoButton, both);
        QCOMPARE(widget->viewGeometry().panOffset(), QPointF());
        QCOMPARE(labelText(*widget, "xLabel"), QStringLiteral("X轴: 0mm"));
    }

    void gridAndBlindWedge_data()
    {
        QTest::addColumn<int>("zoomNotches");
        QTest::newRow("start scale") << 0;
        QTest::newRow("finest scale") << 60;
    }
    void gridAndBlindWedge()
    {
        QFETCH(int, zoomNotches);
        const auto widget = shownWidget(QSize(600, 600), zoomNotches);
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

    void clearScreenKeepsGrid()
    {
        const auto widget = shownWidget(QSize(400, 400));
        const QImage empty = widget->canvas().copy();
        widget->setPointRadius(6);
        widget->setPointCloud({{QPointF(500, 500)}});
        QVERIFY(widget->canvas() != empty);
        widget->clearScreen();
        QCOMPARE(widget->canvas(), empty);
    }

    void sweepTicksWithOneTimerAndKeepsAngle()
    {
        const auto widget = shownWidget(QSize(400, 400));
        struct TimerCounter : QObject
        {
            int count = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                count += event->type() == QEvent::Timer;
                return false;
            }
        } timerEvents;
        widget->installEventFilter(&timerEvents);

        const QImage canvas = widget->canvas().copy();
        widget->startSweep();
        widget->startSweep();
        QVERIFY(widget->isSweeping());
        QTRY_VERIFY(widget->sweepAngle() >= 10);
        QCOMPARE(widget->sweepAngle() % 5, 0);
        // The sweep is painted over the canvas, never into it.
        QCOMPARE(widget->canvas(), canvas);
        const QRect picture(0, 0, 400, 380);
        const auto shownPicture = [&] {
            return widget->grab(picture).toImage().convertToFormat(canvas.format());
        };
        QVERIFY(shownPicture() != canvas.copy(picture));

        widget->stopSweep();
        QVERIFY(!widget->isSweeping());
        const int angle = widget->sweepAngle();
        timerEvents.count = 0;
        QTest::qWait(400);
        QCOMPARE(timerEvents.count, 0);
        QCOMPARE(widget->sweepAngle(), angle);
        QCOMPARE(shownPicture(), canvas.copy(picture));

        widget->startSweep();
        QTRY_VERIFY(widget->sweepAngle() != angle);
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
