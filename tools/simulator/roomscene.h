#pragma once

#include <QLineF>
#include <QPointF>
#include <QRandomGenerator>
#include <QVector>

// A 12 m x 8 m room around the sensor (off-centre): four walls with a door gap, a
// cabinet against the left wall, a pillar, and a person walking a loop. The sensor
// sits at (0, 0) in world millimetres, y forward.
class RoomScene
{
public:
    static constexpr int maxRangeMm = 20000;
    static constexpr int noiseMm = 10;

    explicit RoomScene(quint32 seed);

    // Measured distance along the ray at `angleDegrees` (counter-clockwise from +x) at scene
    // time `seconds`, with a little noise; 0 when nothing lies within range.
    int distance(double angleDegrees, double seconds);
    static QPointF walkerPosition(double seconds);

private:
    double nearestHit(const QLineF &ray, double seconds) const;

    QVector<QLineF> m_surfaces;
    QRandomGenerator m_noise;
};
