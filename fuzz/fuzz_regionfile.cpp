// Loads arbitrary files as region settings files.
#include "fuzzcheck.h"
#include "regions/regionfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

// A store unlike anything a short file would produce, so a partly applied load shows.
RegionStore originalStore()
{
    RegionStore store = Regions::initialStore();
    for (auto group = store.begin(); group != store.end(); ++group) {
        for (int r = 0; r < group->size(); ++r) {
            Region &region = (*group)[r];
            region.alarmPointNum = 100 + group.key() * 3 + r;
            region.polygon << QPointF(group.key(), r) << QPointF(-1000.5, 2000.25);
        }
    }
    return store;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// A file the loader accepted is written back by the saver in a form that reads back the same.
void checkRoundTrip(const RegionStore &loaded, const QString &path)
{
    FUZZ_CHECK(RegionFile::save(loaded, path));
    const QByteArray saved = readAll(path);
    RegionStore reloaded = originalStore();
    FUZZ_CHECK(RegionFile::load(path, reloaded));
    FUZZ_CHECK(RegionFile::save(reloaded, path));
    FUZZ_CHECK(readAll(path) == saved);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir dir;
    static const QString inputPath = dir.filePath(QStringLiteral("input.dat"));
    static const QString savedPath = dir.filePath(QStringLiteral("saved.dat"));
    static const RegionStore original = originalStore();

    writeAll(inputPath, QByteArray(reinterpret_cast<const char *>(data), int(size)));
    RegionStore store = original;
    if (!RegionFile::load(inputPath, store)) {
        FUZZ_CHECK(store == original);
        return 0;
    }

    FUZZ_CHECK(store.size() == Regions::groupCount);
    for (int key = 1; key <= Regions::groupCount; ++key) {
        FUZZ_CHECK(store.contains(key));
        FUZZ_CHECK(store.value(key).size() == Regions::regionsPerGroup);
        for (const Region &region : store.value(key))
            FUZZ_CHECK(region.polygon.size() <= Regions::maxVertices);
    }
    checkRoundTrip(store, savedPath);
    return 0;
}
