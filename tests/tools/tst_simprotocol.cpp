#include "simtestsupport.h"

#include "protocol/commands.h"
#include "protocol/modbus.h"
#include "protocol/regionframe.h"
#include "roomscene.h"
#include "scanstreamer.h"

#include <QtTest>

namespace {

constexpr int waitMs = 3000;
const QByteArray ack = hex("A55A0098FAFB");
const QByteArray checksumError = hex("A55AFE96FAFB");

RegionFrame::Content sampleRegion(int block)
{
    return {block / 3 + 1, block % 3 + 1, 7 + block,
            QVector<QPointF>{QPointF(-100, 250), QPointF(1500, 3000), QPointF(2000, -400)}};
}

// The region write the program sends for `block`, raw or wrapped in a Modbus write.
QByteArray regionWrite(bool modbus, int block)
{
    const RegionFrame::Content content = sampleRegion(block);
    return modbus ? RegionFrame::modbusWriteRequest(block, RegionFrame::encodeBody(content))
                  : RegionFrame::encodeRaw(content);
}

// Writes of blocks 0, 1 and 2; frame `corrupt` (1..3) has its checksum byte one off.
QByteArray threeWrites(bool modbus, int corrupt = 0)
{
    QByteArray frames[3] = {regionWrite(modbus, 0), regionWrite(modbus, 1), regionWrite(modbus, 2)};
    if (corrupt > 0)
        frames[corrupt - 1][131] = char(frames[corrupt - 1].at(131) + 1);
    return frames[0] + frames[1] + frames[2];
}

int wordAt(const QByteArray &bytes, int offset)
{
    return quint8(bytes.at(offset)) << 8 | quint8(bytes.at(offset + 1));
}

// Cuts a stream at each frame header; every piece must start with a whole frame.
QList<QByteArray> cutAtHeaders(const QByteArray &stream)
{
    QList<QByteArray> pieces;
    for (int at = stream.indexOf(hex("A55A")), next; at >= 0; at = next) {
        next = stream.indexOf(hex("A55A"), at + 2);
        pieces.append(stream.mid(at, next < 0 ? -1 : next - at));
    }
    return pieces;
}

} // namespace

