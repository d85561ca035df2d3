#include "simtestsupport.h"

#include "roomscene.h"
#include "scanstreamer.h"

#include <QtMath>
#include <QtTest>

namespace {

constexpr int waitMs = 3000;
// Base angles of one revolution's 15 frames, in hundredths of a degree: -45 to 207 degrees.
const QVector<int> baseAngles = {31500, 33300, 35100, 900,   2700,  4500,  6300, 8100,
                                 9900,  11700, 13500, 15300, 17100, 18900, 20700};

int wordAt(const QByteArray &bytes, int offset)
{
    return quint8(bytes.at(offset)) << 8 | quint8(bytes.at(offset + 1));
}

// Cuts a stream at each frame header; every piece must start with a whole frame.
QList<QByteArray> cutAtHeaders(const QByteArray &stream)
{
    QList<QByteArray> pieces;
    int at = stream.indexOf(hex("A55A"));
    while (at >= 0) {
        const int next = stream.indexOf(hex("A55A"), at + 2);
        pieces.append(stream.mid(at, next < 0 ? -1 : next - at));
        at = next;
    }
    return pieces;
}

} // namespace

class TestSimScan : public QObject
{
    Q_OBJECT

private slots:
    void framesAreWellFormed_data()
    {
        QTest::addColumn<bool>("coarse");
        QTest::newRow("0.18") << false;
        QTest::newRow("0.36") << true;
    }

    void framesAreWellFormed()
    {
        QFETCH(bool, coarse);
        const ScanGeometry geometry = coarse ? ScanGeometry::coarse() : ScanGeometry::fine();
        ScanStreamer streamer(geometry, 10, 1);
        QCOMPARE(ScanStreamer::framesPerRevolution, baseAngles.size());

        for (int revolution = 0; revolution < 3; ++revolution) {
            int closingFrames = 0;
            for (int index = 0; index < ScanStreamer::framesPerRevolution; ++index) {
                const QByteArray frame = streamer.frame(revolution, index);
                QCOMPARE(frame.size(), geometry.frameLength);
                QCOMPARE(frame.left(3), hex("A55A02"));
                QCOMPARE(frame.indexOf(hex("A55A"), 1), -1);
                const int baseAngle = wordAt(frame, 6);
                QCOMPARE(baseAngle, baseAngles.at(index));
                closingFrames += baseAngle > 20000 && baseAngle < 21500;
                int hits = 0;
                for (int i = 0; i < geometry.pointsPerFrame; ++i) {
                    const int distance = wordAt(frame, 10 + 2 * i);
                    QVERIFY(distance <= RoomScene::maxRangeMm);
                    QVERIFY(distance != 255);
                    hits += distance > 0;
                }
                QVERIFY(hits > 0);
            }
            QCOMPARE(closingFrames, 1);
        }
    }

    void sceneLooksLikeTheRoom_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<int>("expected"); // 0: nothing within range

