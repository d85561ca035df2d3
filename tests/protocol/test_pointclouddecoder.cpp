#include "protocol/pointclouddecoder.h"

#include <QtEndian>
#include <QtTest>

#include <cmath>

namespace {

constexpr double pi = 3.141592653;

// A point-cloud frame of the geometry's length; distances beyond those given are 0 (no echo).
QByteArray cloudFrame(int baseAngleHundredths, const QVector<int> &distances,
                      const ScanGeometry &geometry = ScanGeometry::coarse(), char type = 0x02)
{
    QByteArray frame(geometry.frameLength, '\0');
    frame[0] = '\xA5';
    frame[1] = 0x5A;
    frame[2] = type;
    qToBigEndian(static_cast<quint16>(baseAngleHundredths), frame.data() + 6);
    for (int i = 0; i < distances.size(); ++i)
        qToBigEndian(static_cast<quint16>(distances.at(i)), frame.data() + 10 + 2 * i);
    return frame;
}

// A frame that closes a revolution and carries one point whose distance names the frame.
QByteArray closingFrame(int tag = 0)
{
    return cloudFrame(20700, {tag});
}

QPointF expectedPoint(double distance, double degrees)
{
    const double theta = degrees / 180.0 * pi;
    return {distance * std::cos(theta), distance * std::sin(theta)};
}

// Records every revolution handed over.
struct Recorder
{
    QVector<ScanFrames> revolutions;
    void attach(PointCloudDecoder &decoder)
    {
        decoder.setRevolutionHandler(
            [this](const ScanFrames &frames) { revolutions.append(frames); });
    }
};

// Three closings so the next closing frame hands its revolution over.
void primeForHandOver(PointCloudDecoder &decoder)
{
    for (int i = 0; i < 3; ++i)
        decoder.feed(closingFrame(), ScanGeometry::coarse());
}

} // namespace

class TestPointCloudDecoder : public QObject
{
    Q_OBJECT

private slots:
    void frameSplitAtEveryPoint()
    {
        const QByteArray frame = cloudFrame(20700, {1000, 2000});
        for (int split = 1; split < frame.size(); ++split) {
            PointCloudDecoder decoder;
            Recorder recorder;
            recorder.attach(decoder);
            primeForHandOver(decoder);
            decoder.feed(frame.left(split), ScanGeometry::coarse());
            QVERIFY2(recorder.revolutions.isEmpty(), qPrintable(QString::number(split)));
            decoder.feed(frame.mid(split), ScanGeometry::coarse());
            QCOMPARE(recorder.revolutions.size(), 1);
            const QVector<QPointF> points = recorder.revolutions.first().value(0);
            QCOMPARE(points.size(), 2);
            QCOMPARE(points.at(0), expectedPoint(1000, 207.0));
            QCOMPARE(points.at(1), expectedPoint(2000, 207.36));
            QCOMPARE(decoder.bufferedBytes(), 0);
        }
    }

    void twoFramesAndJunkInOneChunk()
    {
        PointCloudDecoder decoder;
        Recorder recorder;
        recorder.attach(decoder);
        primeForHandOver(decoder);
        decoder.feed(QByteArray("\x01\x02\xA5\x03", 4) + cloudFrame(18900, {11}) + closingFrame(22),
                     ScanGeometry::coarse());
        QCOMPARE(recorder.revolutions.size(), 1);
        const ScanFrames frames = recorder.revolutions.first();
        QCOMPARE(frames.size(), 2);
        QCOMPARE(frames.at(0).value(0), expectedPoint(11, 189.0));
        QCOMPARE(frames.at(1).value(0), expectedPoint(22, 207.0));
    }

    void distances_data()
    {
        QTest::addColumn<int>("distance");
        QTest::addColumn<bool>("isPoint");
        QTest::newRow("0 means no echo") << 0 << false;
        QTest::newRow("255 means no echo") << 255 << false;
        QTest::newRow("256") << 256 << true;
        QTest::newRow("65535") << 65535 << true;
    }
    void distances()
    {
        QFETCH(int, distance);
        QFETCH(bool, isPoint);
        PointCloudDecoder decoder;
        Recorder recorder;
        recorder.attach(decoder);
        primeForHandOver(decoder);
        decoder.feed(cloudFrame(20700, {1000, distance, 1000}), ScanGeometry::coarse());
        const QVector<QPointF> points = recorder.revolutions.value(0).value(0);
        QCOMPARE(points.size(), isPoint ? 3 : 2);
        if (isPoint)
            QCOMPARE(points.at(1), expectedPoint(distance, 207.36));
    }

    void revolutionClosingWindow_data()
    {
        QTest::addColumn<int>("baseAngleHundredths");
        QTest::addColumn<bool>("closes");
        QTest::newRow("199.99") << 19999 << false;
        QTest::newRow("200.00") << 20000 << false;
        QTest::newRow("200.01") << 20001 << true;
        QTest::newRow("207.00") << 20700 << true;
        QTest::newRow("214.99") << 21499 << true;
        QTest::newRow("215.00") << 21500 << false;
    }
    void revolutionClosingWindow()
    {
        QFETCH(int, baseAngleHundredths);
        QFETCH(bool, closes);
        PointCloudDecoder decoder;
        Recorder recorder;
        recorder.attach(decoder);
        primeForHandOver(decoder);
        decoder.feed(cloudFrame(baseAngleHundredths, {500}), ScanGeometry::coarse());
        QCOMPARE(recorder.revolutions.size(), closes ? 1 : 0);
        QCOMPARE(decoder.pendingFrameCount(), closes ? 0 : 1);
    }

