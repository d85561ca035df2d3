#include "chrome/framelessgeometry.h"

#include <QtTest>

using namespace FramelessGeometry;

Q_DECLARE_METATYPE(Qt::Edges)
Q_DECLARE_METATYPE(Qt::CursorShape)
Q_DECLARE_METATYPE(std::optional<QRect>)

namespace {
// Left 100, right 1300, top 200, bottom 1000.
const QRect window(100, 200, 1200, 800);
const QSize desktop(1920, 1080);
const Qt::Edges none;
} // namespace

class TestFramelessGeometry : public QObject
{
    Q_OBJECT

private slots:
    void zoneAndCursor_data();
    void zoneAndCursor();
    void resized_data();
    void resized();
    void dragZone_data();
    void dragZone();
};

void TestFramelessGeometry::zoneAndCursor_data()
{
    QTest::addColumn<QPoint>("global");
    QTest::addColumn<Qt::Edges>("zone");
    QTest::addColumn<Qt::CursorShape>("cursor");

    const Qt::Edges topLeft = Qt::TopEdge | Qt::LeftEdge;
    const Qt::Edges topRight = Qt::TopEdge | Qt::RightEdge;
    const Qt::Edges bottomLeft = Qt::BottomEdge | Qt::LeftEdge;
    QTest::newRow("top-left") << QPoint(100, 200) << topLeft << Qt::SizeFDiagCursor;
    QTest::newRow("top-left outer limit") << QPoint(85, 185) << topLeft << Qt::SizeFDiagCursor;
    QTest::newRow("top-left inner limit") << QPoint(115, 215) << topLeft << Qt::SizeFDiagCursor;
    QTest::newRow("top-right") << QPoint(1300, 200) << topRight << Qt::SizeBDiagCursor;
    QTest::newRow("bottom-left") << QPoint(100, 1000) << bottomLeft << Qt::SizeBDiagCursor;
    QTest::newRow("top") << QPoint(600, 200) << Qt::Edges(Qt::TopEdge) << Qt::SizeVerCursor;
    QTest::newRow("left") << QPoint(100, 600) << Qt::Edges(Qt::LeftEdge) << Qt::SizeHorCursor;
    QTest::newRow("right") << QPoint(1300, 600) << Qt::Edges(Qt::RightEdge) << Qt::SizeHorCursor;
    QTest::newRow("bottom") << QPoint(600, 1000) << Qt::Edges(Qt::BottomEdge) << Qt::SizeVerCursor;
    QTest::newRow("bottom-right is the right edge")
        << QPoint(1310, 1010) << Qt::Edges(Qt::RightEdge) << Qt::SizeHorCursor;
    QTest::newRow("16 px above the top") << QPoint(600, 184) << none << Qt::ArrowCursor;
    QTest::newRow("16 px right of the right") << QPoint(1316, 600) << none << Qt::ArrowCursor;
    QTest::newRow("inside") << QPoint(600, 600) << none << Qt::ArrowCursor;
}

void TestFramelessGeometry::zoneAndCursor()
{
    QFETCH(QPoint, global);
    QFETCH(Qt::Edges, zone);
    QFETCH(Qt::CursorShape, cursor);

    const Qt::Edges found = zoneAt(window, global, borderWidth);
    QCOMPARE(found, zone);
    QCOMPARE(cursorFor(found), cursor);
}

