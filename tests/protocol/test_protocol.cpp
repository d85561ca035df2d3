#include "protocol/commands.h"
#include "protocol/hextext.h"
#include "protocol/modbus.h"
#include "protocol/pointclouddecoder.h"
#include "protocol/regionframe.h"
#include "protocol/regionframeparser.h"

#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <numeric>

namespace {

const QString emptySlot = QStringLiteral("75307558");

// A frame as the device sends it when the program reads its regions.
QByteArray deviceFrame(int group, int region, int alarmPoints = 5,
                       const QVector<QPointF> &polygon = {})
{
    return RegionFrame::encodeFromDevice({group, region, alarmPoints, polygon});
}

// A point-cloud frame as the parser meets it while the device streams.
const QByteArray pointCloudFrame = QByteArray::fromHex("A55A02").leftJustified(113, '\0');

using Check = RegionFrame::FrameCheck;

// Both parsers (the raw one for 113-byte point-cloud frames), recording what they hand on: the
// usable frames (as the frame the device sends for each) and the check of every frame.
struct Parser
{
    void feed(const QByteArray &chunk) { parser.feed(chunk, 113, take); }
    void feedModbus(const QByteArray &chunk) { modbus.feed(chunk, take); }

    RegionFrameParser parser;
    ModbusRegionReplyParser modbus;
    QByteArray stored;
    QVector<Check> checks;
    const RegionFrameHandler take = [this](const RegionFrame::Content &c, Check check) {
        checks << check;
        if (check == Check::Usable)
            stored += deviceFrame(c.groupIndex, c.regionNumber, c.alarmPointNum, c.polygon);
    };
};

const QByteArray ack = QByteArray::fromHex("A55A0098FAFB");

QByteArray modbusReply(const QByteArray &frame)
{
    return withModbusCrc(QByteArray::fromHex("010388") + '\0' + frame + '\0');
}

constexpr double pi = 3.141592653;
// Base angles strictly between 200 and 215 degrees close a revolution.
constexpr int closingAngle = 20700;

// A point-cloud frame of the geometry's length; distances beyond those given are 0 (no echo).
QByteArray cloudFrame(int baseAngleHundredths, const QVector<int> &distances,
                      const ScanGeometry &geometry = ScanGeometry::coarse(), char type = 0x02)
{
    QByteArray frame =
        QByteArray("\xA5\x5A", 2).append(type).leftJustified(geometry.frameLength, '\0');
    qToBigEndian(static_cast<quint16>(baseAngleHundredths), frame.data() + 6);
    for (int i = 0; i < distances.size(); ++i)
        qToBigEndian(static_cast<quint16>(distances.at(i)), frame.data() + 10 + 2 * i);
    return frame;
}

QPointF expectedPoint(double distance, double degrees)
{
    const double theta = degrees / 180.0 * pi;
    return {distance * std::cos(theta), distance * std::sin(theta)};
}

// A decoder that records the revolutions it hands over, each with whether it is complete. It
// has seen one revolution close, so the next one it hands over is complete.
struct Decoder
{
    explicit Decoder(const ScanGeometry &geometry = ScanGeometry::coarse())
    {
        decoder.feed(cloudFrame(closingAngle, {}, geometry), geometry);
        decoder.setRevolutionHandler([this](const ScanFrames &frames, bool complete) {
            revolutions << frames;
            completeness << complete;
        });
    }
    void feed(const QByteArray &bytes) { decoder.feed(bytes, ScanGeometry::coarse()); }

    PointCloudDecoder decoder;
    QVector<ScanFrames> revolutions;
    QVector<bool> completeness;
};

} // namespace

Q_DECLARE_METATYPE(QVector<Check>)