    void everyFourthRevolutionHandedOver()
    {
        PointCloudDecoder decoder;
        Recorder recorder;
        recorder.attach(decoder);
        const auto feed = [&decoder](const QByteArray &bytes) {
            decoder.feed(bytes, ScanGeometry::coarse());
        };
        // Revolutions of 2, 1, 2 and 3 frames; tags tell the frames apart.
        feed(cloudFrame(1000, {1}) + closingFrame(2) + closingFrame(3));
        feed(cloudFrame(1000, {4}) + closingFrame(5));
        QVERIFY(recorder.revolutions.isEmpty());
        feed(cloudFrame(1000, {6}) + cloudFrame(19000, {7}) + closingFrame(8));
        QCOMPARE(recorder.revolutions.size(), 1);
        QCOMPARE(decoder.pendingFrameCount(), 0);

        const ScanFrames handedOver = recorder.revolutions.first();
        QCOMPARE(handedOver.size(), 3);
        QCOMPARE(handedOver.at(0).value(0), expectedPoint(6, 10.0));
        QCOMPARE(handedOver.at(1).value(0), expectedPoint(7, 190.0));
        QCOMPARE(handedOver.at(2).value(0), expectedPoint(8, 207.0));

        for (int closing = 0; closing < 3; ++closing)
            feed(closingFrame());
        QCOMPARE(recorder.revolutions.size(), 1);
        feed(closingFrame(9));
        QCOMPARE(recorder.revolutions.size(), 2);
        QCOMPARE(recorder.revolutions.last().size(), 1);
    }

    void wrongTypeFrameSkippedAsWholeBlock()
    {
        PointCloudDecoder decoder;
        // A frame header inside the skipped frame must not be decoded.
        QByteArray wrongType = cloudFrame(1000, {}, ScanGeometry::coarse(), 0x03);
        wrongType.replace(40, 10, cloudFrame(1000, {}).left(10));
        decoder.feed(wrongType + cloudFrame(1000, {300}), ScanGeometry::coarse());
        QCOMPARE(decoder.pendingFrameCount(), 1);
        QCOMPARE(decoder.bufferedBytes(), 0);
    }

    void fineResolutionFrame()
    {
        const ScanGeometry fine = ScanGeometry::fine();
        PointCloudDecoder decoder;
        Recorder recorder;
        recorder.attach(decoder);
        for (int i = 0; i < 3; ++i)
            decoder.feed(cloudFrame(20700, {}, fine), fine);
        decoder.feed(cloudFrame(20250, QVector<int>(100, 1500), fine), fine);
        const QVector<QPointF> points = recorder.revolutions.value(0).value(0);
        QCOMPARE(points.size(), 100);
        for (int i = 0; i < points.size(); ++i)
            QCOMPARE(points.at(i), expectedPoint(1500, 202.5 + 0.18 * i));
    }

    void traceLinesOfOneFrame()
    {
        QStringList lines;
        PointCloudDecoder decoder([&lines](const QString &line) { lines.append(line); });
        const QByteArray frame = cloudFrame(12345, {1});
        const QString frameHex = QString::fromLatin1(frame.toHex().toUpper());
        decoder.feed(QByteArray("\x01", 1) + frame + QByteArray("\xA5", 1), ScanGeometry::coarse());
        const QStringList expected{
            "byteBuff data before operator >>> 01" + frameHex + "A5",
            "oneFrame data>>> " + frameHex,
            "baseAngle >>> 123.45",
            "byteBuff data after midding operator >>> A5",
            "byteBuff data before operator >>> A5",
        };
        QCOMPARE(lines, expected);
    }

    void memoryStaysBounded_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<int>("frameLength");
        QTest::newRow("no header ever") << QByteArray() << 113;
        QTest::newRow("header then junk") << QByteArray("\xA5\x5A\x02", 3) << 113;
        QTest::newRow("huge frame length") << QByteArray("\xA5\x5A\x02", 3) << 100000000;
        QTest::newRow("tiny frame length") << QByteArray("\xA5\x5A\x02", 3) << 1;
    }
    void memoryStaysBounded()
    {
        QFETCH(QByteArray, start);
        QFETCH(int, frameLength);
        PointCloudDecoder decoder;
        ScanGeometry geometry = ScanGeometry::coarse();
        geometry.frameLength = frameLength;
        geometry.pointsPerFrame = frameLength;
        const QByteArray junk(1000, '\x11');
        decoder.feed(start, geometry);
        for (int chunk = 0; chunk < 200; ++chunk) {
            decoder.feed(junk, geometry);
            QVERIFY(decoder.bufferedBytes() <= PointCloudDecoder::maxBufferedBytes + junk.size());
        }
    }

    void headerSplitAtTheBound()
    {
        PointCloudDecoder decoder;
        const QByteArray frame = cloudFrame(1000, {700});
        decoder.feed(QByteArray(PointCloudDecoder::maxBufferedBytes, '\x11') + frame.left(1),
                     ScanGeometry::coarse());
        QCOMPARE(decoder.bufferedBytes(), 1);
        decoder.feed(frame.mid(1), ScanGeometry::coarse());
        QCOMPARE(decoder.pendingFrameCount(), 1);
    }

    void pendingFramesBoundedWithoutClosing()
    {
        PointCloudDecoder decoder;
        QByteArray frames;
        for (int i = 0; i < PointCloudDecoder::maxPendingFrames + 10; ++i)
            frames += cloudFrame(1000, {i + 1});
        decoder.feed(frames, ScanGeometry::coarse());
        QCOMPARE(decoder.pendingFrameCount(), PointCloudDecoder::maxPendingFrames);
    }
};

QTEST_GUILESS_MAIN(TestPointCloudDecoder)
#include "test_pointclouddecoder.moc"
