#include "protocol/hextext.h"
#include "protocol/modbus.h"
#include "protocol/regionframe.h"
#include "protocol/regionframeparser.h"

#include <QtTest>

namespace {

const QString emptySlot = QStringLiteral("75307558");

// A frame as the device sends it when the program reads its regions.
QByteArray deviceFrame(int group, int region, int alarmPoints = 5, const QPolygonF &polygon = {})
{
    QByteArray frame = RegionFrame::encodeRaw({group, region, alarmPoints, polygon});
    frame[2] = 0x03;
    return frame;
}

QByteArray allDeviceFrames()
{
    QByteArray frames;
    for (int group = 1; group <= 15; ++group)
        for (int region = 1; region <= 3; ++region)
            frames += deviceFrame(group, region);
    return frames;
}

// Records what the parser hands to the main window.
struct Stored
{
    QVector<RegionFrame::Content> frames;
    QVector<int> counts;
    RegionFrameParser::FrameHandler handler()
    {
        return [this](const RegionFrame::Content &frame, int count) {
            frames.append(frame);
            counts.append(count);
        };
    }
};

} // namespace

class TestRegionFrame : public QObject
{
    Q_OBJECT

private slots:
    void initialStoreFrames()
    {
        int block = 0;
        for (int group = 1; group <= 15; ++group) {
            for (int region = 1; region <= 3; ++region, ++block) {
                const RegionFrame::Content content{group, region, 5, {}};
                const QByteArray raw = RegionFrame::encodeRaw(content);
                const QByteArray head = QByteArray::fromHex("A55A0210") + char(group) +
                                        QByteArray(3, '\0') + char(5) + char(region) + '\0';
                QCOMPARE(HexText::fromBytes(raw), HexText::fromBytes(head) +
                                                      emptySlot.repeated(30) +
                                                      HexText::fromBytes(raw.mid(131, 1)) + "FAFB");
                quint8 sum = 0;
                for (int i = 0; i < 131; ++i)
                    sum += static_cast<quint8>(raw.at(i));
                QCOMPARE(static_cast<quint8>(raw.at(131)), sum);

                const QByteArray request =
                    RegionFrame::modbusWriteRequest(block, RegionFrame::encodeBody(content));
                QCOMPARE(request.size(), RegionFrame::modbusWriteRequestSize);
                const int address = block * 68;
                QCOMPARE(request.left(8), QByteArray::fromHex("0110") + char(address >> 8) +
                                              char(address & 0xFF) +
                                              QByteArray::fromHex("00448800"));
                QCOMPARE(request.mid(8, 131), raw.left(131));
                QCOMPARE(request.mid(139, 4), QByteArray::fromHex("00FAFB00"));
                QVERIFY(hasValidModbusCrc(request));
            }
        }
    }

    void blockRequests()
    {
        const QByteArray lastWrite =
            RegionFrame::modbusWriteRequest(44, RegionFrame::encodeBody({15, 3, 5, {}}));
        QCOMPARE(lastWrite.size(), 145);
        QCOMPARE(lastWrite.left(7), QByteArray::fromHex("01100BB0004488"));
        QCOMPARE(RegionFrame::modbusReadRequest(0), QByteArray::fromHex("01030000004445F9"));
        QCOMPARE(RegionFrame::modbusReadRequest(44), QByteArray::fromHex("01030BB00044463A"));
    }

