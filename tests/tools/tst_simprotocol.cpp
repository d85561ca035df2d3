#include "simtestsupport.h"

#include "protocol/commands.h"
#include "protocol/modbus.h"
#include "protocol/regionframe.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "regions/regionfile.h"

namespace {

constexpr int waitMs = 2000;

RegionFrame::Content sampleRegion(int block)
{
    RegionFrame::Content content;
    content.groupIndex = block / 3 + 1;
    content.regionNumber = block % 3 + 1;
    content.alarmPointNum = 7 + block;
    content.polygon << QPointF(-100, 250) << QPointF(1500, 3000) << QPointF(2000, -400);
    return content;
}

quint8 sumOfBody(const QByteArray &frame)
{
    quint8 sum = 0;
    for (int i = 0; i < RegionFrame::bodySize; ++i)
        sum += quint8(frame.at(i));
    return sum;
}

// A region frame as the device must send it: type 0x03, checksum over bytes 0..130, FA FB.
void verifyDeviceRegionFrame(const QByteArray &frame, int block)
{
    QCOMPARE(frame.size(), RegionFrame::size);
    QCOMPARE(frame.left(3), hex("A55A03"));
    QCOMPARE(quint8(frame.at(4)), quint8(block / 3 + 1));
    QCOMPARE(quint8(frame.at(9)), quint8(block % 3 + 1));
    QCOMPARE(quint8(frame.at(131)), sumOfBody(frame));
    QCOMPARE(frame.right(2), hex("FAFB"));
}

} // namespace

class TestSimProtocol : public QObject
{
    Q_OBJECT

private slots:
    void commandsAreAnsweredByteExact_data();
    void commandsAreAnsweredByteExact();
    void splitAndCoalescedInputIsParsed_data();
    void splitAndCoalescedInputIsParsed();
    void falseHeaderDelaysButLosesNothing();
    void startParametersAndStopDriveTheStream_data();
    void startParametersAndStopDriveTheStream();
    void rawReadingSendsOneFramePerAcknowledgement();
    void rawWriteVerifiesChecksum_data();
    void rawWriteVerifiesChecksum();
    void modbusBlockWriteThenReadRoundTrips();
    void completedWriteSavesRegionsFile();
    void writeFaultsAnswerPerFrame_data();
    void writeFaultsAnswerPerFrame();
    void silenceAfterStopsReading_data();
    void silenceAfterStopsReading();
    void cablePullEndsTheLink();
    void noReplyStillObeys();
    void wireFaultsShapeReplies_data();
    void wireFaultsShapeReplies();
};

void TestSimProtocol::commandsAreAnsweredByteExact_data()
{
    QTest::addColumn<bool>("modbus");
    QTest::addColumn<bool>("coarse");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("raw stop") << false << false << DeviceCommand::stopScan(Usb)
                              << hex("A55A0098FAFB");
    QTest::newRow("raw query 0.18")
        << false << false << DeviceCommand::resolutionQuery(Net) << hex("A55A0010FAFB");
    QTest::newRow("raw query 0.36")
        << false << true << DeviceCommand::resolutionQuery(Usb) << hex("A55A0020FAFB");
    QTest::newRow("raw start") << false << false << DeviceCommand::startScan(Usb) << QByteArray();
    QTest::newRow("raw parameters")
        << false << false << DeviceCommand::radarParameters(Usb, 0, 2, 0) << QByteArray();
    QTest::newRow("raw io") << false << false << DeviceCommand::ioOutputMode(1) << QByteArray();
    QTest::newRow("modbus stop") << true << false << DeviceCommand::stopScan(Modbus)
                                 << hex("01100BFA0003A21D");
    QTest::newRow("modbus query 0.18")
        << true << false << DeviceCommand::resolutionQuery(Modbus) << hex("010306A55A0010FAFB636B");
    QTest::newRow("modbus query 0.36")
        << true << true << DeviceCommand::resolutionQuery(Modbus) << hex("010306A55A0020FAFB6364");
    QTest::newRow("modbus start") << true << false << DeviceCommand::startScan(Modbus)
                                  << hex("01100BF7000333DE");
    QTest::newRow("modbus parameters")
        << true << false << DeviceCommand::radarParameters(Modbus, 0, 2, 0)
        << hex("01100BF7000333DE");
    QTest::newRow("modbus bare io")
        << true << false << DeviceCommand::ioOutputMode(0) << QByteArray();
    QTest::newRow("modbus bad crc dropped")
        << true << false << QStringLiteral("01100BFA000306A55A049CFAFB6483") << QByteArray();
    QTest::newRow("modbus ignores raw stop")
        << true << false << DeviceCommand::stopScan(Usb) << QByteArray();
}

