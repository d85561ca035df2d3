#include "display/viewgeometry.h"
#include "regions/region.h"

#include <QtTest>

using Zoom = ViewGeometry::ZoomChange;
Q_DECLARE_METATYPE(Zoom)

class TestViewGeometry : public QObject
{
    Q_OBJECT
private slots:
    void zoomSequences_data();
    void zoomSequences();
    void polarAngleCases_data();
    void polarAngleCases();
};

void TestViewGeometry::zoomSequences_data()
{
    // Notches applied in turn: positive zooms in, negative zooms out.
    QTest::addColumn<QVector<int>>("notches");
    QTest::addColumn<double>("cellMillimetres");
    QTest::addColumn<double>("cellPixels");
    QTest::addColumn<int>("gridLineCount");
    QTest::addColumn<Zoom>("lastChange");

    QTest::newRow("ten in") << QVector<int>{10} << 1000.0 << 100.0 << 81 << Zoom::CellSize;
    QTest::newRow("eleventh in") << QVector<int>{11} << 500.0 << 50.0 << 161 << Zoom::ScaleStep;
    QTest::newRow("one out") << QVector<int>{-1} << 2000.0 << 100.0 << 41 << Zoom::ScaleStep;
    QTest::newRow("500 to 200") << QVector<int>{22} << 200.0 << 50.0 << 401 << Zoom::ScaleStep;
    QTest::newRow("500 to 200 and back")
        << QVector<int>{22, -1} << 500.0 << 100.0 << 161 << Zoom::ScaleStep;
    QTest::newRow("to 100") << QVector<int>{33} << 100.0 << 50.0 << 801 << Zoom::ScaleStep;
    QTest::newRow("to 50") << QVector<int>{44} << 50.0 << 50.0 << 1601 << Zoom::ScaleStep;
    QTest::newRow("finest") << QVector<int>{65} << 25.0 << 100.0 << 3201 << Zoom::CellSize;
    QTest::newRow("beyond finest") << QVector<int>{66} << 25.0 << 100.0 << 3201 << Zoom::None;
    QTest::newRow("coarsest") << QVector<int>{-22} << 5000.0 << 50.0 << 17 << Zoom::CellSize;
    QTest::newRow("beyond coarsest") << QVector<int>{-23} << 5000.0 << 50.0 << 17 << Zoom::None;
    QTest::newRow("full range and back")
        << QVector<int>{70, -100, 22} << 1000.0 << 50.0 << 81 << Zoom::ScaleStep;
}

void TestViewGeometry::zoomSequences()
{
    QFETCH(QVector<int>, notches);
    ViewGeometry view;
    Zoom last = Zoom::None;
    for (int run : notches) {
        for (int i = 0; i < qAbs(run); ++i)
            last = run > 0 ? view.zoomIn() : view.zoomOut();
    }
    QTEST(view.cellMillimetres(), "cellMillimetres");
    QTEST(view.cellPixels(), "cellPixels");
    QTEST(view.gridLineCount(), "gridLineCount");
    QTEST(last, "lastChange");
    QCOMPARE(view.cellMillimetres(), double(ViewGeometry::scaleSteps[view.scaleStepIndex()]));
}

void TestViewGeometry::polarAngleCases_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<double>("angle");
    QTest::newRow("origin") << QPointF(0, 0) << 0.0;
    QTest::newRow("up") << QPointF(0, 5) << 90.0;
    QTest::newRow("down") << QPointF(0, -5) << 270.0;
    QTest::newRow("up-left") << QPointF(-1, 1) << 135.0;
    QTest::newRow("down-right") << QPointF(1, -1) << 315.0;
    QTest::newRow("left") << QPointF(-3, 0) << 180.0;
}

void TestViewGeometry::polarAngleCases()
{
    QFETCH(QPointF, point);
    QFETCH(double, angle);
    QVERIFY(qAbs(polarAngle(point.x(), point.y()) - angle) < 1e-6);
}

QTEST_APPLESS_MAIN(TestViewGeometry)
#include "tst_viewgeometry.moc"
