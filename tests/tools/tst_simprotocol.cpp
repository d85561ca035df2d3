#include "simtestsupport.h"

#include "protocol/commands.h"
#include "protocol/modbus.h"
#include "protocol/regionframe.h"
#include "regions/regionfile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int waitMs = 2000;
const QByteArray ack = hex("A55A0098FAFB");

RegionFrame::Content sampleRegion(int block)
{
    RegionFrame::Content content;
    content.groupIndex = block / 3 + 1;
    content.regionNumber = block % 3 + 1;
    content.alarmPointNum = 7 + block;
    content.polygon << QPointF(-100, 250) << QPointF(1500, 3000) << QPointF(2000, -400);
    return content;
}

// The region write the program sends for `block`, raw or wrapped in a Modbus write.
QByteArray regionWrite(bool modbus, int block)
{
    const RegionFrame::Content content = sampleRegion(block);
    return modbus ? RegionFrame::modbusWriteRequest(block, RegionFrame::encodeBody(content))
                  : RegionFrame::encodeRaw(content);
}

// A region frame as the device must send it: type 0x03, checksum over bytes 0..130, FA FB.
void verifyDeviceRegionFrame(const QByteArray &frame, int block)
{
    QCOMPARE(frame.size(), RegionFrame::size);
    QCOMPARE(frame.left(3), hex("A55A03"));
    QCOMPARE(quint8(frame.at(4)), quint8(block / 3 + 1));
    QCOMPARE(quint8(frame.at(9)), quint8(block % 3 + 1));
    quint8 sum = 0;
    for (int i = 0; i < RegionFrame::bodySize; ++i)
        sum += quint8(frame.at(i));
    QCOMPARE(quint8(frame.at(131)), sum);
    QCOMPARE(frame.right(2), hex("FAFB"));
}

} // namespace

// Devices are configured through the simulator's own command line text.
class TestSimProtocol : public QObject
{
    Q_OBJECT

private slots:
    void commandsAreAnsweredByteExact_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QByteArray>("reply");