class TestProtocol : public QObject
{
    Q_OBJECT

private slots:
    // The initial store: 45 frames with no vertices and count 5, in order, as raw frames with
    // their checksum and as Modbus write blocks.
    void initialStoreFrames()
    {
        for (int block = 0; block < 45; ++block) {
            const RegionFrame::Content content{block / 3 + 1, block % 3 + 1, 5, {}};
            const QByteArray raw = RegionFrame::encodeRaw(content);
            QCOMPARE(HexText::fromBytes(raw.left(11)),
                     QString::asprintf("A55A0210%02X00000005%02X00", block / 3 + 1, block % 3 + 1));
            QCOMPARE(HexText::fromBytes(raw.mid(11, 120)), emptySlot.repeated(30));
            const int sum = std::accumulate(raw.cbegin(), raw.cbegin() + 131, 0);
            QCOMPARE(raw.mid(131), QByteArray(1, static_cast<char>(sum)) + "\xFA\xFB");

            const QByteArray request =
                RegionFrame::modbusWriteRequest(block, RegionFrame::encodeBody(content));
            QCOMPARE(HexText::fromBytes(request.left(8)),
                     QString::asprintf("0110%04X00448800", block * 68));
            QCOMPARE(request.mid(8, 131), raw.left(131));
            QCOMPARE(request.mid(139, 4), QByteArray::fromHex("00FAFB00"));
            QVERIFY(hasValidModbusCrc(request));
        }
        QCOMPARE(RegionFrame::modbusReadRequest(0), QByteArray::fromHex("01030000004445F9"));
        QCOMPARE(RegionFrame::modbusReadRequest(44), QByteArray::fromHex("01030BB00044463A"));
    }

    // The vectors: (-100, 250) is 74 CC 76 52; x = -0.5 writes 29999 and reads back -1.
    void vertexSlot_data()
    {
        QTest::addColumn<QPointF>("vertex");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QPointF>("readBack");
        const auto row = [](const char *name, QPointF vertex, const QString &slot, QPointF back) {
            QTest::newRow(name) << vertex << slot << back;
        };
        row("(-100, 250)", QPointF(-100, 250), "74CC7652", QPointF(-100, 250));
        row("x = -0.5", QPointF(-0.5, 0), "752F7558", QPointF(-1, 0));
        row("fractions", QPointF(10.9, -0.9), "753A7557", QPointF(10, -1));
        row("scan field corner", QPointF(-20000, 20000), "2710C378", QPointF(-20000, 20000));
        // Nothing wraps round 16 bits to the far side of the sensor.
        row("beyond the field", QPointF(40000, -1e9), "C3502738", QPointF(20000, -20000));
        row("not a number", QPointF(qQNaN(), 1e300), "7530C378", QPointF(0, 20000));
    }
    void vertexSlot()
    {
        QFETCH(QPointF, vertex);
        QFETCH(QString, slot);
        QFETCH(QPointF, readBack);
        const QVector<QPointF> polygon{vertex};
        QCOMPARE(HexText::fromBytes(RegionFrame::encodeBody({1, 1, 5, polygon}).mid(10, 9)),
                 "01" + slot + emptySlot);
        QCOMPARE(RegionFrame::decode(deviceFrame(1, 1, 5, polygon)).polygon,
                 QVector<QPointF>{readBack});
    }

