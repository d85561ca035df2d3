#include "protocol/pointclouddecoder.h"

#include <QtEndian>
#include <QtTest>

#include <cmath>

namespace {

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

class TestPointCloudDecoder : public QObject
{
    Q_OBJECT

private slots:
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

    void traceLinesOfOneFrame()
    {
        QStringList lines;
        PointCloudDecoder decoder([&lines](const QString &line) { lines.append(line); });
        const QByteArray frame = cloudFrame(12345, {1});
        const QString frameHex = QString::fromLatin1(frame.toHex().toUpper());
        decoder.feed(QByteArray("\x01", 1) + frame + QByteArray("\xA5", 1), ScanGeometry::coarse());
        QCOMPARE(lines, (QStringList{
                            "byteBuff data before operator >>> 01" + frameHex + "A5",
                            "oneFrame data>>> " + frameHex,
                            "baseAngle >>> 123.45",
                            "byteBuff data after midding operator >>> A5",
                            "byteBuff data before operator >>> A5",
                        }));
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
};

QTEST_GUILESS_MAIN(TestPointCloudDecoder)
#include "test_pointclouddecoder.moc"
