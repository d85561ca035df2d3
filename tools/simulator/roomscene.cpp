#include "roomscene.h"

#include <QtMath>

#include <cmath>
#include <limits>

namespace {

struct Disc
{
    QPointF centre;
    double radius;
};

constexpr double left = -3500, right = 8500, bottom = -2000, top = 6000;
constexpr double doorFrom = 2000, doorTo = 3000; // gap in the top wall
const Disc pillar{{6500, 1000}, 300};
constexpr double walkerRadius = 250;
constexpr double walkPeriodSeconds = 10;

// Distance from the ray's origin to the disc, or infinity when the ray misses it.
double discHit(const QLineF &ray, const Disc &disc)
{
    const QPointF direction = (ray.p2() - ray.p1()) / ray.length();
    const QPointF toCentre = disc.centre - ray.p1();
    const double along = QPointF::dotProduct(toCentre, direction);
    const double squaredMiss = QPointF::dotProduct(toCentre, toCentre) - along * along;
    const double squaredRadius = disc.radius * disc.radius;
    if (along <= 0 || squaredMiss > squaredRadius)
        return std::numeric_limits<double>::infinity();
    return along - std::sqrt(squaredRadius - squaredMiss);
}

} // namespace

RoomScene::RoomScene(quint32 seed) : m_noise(seed)
{
    m_surfaces = {
        {left, bottom, right, bottom},
        {right, bottom, right, top},
        {right, top, doorTo, top},
        {doorFrom, top, left, top},
        {left, top, left, bottom},
        // cabinet against the left wall
        {left, 1500, -2900, 1500},
        {-2900, 1500, -2900, 3500},
        {-2900, 3500, left, 3500},
    };
}

QPointF RoomScene::walkerPosition(double seconds)
{
    const double phase = 2 * M_PI * seconds / walkPeriodSeconds;
    return {2000 + 2500 * std::cos(phase), 2500 + 1200 * std::sin(phase)};
}

int RoomScene::distance(double angleDegrees, double seconds)
{
    const double radians = qDegreesToRadians(angleDegrees);
    const double reach = 1.5 * maxRangeMm;
    const QLineF ray(0, 0, reach * std::cos(radians), reach * std::sin(radians));
    const double hit = nearestHit(ray, seconds);
    if (hit > maxRangeMm)
        return 0;
    const int noise = m_noise.bounded(-noiseMm, noiseMm + 1);
    return qBound(1, qRound(hit) + noise, maxRangeMm);
}

double RoomScene::nearestHit(const QLineF &ray, double seconds) const
{
    double nearest =
        std::min(discHit(ray, pillar), discHit(ray, {walkerPosition(seconds), walkerRadius}));
    for (const QLineF &surface : m_surfaces) {
        QPointF crossing;
        if (ray.intersects(surface, &crossing) == QLineF::BoundedIntersection)
            nearest = std::min(nearest, QLineF(ray.p1(), crossing).length());
    }
    return nearest;
}
