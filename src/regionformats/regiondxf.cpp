#include "regionformats/regiondxf.h"

#include <dime/Input.h>
#include <dime/Model.h>
#include <dime/entities/LWPolyline.h>
#include <dime/entities/Line.h>
#include <dime/entities/Polyline.h>
#include <dime/entities/Vertex.h>
#include <dime/sections/EntitiesSection.h>
#include <dime/sections/HeaderSection.h>

#include <QFile>
#include <QSaveFile>
#include <QtMath>

#include <cmath>
#include <cstdio>
#include <memory>

namespace RegionDxf {

const char scanFieldLayer[] = "scan_field";

namespace {

constexpr double rangeLimitMillimetres = 20000.0;
// The scan field: a sector from 315 degrees counter-clockwise to 225, the blind wedge below.
constexpr double scanFieldStartDegrees = -45.0;
constexpr double scanFieldSweepDegrees = 270.0;
constexpr qint64 largestDrawingBytes = 8 * 1024 * 1024;
// A closed run of lines is chained end to end, pair by pair; beyond this many lines it could
// not be a region anyway, and chaining them would only take time.
constexpr int longestLineRun = 4096;
// Endpoints of one run of lines, in drawing units, that count as the same point.
constexpr double joinTolerance = 1e-4;

// $INSUNITS codes: 0 unitless, as R12 drawings are, is taken as millimetres.
constexpr int unitlessCode = 0;
constexpr int inchesCode = 1;
constexpr int millimetresCode = 4;
constexpr int metresCode = 6;

// AutoCAD colour index of each layer: yellow, orange and red as the display draws the
// regions, grey for the field.
constexpr int regionColours[Regions::regionsPerGroup] = {2, 40, 30};
constexpr int scanFieldColour = 8;

// DXF's ASCII form: a group code line, then its value line.
class GroupWriter
{
public:
    void text(int code, const QByteArray &value)
    {
        m_bytes += QByteArray::number(code).rightJustified(3, ' ') + '\n' + value + '\n';
    }
    void number(int code, int value) { text(code, QByteArray::number(value)); }
    void real(int code, double value) { text(code, QByteArray::number(value, 'f', 3)); }
    void point(const QPointF &point)
    {
        real(10, point.x());
        real(20, point.y());
        real(30, 0.0);
    }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

void writeLayerEntry(GroupWriter &out, const QByteArray &name, int colour)
{
    out.text(0, "LAYER");
    out.text(2, name);
    out.number(70, 0);
    out.number(62, colour);
    out.text(6, "CONTINUOUS");
}

// An R12 POLYLINE with its VERTEX entities and SEQEND; `bulges` gives the arc to the next
// vertex where there is one.
void writePolyline(GroupWriter &out, const QByteArray &layer, const QPolygonF &polygon,
                   const QMap<int, double> &bulges = {})
{
    constexpr int closedFlag = 1;
    constexpr int verticesFollowFlag = 1;
    out.text(0, "POLYLINE");
    out.text(8, layer);
    out.number(66, verticesFollowFlag);
    out.point(QPointF());
    out.number(70, closedFlag);
    for (int i = 0; i < polygon.size(); ++i) {
        out.text(0, "VERTEX");
        out.text(8, layer);
        out.point(polygon.at(i));
        if (bulges.contains(i))
            out.real(42, bulges.value(i));
    }
    out.text(0, "SEQEND");
    out.text(8, layer);
}

void writeScanField(GroupWriter &out)
{
    const auto onRim = [](double degrees) {
        return QPointF(rangeLimitMillimetres * qCos(qDegreesToRadians(degrees)),
                       rangeLimitMillimetres * qSin(qDegreesToRadians(degrees)));
    };
    const QPolygonF outline(QVector<QPointF>{QPointF(), onRim(scanFieldStartDegrees),
                                             onRim(scanFieldStartDegrees + scanFieldSweepDegrees)});
    // A bulge is the tangent of a quarter of the arc's angle, positive counter-clockwise.
    const double rimBulge = qTan(qDegreesToRadians(scanFieldSweepDegrees / 4));
    writePolyline(out, scanFieldLayer, outline, {{1, rimBulge}});
}

QPointF millimetres(double x, double y, double scale)
{
    // dime holds coordinates as float: a thousandth of a millimetre takes the noise off.
    const auto clean = [scale](double value) {
        const double scaled = value * scale;
        return qAbs(scaled) < 1e12 ? qRound64(scaled * 1000.0) / 1000.0 : scaled;
    };
    return QPointF(clean(x), clean(y));
}

bool samePoint(const QPointF &a, const QPointF &b)
{
    return qAbs(a.x() - b.x()) <= joinTolerance && qAbs(a.y() - b.y()) <= joinTolerance;
}

// A closing vertex that repeats the first is the same polygon.
QPolygonF withoutRepeatedStart(QPolygonF polygon)
{
    if (polygon.size() > 1 && samePoint(polygon.first(), polygon.last()))
        polygon.removeLast();
    return polygon;
}

// The lines chained end to end into one ring using every line, or nothing.
QPolygonF closedRun(QVector<QLineF> lines)
{
    if (lines.size() < 3)
        return {};
    QPolygonF ring(QVector<QPointF>{lines.first().p1()});
    QPointF end = lines.takeFirst().p2();
    while (!lines.isEmpty()) {
        int next = 0;
        while (next < lines.size() && !samePoint(lines.at(next).p1(), end) &&
               !samePoint(lines.at(next).p2(), end))
            ++next;
        if (next == lines.size())
            return {};
        const QLineF line = lines.takeAt(next);
        ring.append(end);
        end = samePoint(line.p1(), end) ? line.p2() : line.p1();
    }
    return samePoint(end, ring.first()) ? ring : QPolygonF();
}

// Whether `code` in entity `entity` is a count dime allocates its arrays by.
bool isAllocatingCount(const QByteArray &entity, int code)
{
    constexpr int lwPolylineVertices = 90;
    constexpr int firstSplineCount = 72; // knots, control points, fit points
    constexpr int lastSplineCount = 74;
    return (entity == "LWPOLYLINE" && code == lwPolylineVertices) ||
           (entity == "SPLINE" && code >= firstSplineCount && code <= lastSplineCount);
}

// dime trusts a drawing's structure and crashes on some damage (a file cut off inside a
// section, a count larger than what follows), so the reader hands it only ASCII drawings whose
// lines pair up as group codes and values, whose sections close and which end in EOF.
bool isWellFormed(const QByteArray &bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    // The final line break leaves one empty piece behind.
    const int lineCount = lines.size() - (lines.last().trimmed().isEmpty() ? 1 : 0);
    if (lineCount < 2 || lineCount % 2 != 0)
        return false;
    const int pairCount = lineCount / 2;
    constexpr int entityCode = 0;
    bool inSection = false;
    QByteArray entity;
    for (int pair = 0; pair < pairCount; ++pair) {
        bool isCode = false;
        const int code = lines.at(2 * pair).trimmed().toInt(&isCode);
        const QByteArray value = lines.at(2 * pair + 1).trimmed();
        if (!isCode)
            return false;
        // A vertex takes at least two pairs: no count in this drawing can be above its pairs.
        if (isAllocatingCount(entity, code) && value.toLongLong() > pairCount)
            return false;
        if (code != entityCode)
            continue;
        entity = value;
        if (value == "SECTION") {
            if (inSection)
                return false;
            inSection = true;
        } else if (value == "ENDSEC") {
            if (!inSection)
                return false;
            inSection = false;
        } else if (value == "EOF") {
            return !inSection && pair == pairCount - 1;
        }
    }
    return false;
}

QPolygonF polylineVertices(dimePolyline &polyline)
{
    QPolygonF polygon;
    for (int i = 0; i < polyline.getNumCoordVertices(); ++i) {
        const dimeVec3f &coords = polyline.getCoordVertex(i)->getCoords();
        polygon.append(QPointF(coords.x, coords.y));
    }
    return polygon;
}

QPolygonF lwPolylineVertices(const dimeLWPolyline &polyline)
{
    // dime keeps the declared vertex count even when no coordinates followed it.
    const dxfdouble *x = polyline.getXCoords();
    const dxfdouble *y = polyline.getYCoords();
    QPolygonF polygon;
    for (int i = 0; x && y && i < polyline.getNumVertices(); ++i)
        polygon.append(QPointF(x[i], y[i]));
    return polygon;
}

int headerUnits(const dimeModel &model)
{
    const auto *header = static_cast<const dimeHeaderSection *>(model.findSection("HEADER"));
    int groupCode = 0;
    dimeParam value;
    if (!header || header->getVariable("$INSUNITS", &groupCode, &value, 1) != 1)
        return unitlessCode;
    return value.int16_data;
}

// Millimetres per drawing unit; 0 for a unit the drawing is refused in.
double unitScale(int code, QString *name)
{
    switch (code) {
    case unitlessCode:
    case millimetresCode:
        return 1.0;
    case inchesCode:
        *name = QStringLiteral("inches");
        return 25.4;
    case metresCode:
        *name = QStringLiteral("metres");
        return 1000.0;
    default:
        return 0.0;
    }
}

} // namespace

QString layerName(int groupIndex, int rgnIndex)
{
    return QStringLiteral("group%1_region%2")
        .arg(groupIndex, 2, 10, QLatin1Char('0'))
        .arg(rgnIndex + 1);
}

QByteArray drawing(const RegionStore &store, int groupIndex)
{
    QVector<QPair<QByteArray, int>> layers = {{scanFieldLayer, scanFieldColour}};
    QVector<QPair<QByteArray, QPolygonF>> regions;
    for (auto group = store.cbegin(); group != store.cend(); ++group) {
        if (groupIndex != 0 && group.key() != groupIndex)
            continue;
        for (int rgnIndex = 0; rgnIndex < group->size(); ++rgnIndex) {
            const QPolygonF &polygon = group->at(rgnIndex).polygon;
            if (polygon.isEmpty())
                continue;
            const QByteArray name = layerName(group.key(), rgnIndex).toLatin1();
            layers.append({name, regionColours[rgnIndex % Regions::regionsPerGroup]});
            regions.append({name, polygon});
        }
    }

    GroupWriter out;
    out.text(0, "SECTION");
    out.text(2, "HEADER");
    out.text(9, "$ACADVER");
    out.text(1, "AC1009");
    out.text(9, "$INSUNITS");
    out.number(70, millimetresCode);
    out.text(0, "ENDSEC");

    out.text(0, "SECTION");
    out.text(2, "TABLES");
    out.text(0, "TABLE");
    out.text(2, "LTYPE");
    out.number(70, 1);
    out.text(0, "LTYPE");
    out.text(2, "CONTINUOUS");
    out.number(70, 0);
    out.text(3, "Solid line");
    out.number(72, 65);
    out.number(73, 0);
    out.real(40, 0.0);
    out.text(0, "ENDTAB");
    out.text(0, "TABLE");
    out.text(2, "LAYER");
    out.number(70, layers.size());
    for (const auto &layer : layers)
        writeLayerEntry(out, layer.first, layer.second);
    out.text(0, "ENDTAB");
    out.text(0, "ENDSEC");

    out.text(0, "SECTION");
    out.text(2, "ENTITIES");
    writeScanField(out);
    for (const auto &region : regions)
        writePolyline(out, region.first, region.second);
    out.text(0, "ENDSEC");
    out.text(0, "EOF");
    return out.bytes();
}

bool save(const QString &path, const RegionStore &store, int groupIndex)
{
    const QByteArray bytes = drawing(store, groupIndex);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

Drawing::Shapes &Drawing::shapesOf(const char *layer)
{
    const QString name = QString::fromUtf8(layer ? layer : "0");
    if (!m_layers.contains(name))
        m_layerOrder.append(name);
    return m_layers[name];
}

bool Drawing::parse(const QByteArray &bytes)
{
    m_layers.clear();
    m_layerOrder.clear();
    // dime reads from a stream; the bytes stay where they are.
    const std::unique_ptr<FILE, int (*)(FILE *)> stream(
        fmemopen(const_cast<char *>(bytes.constData()), size_t(bytes.size()), "r"), fclose);
    dimeInput input;
    dimeModel model;
    if (!isWellFormed(bytes) || !stream || !input.setFileHandle(stream.get()) ||
        !model.read(&input))
        return false;
    m_unitsCode = headerUnits(model);
    auto *entities = static_cast<dimeEntitiesSection *>(model.findSection("ENTITIES"));
    if (!entities)
        return false;
    for (int i = 0; i < entities->getNumEntities(); ++i) {
        dimeEntity *entity = entities->getEntity(i);
        constexpr int closedFlag = 1;
        // Meshes and polyface meshes are solids' surfaces, not outlines.
        constexpr int meshFlags = 16 | 64;
        switch (entity->typeId()) {
        case dimeBase::dimePolylineType: {
            auto &polyline = static_cast<dimePolyline &>(*entity);
            Shapes &shapes = shapesOf(entity->getLayerName());
            if ((polyline.getFlags() & meshFlags) == 0) {
                const QPolygonF vertices = polylineVertices(polyline);
                if ((polyline.getFlags() & closedFlag) ||
                    (vertices.size() > 1 && samePoint(vertices.first(), vertices.last())))
                    shapes.closedPolylines.append(withoutRepeatedStart(vertices));
            }
            break;
        }
        case dimeBase::dimeLWPolylineType: {
            const auto &polyline = static_cast<const dimeLWPolyline &>(*entity);
            Shapes &shapes = shapesOf(entity->getLayerName());
            const QPolygonF vertices = lwPolylineVertices(polyline);
            if ((polyline.getFlags() & closedFlag) ||
                (vertices.size() > 1 && samePoint(vertices.first(), vertices.last())))
                shapes.closedPolylines.append(withoutRepeatedStart(vertices));
            break;
        }
        case dimeBase::dimeLineType: {
            const auto &line = static_cast<const dimeLine &>(*entity);
            const dimeVec3f &from = line.getCoords(0);
            const dimeVec3f &to = line.getCoords(1);
            shapesOf(entity->getLayerName()).lines.append(QLineF(from.x, from.y, to.x, to.y));
            break;
        }
        default:
            break;
        }
    }
    return true;
}

bool Drawing::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestDrawingBytes)
        return false;
    return parse(file.readAll());
}

Import Drawing::region(const QString &layer) const
{
    Import import;
    import.layer = layer;
    import.layers = m_layerOrder;
    import.unitsCode = m_unitsCode;
    const double scale = unitScale(m_unitsCode, &import.unitsName);
    if (scale == 0.0) {
        import.refusal = Refusal::UnknownUnits;
        return import;
    }
    if (!m_layers.contains(layer)) {
        import.refusal = Refusal::NoSuchLayer;
        return import;
    }
    const Shapes &shapes = m_layers[layer];
    QPolygonF polygon;
    for (const QPolygonF &closed : shapes.closedPolylines) {
        if (closed.size() >= 3) {
            polygon = closed;
            break;
        }
    }
    if (polygon.isEmpty() && shapes.lines.size() > longestLineRun) {
        import.vertexCount = shapes.lines.size();
        import.refusal = Refusal::TooManyVertices;
        return import;
    }
    if (polygon.isEmpty())
        polygon = closedRun(shapes.lines);
    import.vertexCount = polygon.size();
    if (polygon.isEmpty()) {
        import.refusal = Refusal::NoClosedPolygon;
        return import;
    }
    if (polygon.size() > Regions::maxVertices) {
        import.refusal = Refusal::TooManyVertices;
        return import;
    }
    QPolygonF accepted;
    for (int i = 0; i < polygon.size(); ++i) {
        const QPointF point = millimetres(polygon.at(i).x(), polygon.at(i).y(), scale);
        if (!Regions::isPointInRange(point)) {
            import.vertex = i + 1;
            import.point = point;
            import.refusal = std::hypot(point.x(), point.y()) <= rangeLimitMillimetres
                                 ? Refusal::OutsideScanField
                                 : Refusal::BeyondRange;
            return import;
        }
        accepted.append(point);
    }
    import.polygon = accepted;
    return import;
}

Import importRegion(const QString &path, const QString &layer)
{
    Drawing drawing;
    if (drawing.load(path))
        return drawing.region(layer);
    Import import;
    import.refusal = Refusal::NotDxf;
    import.layer = layer;
    return import;
}

QString describe(const Import &import)
{
    const QString vertex = QStringLiteral("vertex %1 (%2, %3) mm")
                               .arg(import.vertex)
                               .arg(import.point.x(), 0, 'f', 1)
                               .arg(import.point.y(), 0, 'f', 1);
    switch (import.refusal) {
    case Refusal::None:
        return import.unitsName.isEmpty()
                   ? QStringLiteral("%1 vertices from layer %2")
                         .arg(import.polygon.size())
                         .arg(import.layer)
                   : QStringLiteral("%1 vertices from layer %2, converted from %3 to millimetres")
                         .arg(import.polygon.size())
                         .arg(import.layer, import.unitsName);
    case Refusal::NotDxf:
        return QStringLiteral("not a readable DXF drawing");
    case Refusal::NoSuchLayer:
        return QStringLiteral("no layer %1 with lines or polylines (layers: %2)")
            .arg(import.layer,
                 import.layers.isEmpty() ? QStringLiteral("none") : import.layers.join(", "));
    case Refusal::NoClosedPolygon:
        return QStringLiteral("layer %1 holds no closed polygon").arg(import.layer);
    case Refusal::TooManyVertices:
        return QStringLiteral("the polygon on layer %1 has %2 vertices; a region has at most %3")
            .arg(import.layer)
            .arg(import.vertexCount)
            .arg(Regions::maxVertices);
    case Refusal::BeyondRange:
        return vertex + QStringLiteral(" lies beyond 20000 mm");
    case Refusal::OutsideScanField:
        return vertex + QStringLiteral(" lies outside the scan field");
    case Refusal::UnknownUnits:
        return QStringLiteral("the drawing's units ($INSUNITS %1) are not millimetres, metres "
                              "or inches")
            .arg(import.unitsCode);
    }
    return {};
}

} // namespace RegionDxf
