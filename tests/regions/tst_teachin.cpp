#include "regions/teachin.h"
#include "roomscene.h"

#include <QtTest>

Q_DECLARE_METATYPE(TeachIn::Options)

class TeachInTest : public QObject
{
    Q_OBJECT

private slots:
    void regionFitsTheRoom_data()
    {
        QTest::addColumn<TeachIn::Options>("options");
        QTest::newRow("whole field") << TeachIn::Options{};
        QTest::newRow("margin 300, sector past the field") << TeachIn::Options{300, -90, 270};
        QTest::newRow("no margin") << TeachIn::Options{0};
        QTest::newRow("30..150") << TeachIn::Options{100, 30, 150};
        QTest::newRow("-30..40, across 0") << TeachIn::Options{100, -30, 40};
    }

    // One revolution of the room at the coarse 0.36 degrees, the door open to the range limit.
    // The reference is the free space between the sensor and the contour pulled in by the
    // margin, within the sector.
    void regionFitsTheRoom()
    {
        QFETCH(TeachIn::Options, options);
        RoomScene room(1);
        QVector<QPointF> points;
        double reference = 0, area = 0;
        for (int ray = 0; ray < 750; ++ray) {
            const double degrees = -45 + ray * 0.36, distance = room.distance(degrees, 0);
            if (distance > 0) // Qt's polar angles run clockwise when y points up
                points << QLineF::fromPolar(distance, -degrees).p2();
            // Half r squared times 0.36 degrees (pi / 500); a ray without echo is free to 20 m.
            if (degrees >= options.startAngleDeg && degrees < options.endAngleDeg)
                reference += qPow(distance > 0 ? distance - options.marginMm : 2e4, 2) * M_PI / 1e3;
        }
        const QPolygonF region = TeachIn::regionFromScan(points, options);
        QVERIFY(region.size() <= Regions::maxVertices && Regions::sortedByAngle(region) == region);
        const QPolygonF drawn = QVector<QPointF>{QPointF()} + region; // closed through the sensor
        for (int i = 1; i < drawn.size(); ++i) {
            const double key = Regions::angleKey(drawn[i]);
            QVERIFY(Regions::isPointInRange(drawn[i]) && key >= options.startAngleDeg &&
                    key <= options.endAngleDeg);
            // Shoelace; the edges at the sensor add nothing.
            area += (drawn[i - 1].x() * drawn[i].y() - drawn[i].x() * drawn[i - 1].y()) / 2;
        }
        // No point lies inside, nor 1/20000 of its distance nearer the sensor (under 0.5 mm here).
        for (const QPointF &point : points)
            for (const double scale : {1.0, 0.99995})
                QVERIFY(!drawn.containsPoint(point * scale, Qt::OddEvenFill));
        QVERIFY2(area >= 0.8 * reference, qPrintable(QString::number(area / reference)));
    }
};

QTEST_MAIN(TeachInTest)
#include "tst_teachin.moc"