    void vertexSlot_data()
    {
        QTest::addColumn<QPointF>("vertex");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QPointF>("readBack");
        QTest::newRow("(-100, 250)") << QPointF(-100, 250) << "74CC7652" << QPointF(-100, 250);
        QTest::newRow("x = -0.5") << QPointF(-0.5, 0) << "752F7558" << QPointF(-1, 0);
        QTest::newRow("fractions") << QPointF(10.9, -0.9) << "753A7557" << QPointF(10, -1);
        QTest::newRow("scan field corner")
            << QPointF(-20000, 20000) << "2710C378" << QPointF(-20000, 20000);
        QTest::newRow("beyond 16 bits wraps")
            << QPointF(40000, 0) << "11707558" << QPointF(-25536, 0);
        QTest::newRow("not a number")
            << QPointF(qQNaN(), 1e300) << "00000000" << QPointF(-30000, -30040);
    }
    void vertexSlot()
    {
        QFETCH(QPointF, vertex);
        QFETCH(QString, slot);
        QFETCH(QPointF, readBack);
        const QByteArray body =
            RegionFrame::encodeBody({1, 1, 5, QPolygonF(QVector<QPointF>{vertex})});
        QCOMPARE(static_cast<int>(body.at(10)), 1);
        QCOMPARE(HexText::fromBytes(body.mid(11, 4)), slot);
        QCOMPARE(HexText::fromBytes(body.mid(15, 4)), emptySlot);

        QByteArray received = body + "\0\xFA\xFB";
        received[2] = 0x03;
        QCOMPARE(RegionFrame::decode(received).polygon, QPolygonF(QVector<QPointF>{readBack}));
    }

