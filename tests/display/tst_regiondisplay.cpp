#include "display/radarlayers.h"
#include "displaytestsupport.h"
#include "regions/regionfile.h"

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
    StoreReset,
};
Q_DECLARE_METATYPE(Change)

namespace {

QPointF atAngle(double degrees, double distance)
{
    return QPointF(distance * qCos(qDegreesToRadians(degrees)),
                   distance * qSin(qDegreesToRadians(degrees)));
}

// A shown 600 x 600 display editing a document of its own.
struct Editing
{
    explicit Editing(int zoomInNotches = 0) : widget(shownWidget(QSize(600, 600), zoomInNotches))
    {
        widget->setDocument(&document);
    }
    void fill(int g, int r, const Points &p) { document.setVertexCount(g, r, QPolygonF(p)); }
    Points polygon(int g = 1, int r = 0) const { return document.region(g, r).polygon; }
    QPointF pixel(const QPointF &world) const { return widget->viewGeometry().toPixel(world); }
    // Hovers over the vertex's handle, presses the left button there and moves by `steps`.
    void dragVertex(const QPointF &vertex, const QVector<QPoint> &steps)
    {
        QPointF pos = pixel(vertex);
        hover(widget.get(), pos);
        press(widget.get(), pos, Qt::LeftButton);
        for (const QPoint &step : steps)
            drag(widget.get(), pos += step, Qt::LeftButton);
        sendMouse(widget.get(), QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
    }
    void doubleClick(const QPointF &world)
    {
        sendMouse(widget.get(), QEvent::MouseButtonDblClick, pixel(world), Qt::LeftButton,
                  Qt::LeftButton);
    }

    RegionDocument document;
    std::unique_ptr<RadarIndicatorWidget> widget;
};

} // namespace

// Range limits, the region file's bytes and the undo steps are the region suites'; here they
// are reached through the mouse.
class TestRegionDisplay : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void polygonRunsFromSensorInAngleOrder()
    {
        Editing editing;
        const QImage empty = editing.widget->canvas().copy();
        const QPointF at10 = atAngle(10, 3000), at350 = atAngle(350, 3000),
                      at90 = atAngle(90, 2000);
        editing.fill(1, 0, {at10, at350, at90});

        const ViewGeometry &view = editing.widget->viewGeometry();
        QCOMPARE(
            Points(RadarLayers::regionPixelPolygon(view, editing.polygon())),
            (Points{view.origin(), view.toPixel(at350), view.toPixel(at10), view.toPixel(at90)}));
        // The wedge between 350° and 10° is filled: the polygon closes over the +x axis.
        const QPointF onAxis(2000, 40);
        QVERIFY(canvasColorAt(*editing.widget, onAxis) !=
                empty.pixelColor(pixelOf(*editing.widget, onAxis)));
        editing.fill(1, 0, {});
        QCOMPARE(editing.widget->canvas(), empty);
    }

    void currentRegionLiesOnTop()
    {
        Editing editing;
        RadarIndicatorWidget *widget = editing.widget.get();
        const Points triangle{QPointF(3000, 1000), QPointF(1000, 3000)};
        editing.fill(1, 0, triangle);
        editing.fill(1, 1, triangle);
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
        Editing editing(70);
        editing.fill(1, 0, {QPointF(3000, 1000), QPointF(-3000, 1000), QPointF(0, 19000)});
        const QImage withRegion = editing.widget->canvas().copy();
        editing.widget->setRegionsVisible(false);
        const auto differs = [&](double x, double y) {
            return withRegion.pixelColor(pixelOf(*editing.widget, {x, y})) !=
                   canvasColorAt(*editing.widget, {x, y});
        };
        QVERIFY(differs(10, 20) && differs(-30, 40));
        QVERIFY(!differs(20, 2) && !differs(-20, 2) && !differs(30, -40));
    }

    void hoverSelectsHandleAndDragMovesIt()
    {
        Editing editing;
        RadarIndicatorWidget *widget = editing.widget.get();
        widget->setCurrentGroupAndRegion(2, 1);
        const QPointF vertex(0, 5000);
        editing.fill(2, 1, {vertex, QPointF(2000, 2000)});
        const QPointF handle = editing.pixel(vertex);

        hover(widget, handle + QPointF(5, 5));
        QCOMPARE(widget->selectedPointIndex(), 0);
        QCOMPARE(widget->cursor().shape(), Qt::SizeAllCursor);
        // The hovered handle is drawn opaque over the canvas, the canvas itself unchanged.
        QCOMPARE(widget->grab().toImage().pixelColor(handle.toPoint()), QColor(Qt::white));
        QVERIFY(widget->canvas().pixelColor(handle.toPoint()) != QColor(Qt::white));
        hover(widget, handle + QPointF(6, 0));
        QCOMPARE(widget->selectedPointIndex(), -1);
        QCOMPARE(widget->cursor().shape(), Qt::ArrowCursor);

        // A pixel just inside where the handle will end up, outside the region itself.
        const QPoint nearTarget = pixelOf(*widget, QPointF(200, 4900)) - QPoint(4, 4);
        const QColor beforeDrag = widget->canvas().pixelColor(nearTarget);
        const int steps = editing.document.undoStack().count();
        editing.dragVertex(vertex, {QPoint(10, 0), QPoint(0, 5)});
        QCOMPARE(editing.polygon(2, 1), (Points{QPointF(200, 4900), QPointF(2000, 2000)}));
        QCOMPARE(editing.document.undoStack().count(), steps + 1); // one drag, one step
        QCOMPARE(widget->cursor().shape(), Qt::SizeAllCursor);
        // The handle was redrawn where the vertex went.
        QVERIFY(widget->canvas().pixelColor(nearTarget).red() > beforeDrag.red() + 30);

        // Where handles overlap, the one drawn last (the higher index) moves.
        const QPointF shared(1000, 4000);
        editing.fill(2, 1, {shared, shared, QPointF(-1000, 4000)});
        editing.dragVertex(shared, {QPoint(-10, 0)});
        QCOMPARE(editing.polygon(2, 1), (Points{shared, QPointF(800, 4000), QPointF(-1000, 4000)}));
        QCOMPARE(editing.document.undoStack().count(), steps + 3); // refill and a drag of its own
    }