void TestSimProtocol::commandsAreAnsweredByteExact()
{
    QFETCH(bool, modbus);
    QFETCH(bool, coarse);
    QFETCH(QString, request);
    QFETCH(QByteArray, reply);
    SimOptions options = simOptions(modbus);
    options.geometry = coarse ? ScanGeometry::coarse() : ScanGeometry::fine();
    SimDevice device(options);
    SentBytes sent(device);

    device.receive(QByteArray::fromHex(request.toLatin1()));

    QCOMPARE(sent.takeAll(), reply);
    device.receive(hex("A55A049CFAFB")); // leaves no stream running behind the test
}

void TestSimProtocol::splitAndCoalescedInputIsParsed_data()
{
    QTest::addColumn<bool>("modbus");
    QTest::addColumn<int>("chunkSize");

    for (int size : {1, 2, 5, 7, 1000}) {
        QTest::addRow("raw chunks of %d", size) << false << size;
        QTest::addRow("modbus chunks of %d", size) << true << size;
    }
}

// Junk, a stop, the bare IO command and a resolution query, cut anywhere.
void TestSimProtocol::splitAndCoalescedInputIsParsed()
{
    QFETCH(bool, modbus);
    QFETCH(int, chunkSize);
    const ConnMode mode = modbus ? Modbus : Usb;
    const QByteArray stream = hex("0011A5FF5A") + hex(DeviceCommand::stopScan(mode).toLatin1()) +
                              hex(DeviceCommand::ioOutputMode(0).toLatin1()) + hex("A5") +
                              hex(DeviceCommand::resolutionQuery(mode).toLatin1());
    SimDevice device(simOptions(modbus));
    SentBytes sent(device);

    for (int at = 0; at < stream.size(); at += chunkSize)
        device.receive(stream.mid(at, chunkSize));

    const QByteArray expected =
        modbus ? hex("01100BFA0003A21D010306A55A0010FAFB636B") : hex("A55A0098FAFBA55A0010FAFB");
    QCOMPARE(sent.takeAll(), expected);
}

void TestSimProtocol::falseHeaderDelaysButLosesNothing()
{
    SimDevice device(simOptions());
    SentBytes sent(device);
    const int stops = 30; // more than a region frame's worth of bytes behind the false header

    device.receive(hex("A55A02"));
    for (int i = 0; i < stops; ++i)
        device.receive(hex("A55A049CFAFB"));

    QCOMPARE(sent.takeAll(), hex("A55A0098FAFB").repeated(stops));
}

void TestSimProtocol::startParametersAndStopDriveTheStream_data()
{
    QTest::addColumn<bool>("modbus");
    QTest::newRow("raw") << false;
    QTest::newRow("modbus") << true;
}

