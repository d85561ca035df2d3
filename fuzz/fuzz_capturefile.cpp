// Reads arbitrary files as captures: every record read is whole and writes back as it was read,
// and a file that stops early says at which record.
#include "capture/capturefile.h"
#include "fuzzcheck.h"

#include <QFile>
#include <QTemporaryDir>
#include <QVector>

#include <cstddef>
#include <cstdint>

namespace {

// The latest time the file's 32 bits of seconds hold.
constexpr qint64 latestTimeUs = (qint64(1) << 32) * 1000000 - 1;

void writeAll(const QString &path, const char *data, size_t size)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(data, qint64(size)) == qint64(size));
}

QVector<CaptureRecord> readAll(const QString &path, CaptureReader &reader)
{
    QVector<CaptureRecord> records;
    if (!reader.open(path, nullptr))
        return records;
    for (CaptureRecord record; reader.next(&record);) {
        FUZZ_CHECK(!record.bytes.isEmpty() && record.timeUs >= 0);
        FUZZ_CHECK(record.bytes.size() <= CaptureFormat::maxPayloadPerRecord);
        FUZZ_CHECK(record.direction == CaptureDirection::FromDevice ||
                   record.direction == CaptureDirection::ToDevice);
        records.append(record);
    }
    // Past its damage a capture reads nothing more.
    CaptureRecord more;
    FUZZ_CHECK(!reader.next(&more));
    if (reader.damage())
        FUZZ_CHECK(reader.damage()->record > 0 && !reader.damage()->text().isEmpty());
    return records;
}

bool sameRecords(const QVector<CaptureRecord> &a, const QVector<CaptureRecord> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].direction != b[i].direction || a[i].timeUs != b[i].timeUs ||
            a[i].bytes != b[i].bytes)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir dir;
    static const QString inputPath = dir.filePath(QStringLiteral("input.pcap"));
    static const QString rewrittenPath = dir.filePath(QStringLiteral("rewritten.pcap"));

    writeAll(inputPath, reinterpret_cast<const char *>(data), size);
    CaptureReader reader;
    const QVector<CaptureRecord> records = readAll(inputPath, reader);

    CaptureWriter writer;
    FUZZ_CHECK(writer.open(rewrittenPath, nullptr));
    for (const CaptureRecord &record : records) {
        // A microsecond field of a million or more reads as a later second, which a time near
        // the end of the file's seconds cannot be written back as.
        if (record.timeUs > latestTimeUs)
            return 0;
        FUZZ_CHECK(writer.write(record.direction, record.bytes, record.timeUs));
    }
    FUZZ_CHECK(writer.close());
    CaptureReader rereader;
    FUZZ_CHECK(sameRecords(readAll(rewrittenPath, rereader), records));
    FUZZ_CHECK(!rereader.damage());
    return 0;
}
