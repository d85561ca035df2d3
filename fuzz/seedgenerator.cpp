// Writes the seed corpus of every fuzz target: well-formed inputs built with the program's
// own encoders, so the fuzzers start from frames and files the device and the program make.
// Usage: fuzz_seeds <directory>; each target's seeds go to <directory>/<target>/.
#include "capture/capturefile.h"
#include "controlbytes.h"
#include "protocol/commands.h"
#include "protocol/hextext.h"
#include "protocol/modbus.h"
#include "protocol/regionframe.h"
#include "regionformats/regiondxf.h"
#include "regions/regionfile.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstdio>

namespace {

// Base angles of one revolution in hundredths of a degree: 15 frames of 18 degrees from
// 315 degrees on, the last (207 degrees) closing the revolution.
constexpr int framesPerRevolution = 15;
constexpr int firstBaseAngle = 31500;
constexpr int frameSpan = 1800;

QByteArray pointCloudFrame(const ScanGeometry &geometry, int baseAngle, int seed)
{
    QByteArray frame(geometry.frameLength, '\0');
    frame[0] = '\xA5';
    frame[1] = 0x5A;
    frame[2] = 0x02;
    qToBigEndian(quint16(baseAngle), frame.data() + 6);
    for (int i = 0; i < geometry.pointsPerFrame; ++i) {
        // Mostly plausible ranges, with the no-echo values 0 and 255 and the largest distance.
        const int pick = (i + seed) % 23;
        const quint16 distance = pick == 0   ? 0
                                 : pick == 1 ? 255
                                 : pick == 2 ? 65535
                                             : quint16(500 + 97 * pick + seed);
        qToBigEndian(distance, frame.data() + 10 + 2 * i);
    }
    return frame;
}

QByteArray revolutions(const ScanGeometry &geometry, int count)
{
    QByteArray bytes;
    for (int r = 0; r < count; ++r) {
        for (int k = 0; k < framesPerRevolution; ++k)
            bytes += pointCloudFrame(geometry, (firstBaseAngle + k * frameSpan) % 36000, r + k);
    }
    return bytes;
}

RegionStore sampleStore()
{
    RegionStore store = Regions::initialStore();
    for (int group : {1, 8, 15}) {
        for (int r = 0; r < Regions::regionsPerGroup; ++r) {
            QPolygonF polygon;
            const int vertices = group == 15 && r == 2 ? Regions::maxVertices : 3 + r;
            for (int v = 0; v < vertices; ++v)
                polygon << QPointF(-1500.5 + 100 * v, 800.25 + 40 * v * r + group);
            store[group][r].polygon = polygon;
            store[group][r].alarmPointNum = 4 + group + r;
        }
    }
    return store;
}

QByteArray deviceFrame(int group, int regionNumber, const QPolygonF &polygon, int alarmPoints)
{
    return RegionFrame::encodeFromDevice({group, regionNumber, alarmPoints, polygon});
}

QList<QByteArray> deviceFrames(const RegionStore &store)
{
    QList<QByteArray> frames;
    for (auto group = store.cbegin(); group != store.cend(); ++group) {
        for (int r = 0; r < group->size(); ++r)
            frames << deviceFrame(group.key(), r + 1, group->at(r).polygon,
                                  group->at(r).alarmPointNum);
    }
    return frames;
}

// The register-read reply that carries one region block: 00, the frame, 00.
QByteArray modbusBlockReply(const QByteArray &frame)
{
    return withModbusCrc(QByteArray::fromHex("010388") + '\0' + frame + '\0');
}

QByteArray hex(const QString &text)
{
    return HexText::toBytes(text);
}

QByteArray chunkPlan(quint8 firstSize, quint8 stride)
{
    return QByteArray() + char(firstSize) + char(stride);
}

QByteArray int16(qint16 value)
{
    QByteArray bytes(2, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

class SeedWriter
{
public:
    explicit SeedWriter(const QString &root) : m_root(root) {}

    QString path(const QString &target, const QString &name) const
    {
        QDir().mkpath(m_root.filePath(target));
        return m_root.filePath(target + QLatin1Char('/') + name);
    }
    void write(const QString &target, const QString &name, const QByteArray &bytes)
    {
        QFile file(path(target, name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            reportFailure(file.fileName());
    }
    void reportFailure(const QString &path)
    {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        m_failed = true;
    }
    bool failed() const { return m_failed; }

private:
    QDir m_root;
    bool m_failed = false;
};

void writePointCloudSeeds(SeedWriter &seeds)
{
    const QString target = QStringLiteral("fuzz_pointcloud");
    const auto control = [](DecoderControl::Geometry geometry, bool traced) {
        return QByteArray(1, char(DecoderControl{geometry, traced}.toByte()));
    };
    seeds.write(target, QStringLiteral("coarse_four_revolutions"),
                control(DecoderControl::Coarse, false) + chunkPlan(0, 0) +
                    revolutions(ScanGeometry::coarse(), 4));
    seeds.write(target, QStringLiteral("fine_split_traced"),
                control(DecoderControl::Fine, true) + chunkPlan(100, 7) +
                    revolutions(ScanGeometry::fine(), 4));
    seeds.write(target, QStringLiteral("alternating_after_garbage"),
                control(DecoderControl::Alternating, false) + chunkPlan(113, 100) +
                    QByteArray("\x01\xA5\xA5\x5A\x03", 5) + revolutions(ScanGeometry::coarse(), 1));
    seeds.write(target, QStringLiteral("custom_short_frames"),
                control(DecoderControl::Custom, false) + int16(30) + int16(100) + char(18) +
                    chunkPlan(0, 0) + revolutions(ScanGeometry::coarse(), 1));
}

void writeRegionFrameSeeds(SeedWriter &seeds)
{
    const QString target = QStringLiteral("fuzz_regionframes");
    const auto control = [](bool modbus, RegionParserControl::SkipLength skip, bool restart) {
        return QByteArray(1, char(RegionParserControl{modbus, skip, false, restart}.toByte()));
    };
    const QList<QByteArray> frames = deviceFrames(sampleStore());

    seeds.write(target, QStringLiteral("raw_reading"),
                control(false, RegionParserControl::SkipCoarse, false) +
                    chunkPlan(RegionFrame::size, 0) + frames.join());
    // Each chunk of the Modbus flavour is wrapped in 01 03 88 ... CRC by the target itself.
    QByteArray blocks;
    for (const QByteArray &frame : frames)
        blocks += '\0' + frame + '\0';
    seeds.write(target, QStringLiteral("modbus_reading"),
                control(true, RegionParserControl::SkipCoarse, false) +
                    chunkPlan(RegionFrame::size + 2, 0) + blocks);

    QByteArray negativeCount =
        deviceFrame(2, 1, QPolygonF(QVector<QPointF>{QPointF(1, 2), QPointF(3, 4)}), 9);
    negativeCount[10] = char(-3);
    QByteArray tooManyVertices = deviceFrame(2, 2, {}, 9);
    tooManyVertices[10] = 31;
    const QByteArray mixed = pointCloudFrame(ScanGeometry::fine(), 9000, 1) +
                             QByteArray("\x00\xA5", 2) + deviceFrame(16, 1, {}, 5) +
                             deviceFrame(3, 0, {}, 5) + deviceFrame(3, 4, {}, 5) + negativeCount +
                             tooManyVertices + frames.mid(0, 30).join();
    seeds.write(target, QStringLiteral("mixed_restarted"),
                control(false, RegionParserControl::SkipFine, true) + chunkPlan(50, 13) + mixed);
    seeds.write(target, QStringLiteral("custom_skip"),
                control(false, RegionParserControl::SkipCustom, false) + int16(5) +
                    chunkPlan(0, 0) + pointCloudFrame(ScanGeometry::coarse(), 100, 2) +
                    frames.first());
}

void writeReceiveSeeds(SeedWriter &seeds)
{
    const QString target = QStringLiteral("fuzz_receive");
    const auto control = [](LinkState state, ConnMode mode, bool acked = false, bool fine = false) {
        const ReceiveControl c{state, mode, acked, fine, mode == Net};
        return QByteArray() + char(c.firstByte()) + char(c.secondByte());
    };
    const QList<QByteArray> frames = deviceFrames(sampleStore());
    QByteArray modbusReplies;
    for (const QByteArray &frame : frames)
        modbusReplies += modbusBlockReply(frame);
    const QByteArray ack = hex(ReplyCode::ack);

    seeds.write(target, QStringLiteral("scanning_coarse"),
                control(Scanning, Usb) + chunkPlan(113, 0) +
                    revolutions(ScanGeometry::coarse(), 4));
    seeds.write(target, QStringLiteral("scanning_fine_region_page"),
                control(Scanning, Net, false, true) + chunkPlan(0, 0) +
                    revolutions(ScanGeometry::fine(), 4));
    seeds.write(target, QStringLiteral("starting_scan"),
                control(StartingScan, Usb) + chunkPlan(0, 0) +
                    pointCloudFrame(ScanGeometry::coarse(), 0, 0));
    seeds.write(target, QStringLiteral("stop_ack_in_point_cloud"),
                control(StoppingScan, Usb) + chunkPlan(0, 0) +
                    pointCloudFrame(ScanGeometry::coarse(), 0, 0) + ack);
    seeds.write(target, QStringLiteral("stop_ack_modbus"),
                control(StoppingScan, Modbus) + chunkPlan(0, 0) + hex(ReplyCode::modbusStopAck));
    seeds.write(target, QStringLiteral("regions_raw_complete"),
                control(RegionsFromDevice, Usb, true) + chunkPlan(RegionFrame::size, 0) +
                    frames.join());
    seeds.write(target, QStringLiteral("regions_raw_request_ack"),
                control(RegionsFromDevice, Net) + chunkPlan(0, 0) + ack + frames.first());
    seeds.write(target, QStringLiteral("regions_modbus_complete"),
                control(RegionsFromDevice, Modbus) +
                    chunkPlan(quint8(modbusBlockReply(frames.first()).size()), 0) + modbusReplies);
    const QByteArray writeEcho = withModbusCrc(hex(QStringLiteral("011000000044")));
    seeds.write(target, QStringLiteral("region_write_replies"),
                control(RegionsToDevice, Modbus) + chunkPlan(6, 0) + hex(ReplyCode::checksumError) +
                    hex(ReplyCode::modelMismatch) + ack + writeEcho);
    seeds.write(target, QStringLiteral("resolution_replies"),
                control(ResolutionQuery, Usb) + chunkPlan(6, 0) + hex(ReplyCode::resolutionFine) +
                    hex(ReplyCode::resolutionCoarse) + ack);
}

void writeRegionFileSeeds(SeedWriter &seeds)
{
    const QString target = QStringLiteral("fuzz_regionfile");
    const QString initialPath = seeds.path(target, QStringLiteral("initial"));
    const QString samplePath = seeds.path(target, QStringLiteral("sample"));
    if (!RegionFile::save(Regions::initialStore(), initialPath))
        seeds.reportFailure(initialPath);
    if (!RegionFile::save(sampleStore(), samplePath))
        seeds.reportFailure(samplePath);

    QFile initialFile(initialPath);
    const QByteArray initial =
        initialFile.open(QIODevice::ReadOnly) ? initialFile.readAll() : QByteArray();
    seeds.write(target, QStringLiteral("truncated"), initial.left(500));
    // Group 2's record names group 1 again: a later record replaces an earlier one.
    QByteArray repeatedKey = initial;
    repeatedKey[4 + 3 * 19 + 3] = 1;
    seeds.write(target, QStringLiteral("repeated_key"), repeatedKey);
    QByteArray hsvColour = initial;
    hsvColour[4] = 2;
    seeds.write(target, QStringLiteral("hsv_colour"), hsvColour);
}

// An exported drawing, and the shapes CAD programs save that an export does not write: a
// LWPOLYLINE in metres and a closed run of LINEs.
void writeDxfSeeds(SeedWriter &seeds)
{
    const QString target = QStringLiteral("fuzz_dxfimport");
    seeds.write(target, QStringLiteral("exported"), RegionDxf::drawing(sampleStore()));
    const auto drawing = [](const QString &header, const QString &entities) {
        return QStringLiteral(
                   "0 SECTION 2 HEADER %1 0 ENDSEC 0 SECTION 2 ENTITIES %2 0 ENDSEC 0 EOF")
                   .arg(header, entities)
                   .split(QLatin1Char(' '))
                   .join(QLatin1Char('\n'))
                   .toLatin1() +
               '\n';
    };
    seeds.write(
        target, QStringLiteral("lwpolyline_metres"),
        drawing(QStringLiteral("9 $INSUNITS 70 6"),
                QStringLiteral("0 LWPOLYLINE 8 A 90 3 70 1 10 1 20 0 10 0 20 1 10 -1 20 0")));
    seeds.write(target, QStringLiteral("lines"),
                drawing(QStringLiteral("9 $ACADVER 1 AC1009"),
                        QStringLiteral("0 LINE 8 B 10 1000 20 0 11 0 21 1000 "
                                       "0 LINE 8 B 10 0 20 1000 11 -1000 21 0 "
                                       "0 LINE 8 B 10 -1000 20 0 11 1000 21 0")));
}

// A pcap file as a machine of either byte order writes it, in micro- or nanoseconds, of link
// type USER0; each record a direction byte and `payload`'s bytes, `count` records of growing
// length.
QByteArray pcapFile(bool bigEndian, bool nanoseconds, const QByteArray &payload, int count)
{
    const auto word = [bigEndian](quint32 value) {
        QByteArray bytes(4, '\0');
        bigEndian ? qToBigEndian(value, bytes.data()) : qToLittleEndian(value, bytes.data());
        return bytes;
    };
    const auto half = [bigEndian](quint16 value) {
        QByteArray bytes(2, '\0');
        bigEndian ? qToBigEndian(value, bytes.data()) : qToLittleEndian(value, bytes.data());
        return bytes;
    };
    QByteArray file = word(nanoseconds ? 0xa1b23c4d : 0xa1b2c3d4) + half(2) + half(4) + word(0) +
                      word(0) + word(CaptureFormat::snapLength) +
                      word(CaptureFormat::linkTypeUser0);
    for (int i = 0; i < count; ++i) {
        const QByteArray data = char(i % 3) + payload.left(i * payload.size() / count);
        file += word(1700000000 + i) + word(i * 250000) + word(quint32(data.size())) +
                word(quint32(data.size())) + data;
    }
    return file;
}

void writeCaptureSeeds(SeedWriter &seeds)
{
    const QString target = QStringLiteral("fuzz_capturefile");
    const QByteArray scan = revolutions(ScanGeometry::coarse(), 1).left(3000);
    const QByteArray written = pcapFile(false, false, scan, 12);
    seeds.write(target, QStringLiteral("microseconds"), written);
    seeds.write(target, QStringLiteral("nanoseconds"), pcapFile(false, true, scan, 12));
    seeds.write(target, QStringLiteral("big_endian"), pcapFile(true, false, scan, 12));
    seeds.write(target, QStringLiteral("truncated"), written.chopped(7));
    seeds.write(target, QStringLiteral("huge_record"),
                pcapFile(false, false, scan, 2) + QByteArray::fromHex("00000000 00000000") +
                    QByteArray::fromHex("f0ffffff f0ffffff") + QByteArray(40, '\x01'));
    seeds.write(target, QStringLiteral("wrong_magic"), QByteArray(written).replace(0, 4, "PCAP"));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    SeedWriter seeds(QString::fromLocal8Bit(argv[1]));
    writePointCloudSeeds(seeds);
    writeRegionFrameSeeds(seeds);
    writeReceiveSeeds(seeds);
    writeRegionFileSeeds(seeds);
    writeDxfSeeds(seeds);
    writeCaptureSeeds(seeds);
    return seeds.failed() ? 1 : 0;
}