void TestSimProtocol::startParametersAndStopDriveTheStream()
{
    QFETCH(bool, modbus);
    const ConnMode mode = modbus ? Modbus : Usb;
    const auto send = [mode](const QString &text) { return hex(text.toLatin1()); };
    SimDevice device(simOptions(modbus));

    device.receive(send(DeviceCommand::startScan(mode)));
    QVERIFY(device.isStreaming());
    device.receive(send(DeviceCommand::stopScan(mode)));
    QVERIFY(!device.isStreaming());

    device.receive(send(DeviceCommand::startScan(mode)));
    device.receive(send(DeviceCommand::radarParameters(mode, 0, 4, 0))); // stop rotating
    QVERIFY(!device.isStreaming());
    device.receive(send(DeviceCommand::startScan(mode)));
    QVERIFY(!device.isStreaming());

    device.receive(send(DeviceCommand::radarParameters(mode, 0, 2, 0)));
    device.receive(send(DeviceCommand::startScan(mode)));
    QVERIFY(device.isStreaming());
    device.receive(send(DeviceCommand::stopScan(mode)));
}

void TestSimProtocol::rawReadingSendsOneFramePerAcknowledgement()
{
    SimDevice device(simOptions());
    SentBytes sent(device);
    device.receive(RegionFrame::encodeRaw(sampleRegion(4)));
    sent.pieces.clear();

    device.receive(hex("A55A03FAFB"));
    QCOMPARE(sent.pieces, QList<QByteArray>{hex("A55A0098FAFB")});
    QTRY_COMPARE_WITH_TIMEOUT(sent.pieces.size(), 2, waitMs);

    for (int block = 0; block < RegionFrame::regionCount; ++block) {
        QCOMPARE(sent.pieces.size(), block + 2);
        verifyDeviceRegionFrame(sent.pieces.last(), block);
        QCOMPARE(RegionFrame::decode(sent.pieces.last()).polygon,
                 block == 4 ? sampleRegion(4).polygon : QPolygonF());
        device.receive(hex("A55A0098FAFB"));
    }
    QCOMPARE(sent.pieces.size(), RegionFrame::regionCount + 1);
}

void TestSimProtocol::rawWriteVerifiesChecksum_data()
{
    QTest::addColumn<int>("checksumChange");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("sound") << 0 << hex("A55A0098FAFB");
    QTest::newRow("off by one") << 1 << hex("A55AFE96FAFB");
}

void TestSimProtocol::rawWriteVerifiesChecksum()
{
    QFETCH(int, checksumChange);
    QFETCH(QByteArray, reply);
    SimDevice device(simOptions());
    SentBytes sent(device);
    QByteArray frame = RegionFrame::encodeRaw(sampleRegion(10));
    frame[131] = char(frame.at(131) + checksumChange);

    device.receive(frame);

    QCOMPARE(sent.takeAll(), reply);
    const Region stored = device.regions().value(4).at(1);
    QCOMPARE(stored.polygon, checksumChange == 0 ? sampleRegion(10).polygon : QPolygonF());
}

void TestSimProtocol::modbusBlockWriteThenReadRoundTrips()
{
    SimDevice device(simOptions(true));
    SentBytes sent(device);
    const int block = 7;

    device.receive(
        RegionFrame::modbusWriteRequest(block, RegionFrame::encodeBody(sampleRegion(block))));
    QCOMPARE(sent.takeAll(), hex("011001DC0044003C"));

    device.receive(RegionFrame::modbusReadRequest(block));
    const QByteArray answer = sent.takeAll();
    QCOMPARE(answer.size(), 3 + 136 + 2);
    QCOMPARE(answer.left(3), hex("010388"));
    QVERIFY(hasValidModbusCrc(answer));
    QCOMPARE(answer.at(3), '\0');
    QCOMPARE(answer.at(3 + 135), '\0');
    const QByteArray frame = answer.mid(4, RegionFrame::size);
    verifyDeviceRegionFrame(frame, block);
    const RegionFrame::Content read = RegionFrame::decode(frame);
    QCOMPARE(read.polygon, sampleRegion(block).polygon);
    QCOMPARE(read.alarmPointNum, sampleRegion(block).alarmPointNum);
}