void TestFramelessGeometry::resized_data()
{
    QTest::addColumn<Qt::Edges>("edges");
    QTest::addColumn<QPoint>("global");
    QTest::addColumn<std::optional<QRect>>("expected");

    const std::optional<QRect> unchanged;
    const Qt::Edges topRight = Qt::TopEdge | Qt::RightEdge;
    const Qt::Edges topLeft = Qt::TopEdge | Qt::LeftEdge;
    const Qt::Edges bottomLeft = Qt::BottomEdge | Qt::LeftEdge;
    const Qt::Edges top = Qt::TopEdge, left = Qt::LeftEdge, right = Qt::RightEdge;
    const Qt::Edges bottom = Qt::BottomEdge;
    const auto rect = [](int x, int y, int w, int h) {
        return std::optional<QRect>(QRect(x, y, w, h));
    };

    QTest::newRow("top-right") << topRight << QPoint(1500, 150) << rect(100, 150, 1400, 850);
    QTest::newRow("top-right narrow keeps 1000")
        << topRight << QPoint(500, 150) << rect(100, 150, 1000, 850);
    QTest::newRow("top-right at left edge") << topRight << QPoint(100, 150) << unchanged;
    QTest::newRow("top-right gy 0") << topRight << QPoint(1500, 0) << unchanged;
    QTest::newRow("top-right gy 1") << topRight << QPoint(1500, 1) << rect(100, 1, 1400, 999);
    QTest::newRow("top-right near desktop bottom") << topRight << QPoint(1500, 1030) << unchanged;
    QTest::newRow("top-left") << topLeft << QPoint(50, 100) << rect(50, 100, 1250, 900);
    QTest::newRow("top-left gx 0") << topLeft << QPoint(0, 100) << unchanged;
    QTest::newRow("top-left gy 0") << topLeft << QPoint(50, 0) << unchanged;
    QTest::newRow("bottom-left") << bottomLeft << QPoint(50, 1100) << rect(50, 200, 1250, 900);
    QTest::newRow("bottom-left at top edge") << bottomLeft << QPoint(50, 200) << unchanged;
    QTest::newRow("bottom-left gx 0") << bottomLeft << QPoint(0, 1100) << unchanged;
    QTest::newRow("top") << top << QPoint(700, 150) << rect(100, 150, 1200, 850);
    QTest::newRow("top gy 1") << top << QPoint(700, 1) << rect(100, 1, 1200, 999);
    QTest::newRow("top gy 0") << top << QPoint(700, 0) << unchanged;
    QTest::newRow("top 50 px above desktop bottom") << top << QPoint(700, 1030) << unchanged;
    QTest::newRow("left") << left << QPoint(50, 700) << rect(50, 200, 1250, 800);
    QTest::newRow("left gx 1") << left << QPoint(1, 700) << rect(1, 200, 1299, 800);
    QTest::newRow("left gx 0") << left << QPoint(0, 700) << unchanged;
    QTest::newRow("left 50 px before desktop right") << left << QPoint(1870, 700) << unchanged;
    QTest::newRow("right") << right << QPoint(1500, 700) << rect(100, 200, 1400, 800);
    QTest::newRow("right narrow keeps 1000")
        << right << QPoint(400, 700) << rect(100, 200, 1000, 800);
    QTest::newRow("right one past left edge")
        << right << QPoint(101, 700) << rect(100, 200, 1000, 800);
    QTest::newRow("right at left edge") << right << QPoint(100, 700) << unchanged;
    QTest::newRow("bottom") << bottom << QPoint(700, 1100) << rect(100, 200, 1200, 900);
    QTest::newRow("bottom one below top") << bottom << QPoint(700, 201) << rect(100, 200, 1200, 1);
    QTest::newRow("bottom at top edge") << bottom << QPoint(700, 200) << unchanged;
    QTest::newRow("no edge") << none << QPoint(700, 700) << unchanged;
}

void TestFramelessGeometry::resized()
{
    QFETCH(Qt::Edges, edges);
    QFETCH(QPoint, global);
    QFETCH(std::optional<QRect>, expected);

    QCOMPARE(FramelessGeometry::resized(edges, window, global, desktop), expected);
}

void TestFramelessGeometry::dragZone_data()
{
    QTest::addColumn<QRect>("titleBar");
    QTest::addColumn<QRect>("zone");

    QTest::newRow("1000 wide") << QRect(0, 0, 1000, 50) << QRect(200, 3, 600, 44);
    QTest::newRow("20 % truncated") << QRect(0, 0, 14, 50) << QRect(2, 3, 10, 44);
}

void TestFramelessGeometry::dragZone()
{
    QFETCH(QRect, titleBar);
    QFETCH(QRect, zone);

    QCOMPARE(FramelessGeometry::dragZone(titleBar), zone);
}

QTEST_APPLESS_MAIN(TestFramelessGeometry)
#include "tst_framelessgeometry.moc"
