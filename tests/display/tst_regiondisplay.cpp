#include "display/radarlayers.h"
#include "displaytestsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtMath>
#include <QtTest>

using namespace DisplayTest;
using Points = QVector<QPointF>;

// What happens between hovering over a vertex and pressing on it.
enum class Change
{
    Refill,
    OtherRegion,
    HiddenHover,
    LoadFile,
    ShrunkInPlace
};
Q_DECLARE_METATYPE(Change)

namespace {

QPointF atAngle(double degrees, double distance)
{
    return QPointF(distance * qCos(qDegreesToRadians(degrees)),
                   distance * qSin(qDegreesToRadians(degrees)));
}

void fillRegion(RadarIndicatorWidget &widget, int g, int r, const Points &points)
{
    widget.clearRegionPoints(g, r);
    for (const QPointF &point : points)
        widget.addRegionPoint(g, r, point);
}

// Hovers over the vertex's handle, presses the left button there and moves by `steps` in turn.
void dragVertex(RadarIndicatorWidget &widget, const QPointF &vertex, const QVector<QPoint> &steps)
{
    QPointF pos = widget.viewGeometry().toPixel(vertex);
    hover(&widget, pos);
    press(&widget, pos, Qt::LeftButton);
    for (const QPoint &step : steps)
        drag(&widget, pos += step, Qt::LeftButton);
    sendMouse(&widget, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

Points polygonOf(RadarIndicatorWidget &widget, int g = 1, int r = 0)
{
    return widget.regions()[g][r].polygon;
}

} // namespace

// Range limits and the region file's bytes are the region model's suite; here they are
// reached through the display.
class TestRegionDisplay : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void polygonRunsFromSensorInAngleOrder()
    {
        const auto widget = shownWidget(QSize(600, 600));
        const QImage empty = widget->canvas().copy();
        const QPointF at10 = atAngle(10, 3000);
        const QPointF at350 = atAngle(350, 3000);
        const QPointF at90 = atAngle(90, 2000);
        fillRegion(*widget, 1, 0, {at10, at350, at90});

        const ViewGeometry &view = widget->viewGeometry();
        QCOMPARE(
            Points(RadarLayers::regionPixelPolygon(view, polygonOf(*widget))),
            (Points{view.origin(), view.toPixel(at350), view.toPixel(at10), view.toPixel(at90)}));
        // Sorting is for drawing and for the device; the store keeps the entry order.
        QCOMPARE(polygonOf(*widget), (Points{at10, at350, at90}));
        QCOMPARE(Points(widget->sortedRegions()[1][0].polygon), (Points{at350, at10, at90}));

        // The wedge between 350° and 10° is filled: the polygon closes over the +x axis.
        const QPointF onAxis(2000, 40);
        QVERIFY(canvasColorAt(*widget, onAxis) != empty.pixelColor(pixelOf(*widget, onAxis)));
        widget->clearRegionPoints(1, 0);
        QCOMPARE(widget->canvas(), empty);
    }

    void currentRegionLiesOnTop()
    {
        const auto widget = shownWidget(QSize(600, 600));
        const Points triangle{QPointF(3000, 1000), QPointF(1000, 3000)};
        fillRegion(*widget, 1, 0, triangle);
        fillRegion(*widget, 1, 1, triangle);
        const QPointF inside(1330, 1330);
        const QColor firstOnTop = canvasColorAt(*widget, inside);
        QVERIFY(firstOnTop.red() > firstOnTop.blue() + 60);
        widget->setCurrentGroupAndRegion(1, 1);
        // Region 0 is (255, 250, 0), region 1 (255, 200, 50): the top one dominates.
        QVERIFY(firstOnTop.green() > canvasColorAt(*widget, inside).green() + 10);

        // Another group's regions are not drawn.
        widget->setCurrentGroupAndRegion(2, 0);
        widget->setRegionsVisible(false);
        const QColor hidden = canvasColorAt(*widget, inside);
        widget->setRegionsVisible(true);
        QCOMPARE(canvasColorAt(*widget, inside), hidden);
    }

    void farReachingRegionAtFinestScale()
    {
        // 0.25 mm per pixel: the vertices lie thousands of pixels away.
        const auto widget = shownWidget(QSize(600, 600), 70);
        fillRegion(*widget, 1, 0, {QPointF(3000, 1000), QPointF(-3000, 1000), QPointF(0, 19000)});
        const QImage withRegion = widget->canvas().copy();
        widget->setRegionsVisible(false);
        const auto differs = [&](double x, double y) {
            return withRegion.pixelColor(pixelOf(*widget, {x, y})) !=
                   canvasColorAt(*widget, {x, y});
        };
        QVERIFY(differs(10, 20) && differs(-30, 40));
        QVERIFY(!differs(20, 2) && !differs(-20, 2) && !differs(30, -40));
    }

    void hoverSelectsHandleAndDragMovesIt()
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
        QCOMPARE(polygonOf(*widget, 2, 1), (Points{QPointF(200, 4900), QPointF(2000, 2000)}));
        QCOMPARE(moved.count(), 2);
        QCOMPARE(moved.last(), (QVariantList{2, 1, 0, QPointF(200, 4900)}));
        QCOMPARE(widget->cursor().shape(), Qt::SizeAllCursor);
        // The handle was redrawn where the vertex went.
        QVERIFY(widget->canvas().pixelColor(nearTarget).red() > beforeDrag.red() + 30);

        // Where handles overlap, the one drawn last (the higher index) moves.
        const QPointF shared(1000, 4000);
        fillRegion(*widget, 2, 1, {shared, shared, QPointF(-1000, 4000)});
        dragVertex(*widget, shared, {QPoint(-10, 0)});
        QCOMPARE(polygonOf(*widget, 2, 1),
                 (Points{shared, QPointF(800, 4000), QPointF(-1000, 4000)}));
    }