void TestSimProtocol::completedWriteSavesRegionsFile()
{
    QTemporaryDir dir;
    SimOptions options = simOptions();
    options.regionsFile = dir.filePath(QStringLiteral("regions.dat"));
    SimDevice device(options);

    for (int block = 0; block < RegionFrame::regionCount; ++block) {
        QVERIFY(!QFile::exists(options.regionsFile));
        device.receive(RegionFrame::encodeRaw(sampleRegion(block)));
    }

    RegionStore saved = Regions::initialStore();
    QVERIFY(RegionFile::load(options.regionsFile, saved));
    QCOMPARE(saved, device.regions());
    QCOMPARE(saved.value(15).at(2).polygon, sampleRegion(44).polygon);
    SimDevice restarted(options);
    QVERIFY(restarted.restoreRegions());
    QCOMPARE(restarted.regions(), device.regions());
}

void TestSimProtocol::writeFaultsAnswerPerFrame_data()
{
    QTest::addColumn<bool>("modbus");
    QTest::addColumn<bool>("modelMismatch");
    QTest::addColumn<QSet<int>>("checksumErrors");
    QTest::addColumn<int>("silenceAfter");
    QTest::addColumn<QList<QByteArray>>("replies"); // to frames 1, 2, 3

    const QByteArray ok = hex("A55A0098FAFB");
    const QByteArray bad = hex("A55AFE96FAFB");
    const QByteArray model = hex("A55AEF87FAFB");
    QTest::newRow("model mismatch")
        << false << true << QSet<int>() << -1 << QList<QByteArray>{model, model, model};
    QTest::newRow("checksum error on 2")
        << false << false << QSet<int>{2} << -1 << QList<QByteArray>{ok, bad, ok};
    QTest::newRow("silence after 2")
        << false << false << QSet<int>() << 2 << QList<QByteArray>{ok, ok, QByteArray()};
    QTest::newRow("modbus checksum error on 3")
        << true << false << QSet<int>{3} << -1
        << QList<QByteArray>{hex("011000000044"), hex("011000440044"), bad};
}

void TestSimProtocol::writeFaultsAnswerPerFrame()
{
    QFETCH(bool, modbus);
    QFETCH(bool, modelMismatch);
    QFETCH(QSet<int>, checksumErrors);
    QFETCH(int, silenceAfter);
    QFETCH(QList<QByteArray>, replies);
    SimOptions options = simOptions(modbus);
    options.faults.modelMismatch = modelMismatch;
    options.faults.checksumErrorFrames = checksumErrors;
    options.faults.silenceAfter = silenceAfter;
    SimDevice device(options);
    SentBytes sent(device);

    for (int block = 0; block < replies.size(); ++block) {
        const RegionFrame::Content content = sampleRegion(block);
        device.receive(
            modbus ? RegionFrame::modbusWriteRequest(block, RegionFrame::encodeBody(content))
                   : RegionFrame::encodeRaw(content));
        QByteArray expected = replies.at(block);
        if (modbus && expected.startsWith(hex("0110")))
            expected = withModbusCrc(expected);
        QCOMPARE(sent.takeAll(), expected);
        const bool stored =
            device.regions().value(content.groupIndex).at(block % 3).polygon == content.polygon;
        QCOMPARE(stored, expected.startsWith(hex("0110")) || expected == hex("A55A0098FAFB"));
    }
    // Any other command ends the transfer; the next write is frame 1 again.
    device.receive(hex(DeviceCommand::stopScan(modbus ? Modbus : Usb).toLatin1()));
    sent.pieces.clear();
    device.receive(
        modbus ? RegionFrame::modbusWriteRequest(0, RegionFrame::encodeBody(sampleRegion(0)))
               : RegionFrame::encodeRaw(sampleRegion(0)));
    QCOMPARE(sent.takeAll().isEmpty(), replies.first().isEmpty());
}

void TestSimProtocol::silenceAfterStopsReading_data()
{
    QTest::addColumn<bool>("modbus");
    QTest::newRow("raw") << false;
    QTest::newRow("modbus") << true;
}