        QTest::newRow("right wall") << 0.0 << 8500;
        QTest::newRow("left wall") << 180.0 << 3500;
        QTest::newRow("floor corner") << -45.0 << qRound(2000 * M_SQRT2);
        QTest::newRow("cabinet") << 150.0 << qRound(2900 / qCos(qDegreesToRadians(30.0)));
        QTest::newRow("pillar") << qRadiansToDegrees(qAtan2(1000.0, 6500.0))
                                << qRound(qSqrt(6500.0 * 6500 + 1000 * 1000) - 300);
        QTest::newRow("door gap") << qRadiansToDegrees(qAtan2(6000.0, 2500.0)) << 0;
    }

    // The walker is elsewhere at scene time 0 for these rays.
    void sceneLooksLikeTheRoom()
    {
        QFETCH(double, angle);
        QFETCH(int, expected);
        RoomScene scene(1);

        const int distance = scene.distance(angle, 0);
        const int tolerance = expected == 0 ? 0 : RoomScene::noiseMm + 1;
        QVERIFY2(qAbs(distance - expected) <= tolerance, qPrintable(QString::number(distance)));
    }

    void walkerMoves()
    {
        RoomScene scene(1);
        for (double seconds : {0.0, 2.5, 5.0, 7.5}) {
            const QPointF walker = RoomScene::walkerPosition(seconds);
            const double angle = qRadiansToDegrees(qAtan2(walker.y(), walker.x()));
            const double range = qSqrt(QPointF::dotProduct(walker, walker));
            QVERIFY(qAbs(scene.distance(angle, seconds) - (range - 250)) <= RoomScene::noiseMm + 1);
        }
        QVERIFY(RoomScene::walkerPosition(0) != RoomScene::walkerPosition(2.5));
    }

    void streamRunsRevolutionsUntilStop_data()
    {
        QTest::addColumn<QString>("options");
        QTest::newRow("clean") << "--rate 20";
        QTest::newRow("garbage") << "--rate 20 --garbage";
        QTest::newRow("split with garbage") << "--rate 20 --garbage --split-replies";
    }

    void streamRunsRevolutionsUntilStop()
    {
        QFETCH(QString, options);
        const SimOptions simulated = simOptions(options);
        const bool garbage = simulated.faults.streamGarbage;
        SimDevice device(simulated);
        SentBytes sent(device);
        const int frameLength = simulated.geometry.frameLength;

        device.receive(hex("FF00FFA100"));
        QTRY_VERIFY_WITH_TIMEOUT(sent.joined().size() > 2 * 15 * (frameLength + 16), waitMs);
        device.receive(hex("A55A049CFAFB"));
        QTRY_VERIFY_WITH_TIMEOUT(sent.joined().endsWith(hex("A55A0098FAFB")), waitMs);
        QTest::qWait(50);
        const int emitted = sent.pieces.size();
        const QByteArray stream = sent.takeAll();
        QVERIFY(stream.endsWith(hex("A55A0098FAFB")));

        const QList<QByteArray> pieces = cutAtHeaders(stream.chopped(6));
        QVERIFY(stream.startsWith(hex("A55A02")));
        for (int i = 0; i < pieces.size(); ++i) {
            const QByteArray &piece = pieces.at(i);
            QCOMPARE(piece.left(3), hex("A55A02"));
            QCOMPARE(wordAt(piece, 6), baseAngles.at(i % 15));
            if (garbage)
                QVERIFY(piece.size() > frameLength &&
                        piece.size() <= frameLength + ScanStreamer::maxJunkBytes);
            else
                QCOMPARE(piece.size(), frameLength);
        }
        QVERIFY(simulated.wire.splitReplies ? emitted >= 2 * pieces.size()
                                            : emitted == pieces.size() + 1);
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("error"); // part of the message; empty: accepted

        QTest::newRow("defaults") << "" << QString();
        QTest::newRow("loopback v4") << "--udp 127.0.0.1:6000" << QString();
        QTest::newRow("loopback v6") << "--udp [::1]:6000" << QString();
        QTest::newRow("device address refused")
            << "--udp 192.168.1.102:502" << QStringLiteral("loopback");
        QTest::newRow("any address refused") << "--udp 0.0.0.0:502" << QStringLiteral("loopback");
        QTest::newRow("no port") << "--udp 127.0.0.1" << QStringLiteral("addr:port");
        QTest::newRow("serial and udp")
            << "--serial --udp 127.0.0.1:1" << QStringLiteral("exclude");
        QTest::newRow("rate too low") << "--rate 4" << QStringLiteral("--rate");
        QTest::newRow("odd resolution") << "--resolution 0.2" << QStringLiteral("--resolution");
        QTest::newRow("frame 46") << "--checksum-error 1,46" << QStringLiteral("--checksum-error");
        QTest::newRow("all faults")
            << "--serial --modbus --reply-delay 20 --split-replies --garbage --model-mismatch "
               "--checksum-error 3,7 --silence-after 5 --cable-pull-after 9 --drop-replies 10 "
               "--duplicate-replies --seed 42 --log"
            << QString();
    }

    void commandLine()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, error);
        SimCommandLine commandLine;
        const bool accepted =
            commandLine.parse(QStringList{"vks20-sim"} + arguments.split(' ', Qt::SkipEmptyParts));
        QCOMPARE(accepted, error.isEmpty());
        QVERIFY2(commandLine.errorText().contains(error), qPrintable(commandLine.errorText()));
    }
};

QTEST_GUILESS_MAIN(TestSimScan)
#include "tst_simscan.moc"