// Devices are configured through the simulator's own command line text.
class TestSimProtocol : public QObject
{
    Q_OBJECT

private slots:
    void repliesAreByteExact_data()
    {
        using namespace DeviceCommand;
        QTest::addColumn<QString>("options");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        // Whether the device streams afterwards, and the blocks of group 1 the writes changed.
        QTest::addColumn<QString>("after");
        const auto row = [](const char *name, const char *options, const QByteArray &request,
                            const QByteArray &reply, const char *after = "") {
            QTest::newRow(name) << options << request << reply << after;
        };
        const QByteArray fine = hex("A55A0010FAFB");
        const QByteArray model = hex("A55AEF87FAFB");
        const QByteArray stopAndQuery = hex(stopScan(Usb) + resolutionQuery(Usb));

        row("raw start, parameters, io unanswered", "",
            hex(startScan(Usb) + radarParameters(Usb, 0, 2, 0) + ioOutputMode(1)), {}, "streaming");
        // "Stop rotating" halts the stream and holds off starts until a running frequency.
        const QString stopRotating = radarParameters(Usb, 0, 4, 0);
        row("stop rotating holds off starts", "",
            hex(startScan(Usb) + stopRotating + startScan(Usb) + radarParameters(Usb, 0, 2, 0)),
            {});
        row("running frequency releases starts", "",
            hex(startScan(Usb) + stopRotating + radarParameters(Usb, 0, 2, 0) + startScan(Usb)), {},
            "streaming");
        row("raw junk between commands", "",
            hex("0011A5FF5A" + stopScan(Usb) + ioOutputMode(0) + "A5" + resolutionQuery(Usb)),
            ack + fine);
        // A false region-write header must not swallow the commands behind it.
        row("raw false header", "", hex("A55A02") + hex(stopScan(Usb)).repeated(30),
            ack.repeated(30));
        row("modbus query 0.36", "--modbus --resolution 0.36", hex(resolutionQuery(Modbus)),
            hex("010306A55A0020FAFB6364"));
        row("modbus start, parameters", "--modbus",
            hex(startScan(Modbus) + radarParameters(Modbus, 0, 2, 0)),
            hex("01100BF7000333DE").repeated(2), "streaming");
        row("modbus bare io, bad crc, raw stop unanswered", "--modbus",
            hex(ioOutputMode(0) + "01100BFA000306A55A049CFAFB6483" + stopScan(Usb)), {});
        row("modbus junk between commands", "--modbus",
            hex("0011A5FF5A" + stopScan(Modbus) + ioOutputMode(0) + "A5" + resolutionQuery(Modbus)),
            hex("01100BFA0003A21D010306A55A0010FAFB636B"));
        row("write checksum verified", "", threeWrites(false, 2), ack + checksumError + ack, "0 2");
        row("write checksum error on 2", "--checksum-error 2", threeWrites(false),
            ack + checksumError + ack, "0 2");
        row("write model mismatch", "--model-mismatch", threeWrites(false), model.repeated(3));
        // Any other command ends the transfer; the next write is frame 1 again.
        row("write silence after 2 until a stop", "--silence-after 2",
            threeWrites(false) + hex(stopScan(Usb)) + regionWrite(false, 0), ack.repeated(4),
            "0 1");
        row("modbus write checksum error on 3", "--modbus --checksum-error 3", threeWrites(true),
            withModbusCrc(hex("011000000044")) + withModbusCrc(hex("011000440044")) + checksumError,
            "0 1");
        // Withheld answers still take effect.
        row("no reply", "--no-reply", stopAndQuery + threeWrites(false), {}, "0 1 2");
        row("delay keeps order", "--reply-delay 40", stopAndQuery, ack + fine);
        row("all dropped", "--drop-replies 100", stopAndQuery, {});
        row("duplicated", "--duplicate-replies", stopAndQuery, ack + ack + fine + fine);
    }
    // Whole, then cut into pieces so that every command arrives split somewhere.
    void repliesAreByteExact()
    {
        QFETCH(QString, options);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(QString, after);
        for (int chunk : {int(request.size()), 1, 2, 5, 7}) {
            SimDevice device(simOptions(options));
            SentBytes sent(device);
            for (int at = 0; at < request.size(); at += chunk)
                device.receive(request.mid(at, chunk));
            if (options.startsWith(QLatin1String("--reply-delay")))
                QVERIFY(sent.pieces.isEmpty());
            QTRY_COMPARE_WITH_TIMEOUT(sent.joined(), reply, waitMs);
            QCOMPARE(device.isStreaming(), after.contains("streaming"));
            for (int block = 0; block < 3; ++block)
                QCOMPARE(device.regions().value(1).at(block).polygon == sampleRegion(block).polygon,
                         after.contains(QString::number(block)));
        }
    }