        QTest::newRow("raw stop") << "" << DeviceCommand::stopScan(Usb) << ack;
        QTest::newRow("raw query 0.18")
            << "" << DeviceCommand::resolutionQuery(Net) << hex("A55A0010FAFB");
        QTest::newRow("raw query 0.36")
            << "--resolution 0.36" << DeviceCommand::resolutionQuery(Usb) << hex("A55A0020FAFB");
        QTest::newRow("raw start") << "" << DeviceCommand::startScan(Usb) << QByteArray();
        QTest::newRow("raw parameters")
            << "" << DeviceCommand::radarParameters(Usb, 0, 2, 0) << QByteArray();
        QTest::newRow("raw io") << "" << DeviceCommand::ioOutputMode(1) << QByteArray();
        QTest::newRow("modbus stop")
            << "--modbus" << DeviceCommand::stopScan(Modbus) << hex("01100BFA0003A21D");
        QTest::newRow("modbus query 0.18") << "--modbus" << DeviceCommand::resolutionQuery(Modbus)
                                           << hex("010306A55A0010FAFB636B");
        QTest::newRow("modbus query 0.36")
            << "--modbus --resolution 0.36" << DeviceCommand::resolutionQuery(Modbus)
            << hex("010306A55A0020FAFB6364");
        QTest::newRow("modbus start")
            << "--modbus" << DeviceCommand::startScan(Modbus) << hex("01100BF7000333DE");
        QTest::newRow("modbus parameters")
            << "--modbus" << DeviceCommand::radarParameters(Modbus, 0, 2, 0)
            << hex("01100BF7000333DE");
        QTest::newRow("modbus bare io")
            << "--modbus" << DeviceCommand::ioOutputMode(0) << QByteArray();
        QTest::newRow("modbus bad crc dropped")
            << "--modbus" << QStringLiteral("01100BFA000306A55A049CFAFB6483") << QByteArray();
        QTest::newRow("modbus ignores raw stop")
            << "--modbus" << DeviceCommand::stopScan(Usb) << QByteArray();
    }
    void commandsAreAnsweredByteExact()
    {
        QFETCH(QString, options);
        QFETCH(QString, request);
        SimDevice device(simOptions(options));
        SentBytes sent(device);
        device.receive(hex(request));
        QTEST(sent.takeAll(), "reply");
        device.receive(hex("A55A049CFAFB")); // leaves no stream running behind the test
    }

    void splitAndCoalescedInputIsParsed_data()
    {
        QTest::addColumn<bool>("modbus");
        QTest::addColumn<int>("chunkSize");
        for (int size : {1, 2, 5, 7, 1000}) {
            QTest::addRow("raw chunks of %d", size) << false << size;
            QTest::addRow("modbus chunks of %d", size) << true << size;
        }
    }
    // Junk, a stop, the bare IO command and a resolution query, cut anywhere.
    void splitAndCoalescedInputIsParsed()
    {
        QFETCH(bool, modbus);
        QFETCH(int, chunkSize);
        const ConnMode mode = modbus ? Modbus : Usb;
        const QByteArray stream = hex("0011A5FF5A") + hex(DeviceCommand::stopScan(mode)) +
                                  hex(DeviceCommand::ioOutputMode(0)) + hex("A5") +
                                  hex(DeviceCommand::resolutionQuery(mode));
        SimDevice device(simOptions(modbus ? "--modbus" : ""));
        SentBytes sent(device);
        for (int at = 0; at < stream.size(); at += chunkSize)
            device.receive(stream.mid(at, chunkSize));
        QCOMPARE(sent.takeAll(), modbus ? hex("01100BFA0003A21D010306A55A0010FAFB636B")
                                        : hex("A55A0098FAFBA55A0010FAFB"));
    }

    void falseHeaderDelaysButLosesNothing()
    {
        SimDevice device(simOptions());
        SentBytes sent(device);
        const int stops = 30; // more than a region frame's worth of bytes behind the false header
        device.receive(hex("A55A02"));
        for (int i = 0; i < stops; ++i)
            device.receive(hex("A55A049CFAFB"));
        QCOMPARE(sent.takeAll(), ack.repeated(stops));
    }

    void startParametersAndStopDriveTheStream_data()
    {
        QTest::addColumn<bool>("modbus");
        QTest::newRow("raw") << false;
        QTest::newRow("modbus") << true;
    }
    void startParametersAndStopDriveTheStream()
    {
        QFETCH(bool, modbus);
        const ConnMode mode = modbus ? Modbus : Usb;
        SimDevice device(simOptions(modbus ? "--modbus" : ""));
        const auto start = [&] { device.receive(hex(DeviceCommand::startScan(mode))); };
        const auto frequency = [&](int index) {
            device.receive(hex(DeviceCommand::radarParameters(mode, 0, index, 0)));
        };

        start();
        QVERIFY(device.isStreaming());
        device.receive(hex(DeviceCommand::stopScan(mode)));
        QVERIFY(!device.isStreaming());
        start();
        frequency(4); // stop rotating
        QVERIFY(!device.isStreaming());
        start();
        QVERIFY(!device.isStreaming());
        frequency(2);
        start();
        QVERIFY(device.isStreaming());
        device.receive(hex(DeviceCommand::stopScan(mode)));
    }

    void rawReadingSendsOneFramePerAcknowledgement()
    {
        SimDevice device(simOptions());
        SentBytes sent(device);
        device.receive(regionWrite(false, 4));
        sent.pieces.clear();

        device.receive(hex("A55A03FAFB"));
        QCOMPARE(sent.pieces, QList<QByteArray>{ack});
        QTRY_COMPARE_WITH_TIMEOUT(sent.pieces.size(), 2, waitMs);
        for (int block = 0; block < RegionFrame::regionCount; ++block) {
            QCOMPARE(sent.pieces.size(), block + 2);
            verifyDeviceRegionFrame(sent.pieces.last(), block);
            QCOMPARE(RegionFrame::decode(sent.pieces.last()).polygon,
                     block == 4 ? sampleRegion(4).polygon : QPolygonF());
            device.receive(ack);
        }
        QCOMPARE(sent.pieces.size(), RegionFrame::regionCount + 1);
    }

    void modbusBlockWriteThenReadRoundTrips()
    {
        SimDevice device(simOptions("--modbus"));
        SentBytes sent(device);
        const int block = 7;
        device.receive(regionWrite(true, block));
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

    void completedWriteSavesRegionsFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("regions.dat"));
        const SimOptions options = simOptions(QStringLiteral("--regions-file ") + file);
        SimDevice device(options);
        for (int block = 0; block < RegionFrame::regionCount; ++block) {
            QVERIFY(!QFile::exists(file));
            device.receive(regionWrite(false, block));
        }

        RegionStore saved = Regions::initialStore();
        QVERIFY(RegionFile::load(file, saved));
        QCOMPARE(saved, device.regions());
        QCOMPARE(saved.value(15).at(2).polygon, sampleRegion(44).polygon);
        SimDevice restarted(options);
        QVERIFY(restarted.restoreRegions());
        QCOMPARE(restarted.regions(), device.regions());
    }

    void writeFaultsAnswerPerFrame_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("corruptFrame");          // its checksum byte is one off; 0: none
        QTest::addColumn<QList<QByteArray>>("replies"); // to frames 1, 2, 3

        const QByteArray bad = hex("A55AFE96FAFB");
        const QByteArray model = hex("A55AEF87FAFB");
        QTest::newRow("checksum verified") << "" << 2 << QList<QByteArray>{ack, bad, ack};
        QTest::newRow("model mismatch")
            << "--model-mismatch" << 0 << QList<QByteArray>{model, model, model};
        QTest::newRow("checksum error on 2")
            << "--checksum-error 2" << 0 << QList<QByteArray>{ack, bad, ack};
        QTest::newRow("silence after 2")
            << "--silence-after 2" << 0 << QList<QByteArray>{ack, ack, QByteArray()};
        QTest::newRow("modbus checksum error on 3")
            << "--modbus --checksum-error 3" << 0
            << QList<QByteArray>{withModbusCrc(hex("011000000044")),
                                 withModbusCrc(hex("011000440044")), bad};
    }
    void writeFaultsAnswerPerFrame()
    {
        QFETCH(QString, options);
        QFETCH(int, corruptFrame);
        QFETCH(QList<QByteArray>, replies);
        const bool modbus = simOptions(options).modbus;
        SimDevice device(simOptions(options));
        SentBytes sent(device);

        for (int block = 0; block < replies.size(); ++block) {
            QByteArray frame = regionWrite(modbus, block);
            if (block + 1 == corruptFrame)
                frame[131] = char(frame.at(131) + 1);
            device.receive(frame);
            QCOMPARE(sent.takeAll(), replies.at(block));
            const bool stored = device.regions().value(block / 3 + 1).at(block % 3).polygon ==
                                sampleRegion(block).polygon;
            QCOMPARE(stored, replies.at(block).startsWith(hex("0110")) || replies.at(block) == ack);
        }
        // Any other command ends the transfer; the next write is frame 1 again.
        device.receive(hex(DeviceCommand::stopScan(modbus ? Modbus : Usb)));
        sent.pieces.clear();
        device.receive(regionWrite(modbus, 0));
        QCOMPARE(sent.takeAll().isEmpty(), replies.first().isEmpty());
    }

    void silenceAfterStopsReading_data()
    {
        QTest::addColumn<bool>("modbus");
        QTest::newRow("raw") << false;
        QTest::newRow("modbus") << true;
    }
    void silenceAfterStopsReading()
    {
        QFETCH(bool, modbus);
        SimDevice device(simOptions(modbus ? "--modbus --silence-after 3" : "--silence-after 3"));
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
            device.receive(ack);
        QCOMPARE(sent.pieces.size(), 1 + 3);
    }

    void cablePullEndsTheLink()
    {
        SimDevice device(simOptions("--cable-pull-after 2"));
        SentBytes sent(device);
        QSignalSpy ended(&device, &SimDevice::linkEnded);

        device.receive(hex("A55A03FAFB"));
        QTRY_COMPARE_WITH_TIMEOUT(sent.pieces.size(), 2, waitMs);
        QCOMPARE(ended.count(), 0);
        device.receive(ack);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, waitMs);
        QCOMPARE(sent.pieces.size(), 3); // the second frame went out before the link ended
        device.receive(hex("A55A0098FAFBA55A049CFAFB"));
        QCOMPARE(sent.pieces.size(), 3);
    }

    void noReplyStillObeys()
    {
        SimDevice device(simOptions("--no-reply"));
        SentBytes sent(device);
        device.receive(hex("A55A049CFAFBA55A0099FAFBA55A03FAFB"));
        device.receive(regionWrite(false, 0));
        QTest::qWait(2 * SimDevice::firstRegionFrameDelayMs);
        QVERIFY(sent.pieces.isEmpty());
        QCOMPARE(device.regions().value(1).at(0).polygon, sampleRegion(0).polygon);

        device.receive(hex("FF00FFA100"));
        QVERIFY(device.isStreaming());
        device.receive(hex("A55A049CFAFB"));
    }

    void wireFaultsShapeReplies_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QByteArray>("arriving");
        const QByteArray fine = hex("A55A0010FAFB");
        QTest::newRow("delay keeps order") << "--reply-delay 40" << ack + fine;
        QTest::newRow("split") << "--split-replies" << ack + fine;
        QTest::newRow("all dropped") << "--drop-replies 100" << QByteArray();
        QTest::newRow("duplicated") << "--duplicate-replies" << ack + ack + fine + fine;
    }
    void wireFaultsShapeReplies()
    {
        QFETCH(QString, options);
        QFETCH(QByteArray, arriving);
        const WireFaults wire = simOptions(options).wire;
        SimDevice device(simOptions(options));
        SentBytes sent(device);

        device.receive(hex("A55A049CFAFB"));
        device.receive(hex("A55A0099FAFB"));
        if (wire.replyDelayMs > 0)
            QVERIFY(sent.pieces.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(sent.joined(), arriving, waitMs);
        const int replies = arriving.size() / 6;
        if (wire.splitReplies)
            QVERIFY(sent.pieces.size() >= 2 * replies && sent.pieces.size() <= 3 * replies);
        else
            QCOMPARE(sent.pieces.size(), replies);
    }
};

QTEST_GUILESS_MAIN(TestSimProtocol)
#include "tst_simprotocol.moc"