    void dragStopsAtRangeLimit()
    {
        Editing editing;
        for (int i = 0; i < 30; ++i)
            editing.widget->zoomOut(); // 100 mm per pixel
        editing.fill(1, 0, {QPointF(0, 19900)});
        QSignalSpy moved(&editing.document, &RegionDocument::vertexMoved);

        editing.dragVertex(QPointF(0, 19900), {QPoint(0, -1), QPoint(0, -1), QPoint(0, -1)});
        QCOMPARE(editing.polygon(), Points{QPointF(0, 20000)});
        QCOMPARE(moved.count(), 1);

        // The pointer went on; the vertex continues from where it stopped.
        editing.dragVertex(QPointF(0, 20000), {QPoint(0, -1), QPoint(0, 1)});
        QCOMPARE(editing.polygon(), Points{QPointF(0, 19900)});
        QCOMPARE(moved.count(), 2);
    }

    // A selected vertex index must never outlive the polygon it was taken from.
    void staleSelectionCannotDrag_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("region emptied and refilled") << Change::Refill;
        QTest::newRow("other region chosen") << Change::OtherRegion;
        QTest::newRow("hovered while hidden") << Change::HiddenHover;
        QTest::newRow("file loaded") << Change::StoreReset;
    }
    void staleSelectionCannotDrag()
    {
        QFETCH(Change, change);
        Editing editing;
        const Points row{QPointF(0, 5000), QPointF(1000, 5000), QPointF(2000, 5000)};
        editing.fill(1, 0, row);
        editing.fill(1, 1, row);
        const QPointF handle = editing.pixel(row[2]);
        hover(editing.widget.get(), handle);
        QCOMPARE(editing.widget->selectedPointIndex(), 2);

        const QString file = m_dir.filePath(QStringLiteral("initial.dat"));
        switch (change) {
        case Change::Refill:
            editing.fill(1, 0, {row[0]});
            break;
        case Change::OtherRegion:
            editing.widget->setCurrentGroupAndRegion(1, 1);
            break;
        case Change::HiddenHover: // hiding forgets, and a hover over hidden regions selects nothing
            editing.widget->setRegionsVisible(false);
            hover(editing.widget.get(), handle);
            break;
        case Change::StoreReset:
            QVERIFY(RegionFile::save(Regions::initialStore(), file));
            QVERIFY(editing.document.loadFile(file));
            break;
        }
        QCOMPARE(editing.widget->selectedPointIndex(), -1);

        const RegionStore before = editing.document.store();
        press(editing.widget.get(), handle, Qt::LeftButton);
        drag(editing.widget.get(), handle + QPointF(10, 0), Qt::LeftButton);
        QCOMPARE(editing.document.store(), before);
    }

    // 20 mm per pixel at the start scale, so a pixel's position is whole millimetres.
    void mouseAddsAndRemovesVertices()
    {
        Editing editing;
        RadarIndicatorWidget *widget = editing.widget.get();
        QVector<RegionDocument::AddResult> refusals;
        connect(widget, &RadarIndicatorWidget::vertexRefused,
                [&](auto reason) { refusals << reason; });
        const Points added{QPointF(1200, 2000), QPointF(-600, 400), QPointF(0, 3000)};
        for (const QPointF &vertex : added)
            editing.doubleClick(vertex);
        editing.doubleClick(QPointF(0, -2000)); // the blind wedge behind the sensor
        QCOMPARE(editing.polygon(), added);

        // A right drag that starts on a handle only pans; a right click there removes it.
        const QPointF handle = editing.pixel(added[1]), panned = handle + QPointF(20, 0);
        hover(widget, handle);
        press(widget, handle, Qt::RightButton);
        drag(widget, panned, Qt::RightButton);
        sendMouse(widget, QEvent::MouseButtonRelease, panned, Qt::RightButton, Qt::NoButton);
        QCOMPARE(editing.pixel(added[1]), panned);
        QCOMPARE(editing.polygon(), added);
        hover(widget, panned);
        press(widget, panned, Qt::RightButton);
        sendMouse(widget, QEvent::MouseButtonRelease, panned, Qt::RightButton, Qt::NoButton);
        QCOMPARE(editing.polygon(), (Points{added[0], added[2]}));

        // Delete takes the hovered vertex.
        hover(widget, editing.pixel(added[2]));
        QTest::keyClick(widget, Qt::Key_Delete);
        QCOMPARE(editing.polygon(), Points{added[0]});

        editing.fill(1, 0, Points(Regions::maxVertices, QPointF(0, 1000)));
        editing.doubleClick(QPointF(1000, 0));
        QCOMPARE(editing.polygon().size(), Regions::maxVertices);
        QCOMPARE(refusals,
                 (QVector<RegionDocument::AddResult>{RegionDocument::AddResult::OutOfRange,
                                                     RegionDocument::AddResult::Full}));
    }
};

QTEST_MAIN(TestRegionDisplay)
#include "tst_regiondisplay.moc"
