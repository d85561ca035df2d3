#include "device/scancsv.h"

#include <cmath>

namespace ScanCsv {

namespace {

// Angles in hundredths of a degree: the device's angles are whole hundredths, so rounding the
// recovered angle gives back the one the frame carried.
constexpr double hundredthsPerTurn = 36000.0;

// A value that rounds to zero from below, as y does at 0 degrees, is written 0.0, not -0.0.
QString oneDecimal(double value)
{
    const QString text = QString::number(value, 'f', 1);
    return text == QLatin1String("-0.0") ? QStringLiteral("0.0") : text;
}

} // namespace

QString header()
{
    return QStringLiteral("revolution,angle_deg,distance_mm,x_mm,y_mm\n");
}

QString rows(int revolution, const ScanFrames &frames)
{
    QString text;
    const QString prefix = QString::number(revolution) + QLatin1Char(',');
    for (const QVector<QPointF> &frame : frames) {
        for (const QPointF &point : frame) {
            const double turn = std::atan2(point.y(), point.x()) / (2 * M_PI);
            const double hundredths = std::fmod(
                std::round(turn * hundredthsPerTurn) + hundredthsPerTurn, hundredthsPerTurn);
            text += prefix + QString::number(hundredths / 100.0, 'f', 2) + QLatin1Char(',') +
                    QString::number(std::lround(std::hypot(point.x(), point.y()))) +
                    QLatin1Char(',') + oneDecimal(point.x()) + QLatin1Char(',') +
                    oneDecimal(point.y()) + QLatin1Char('\n');
        }
    }
    return text;
}

} // namespace ScanCsv
