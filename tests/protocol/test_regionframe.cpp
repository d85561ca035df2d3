#include "protocol/hextext.h"
#include "protocol/modbus.h"
#include "protocol/regionframe.h"
#include "protocol/regionframeparser.h"

#include <QtTest>

#include <numeric>

namespace {

const QString emptySlot = QStringLiteral("75307558");

// A frame as the device sends it when the program reads its regions.
QByteArray deviceFrame(int group, int region, int alarmPoints = 5, const QPolygonF &polygon = {})
{
    QByteArray frame = RegionFrame::encodeRaw({group, region, alarmPoints, polygon});
    frame[2] = 0x03;
    return frame;
}

// A point-cloud frame as the parser meets it while the device streams.
const QByteArray pointCloudFrame = QByteArray::fromHex("A55A02").leftJustified(113, '\0');

// A parser for 113-byte point-cloud frames that records what it hands to the main window: the
// counts, and each content as the frame the device sends for it.
struct Parser
{
    bool feed(const QByteArray &chunk)
    {
        return parser.feed(chunk, 113, [this](const RegionFrame::Content &c, int count) {
            stored += deviceFrame(c.groupIndex, c.regionNumber, c.alarmPointNum, c.polygon);
            counts << count;
        });
    }

    RegionFrameParser parser;
    QByteArray stored;
    QVector<int> counts;
};

} // namespace

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
            QCOMPARE(request.size(), 145);
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
        row("beyond 16 bits wraps", QPointF(40000, 0), "11707558", QPointF(-25536, 0));
        row("not a number", QPointF(qQNaN(), 1e300), "00000000", QPointF(-30000, -30040));
    }
    void vertexSlot()
    {
        QFETCH(QPointF, vertex);
        QFETCH(QString, slot);
        QFETCH(QPointF, readBack);
        const QPolygonF polygon(QVector<QPointF>{vertex});
        QCOMPARE(HexText::fromBytes(RegionFrame::encodeBody({1, 1, 5, polygon}).mid(10, 9)),
                 "01" + slot + emptySlot);
        QCOMPARE(RegionFrame::decode(deviceFrame(1, 1, 5, polygon)).polygon,
                 QPolygonF(QVector<QPointF>{readBack}));
    }

    void polygonOverThirtyVerticesCarriesFirstThirty()
    {
        QPolygonF polygon;
        for (int i = 0; i < 31; ++i)
            polygon << QPointF(i, -i);
        const QByteArray frame = deviceFrame(2, 3, 7, polygon);
        QCOMPARE(frame.size(), RegionFrame::size);
        QCOMPARE(static_cast<int>(frame.at(10)), 30);
        QCOMPARE(RegionFrame::decode(frame).polygon, polygon.mid(0, 30));
    }

    // Out-of-store groups and regions are checked through the parser below.
    void receivedFrameLimits_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("vertices");
        const auto withCount = [](int count) {
            QByteArray frame = deviceFrame(1, 1);
            frame[10] = static_cast<char>(count);
            return frame;
        };
        QTest::newRow("group 1 region 1") << deviceFrame(1, 1) << true << 0;
        QTest::newRow("group 15 region 3") << deviceFrame(15, 3) << true << 0;
        QTest::newRow("30 vertices") << withCount(30) << true << 30;
        QTest::newRow("31 vertices") << withCount(31) << false << 30;
        QTest::newRow("negative count") << withCount(-1) << true << 0;
        QTest::newRow("short frame") << withCount(30).left(20) << false << 2;
    }
    void receivedFrameLimits()
    {
        QFETCH(QByteArray, frame);
        QTEST(RegionFrame::fitsStore(frame), "fits");
        QTEST(RegionFrame::decode(frame).polygon.size(), "vertices");
    }

    // What one chunk stores: the issue asks that two frames in one chunk advance by two.
    void parserStoresFramesOfOneChunk_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QVector<int>>("counts");
        const QByteArray withVertices = deviceFrame(
            4, 2, 9, QVector<QPointF>{QPointF(-100, 250), QPointF(300, 400), QPointF(0, 900)});
        QByteArray tooManyVertices = deviceFrame(1, 1);
        tooManyVertices[10] = 31;
        QTest::newRow("two frames") << withVertices + deviceFrame(4, 3)
                                    << withVertices + deviceFrame(4, 3) << QVector<int>{1, 2};
        QTest::newRow("point-cloud frame skipped by its length")
            << pointCloudFrame + deviceFrame(2, 2) << deviceFrame(2, 2) << QVector<int>{1};
        QTest::newRow("frames outside the store dropped")
            << deviceFrame(0, 1) + deviceFrame(16, 1) + deviceFrame(1, 0) + deviceFrame(1, 4) +
                   tooManyVertices + deviceFrame(5, 1)
            << deviceFrame(5, 1) << QVector<int>{1};
        // A repeated frame (a duplicated datagram) is stored again but is one region.
        QTest::newRow("repeated frame counted once")
            << deviceFrame(4, 3) + deviceFrame(4, 3) << deviceFrame(4, 3) + deviceFrame(4, 3)
            << QVector<int>{1, 1};
    }
    void parserStoresFramesOfOneChunk()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(QVector<int>, counts);
        Parser p;
        QVERIFY(!p.feed(chunk));
        QTEST(p.stored, "stored");
        QCOMPARE(p.counts, counts);
        QCOMPARE(p.parser.frameCount(), counts.last());
        QCOMPARE(p.parser.bufferedBytes(), 0);
    }

    // The issue asks that a frame split across chunks stores nothing until complete.
    void parserWaitsForSplitFrame()
    {
        const QByteArray frame = QByteArray("\x00\x11", 2) + deviceFrame(7, 1);
        for (int split = 1; split < frame.size(); ++split) {
            Parser p;
            p.feed(frame.left(split));
            QVERIFY(p.counts.isEmpty());
            p.feed(frame.mid(split));
            QCOMPARE(p.counts, QVector<int>{1});
            QCOMPARE(p.stored, deviceFrame(7, 1));
            QCOMPARE(p.parser.bufferedBytes(), 0);
        }
    }

    // A reset drops a stale count and stale bytes; the 45th frame completes the reading, and
    // the next reading counts from the start.
    void parserCompletesAtFortyFifthFrame()
    {
        QByteArray frames;
        for (int block = 0; block < 45; ++block)
            frames += deviceFrame(block / 3 + 1, block % 3 + 1);
        Parser p;
        p.feed(frames.left(10 * RegionFrame::size + 60));
        QCOMPARE(p.parser.frameCount(), 10);
        p.parser.reset();
        QCOMPARE(p.parser.frameCount(), 0);
        QCOMPARE(p.parser.bufferedBytes(), 0);

        p.stored.clear();
        QVERIFY(!p.feed(frames.left(44 * RegionFrame::size)));
        QCOMPARE(p.parser.frameCount(), 44);
        QVERIFY(p.feed(frames.mid(44 * RegionFrame::size) + deviceFrame(1, 1).left(50)));
        QCOMPARE(p.stored, frames);
        QCOMPARE(p.counts.last(), 45);
        QCOMPARE(p.parser.frameCount(), 0);
        QCOMPARE(p.parser.bufferedBytes(), 0);
        QVERIFY(!p.feed(deviceFrame(3, 1)));
        QCOMPARE(p.counts.last(), 1);
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
        QCOMPARE(parser.frameCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRegionFrame)
#include "test_regionframe.moc"
