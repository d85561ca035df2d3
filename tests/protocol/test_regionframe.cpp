#include "protocol/hextext.h"
#include "protocol/modbus.h"
#include "protocol/regionframe.h"
#include "protocol/regionframeparser.h"

#include <QtTest>

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

} // namespace

Q_DECLARE_METATYPE(QVector<Check>)

class TestRegionFrame : public QObject
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

    void parserTraceLines()
    {
        QStringList lines;
        RegionFrameParser parser([&lines](const QString &line) { lines.append(line); });
        const QByteArray frame = deviceFrame(12, 2, 200);
        const QString frameHex = HexText::fromBytes(frame);
        parser.feed(pointCloudFrame + frame, 113, {});
        const QStringList expected{
            "byteBuff data before operator >>> " + HexText::fromBytes(pointCloudFrame) + frameHex,
            "The second byte is not 0X03 and is discarded as point cloud data......",
            "byteBuff data after midding operator >>> " + frameHex,
            "byteBuff data before operator >>> " + frameHex,
            "Regional group index >>> 12",
            "Number of alarm points:200",
            "oneFrame data >>> " + frameHex,
            "The second byte is 0X03, which is for uploading data......",
            "byteBuff data after midding operator >>> ",
            "byteBuff data before operator >>> ",
        };
        QCOMPARE(lines, expected);
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
};

QTEST_GUILESS_MAIN(TestRegionFrame)
#include "test_regionframe.moc"
