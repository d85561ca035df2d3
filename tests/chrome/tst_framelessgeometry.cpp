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
// Edges, one letter each.
const Qt::Edges none, T(Qt::TopEdge), L(Qt::LeftEdge), R(Qt::RightEdge), B(Qt::BottomEdge);
const std::optional<QRect> unchanged;

std::optional<QRect> rect(int x, int y, int w, int h)
{
    return QRect(x, y, w, h);
}
} // namespace

class TestFramelessGeometry : public QObject
{
    Q_OBJECT

private slots:
    void zoneAndCursor_data()
    {
        QTest::addColumn<QPoint>("global");
        QTest::addColumn<Qt::Edges>("zone");
        QTest::addColumn<Qt::CursorShape>("cursor");

        QTest::newRow("top-left outer limit") << QPoint(85, 185) << (T | L) << Qt::SizeFDiagCursor;
        QTest::newRow("top-right") << QPoint(1300, 200) << (T | R) << Qt::SizeBDiagCursor;
        QTest::newRow("bottom-left") << QPoint(100, 1000) << (B | L) << Qt::SizeBDiagCursor;
        QTest::newRow("top") << QPoint(600, 200) << T << Qt::SizeVerCursor;
        QTest::newRow("left") << QPoint(100, 600) << L << Qt::SizeHorCursor;
        QTest::newRow("right") << QPoint(1300, 600) << R << Qt::SizeHorCursor;
        QTest::newRow("bottom") << QPoint(600, 1000) << B << Qt::SizeVerCursor;
        QTest::newRow("bottom-right: right edge") << QPoint(1310, 1010) << R << Qt::SizeHorCursor;
        QTest::newRow("16 px above the top") << QPoint(600, 184) << none << Qt::ArrowCursor;
        QTest::newRow("inside") << QPoint(600, 600) << none << Qt::ArrowCursor;
    }
    void zoneAndCursor()
    {
        QFETCH(QPoint, global);
        const Qt::Edges found = zoneAt(window, global, borderWidth);
        QTEST(found, "zone");
        QTEST(cursorFor(found), "cursor");
    }

    void resized_data()
    {
        QTest::addColumn<Qt::Edges>("edges");
        QTest::addColumn<QPoint>("global");
        QTest::addColumn<std::optional<QRect>>("expected");

        QTest::newRow("top-right") << (T | R) << QPoint(1500, 150) << rect(100, 150, 1400, 850);
        QTest::newRow("top-right, 1000 wide")
            << (T | R) << QPoint(500, 150) << rect(100, 150, 1000, 850);
        QTest::newRow("top-right at left edge") << (T | R) << QPoint(100, 150) << unchanged;
        QTest::newRow("top-right gy 0") << (T | R) << QPoint(1500, 0) << unchanged;
        QTest::newRow("top-left") << (T | L) << QPoint(50, 100) << rect(50, 100, 1250, 900);
        QTest::newRow("top-left gx 0") << (T | L) << QPoint(0, 100) << unchanged;
        QTest::newRow("top-left gy 0") << (T | L) << QPoint(50, 0) << unchanged;
        QTest::newRow("bottom-left") << (B | L) << QPoint(50, 1100) << rect(50, 200, 1250, 900);
        QTest::newRow("bottom-left at top edge") << (B | L) << QPoint(50, 200) << unchanged;
        QTest::newRow("bottom-left gx 0") << (B | L) << QPoint(0, 1100) << unchanged;
        QTest::newRow("top") << T << QPoint(700, 150) << rect(100, 150, 1200, 850);
        QTest::newRow("top gy 1") << T << QPoint(700, 1) << rect(100, 1, 1200, 999);
        QTest::newRow("top gy 0") << T << QPoint(700, 0) << unchanged;
        QTest::newRow("top 50 px above desktop bottom") << T << QPoint(700, 1030) << unchanged;
        QTest::newRow("left") << L << QPoint(50, 700) << rect(50, 200, 1250, 800);
        QTest::newRow("left gx 1") << L << QPoint(1, 700) << rect(1, 200, 1299, 800);
        QTest::newRow("left gx 0") << L << QPoint(0, 700) << unchanged;
        QTest::newRow("left 50 px before desktop right") << L << QPoint(1870, 700) << unchanged;
        QTest::newRow("right") << R << QPoint(1500, 700) << rect(100, 200, 1400, 800);
        QTest::newRow("right, 1000 wide") << R << QPoint(101, 700) << rect(100, 200, 1000, 800);
        QTest::newRow("right at left edge") << R << QPoint(100, 700) << unchanged;
        QTest::newRow("bottom") << B << QPoint(700, 1100) << rect(100, 200, 1200, 900);
        QTest::newRow("bottom one below top") << B << QPoint(700, 201) << rect(100, 200, 1200, 1);
        QTest::newRow("bottom at top edge") << B << QPoint(700, 200) << unchanged;
        QTest::newRow("no edge") << none << QPoint(700, 700) << unchanged;
    }
    void resized()
    {
        QFETCH(Qt::Edges, edges);
        QFETCH(QPoint, global);
        QTEST(FramelessGeometry::resized(edges, window, global, desktop), "expected");
    }

    void dragZone_data()
    {
        QTest::addColumn<QRect>("titleBar");
        QTest::addColumn<QRect>("zone");
        QTest::newRow("1000 wide") << QRect(0, 0, 1000, 50) << QRect(200, 3, 600, 44);
        QTest::newRow("20 % truncated") << QRect(0, 0, 14, 50) << QRect(2, 3, 10, 44);
    }
    void dragZone()
    {
        QFETCH(QRect, titleBar);
        QTEST(FramelessGeometry::dragZone(titleBar), "zone");
    }
};

QTEST_APPLESS_MAIN(TestFramelessGeometry)
#include "tst_framelessgeometry.moc"
