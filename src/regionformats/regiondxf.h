#pragma once

#include "regions/region.h"

#include <QByteArray>
#include <QLineF>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// Regions as DXF drawings: written as R12 ASCII, which every CAD program opens; read with dime,
// whatever version a CAD program saved.
namespace RegionDxf {

extern const char scanFieldLayer[];

// `groupGG_regionR`: two-digit group, region from 1.
QString layerName(int groupIndex, int rgnIndex);

// Every non-empty region of `groupIndex` (0: of every group) as one closed polyline on its own
// layer, millimetres, the sensor at the origin, and the scan field's outline.
QByteArray drawing(const RegionStore &store, int groupIndex = 0);
// All or nothing, as the region file is saved.
bool save(const QString &path, const RegionStore &store, int groupIndex = 0);

// Why a layer does not become a region.
enum class Refusal
{
    None,
    NotDxf,
    NoSuchLayer,
    NoClosedPolygon,
    TooManyVertices,
    BeyondRange,
    OutsideScanField,
    UnknownUnits,
};

struct Import
{
    Refusal refusal = Refusal::None;
    QPolygonF polygon; // millimetres, once accepted
    int vertexCount = 0;
    int vertex = 0;    // from 1: the one outside
    QPointF point;     // its millimetres
    int unitsCode = 0; // the header's $INSUNITS
    QString unitsName; // a unit converted from ("metres", "inches"); empty for millimetres
    QString layer;
    QStringList layers;

    bool accepted() const { return refusal == Refusal::None; }
};

// The shapes of a drawing, layer by layer, in the drawing's own units.
class Drawing
{
public:
    // False when the bytes are no drawing dime can read.
    bool parse(const QByteArray &bytes);
    // Reads at most a few megabytes: a region drawing is small.
    bool load(const QString &path);

    // Layers that hold a polyline or line, in the order they first appear.
    QStringList layers() const { return m_layerOrder; }
    // The closed polygon on `layer` as a region, or the reason it is none.
    Import region(const QString &layer) const;

private:
    struct Shapes
    {
        QVector<QPolygonF> closedPolylines;
        QVector<QLineF> lines;
    };
    Shapes &shapesOf(const char *layer);

    QMap<QString, Shapes> m_layers;
    QStringList m_layerOrder;
    int m_unitsCode = 0;
};

// The file's region on `layer`; a file that cannot be read is refused as no DXF.
Import importRegion(const QString &path, const QString &layer);

// One line of English for the command line and the log.
QString describe(const Import &import);

} // namespace RegionDxf
