// Reads arbitrary bytes as a DXF drawing and takes every layer it names as a region, as
// "Import DXF…" and vks20-cli regions import do.
#include "fuzzcheck.h"
#include "regionformats/regiondxf.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RegionDxf::Drawing drawing;
    if (!drawing.parse(QByteArray(reinterpret_cast<const char *>(data), int(size))))
        return 0;
    const QStringList layers = drawing.layers();
    FUZZ_CHECK(QSet<QString>(layers.begin(), layers.end()).size() == layers.size());
    for (const QString &layer : layers) {
        const RegionDxf::Import import = drawing.region(layer);
        FUZZ_CHECK(!RegionDxf::describe(import).isEmpty());
        if (!import.accepted()) {
            FUZZ_CHECK(import.polygon.isEmpty());
            continue;
        }
        // What is accepted is a region the device takes.
        FUZZ_CHECK(import.polygon.size() >= 3 && import.polygon.size() <= Regions::maxVertices);
        for (const QPointF &point : import.polygon)
            FUZZ_CHECK(Regions::isPointInRange(point));
    }
    return 0;
}