    void readingReturnsWhatWasWritten_data()
    {
        QTest::addColumn<QString>("options");
        QTest::newRow("raw") << "";
        QTest::newRow("modbus") << "--modbus";
        QTest::newRow("raw group 0 in frame 2") << "--bad-group-frame 2";
        QTest::newRow("modbus group 0 in frame 45") << "--modbus --bad-group-frame 45";
        QTest::newRow("raw frame 3 damaged") << "--corrupt-frame 3";
        QTest::newRow("modbus frame 3 damaged") << "--modbus --corrupt-frame 3";
        QTest::newRow("raw late copy") << "--late-copy 20";
        QTest::newRow("modbus write drops a vertex") << "--modbus --drop-vertex 2/2";
    }
    // Block 4 (group 2, region 2) written, then all 45 read: raw one frame per acknowledgement,
    // Modbus one per block read, a damaged block asked for again.
    void readingReturnsWhatWasWritten()
    {
        QFETCH(QString, options);
        const SimOptions simulated = simOptions(options);
        const bool modbus = simulated.modbus;
        SimDevice device(simulated);
        SentBytes sent(device);
        const int written = 4;
        device.receive(regionWrite(modbus, written));
        QCOMPARE(sent.takeAll(), modbus ? withModbusCrc(hex("011001100044")) : ack);
        QPolygonF stored = sampleRegion(written).polygon;
        if (simulated.faults.dropVertexRegion > 0)
            stored.removeLast();
        if (!modbus) {
            device.receive(hex(DeviceCommand::regionRequest));
            QCOMPARE(sent.takeAll(), ack);
        }
        QByteArray frame;
        for (int block = 0; block < RegionFrame::regionCount; ++block) {
            const bool damaged = block + 1 == simulated.wire.corruptFrame;
            if (modbus)
                device.receive(RegionFrame::modbusReadRequest(block));
            QTRY_COMPARE_WITH_TIMEOUT(sent.pieces.size(), 1, waitMs);
            QByteArray reply = sent.takeAll();
            if (modbus && damaged) {
                QVERIFY(!hasValidModbusCrc(reply));
                device.receive(RegionFrame::modbusReadRequest(block));
                reply = sent.takeAll();
            }
            // Modbus: 136 data bytes, 00, the region frame, 00.
            frame = modbus ? reply.mid(4, RegionFrame::size) : reply;
            if (modbus)
                QCOMPARE(reply, withModbusCrc(hex("01038800") + frame + '\0'));
            // Type 0x03, the group it names and the block's region; damaged only on the way.
            const RegionFrame::Content content = RegionFrame::decode(frame);
            const bool groupZero = block + 1 == simulated.faults.badGroupFrame;
            QCOMPARE(frame.left(3), hex("A55A03"));
            QCOMPARE(frame.size(), RegionFrame::size);
            QCOMPARE(RegionFrame::isIntact(frame), modbus || !damaged);
            QCOMPARE(content.groupIndex, groupZero ? 0 : block / 3 + 1);
            QCOMPARE(content.regionNumber, block % 3 + 1);
            QCOMPARE(content.polygon, block == written ? stored : QPolygonF());
            QCOMPARE(content.alarmPointNum, block == written ? sampleRegion(written).alarmPointNum
                                                             : Region().alarmPointNum);
            if (!modbus)
                device.receive(ack);
        }
        if (simulated.wire.lateCopyMs >= 0)
            QTRY_COMPARE_WITH_TIMEOUT(sent.pieces, QList<QByteArray>{frame}, waitMs);
        else
            QVERIFY(sent.pieces.isEmpty());
    }

    void streamRunsRevolutionsUntilStop_data()
    {
        QTest::addColumn<QString>("options");
        QTest::newRow("0.18") << "--rate 20";
        // Split frames leave more slowly than 20 revolutions a second make them; at 5 no
        // backlog can hold the stop's acknowledgement back.
        QTest::newRow("0.36 split with garbage")
            << "--rate 5 --resolution 0.36 --garbage --split-replies";
    }
    // Two runs from start to stop. The truth file holds every echo of the frames sent, in
    // order, its revolutions counted on across the runs; its angles and coordinates are the
    // command line suite's, which compares them with what the program decodes.
    void streamRunsRevolutionsUntilStop()
    {
        QFETCH(QString, options);
        QTemporaryDir dir;
        const QString truthPath = dir.filePath(QStringLiteral("truth.csv"));
        const SimOptions simulated = simOptions(options + " --truth " + truthPath);
        const ScanGeometry &geometry = simulated.geometry;
        SimDevice device(simulated);
        QString error;
        QVERIFY2(device.openTruthFile(&error), qPrintable(error));
        SentBytes sent(device);
        QStringList echoes;
        int revolution = -1;
        for (int run = 0; run < 2; ++run) {
            device.receive(hex(DeviceCommand::startScan(Usb)));
            QTRY_VERIFY_WITH_TIMEOUT(sent.joined().size() > 2 * 15 * (geometry.frameLength + 16),
                                     waitMs);
            device.receive(hex(DeviceCommand::stopScan(Usb)));
            QTRY_VERIFY_WITH_TIMEOUT(sent.joined().endsWith(ack), waitMs);
            QTest::qWait(50);
            const int emitted = sent.pieces.size();
            const QByteArray stream = sent.takeAll();
            QVERIFY(stream.startsWith(hex("A55A02")) && stream.endsWith(ack));
            const QList<QByteArray> pieces = cutAtHeaders(stream.chopped(ack.size()));
            for (int i = 0; i < pieces.size(); ++i) {
                const QByteArray &piece = pieces.at(i);
                const int index = i % 15;
                // 15 frames a revolution, from -45 degrees in steps of 18.
                const int baseAngle = (31500 + 1800 * index) % 36000;
                revolution += index == 0;
                // Header, frame index, revolution, 00, base angle, rate, resolution step.
                QCOMPARE(piece.left(10),
                         hex(QString::asprintf("A55A02%02X%02X00%04X%02X%02X", index, i / 15,
                                               baseAngle, simulated.rateHz,
                                               qRound(geometry.angleResolution * 100))));
                QCOMPARE(piece.mid(geometry.frameLength - 3, 3), hex("00FAFB"));
                // Frame 2 spans -9 to 9 degrees; its ray at 0 degrees meets the right wall 8.5 m
                // away, whoever walks the room.
                const int ahead = wordAt(piece, 10 + 2 * qRound(9 / geometry.angleResolution));
                QVERIFY(index != 2 || qAbs(ahead - 8500) <= RoomScene::noiseMm);
                const int junk = piece.size() - geometry.frameLength;
                QVERIFY(simulated.faults.streamGarbage
                            ? junk > 0 && junk <= ScanStreamer::maxJunkBytes
                            : junk == 0);
                for (int point = 0; point < geometry.pointsPerFrame; ++point) {
                    const int distance = wordAt(piece, 10 + 2 * point);
                    QVERIFY(distance <= RoomScene::maxRangeMm && distance != 255);
                    if (distance > 0)
                        echoes << QString::number(revolution) + ',' + QString::number(distance);
                }
            }
            QVERIFY(simulated.wire.splitReplies ? emitted >= 2 * pieces.size()
                                                : emitted == pieces.size() + 1);
        }
        QFile file(truthPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList rows = QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.takeFirst(), QStringLiteral("revolution,angle_deg,distance_mm,x_mm,y_mm"));
        for (QString &row : rows)
            row = row.section(',', 0, 0) + ',' + row.section(',', 2, 2);
        QCOMPARE(rows, echoes);
    }

