#include "display/viewgeometry.h"

#include <QtTest>

using Zoom = ViewGeometry::ZoomChange;
Q_DECLARE_METATYPE(Zoom)

// The angle of a point is covered by the region model's suite, where polarAngle lives.
class TestViewGeometry : public QObject
{
    Q_OBJECT
private slots:
    void zoomSequences_data()
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
        QTest::newRow("finest") << QVector<int>{65} << 25.0 << 100.0 << 3201 << Zoom::CellSize;
        QTest::newRow("beyond finest") << QVector<int>{66} << 25.0 << 100.0 << 3201 << Zoom::None;
        QTest::newRow("coarsest") << QVector<int>{-22} << 5000.0 << 50.0 << 17 << Zoom::CellSize;
        QTest::newRow("beyond coarsest") << QVector<int>{-23} << 5000.0 << 50.0 << 17 << Zoom::None;
        QTest::newRow("full range and back")
            << QVector<int>{70, -100, 22} << 1000.0 << 50.0 << 81 << Zoom::ScaleStep;
    }
    void zoomSequences()
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
    }
};

QTEST_APPLESS_MAIN(TestViewGeometry)
#include "tst_viewgeometry.moc"
