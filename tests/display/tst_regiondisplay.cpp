#include "display/radarlayers.h"
#include "displaytestsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtMath>
#include <QtTest>

#include <memory>

using namespace DisplayTest;

class TestRegionDisplay : public QObject
{
    Q_OBJECT
private slots:
    void polygonRunsFromSensorInAngleOrder();
    void regionLayerFollowsStore();
    void currentRegionLiesOnTop();
    void farReachingRegionAtFinestScale();
    void hoverSelectsHandleAndDragMovesIt();
    void dragStopsAtRangeLimit();
    void overlappingHandlesMoveHigherIndex();
    void hiddenRegionsIgnoreMouse();
    void staleSelectionCannotDrag_data();
    void staleSelectionCannotDrag();
    void setRegionPointChecksRange_data();
    void setRegionPointChecksRange();
    void loadAndSaveReportSoundness();

private:
    QTemporaryDir m_dir;
};

enum class Change
{
    Refill,
    OtherRegion,
    HideAndShow,
    LoadFile,
    ShrunkInPlace,
};
Q_DECLARE_METATYPE(Change)

static QPolygonF points(std::initializer_list<QPointF> list)
{
    return QPolygonF(QVector<QPointF>(list));
}

static QPointF atAngle(double degrees, double distance)
{
    return QPointF(distance * qCos(qDegreesToRadians(degrees)),
                   distance * qSin(qDegreesToRadians(degrees)));
}

static void fillRegion(RadarIndicatorWidget &widget, int g, int r, const QVector<QPointF> &points)
{
    widget.clearRegionPoints(g, r);
    for (const QPointF &point : points)
        widget.addRegionPoint(g, r, point);
}