    void dragStopsAtRangeLimit()
    {
        auto widget = shownWidget(QSize(600, 600));
        for (int i = 0; i < 30; ++i)
            widget->zoomOut(); // 100 mm per pixel
        fillRegion(*widget, 1, 0, {QPointF(0, 19900)});
        QSignalSpy moved(widget.get(), &RadarIndicatorWidget::updateRegionPoint);

        dragVertex(*widget, QPointF(0, 19900), {QPoint(0, -1), QPoint(0, -1), QPoint(0, -1)});
        QCOMPARE(polygonOf(*widget), Points{QPointF(0, 20000)});
        QCOMPARE(moved.count(), 1);

        // The pointer went on; the vertex continues from where it stopped.
        dragVertex(*widget, QPointF(0, 20000), {QPoint(0, -1), QPoint(0, 1)});
        QCOMPARE(polygonOf(*widget), Points{QPointF(0, 19900)});
        QCOMPARE(moved.count(), 2);
        QCOMPARE(moved.last().at(3).toPointF(), QPointF(0, 19900));
    }

    // A selected vertex index must never outlive the polygon it was taken from.
    void staleSelectionCannotDrag_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("selectionAfter");
        QTest::newRow("region emptied and refilled") << Change::Refill << -1;
        QTest::newRow("other region chosen") << Change::OtherRegion << -1;
        QTest::newRow("hovered while hidden") << Change::HiddenHover << -1;
        QTest::newRow("file loaded") << Change::LoadFile << -1;
        QTest::newRow("store shrunk in place") << Change::ShrunkInPlace << 2;
    }
    void staleSelectionCannotDrag()
    {
        QFETCH(Change, change);
        const auto widget = shownWidget(QSize(600, 600));
        const Points row{QPointF(0, 5000), QPointF(1000, 5000), QPointF(2000, 5000)};
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
        case Change::HiddenHover: // hiding forgets, and a hover over hidden regions selects nothing
            widget->setRegionsVisible(false);
            hover(widget.get(), handle);
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
        press(widget.get(), handle, Qt::LeftButton);
        drag(widget.get(), handle + QPointF(10, 0), Qt::LeftButton);
        QCOMPARE(moved.count(), 0);
        QCOMPARE(widget->regions(), before);
    }

    void setRegionPointChecksIndexAndRange()
    {
        const auto widget = shownWidget(QSize(600, 600));
        const Points original{QPointF(500, 500), QPointF(-500, 500)};
        widget->setCurrentGroupAndRegion(3, 2);
        fillRegion(*widget, 3, 2, original);
        const QImage canvas = widget->canvas().copy();
        // Straight down is out of range; vertices -1 and 2 do not exist.
        QVERIFY(!widget->setRegionPoint(3, 2, 0, QPointF(0, -1)));
        QVERIFY(!widget->setRegionPoint(3, 2, -1, QPointF(100, 100)));
        QVERIFY(!widget->setRegionPoint(3, 2, 2, QPointF(100, 100)));
        QCOMPARE(polygonOf(*widget, 3, 2), original);
        QCOMPARE(widget->canvas(), canvas);
        // 315° is the edge of the range, still inside.
        QVERIFY(widget->setRegionPoint(3, 2, 1, QPointF(1000, -1000)));
        QCOMPARE(polygonOf(*widget, 3, 2), (Points{QPointF(500, 500), QPointF(1000, -1000)}));
        QVERIFY(widget->canvas() != canvas);
    }

    // A failed load leaves store and picture alone; a good one replaces both.
    void loadAndSaveReportSoundness()
    {
        const auto widget = shownWidget(QSize(600, 600));
        const QImage initialCanvas = widget->canvas().copy();
        const RegionStore initial = widget->regions();
        const QString good = m_dir.filePath(QStringLiteral("regions.dat"));
        QVERIFY(widget->saveRegions(good));

        fillRegion(*widget, 1, 0, {QPointF(1000, 1000), QPointF(-1000, 1000)});
        const RegionStore edited = widget->regions();
        const QImage editedCanvas = widget->canvas().copy();
        QVERIFY(!widget->loadRegions(m_dir.filePath(QStringLiteral("missing.dat"))));
        QCOMPARE(widget->regions(), edited);
        QCOMPARE(widget->canvas(), editedCanvas);

        QVERIFY(widget->loadRegions(good));
        QCOMPARE(widget->regions(), initial);
        QCOMPARE(widget->canvas(), initialCanvas);
        QVERIFY(!widget->saveRegions(m_dir.filePath(QStringLiteral("no/such/dir/regions.dat"))));
    }
};

QTEST_MAIN(TestRegionDisplay)
#include "tst_regiondisplay.moc"