    // Held up for longer than a second, the simulator skips whole revolutions, never part of
    // one: a revolution cut short would reach the program joined to the next.
    void stallSkipsWholeRevolutions()
    {
        ScanStreamer streamer(ScanGeometry::fine(), 20, 1);
        QList<int> indexes;
        connect(&streamer, &ScanStreamer::frameReady,
                [&indexes](const QByteArray &frame) { indexes << quint8(frame.at(3)); });
        streamer.start();
        QTRY_VERIFY(indexes.size() % 15 != 0);
        QThread::msleep(1300);
        const int beforeCatchingUp = indexes.size();
        QTRY_VERIFY(indexes.size() > beforeCatchingUp + 30);
        streamer.stop();
        for (int i = 0; i < indexes.size(); ++i)
            QCOMPARE(indexes.at(i), i % 15);
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("error"); // part of the message; empty: accepted
        QTest::newRow("loopback v6") << "--udp [::1]:6000" << QString();
        QTest::newRow("any address refused") << "--udp 0.0.0.0:502" << QStringLiteral("loopback");
        QTest::newRow("no port") << "--udp 127.0.0.1" << QStringLiteral("addr:port");
        QTest::newRow("serial and udp")
            << "--serial --udp 127.0.0.1:1" << QStringLiteral("exclude");
        QTest::newRow("rate too low") << "--rate 4" << QStringLiteral("--rate");
        QTest::newRow("odd resolution") << "--resolution 0.2" << QStringLiteral("--resolution");
        QTest::newRow("frame 46") << "--checksum-error 1,46" << QStringLiteral("--checksum-error");
        QTest::newRow("region 4") << "--drop-vertex 2/4" << QStringLiteral("--drop-vertex");
        QTest::newRow("link without pty") << "--pty-link l" << QStringLiteral("--serial");
        QTest::newRow("back without link")
            << "--serial --come-back 1" << QStringLiteral("--pty-link");
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

    // The simulator never serves, and so never draws traffic to, anything but loopback; the
    // program's whole conversation with its process is the e2e suites'.
    void processRefusesNonLoopbackAddress()
    {
        QProcess sim;
        sim.start(QStringLiteral(VKS20_SIM_PROGRAM), {"--udp", "192.168.1.102:502"}); // refused
        QVERIFY(sim.waitForFinished(waitMs));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardError().contains("loopback"));
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimProtocol)
#include "tst_simprotocol.moc"