// Hovers over the vertex's handle, presses the left button there and moves by `steps` in turn.
static void dragVertex(RadarIndicatorWidget &widget, const QPointF &vertex,
                       const QVector<QPoint> &steps)
{
    QPointF pos = widget.viewGeometry().toPixel(vertex);
    hover(&widget, pos);
    sendMouse(&widget, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
    for (const QPoint &step : steps) {
        pos += step;
        sendMouse(&widget, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
    }
    sendMouse(&widget, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

static QPolygonF polygonOf(RadarIndicatorWidget &widget, int g = 1, int r = 0)
{
    return widget.regions()[g][r].polygon;
}

void TestRegionDisplay::polygonRunsFromSensorInAngleOrder()
{
    const auto widget = shownWidget(QSize(600, 600));
    const QPointF at10 = atAngle(10, 3000);
    const QPointF at350 = atAngle(350, 3000);
    const QPointF at90 = atAngle(90, 2000);
    fillRegion(*widget, 1, 0, {at10, at350, at90});

    const ViewGeometry &view = widget->viewGeometry();
    const QPolygonF drawn = RadarLayers::regionPixelPolygon(view, polygonOf(*widget));
    QCOMPARE(drawn,
             points({view.origin(), view.toPixel(at350), view.toPixel(at10), view.toPixel(at90)}));
    // Sorting is for drawing and for the device; the store keeps the entry order.
    QCOMPARE(polygonOf(*widget), points({at10, at350, at90}));
    QCOMPARE(widget->sortedRegions()[1][0].polygon, points({at350, at10, at90}));

    // The wedge between 350° and 10° is filled: the polygon closes over the +x axis.
    const QColor onAxis = canvasColorAt(*widget, QPointF(2000, 40));
    widget->clearRegionPoints(1, 0);
    QVERIFY(canvasColorAt(*widget, QPointF(2000, 40)) != onAxis);
}

void TestRegionDisplay::regionLayerFollowsStore()
{
    const auto widget = shownWidget(QSize(600, 600));
    const QImage empty = widget->canvas().copy();
    const QPointF first(3000, 1000);
    const QPointF second(1000, 3000);
    const QPointF inside(1330, 1330);

    widget->addRegionPoint(1, 0, first);
    QVERIFY(canvasColorAt(*widget, first) != empty.pixelColor(pixelOf(*widget, first)));
    QCOMPARE(canvasColorAt(*widget, inside), empty.pixelColor(pixelOf(*widget, inside)));

    widget->addRegionPoint(1, 0, second);
    const QColor filled = canvasColorAt(*widget, inside);
    QVERIFY(filled != empty.pixelColor(pixelOf(*widget, inside)));
    QVERIFY(filled.red() > filled.blue() + 60);

    QVERIFY(widget->setRegionPoint(1, 0, 1, QPointF(3000, 1200)));
    QCOMPARE(canvasColorAt(*widget, inside), empty.pixelColor(pixelOf(*widget, inside)));

    widget->setRegionsVisible(false);
    QCOMPARE(canvasColorAt(*widget, first), empty.pixelColor(pixelOf(*widget, first)));
    widget->setRegionsVisible(true);
    widget->clearRegionPoints(1, 0);
    QCOMPARE(widget->canvas(), empty);
}

void TestRegionDisplay::currentRegionLiesOnTop()
{
    const auto widget = shownWidget(QSize(600, 600));
    const QVector<QPointF> triangle{QPointF(3000, 1000), QPointF(1000, 3000)};
    fillRegion(*widget, 1, 0, triangle);
    fillRegion(*widget, 1, 1, triangle);
    const QPointF inside(1330, 1330);
    const int greenWithFirstOnTop = canvasColorAt(*widget, inside).green();
    widget->setCurrentGroupAndRegion(1, 1);
    const int greenWithSecondOnTop = canvasColorAt(*widget, inside).green();
    // Region 0 is (255, 250, 0), region 1 (255, 200, 50): the top one dominates.
    QVERIFY(greenWithFirstOnTop > greenWithSecondOnTop + 10);

    // Another group's regions are not drawn.
    widget->setCurrentGroupAndRegion(2, 0);
    widget->setRegionsVisible(false);
    const QImage hidden = widget->canvas().copy();
    widget->setRegionsVisible(true);
    QCOMPARE(canvasColorAt(*widget, inside), hidden.pixelColor(pixelOf(*widget, inside)));
}

void TestRegionDisplay::farReachingRegionAtFinestScale()
{
    const auto widget = shownWidget(QSize(600, 600));
    for (int i = 0; i < 70; ++i)
        widget->zoomIn(); // 0.25 mm per pixel: the vertices lie thousands of pixels away
    fillRegion(*widget, 1, 0, {QPointF(3000, 1000), QPointF(-3000, 1000), QPointF(0, 19000)});
    const QImage withRegion = widget->canvas().copy();
    widget->setRegionsVisible(false);
    const QImage withoutRegion = widget->canvas().copy();

    const auto differs = [&](const QPointF &world) {
        const QPoint pixel = pixelOf(*widget, world);
        return withRegion.pixelColor(pixel) != withoutRegion.pixelColor(pixel);
    };
    QVERIFY(differs(QPointF(10, 20)));
    QVERIFY(differs(QPointF(-30, 40)));
    QVERIFY(!differs(QPointF(20, 2)));
    QVERIFY(!differs(QPointF(-20, 2)));
    QVERIFY(!differs(QPointF(30, -40)));
}

void TestRegionDisplay::hoverSelectsHandleAndDragMovesIt()
{
    const auto widget = shownWidget(QSize(600, 600));
    widget->setCurrentGroupAndRegion(2, 1);
    const QPointF vertex(0, 5000);
    fillRegion(*widget, 2, 1, {vertex, QPointF(2000, 2000)});
    const QPointF handle = widget->viewGeometry().toPixel(vertex);

    hover(widget.get(), handle + QPointF(5, 5));
    QCOMPARE(widget->selectedPointIndex(), 0);
    QCOMPARE(widget->cursor().shape(), Qt::SizeAllCursor);
    hover(widget.get(), handle + QPointF(6, 0));
    QCOMPARE(widget->selectedPointIndex(), -1);
    QCOMPARE(widget->cursor().shape(), Qt::ArrowCursor);

    // A pixel just inside where the handle will end up, outside the region itself.
    const QPoint nearTarget = pixelOf(*widget, QPointF(200, 4900)) - QPoint(4, 4);
    const QColor beforeDrag = widget->canvas().pixelColor(nearTarget);

    QSignalSpy moved(widget.get(), &RadarIndicatorWidget::updateRegionPoint);
    dragVertex(*widget, vertex, {QPoint(10, 0), QPoint(0, 5)});
    QCOMPARE(polygonOf(*widget, 2, 1), points({QPointF(200, 4900), QPointF(2000, 2000)}));
    QCOMPARE(moved.count(), 2);
    const QList<QVariant> last = moved.last();
    QCOMPARE(last.at(0).toInt(), 2);
    QCOMPARE(last.at(1).toInt(), 1);
    QCOMPARE(last.at(2).toInt(), 0);
    QCOMPARE(last.at(3).toPointF(), QPointF(200, 4900));
    QCOMPARE(widget->cursor().shape(), Qt::SizeAllCursor);
    // The handle was redrawn where the vertex went.
    QVERIFY(widget->canvas().pixelColor(nearTarget).red() > beforeDrag.red() + 30);
}

void TestRegionDisplay::dragStopsAtRangeLimit()
{
    const auto widget = shownWidget(QSize(600, 600));
    for (int i = 0; i < 30; ++i)
        widget->zoomOut(); // 100 mm per pixel
    fillRegion(*widget, 1, 0, {QPointF(0, 19900)});
    QSignalSpy moved(widget.get(), &RadarIndicatorWidget::updateRegionPoint);

    dragVertex(*widget, QPointF(0, 19900), {QPoint(0, -1), QPoint(0, -1), QPoint(0, -1)});
    QCOMPARE(polygonOf(*widget), points({QPointF(0, 20000)}));
    QCOMPARE(moved.count(), 1);

    // The pointer went on; the vertex continues from where it stopped.
    dragVertex(*widget, QPointF(0, 20000), {QPoint(0, -1), QPoint(0, 1)});
    QCOMPARE(polygonOf(*widget), points({QPointF(0, 19900)}));
    QCOMPARE(moved.count(), 2);
    QCOMPARE(moved.last().at(3).toPointF(), QPointF(0, 19900));
}

void TestRegionDisplay::overlappingHandlesMoveHigherIndex()
{
    const auto widget = shownWidget(QSize(600, 600));
    const QPointF shared(1000, 4000);
    fillRegion(*widget, 1, 0, {shared, shared, QPointF(-1000, 4000)});
    dragVertex(*widget, shared, {QPoint(-10, 0)});
    QCOMPARE(polygonOf(*widget), points({shared, QPointF(800, 4000), QPointF(-1000, 4000)}));
}

void TestRegionDisplay::hiddenRegionsIgnoreMouse()
{
    const auto widget = shownWidget(QSize(600, 600));
    const QPointF vertex(1000, 4000);
    fillRegion(*widget, 1, 0, {vertex});
    widget->setRegionsVisible(false);
    QSignalSpy moved(widget.get(), &RadarIndicatorWidget::updateRegionPoint);
    dragVertex(*widget, vertex, {QPoint(10, 10)});
    QCOMPARE(widget->selectedPointIndex(), -1);
    QCOMPARE(widget->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(polygonOf(*widget), points({vertex}));
}

void TestRegionDisplay::staleSelectionCannotDrag_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("selectionAfter");
    QTest::newRow("region emptied and refilled") << Change::Refill << -1;
    QTest::newRow("other region chosen") << Change::OtherRegion << -1;
    QTest::newRow("regions hidden and shown") << Change::HideAndShow << -1;
    QTest::newRow("file loaded") << Change::LoadFile << -1;
    QTest::newRow("store shrunk in place") << Change::ShrunkInPlace << 2;
}

void TestRegionDisplay::staleSelectionCannotDrag()
{
    QFETCH(Change, change);
    const auto widget = shownWidget(QSize(600, 600));
    const QVector<QPointF> row{QPointF(0, 5000), QPointF(1000, 5000), QPointF(2000, 5000)};
    fillRegion(*widget, 1, 0, row);
    fillRegion(*widget, 1, 1, row);
    const QPointF handle = widget->viewGeometry().toPixel(row[2]);
    hover(widget.get(), handle);
    QCOMPARE(widget->selectedPointIndex(), 2);

    const QString file = m_dir.filePath(QStringLiteral("stale.dat"));
    switch (change) {
    case Change::Refill:
        fillRegion(*widget, 1, 0, {row[0]});
        break;
    case Change::OtherRegion:
        widget->setCurrentGroupAndRegion(1, 1);
        break;
    case Change::HideAndShow:
        widget->setRegionsVisible(false);
        widget->setRegionsVisible(true);
        break;
    case Change::LoadFile:
        QVERIFY(widget->saveRegions(file));
        QVERIFY(widget->loadRegions(file));
        break;
    case Change::ShrunkInPlace:
        widget->regions()[1][0].polygon.resize(1);
        break;
    }
    QTEST(widget->selectedPointIndex(), "selectionAfter");

    const RegionStore before = widget->regions();
    QSignalSpy moved(widget.get(), &RadarIndicatorWidget::updateRegionPoint);
    sendMouse(widget.get(), QEvent::MouseButtonPress, handle, Qt::LeftButton, Qt::LeftButton);
    sendMouse(widget.get(), QEvent::MouseMove, handle + QPointF(10, 0), Qt::NoButton,
              Qt::LeftButton);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(widget->regions(), before);
}

void TestRegionDisplay::setRegionPointChecksRange_data()
{
    QTest::addColumn<int>("pointIndex");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("straight down") << 0 << QPointF(0, -1) << false;
    QTest::newRow("sensor") << 0 << QPointF(0, 0) << true;
    QTest::newRow("right limit") << 0 << QPointF(20000, 0) << true;
    QTest::newRow("left limit") << 0 << QPointF(-20000, 0) << true;
    QTest::newRow("beyond range") << 0 << QPointF(0, 20001) << false;
    QTest::newRow("edge at 315") << 1 << QPointF(1000, -1000) << true;
    QTest::newRow("no such vertex") << 2 << QPointF(100, 100) << false;
    QTest::newRow("negative vertex") << -1 << QPointF(100, 100) << false;
}

void TestRegionDisplay::setRegionPointChecksRange()
{
    QFETCH(int, pointIndex);
    QFETCH(QPointF, point);
    QFETCH(bool, accepted);
    const auto widget = shownWidget(QSize(600, 600));
    const QPolygonF original = points({QPointF(500, 500), QPointF(-500, 500)});
    fillRegion(*widget, 3, 2, original);
    const QImage canvas = widget->canvas().copy();

    QCOMPARE(widget->isPointInRange(point), accepted || pointIndex < 0 || pointIndex > 1);
    QCOMPARE(widget->setRegionPoint(3, 2, pointIndex, point), accepted);
    QPolygonF expected = original;
    if (accepted)
        expected[pointIndex] = point;
    QCOMPARE(polygonOf(*widget, 3, 2), expected);
    if (!accepted)
        QCOMPARE(widget->canvas(), canvas);
}

void TestRegionDisplay::loadAndSaveReportSoundness()
{
    const auto widget = shownWidget(QSize(600, 600));
    const QImage initialCanvas = widget->canvas().copy();
    const RegionStore initial = widget->regions();
    const QString good = m_dir.filePath(QStringLiteral("regions.dat"));
    QVERIFY(widget->saveRegions(good));
    QCOMPARE(QFileInfo(good).size(), qint64(915));

    widget->addRegionPoint(1, 0, QPointF(1000, 1000));
    widget->addRegionPoint(1, 0, QPointF(-1000, 1000));
    const RegionStore edited = widget->regions();
    const QImage editedCanvas = widget->canvas().copy();

    const QString bad = m_dir.filePath(QStringLiteral("bad.dat"));
    QFile badFile(bad);
    QVERIFY(badFile.open(QIODevice::WriteOnly));
    badFile.write(QByteArray::fromHex("0000000101808"));
    badFile.close();
    QVERIFY(!widget->loadRegions(bad));
    QVERIFY(!widget->loadRegions(m_dir.filePath(QStringLiteral("missing.dat"))));
    QCOMPARE(widget->regions(), edited);
    QCOMPARE(widget->canvas(), editedCanvas);

    QVERIFY(widget->loadRegions(good));
    QCOMPARE(widget->regions(), initial);
    QCOMPARE(widget->canvas(), initialCanvas);

    QVERIFY(!widget->saveRegions(m_dir.filePath(QStringLiteral("no/such/dir/regions.dat"))));
}

QTEST_MAIN(TestRegionDisplay)
#include "tst_regiondisplay.moc"