    void polygonOverThirtyVerticesCarriesFirstThirty()
    {
        QPolygonF polygon;
        for (int i = 0; i < 31; ++i)
            polygon << QPointF(i, -i);
        const QByteArray body = RegionFrame::encodeBody({2, 3, 7, polygon});
        QCOMPARE(body.size(), RegionFrame::bodySize);
        QCOMPARE(static_cast<int>(body.at(10)), 30);
        const RegionFrame::Content content = RegionFrame::decode(deviceFrame(2, 3, 7, polygon));
        QCOMPARE(content.polygon, polygon.mid(0, 30));
        QCOMPARE(content.groupIndex, 2);
        QCOMPARE(content.regionNumber, 3);
        QCOMPARE(content.alarmPointNum, 7);
    }

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
        QTest::newRow("group 0") << deviceFrame(0, 1) << false << 0;
        QTest::newRow("group 16") << deviceFrame(16, 1) << false << 0;
        QTest::newRow("region 0") << deviceFrame(1, 0) << false << 0;
        QTest::newRow("region 4") << deviceFrame(1, 4) << false << 0;
        QTest::newRow("30 vertices") << withCount(30) << true << 30;
        QTest::newRow("31 vertices") << withCount(31) << false << 30;
        QTest::newRow("negative count") << withCount(-1) << true << 0;
        QTest::newRow("short frame") << withCount(30).left(20) << false << 2;
    }
    void receivedFrameLimits()
    {
        QFETCH(QByteArray, frame);
        QFETCH(bool, fits);
        QFETCH(int, vertices);
        QCOMPARE(RegionFrame::fitsStore(frame), fits);
        QCOMPARE(RegionFrame::decode(frame).polygon.size(), vertices);
    }

    void parserStoresTwoFramesOfOneChunk()
    {
        RegionFrameParser parser;
        Stored stored;
        const QPolygonF polygon(
            QVector<QPointF>{QPointF(-100, 250), QPointF(300, 400), QPointF(0, 900)});
        const bool completed =
            parser.feed(deviceFrame(4, 2, 9, polygon) + deviceFrame(4, 3), 113, stored.handler());
        QVERIFY(!completed);
        QCOMPARE(stored.counts, QVector<int>({1, 2}));
        QCOMPARE(parser.frameCount(), 2);
        QCOMPARE(stored.frames.at(0).groupIndex, 4);
        QCOMPARE(stored.frames.at(0).regionNumber, 2);
        QCOMPARE(stored.frames.at(0).alarmPointNum, 9);
        QCOMPARE(stored.frames.at(0).polygon, polygon);
        QCOMPARE(stored.frames.at(1).regionNumber, 3);
        QCOMPARE(parser.bufferedBytes(), 0);
    }

    void parserWaitsForSplitFrame()
    {
        const QByteArray frame = QByteArray("\x00\x11", 2) + deviceFrame(7, 1);
        for (int split = 1; split < frame.size(); ++split) {
            RegionFrameParser parser;
            Stored stored;
            parser.feed(frame.left(split), 113, stored.handler());
            QVERIFY2(stored.counts.isEmpty(), qPrintable(QString::number(split)));
            parser.feed(frame.mid(split), 113, stored.handler());
            QCOMPARE(stored.counts, QVector<int>{1});
            QCOMPARE(stored.frames.at(0).groupIndex, 7);
            QCOMPARE(parser.bufferedBytes(), 0);
        }
    }

    void parserSkipsOtherFramesByPointCloudLength()
    {
        RegionFrameParser parser;
        Stored stored;
        QByteArray pointCloud(113, '\0');
        pointCloud[0] = '\xA5';
        pointCloud[1] = 0x5A;
        pointCloud[2] = 0x02;
        parser.feed(pointCloud + deviceFrame(2, 2), 113, stored.handler());
        QCOMPARE(stored.counts, QVector<int>{1});
        QCOMPARE(stored.frames.at(0).groupIndex, 2);
    }

    void parserDropsFramesOutsideTheStore()
    {
        RegionFrameParser parser;
        Stored stored;
        QByteArray tooManyVertices = deviceFrame(1, 1);
        tooManyVertices[10] = 31;
        parser.feed(deviceFrame(0, 1) + deviceFrame(16, 1) + deviceFrame(1, 4) + tooManyVertices +
                        deviceFrame(5, 1),
                    113, stored.handler());
        QCOMPARE(stored.counts, QVector<int>{1});
        QCOMPARE(stored.frames.at(0).groupIndex, 5);
        QCOMPARE(parser.bufferedBytes(), 0);
    }

    void parserCompletesAtFortyFifthFrame()
    {
        RegionFrameParser parser;
        Stored stored;
        const QByteArray frames = allDeviceFrames();
        QVERIFY(!parser.feed(frames.left(44 * RegionFrame::size), 113, stored.handler()));
        QCOMPARE(parser.frameCount(), 44);
        QVERIFY(parser.feed(frames.mid(44 * RegionFrame::size) + deviceFrame(1, 1).left(50), 113,
                            stored.handler()));
        QCOMPARE(stored.counts.size(), 45);
        QCOMPARE(stored.counts.last(), 45);
        QCOMPARE(stored.frames.last().groupIndex, 15);
        QCOMPARE(stored.frames.last().regionNumber, 3);
        QCOMPARE(parser.frameCount(), 0);
        QCOMPARE(parser.bufferedBytes(), 0);

        // The next reading counts from the start.
        QVERIFY(!parser.feed(deviceFrame(3, 1), 113, stored.handler()));
        QCOMPARE(stored.counts.last(), 1);
    }

    void resetStartsAFreshReading()
    {
        RegionFrameParser parser;
        Stored stored;
        const QByteArray frames = allDeviceFrames();
        parser.feed(frames.left(10 * RegionFrame::size + 60), 113, stored.handler());
        QCOMPARE(parser.frameCount(), 10);
        parser.reset();
        QCOMPARE(parser.frameCount(), 0);
        QCOMPARE(parser.bufferedBytes(), 0);
        QVERIFY(!parser.feed(frames.left(44 * RegionFrame::size), 113, stored.handler()));
        QCOMPARE(parser.frameCount(), 44);
    }

    void parserTraceLines()
    {
        QStringList lines;
        RegionFrameParser parser([&lines](const QString &line) { lines.append(line); });
        QByteArray pointCloud(113, '\0');
        pointCloud[0] = '\xA5';
        pointCloud[1] = 0x5A;
        const QByteArray frame = deviceFrame(12, 2, 200);
        const QString frameHex = HexText::fromBytes(frame);
        parser.feed(pointCloud + frame, 113, {});
        const QStringList expected{
            "byteBuff data before operator >>> " + HexText::fromBytes(pointCloud) + frameHex,
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
