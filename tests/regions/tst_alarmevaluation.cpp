#include "regions/alarmevaluation.h"

#include <QtTest>

namespace {

// A concave chevron seen from the origin (regions are held in angular order): its notch at
// (0, 500) leaves the points above it outside.
const QPolygonF concave =
    QVector<QPointF>{QPointF(0, 0), QPointF(1000, 1000), QPointF(0, 500), QPointF(-1000, 1000)};
// A wedge drawn from the origin, the way operators are told to draw.
const QPolygonF wedge = QVector<QPointF>{QPointF(0, 0), QPointF(1000, 1000), QPointF(-1000, 1000)};

RegionGroup groupWith(const QPolygonF &polygon, int alarmPoints)
{
    RegionGroup group = Regions::initialStore().value(1);
    group[1].polygon = polygon;
    group[1].alarmPointNum = alarmPoints;
    return group;
}

} // namespace

class AlarmEvaluationTest : public QObject
{
    Q_OBJECT

private slots:
    void countsAndAlarms_data()
    {
        QTest::addColumn<QPolygonF>("polygon");
        QTest::addColumn<int>("alarmPoints");
        QTest::addColumn<QVector<QPointF>>("points");
        QTest::addColumn<int>("inside");
        QTest::addColumn<bool>("alarm");

        const QPointF in(0, 800);
        QTest::newRow("convex, count reached exactly")
            << QPolygonF(QRectF(-1000, 500, 2000, 1000)) << 4
            << QVector<QPointF>{in, in, in, in, QPointF(0, 3000)} << 4 << true;
        QTest::newRow("convex, missed by one") << QPolygonF(QRectF(-1000, 500, 2000, 1000)) << 4
                                               << QVector<QPointF>{in, in, in} << 3 << false;
        QTest::newRow("closed through the sensor")
            << QPolygonF(QRectF(-1000, 500, 2000, 1000)) << 4
            << QVector<QPointF>{QPointF(0, 200), QPointF(-100, 300), QPointF(100, 300), in} << 4
            << true;
        QTest::newRow("concave notch is outside")
            << concave << 4
            << QVector<QPointF>{QPointF(0, 800), QPointF(0, 1500), QPointF(500, 600),
                                QPointF(-500, 600), QPointF(0, 300)}
            << 3 << false;
        QTest::newRow("from the origin, the origin and edges count")
            << wedge << 4
            << QVector<QPointF>{QPointF(0, 0), QPointF(500, 500), QPointF(0, 1000),
                                QPointF(0, 500.5), QPointF(600, 500)}
            << 4 << true;
        QTest::newRow("held in whole millimetres")
            << QPolygonF(
                   QVector<QPointF>{QPointF(0, 0), QPointF(1000.9, 1000.9), QPointF(-1000, 1000)})
            << 4 << QVector<QPointF>{QPointF(1000.5, 1000.5)} << 0 << false;
        QTest::newRow("two vertices never alarm")
            << QPolygonF(QVector<QPointF>{QPointF(0, 0), QPointF(0, 1000)}) << 4
            << QVector<QPointF>{QPointF(0, 500), QPointF(0, 500), QPointF(0, 500), QPointF(0, 500)}
            << 0 << false;
        // One byte reaches the device: 260 is held as 4.
        QTest::newRow("count beyond one byte")
            << wedge << 260 << QVector<QPointF>(4, QPointF(0, 500)) << 4 << true;
        QTest::newRow("entry order does not matter")
            << QPolygonF(QVector<QPointF>{QPointF(1000, 1000), QPointF(-1000, 1000), QPointF(0, 0)})
            << 4 << QVector<QPointF>{in, in, in, in} << 4 << true;
    }

    void countsAndAlarms()
    {
        QFETCH(QPolygonF, polygon);
        QFETCH(int, alarmPoints);
        QFETCH(QVector<QPointF>, points);
        QFETCH(int, inside);
        QFETCH(bool, alarm);

        // The points split over two frames, as a revolution arrives.
        const ScanFrames revolution{points.mid(0, 2), points.mid(2)};
        const AlarmEvaluator evaluator(groupWith(polygon, alarmPoints));
        const QVector<RegionAlarmState> states = evaluator.evaluate(revolution);
        QCOMPARE(states.size(), 3);
        QCOMPARE(states.at(1), (RegionAlarmState{inside, alarmPoints & 0xFF, alarm}));
        QCOMPARE(states.at(0).pointsInside, 0);
        // The display marks points one by one: it must mark the same ones.
        QCOMPARE(std::count_if(points.cbegin(), points.cend(),
                               [&](const QPointF &p) { return evaluator.regionHolding(p) == 1; }),
                 std::ptrdiff_t(inside));
    }
};

QTEST_APPLESS_MAIN(AlarmEvaluationTest)
#include "tst_alarmevaluation.moc"
