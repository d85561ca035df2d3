#include "display/displaysvg.h"
#include "displaytestsupport.h"
#include "regions/regionfile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <functional>

using namespace DisplayTest;
using Points = QVector<QPointF>;

namespace {

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
    // Hovers over the vertex's handle and drags it by `steps` with the left button.
    void dragVertex(const QPointF &vertex, const QVector<QPoint> &steps)
    {
        hover(widget.get(), pixel(vertex));
        gesture(widget.get(), pixel(vertex), Qt::LeftButton, steps);
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
    // Region 0 is (255, 250, 0), region 1 (255, 200, 50): the current one dominates on top.
    // Another group's regions are not drawn. The SVG export draws with the display's own
    // layers: each drawn region is one path in its colour, an empty one none, and the whole
    // file is well-formed XML.
    void currentRegionLiesOnTopAndSvgHoldsOnePathPerRegion()
    {
        Editing editing;
        RadarIndicatorWidget *widget = editing.widget.get();
        const Points triangle{QPointF(3000, 1000), QPointF(1000, 3000)};
        editing.fill(1, 0, triangle);
        editing.fill(1, 1, triangle);
        const QString path = m_dir.filePath(QStringLiteral("display.svg"));
        QVERIFY(DisplaySvg::save(*editing.widget, path));
        const QPointF inside(1330, 1330);
        const QColor firstOnTop = canvasColorAt(*widget, inside);
        QVERIFY(firstOnTop.red() > firstOnTop.blue() + 60);
        widget->setCurrentGroupAndRegion(1, 1);
        QVERIFY(firstOnTop.green() > canvasColorAt(*widget, inside).green() + 10);
        widget->setCurrentGroupAndRegion(2, 0);
        const QColor otherGroup = canvasColorAt(*widget, inside);
        widget->setRegionsVisible(false);
        QCOMPARE(canvasColorAt(*widget, inside), otherGroup);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QStringList fills; // the fill of each path's group, which the generator never nests
        QString groupFill;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("g"))
                groupFill = xml.attributes().value(QLatin1String("fill")).toString();
            else if (xml.isStartElement() && xml.name() == QLatin1String("path"))
                fills.append(groupFill);
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(fills.count(QStringLiteral("#fffa00")), 1);
        QCOMPARE(fills.count(QStringLiteral("#ffc832")), 1);
        QCOMPARE(fills.count(QStringLiteral("#ff6400")), 0);
    }

    // The polygon runs from the sensor through the vertices in angle order, here at the finest
    // scale, where the vertices lie thousands of pixels away (0.25 mm per pixel).
    void farReachingRegionAtFinestScale()
    {
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

    void hoverSelectsHandleAndDragMovesItUpToTheRangeLimit()
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

        // A pixel just inside where the handle will end up, outside the region itself.
        const QPoint nearTarget = pixelOf(*widget, QPointF(200, 4900)) - QPoint(4, 4);
        const QColor beforeDrag = widget->canvas().pixelColor(nearTarget);
        const int steps = editing.document.undoStack().count();
        editing.dragVertex(vertex, {QPoint(10, 0), QPoint(0, 5)});
        QCOMPARE(editing.polygon(2, 1), (Points{QPointF(200, 4900), QPointF(2000, 2000)}));
        QCOMPARE(editing.document.undoStack().count(), steps + 1); // one drag, one step
        // The handle was redrawn where the vertex went.
        QVERIFY(widget->canvas().pixelColor(nearTarget).red() > beforeDrag.red() + 30);

        // Where handles overlap, the one drawn last (the higher index) moves.
        const QPointF shared(1000, 4000);
        editing.fill(2, 1, {shared, shared, QPointF(-1000, 4000)});
        editing.dragVertex(shared, {QPoint(-10, 0)});
        QCOMPARE(editing.polygon(2, 1), (Points{shared, QPointF(800, 4000), QPointF(-1000, 4000)}));
        QCOMPARE(editing.document.undoStack().count(), steps + 3); // refill and a drag of its own

        // 100 mm per pixel: the vertex stops at 20000 mm and, as the pointer turns back,
        // continues from where it stopped.
        Editing coarse;
        for (int i = 0; i < 30; ++i)
            coarse.widget->zoomOut();
        coarse.fill(1, 0, {QPointF(0, 19900)});
        QSignalSpy moved(&coarse.document, &RegionDocument::vertexMoved);
        coarse.dragVertex(QPointF(0, 19900), {QPoint(0, -1), QPoint(0, -1), QPoint(0, -1)});
        QCOMPARE(coarse.polygon(), Points{QPointF(0, 20000)});
        QCOMPARE(moved.count(), 1);
        coarse.dragVertex(QPointF(0, 20000), {QPoint(0, -1), QPoint(0, 1)});
        QCOMPARE(coarse.polygon(), Points{QPointF(0, 19900)});
        QCOMPARE(moved.count(), 2);
    }

