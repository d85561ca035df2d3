#include "scantruth.h"

#include "scanstreamer.h"

#include <QStringList>

#include <cmath>

namespace {

// Point-cloud frame: A5 5A 02, frame index, revolution, 00, base angle, rate, step, distances.
constexpr int frameIndexOffset = 3;
constexpr int revolutionOffset = 4;
constexpr int baseAngleOffset = 6;
constexpr int distancesOffset = 10;
constexpr int noEcho = 0;
constexpr int alsoNoEcho = 255; // the program drops 0x00FF as well
constexpr int fullTurnHundredths = 36000;
// The program's own value of pi, so that coordinates compare digit for digit.
constexpr double pi = 3.141592653;

int wordAt(const QByteArray &bytes, int offset)
{
    return quint8(bytes.at(offset)) << 8 | quint8(bytes.at(offset + 1));
}

QString millimetres(double value)
{
    const QString text = QString::number(value, 'f', 1);
    return text == QLatin1String("-0.0") ? QStringLiteral("0.0") : text;
}

} // namespace

bool ScanTruth::open(const QString &path, QString *error)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        m_file.write("revolution,angle_deg,distance_mm,x_mm,y_mm\n") < 0 || !m_file.flush()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return true;
}

void ScanTruth::record(const QByteArray &bytes)
{
    if (!m_file.isOpen())
        return;
    const int revolutionByte = quint8(bytes.at(revolutionOffset));
    if (m_inRevolution && revolutionByte != m_revolutionByte)
        finishRevolution();
    if (!m_inRevolution) {
        ++m_revolution;
        m_inRevolution = true;
        m_revolutionByte = revolutionByte;
    }
    const int baseHundredths = wordAt(bytes, baseAngleOffset);
    const double baseDegrees = baseHundredths / 100.0;
    const double resolution = m_geometry.angleResolution;
    const int stepHundredths = qRound(resolution * 100);
    for (int i = 0; i < m_geometry.pointsPerFrame; ++i) {
        const int distance = wordAt(bytes, distancesOffset + 2 * i);
        if (distance == noEcho || distance == alsoNoEcho)
            continue;
        const double theta = (i * resolution + baseDegrees) / 180.0 * pi;
        const int angleHundredths = (baseHundredths + i * stepHundredths) % fullTurnHundredths;
        const QStringList row = {QString::number(m_revolution),
                                 QString::number(angleHundredths / 100.0, 'f', 2),
                                 QString::number(distance), millimetres(distance * std::cos(theta)),
                                 millimetres(distance * std::sin(theta))};
        m_rows += row.join(QLatin1Char(',')).toLatin1() + '\n';
    }
    if (quint8(bytes.at(frameIndexOffset)) == ScanStreamer::framesPerRevolution - 1)
        finishRevolution();
}

void ScanTruth::finishRevolution()
{
    m_inRevolution = false;
    if (m_rows.isEmpty())
        return;
    m_file.write(m_rows);
    m_file.flush();
    m_rows.clear();
}