void TestSimProtocol::silenceAfterStopsReading()
{
    QFETCH(bool, modbus);
    SimOptions options = simOptions(modbus);
    options.faults.silenceAfter = 3;
    SimDevice device(options);
    SentBytes sent(device);

    if (modbus) {
        for (int block = 0; block < 5; ++block)
            device.receive(RegionFrame::modbusReadRequest(block));
        QCOMPARE(sent.pieces.size(), 3);
        return;
    }
    device.receive(hex("A55A03FAFB"));
    QTRY_COMPARE_WITH_TIMEOUT(sent.pieces.size(), 2, waitMs);
    for (int i = 0; i < 5; ++i)
        device.receive(hex("A55A0098FAFB"));
    QCOMPARE(sent.pieces.size(), 1 + 3);
}

void TestSimProtocol::cablePullEndsTheLink()
{
    SimOptions options = simOptions();
    options.faults.cablePullAfter = 2;
    SimDevice device(options);
    SentBytes sent(device);
    QSignalSpy ended(&device, &SimDevice::linkEnded);

    device.receive(hex("A55A03FAFB"));
    QTRY_COMPARE_WITH_TIMEOUT(sent.pieces.size(), 2, waitMs);
    QCOMPARE(ended.count(), 0);
    device.receive(hex("A55A0098FAFB"));

    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, waitMs);
    QCOMPARE(sent.pieces.size(), 3); // the second frame went out before the link ended
    device.receive(hex("A55A0098FAFBA55A049CFAFB"));
    QCOMPARE(sent.pieces.size(), 3);
}

void TestSimProtocol::noReplyStillObeys()
{
    SimOptions options = simOptions();
    options.faults.noReply = true;
    SimDevice device(options);
    SentBytes sent(device);

    device.receive(hex("A55A049CFAFBA55A0099FAFBA55A03FAFB"));
    device.receive(RegionFrame::encodeRaw(sampleRegion(0)));
    QTest::qWait(2 * SimDevice::firstRegionFrameDelayMs);
    QVERIFY(sent.pieces.isEmpty());
    QCOMPARE(device.regions().value(1).at(0).polygon, sampleRegion(0).polygon);

    device.receive(hex("FF00FFA100"));
    QVERIFY(device.isStreaming());
    device.receive(hex("A55A049CFAFB"));
}

void TestSimProtocol::wireFaultsShapeReplies_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("split");
    QTest::addColumn<int>("dropPercent");
    QTest::addColumn<bool>("duplicate");
    QTest::addColumn<QByteArray>("arriving");

    const QByteArray ack = hex("A55A0098FAFB");
    const QByteArray fine = hex("A55A0010FAFB");
    QTest::newRow("delay keeps order") << 40 << false << 0 << false << ack + fine;
    QTest::newRow("split") << 0 << true << 0 << false << ack + fine;
    QTest::newRow("all dropped") << 0 << false << 100 << false << QByteArray();
    QTest::newRow("duplicated") << 0 << false << 0 << true << ack + ack + fine + fine;
}

void TestSimProtocol::wireFaultsShapeReplies()
{
    QFETCH(int, delayMs);
    QFETCH(bool, split);
    QFETCH(int, dropPercent);
    QFETCH(bool, duplicate);
    QFETCH(QByteArray, arriving);
    SimOptions options = simOptions();
    options.wire = {delayMs, split, dropPercent, duplicate};
    SimDevice device(options);
    SentBytes sent(device);

    device.receive(hex("A55A049CFAFB"));
    device.receive(hex("A55A0099FAFB"));
    if (delayMs > 0)
        QVERIFY(sent.pieces.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(sent.joined(), arriving, waitMs);
    const int replies = arriving.size() / 6;
    if (split)
        QVERIFY(sent.pieces.size() >= 2 * replies && sent.pieces.size() <= 3 * replies);
    else
        QCOMPARE(sent.pieces.size(), replies);
}

QTEST_GUILESS_MAIN(TestSimProtocol)
#include "tst_simprotocol.moc"