    // A selected vertex index must never outlive the polygon it was taken from: after each of
    // these changes a press on the old handle drags nothing.
    void staleSelectionCannotDrag()
    {
        const Points row{QPointF(0, 5000), QPointF(1000, 5000), QPointF(2000, 5000)};
        const QString file = m_dir.filePath(QStringLiteral("initial.dat"));
        QVERIFY(RegionFile::save(Regions::initialStore(), file));
        const std::function<void(Editing &)> changes[] = {
            [&](Editing &e) { e.fill(1, 0, {row[0]}); },
            [](Editing &e) { e.widget->setCurrentGroupAndRegion(1, 1); },
            // Hiding forgets, and a hover over hidden regions selects nothing.
            [&](Editing &e) {
                e.widget->setRegionsVisible(false);
                hover(e.widget.get(), e.pixel(row[2]));
            },
            [&](Editing &e) { QVERIFY(e.document.loadFile(file)); },
        };
        for (const auto &change : changes) {
            Editing editing;
            editing.fill(1, 0, row);
            editing.fill(1, 1, row);
            const QPointF handle = editing.pixel(row[2]);
            hover(editing.widget.get(), handle);
            QCOMPARE(editing.widget->selectedPointIndex(), 2);
            change(editing);
            QCOMPARE(editing.widget->selectedPointIndex(), -1);
            const RegionStore before = editing.document.store();
            press(editing.widget.get(), handle, Qt::LeftButton);
            drag(editing.widget.get(), handle + QPointF(10, 0), Qt::LeftButton);
            QCOMPARE(editing.document.store(), before);
        }
    }

    // 20 mm per pixel at the start scale, so a pixel's position is whole millimetres. A full
    // region's refusal is the window suite's, where it shows as a message.
    void mouseAddsAndRemovesVertices()
    {
        Editing editing;
        RadarIndicatorWidget *widget = editing.widget.get();
        QVector<RegionDocument::AddResult> refused;
        connect(widget, &RadarIndicatorWidget::vertexRefused, [&](auto why) { refused << why; });
        const Points added{QPointF(1200, 2000), QPointF(-600, 400), QPointF(0, 3000)};
        // The last lies in the blind wedge behind the sensor.
        for (const QPointF &vertex : added + Points{QPointF(0, -2000)})
            sendMouse(widget, QEvent::MouseButtonDblClick, editing.pixel(vertex), Qt::LeftButton,
                      Qt::LeftButton);
        QCOMPARE(editing.polygon(), added);
        QCOMPARE(refused, QVector{RegionDocument::AddResult::OutOfRange});

        // A right drag that starts on a handle only pans; a right click there removes it.
        const QPointF handle = editing.pixel(added[1]), panned = handle + QPointF(20, 0);
        hover(widget, handle);
        gesture(widget, handle, Qt::RightButton, {QPoint(20, 0)});
        QCOMPARE(editing.pixel(added[1]), panned);
        QCOMPARE(editing.polygon(), added);
        hover(widget, panned);
        gesture(widget, panned, Qt::RightButton, {QPoint()});
        QCOMPARE(editing.polygon(), (Points{added[0], added[2]}));
        // Delete takes the hovered vertex.
        hover(widget, editing.pixel(added[2]));
        QTest::keyClick(widget, Qt::Key_Delete);
        QCOMPARE(editing.polygon(), Points{added[0]});
    }
};

QTEST_MAIN(TestRegionDisplay)
#include "tst_regiondisplay.moc"