    // Out-of-store groups and regions are checked through the parser below. A polygon over 30
    // vertices carries its first 30.
    void receivedFrameLimits_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<QVector<QPointF>>("polygon");
        const auto withCount = [](int count) {
            QByteArray frame = deviceFrame(1, 1);
            frame[10] = static_cast<char>(count);
            return frame;
        };
        QVector<QPointF> polygon;
        for (int i = 0; i < 31; ++i)
            polygon << QPointF(i, -i);
        const QVector<QPointF> sensor(30); // what empty slots read as
        QTest::newRow("group 1 region 1") << deviceFrame(1, 1) << true << QVector<QPointF>();
        QTest::newRow("group 15 region 3") << deviceFrame(15, 3) << true << QVector<QPointF>();
        QTest::newRow("31 vertices sent")
            << deviceFrame(2, 3, 7, polygon) << true << polygon.mid(0, 30);
        QTest::newRow("30 vertices") << withCount(30) << true << sensor;
        QTest::newRow("31 vertices") << withCount(31) << false << sensor;
        QTest::newRow("negative count") << withCount(-1) << true << QVector<QPointF>();
        QTest::newRow("short frame") << withCount(30).left(20) << false << sensor.mid(0, 2);
    }
    void receivedFrameLimits()
    {
        QFETCH(QByteArray, frame);
        QTEST(RegionFrame::fitsStore(frame), "fits");
        QTEST(RegionFrame::decode(frame).polygon, "polygon");
    }

    // What one chunk hands on, and how each region frame is judged.
    void parserChecksFramesOfOneChunk_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QVector<Check>>("checks");
        const QByteArray withVertices = deviceFrame(
            4, 2, 9, QVector<QPointF>{QPointF(-100, 250), QPointF(300, 400), QPointF(0, 900)});
        QByteArray tooManyVertices = deviceFrame(1, 1);
        tooManyVertices[10] = 31;
        tooManyVertices[131] = char(tooManyVertices[131] + 31); // a sound frame all the same
        QByteArray flipped = withVertices;
        flipped[20] = char(flipped[20] ^ 0x04);
        QByteArray badTrailer = withVertices;
        badTrailer[132] = '\xFB';
        QTest::newRow("two frames")
            << withVertices + deviceFrame(4, 3) << withVertices + deviceFrame(4, 3)
            << QVector<Check>{Check::Usable, Check::Usable};
        QTest::newRow("point-cloud frame skipped by its length")
            << pointCloudFrame + deviceFrame(2, 2) << deviceFrame(2, 2)
            << QVector<Check>{Check::Usable};
        QTest::newRow("acknowledgements passed over")
            << ack + ack + deviceFrame(2, 2) + ack << deviceFrame(2, 2)
            << QVector<Check>{Check::Usable};
        QTest::newRow("frames outside the store")
            << deviceFrame(0, 1) + deviceFrame(16, 1) + deviceFrame(1, 0) + deviceFrame(1, 4) +
                   tooManyVertices + deviceFrame(5, 1)
            << deviceFrame(5, 1) << (QVector<Check>(5, Check::Unusable) << Check::Usable);
        QTest::newRow("damaged on the way")
            << flipped + badTrailer + withVertices << withVertices
            << QVector<Check>{Check::Damaged, Check::Damaged, Check::Usable};
    }
    void parserChecksFramesOfOneChunk()
    {
        QFETCH(QByteArray, chunk);
        Parser p;
        p.feed(chunk);
        QTEST(p.stored, "stored");
        QTEST(p.checks, "checks");
        QCOMPARE(p.parser.bufferedBytes(), 0);
    }

    // Split anywhere, a raw frame is handed on when complete and an acknowledgement ahead of it
    // is passed over. A Modbus reply is cut by its header: one whose CRC fails is damaged, and a
    // false header inside other bytes does not hide the reply behind it. A reset drops a stale
    // partial frame.
    void framesSplitAnywhere()
    {
        const QByteArray frame = deviceFrame(9, 2, 44);
        const QByteArray raw = QByteArray("\x00\x11", 2) + ack + frame;
        QByteArray bad = modbusReply(frame);
        bad[70] = char(bad[70] ^ 0x40);
        const QByteArray modbus = bad + QByteArray::fromHex("010388AA") + modbusReply(frame);
        for (int split = 1; split < modbus.size(); ++split) {
            Parser p;
            p.feed(raw.left(split));
            QCOMPARE(p.checks.size(), split < raw.size() ? 0 : 1);
            p.feed(raw.mid(split));
            p.feedModbus(modbus.left(split));
            p.feedModbus(modbus.mid(split));
            QCOMPARE(p.stored, frame + frame);
            QCOMPARE(p.checks, (QVector<Check>{Check::Usable, Check::Damaged, Check::Damaged,
                                               Check::Usable}));
            QCOMPARE(p.parser.bufferedBytes() + p.modbus.bufferedBytes(), 0);
        }
        Parser p;
        p.feed(raw.left(50));
        p.parser.reset();
        p.feed(deviceFrame(3, 1));
        QCOMPARE(p.stored, deviceFrame(3, 1));
    }

    void parserMemoryBounded()
    {
        RegionFrameParser parser;
        const QByteArray junk(1000, '\x22');
        parser.feed(QByteArray("\xA5\x5A\x03", 3), 113, {});
        for (int chunk = 0; chunk < 200; ++chunk) {
            parser.feed(junk, 113, {});
            QVERIFY(parser.bufferedBytes() <= RegionFrameParser::maxBufferedBytes + junk.size());
        }
    }

    // Junk, a frame of another type (skipped as a whole block: the header inside it is not
    // decoded), then two frames that close a revolution, split into two chunks at every point:
    // nothing is handed over before the last byte, then both frames as one revolution.
    void framesSplitAtEveryPoint()
    {
        QByteArray wrongType = cloudFrame(1000, {}, ScanGeometry::coarse(), 0x03);
        wrongType.replace(40, 10, cloudFrame(1000, {}).left(10));
        const QByteArray stream = QByteArray("\x01\x02\xA5\x03", 4) + wrongType +
                                  cloudFrame(18900, {11}) + cloudFrame(20700, {1000, 2000});
        const ScanFrames revolution{{expectedPoint(11, 189.0)},
                                    {expectedPoint(1000, 207.0), expectedPoint(2000, 207.36)}};
        for (int split = 1; split < stream.size(); ++split) {
            Decoder d;
            d.feed(stream.left(split));
            QVERIFY(d.revolutions.isEmpty());
            d.feed(stream.mid(split));
            QCOMPARE(d.revolutions, QVector<ScanFrames>{revolution});
            QCOMPARE(d.decoder.bufferedBytes(), 0);
        }
    }

    // Distances 0 and 255 mean no echo; a revolution closes strictly between 200 and 215 degrees.
    void distancesAndClosingWindow_data()
    {
        QTest::addColumn<int>("baseAngleHundredths");
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("points"); // of the frame handed over; -1: nothing handed over
        QTest::newRow("distance 0") << 20700 << 0 << 2;
        QTest::newRow("distance 255") << 20700 << 255 << 2;
        QTest::newRow("distance 256") << 20700 << 256 << 3;
        QTest::newRow("distance 65535") << 20700 << 65535 << 3;
        QTest::newRow("200.00") << 20000 << 500 << -1;
        QTest::newRow("200.01") << 20001 << 500 << 3;
        QTest::newRow("214.99") << 21499 << 500 << 3;
        QTest::newRow("215.00") << 21500 << 500 << -1;
    }
    void distancesAndClosingWindow()
    {
        QFETCH(int, baseAngleHundredths);
        QFETCH(int, distance);
        QFETCH(int, points);
        Decoder d;
        d.feed(cloudFrame(baseAngleHundredths, {1000, distance, 1000}));
        QCOMPARE(d.decoder.pendingFrameCount(), points < 0 ? 1 : 0);
        const QVector<QPointF> frame = d.revolutions.value(0).value(0);
        QCOMPARE(frame.size(), qMax(points, 0));
        if (points == 3)
            QCOMPARE(frame.at(1), expectedPoint(distance, baseAngleHundredths / 100.0 + 0.36));
    }

    // Every closing frame hands over the frames since the previous one. A revolution is
    // complete only when its start was seen: not the first, not one after a restart of the
    // stream, not one that outgrew the pending bound.
    void revolutionsAndTheirCompleteness()
    {
        Decoder d;
        d.decoder.restartStream();
        d.feed(cloudFrame(1000, {1}) + cloudFrame(closingAngle, {2}) +
               cloudFrame(closingAngle, {3}));
        d.feed(cloudFrame(1000, {4}) + cloudFrame(19000, {5}) + cloudFrame(closingAngle, {6}));
        QCOMPARE(d.completeness, (QVector<bool>{false, true, true}));
        QCOMPARE(d.revolutions.at(0).size(), 2);
        QCOMPARE(d.revolutions.at(2), ScanFrames({{expectedPoint(4, 10.0)},
                                                  {expectedPoint(5, 190.0)},
                                                  {expectedPoint(6, 207.0)}}));
        QCOMPARE(d.decoder.pendingFrameCount(), 0);

        // At 0.18 degrees a frame holds 100 points.
        const ScanGeometry fine = ScanGeometry::fine();
        Decoder f(fine);
        f.decoder.feed(cloudFrame(20250, QVector<int>(100, 1500), fine), fine);
        const QVector<QPointF> points = f.revolutions.value(0).value(0);
        QCOMPARE(points.size(), 100);
        QCOMPARE(points.last(), expectedPoint(1500, 202.5 + 0.18 * 99));
    }

    // Whatever frame length a geometry claims, a header followed by junk keeps memory bounded
    // and the decoder moving.
    void memoryStaysBounded()
    {
        for (const int frameLength : {100000000, 1}) {
            PointCloudDecoder decoder;
            const ScanGeometry geometry{0.36, frameLength, frameLength};
            const QByteArray junk(1000, '\x11');
            decoder.feed(QByteArray("\xA5\x5A\x02", 3), geometry);
            for (int chunk = 0; chunk < 200; ++chunk) {
                decoder.feed(junk, geometry);
                QVERIFY(decoder.bufferedBytes() <=
                        PointCloudDecoder::maxBufferedBytes + junk.size());
            }
        }
    }

    // The bounds drop junk and the oldest frames, never a header cut at the bound.
    void boundsKeepWholeFrames()
    {
        Decoder d;
        const QByteArray frame = cloudFrame(1000, {700});
        d.feed(QByteArray(PointCloudDecoder::maxBufferedBytes, '\x11') + frame.left(1));
        QCOMPARE(d.decoder.bufferedBytes(), 1);
        d.feed(frame.mid(1));
        QCOMPARE(d.decoder.pendingFrameCount(), 1);

        for (int i = 1; i <= PointCloudDecoder::maxPendingFrames; ++i)
            d.feed(cloudFrame(1000, {i}));
        QCOMPARE(d.decoder.pendingFrameCount(), PointCloudDecoder::maxPendingFrames);
        d.feed(cloudFrame(closingAngle, {}));
        QCOMPARE(d.revolutions.value(0).size(), PointCloudDecoder::maxPendingFrames);
        QCOMPARE(d.revolutions.value(0).first().value(0), expectedPoint(2, 10.0));
        QCOMPARE(d.completeness, QVector<bool>{false});
    }

    // What the region parser and the point-cloud decoder trace of the frames they cut out.
    void traceLines_data()
    {
        QTest::addColumn<bool>("regions");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        const QByteArray region = deviceFrame(12, 2, 200), cloud = cloudFrame(12345, {1});
        const QString regionHex = HexText::fromBytes(region), cloudHex = HexText::fromBytes(cloud);
        QTest::newRow("region frame after a point-cloud frame")
            << true << pointCloudFrame + region
            << QStringList{"byteBuff data before operator >>> " +
                               HexText::fromBytes(pointCloudFrame) + regionHex,
                           "The second byte is not 0X03 and is discarded as point cloud data......",
                           "byteBuff data after midding operator >>> " + regionHex,
                           "byteBuff data before operator >>> " + regionHex,
                           "Regional group index >>> 12",
                           "Number of alarm points:200",
                           "oneFrame data >>> " + regionHex,
                           "The second byte is 0X03, which is for uploading data......",
                           "byteBuff data after midding operator >>> ",
                           "byteBuff data before operator >>> "};
        QTest::newRow("point-cloud frame between junk")
            << false << QByteArray("\x01", 1) + cloud + QByteArray("\xA5", 1)
            << QStringList{"byteBuff data before operator >>> 01" + cloudHex + "A5",
                           "oneFrame data>>> " + cloudHex, "baseAngle >>> 123.45",
                           "byteBuff data after midding operator >>> A5",
                           "byteBuff data before operator >>> A5"};
    }
    void traceLines()
    {
        QFETCH(bool, regions);
        QFETCH(QByteArray, bytes);
        QStringList lines;
        const auto log = [&lines](const QString &line) { lines.append(line); };
        if (regions)
            RegionFrameParser(log).feed(bytes, 113, {});
        else
            PointCloudDecoder(log).feed(bytes, ScanGeometry::coarse());
        QTEST(lines, "lines");
    }

    // Hex text in any case gives upper case out. The start, stop, resolution query, default
    // parameters and outputs, in every mode that sends them, are the session suites' transcripts.
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        QTest::newRow("crc") << appendModbusCrc("01100bfa0003") << "01100BFA0003A21D";
        QTest::newRow("parameters net")
            << DeviceCommand::radarParameters(Net, 2, 4, 1) << "FF0204A101";
    }
    void commands()
    {
        QFETCH(QString, command);
        QTEST(command, "expected");
    }

    // A frame fails with either CRC byte wrong, the bytes swapped, its payload changed or too
    // short to hold a CRC.
    void modbusCrcChecked()
    {
        QVERIFY(hasValidModbusCrc(HexText::toBytes("01100BFA0003A21D")));
        for (const char *bad : {"01", "01100BFA00031DA2", "01100BFA0003A200", "FF01100BFA0003A21D"})
            QVERIFY2(!hasValidModbusCrc(HexText::toBytes(bad)), bad);
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "test_protocol.moc"
