// The device session against a scripted device on a test clock: the bytes and times of every
// operation in each mode, reply codes split at every byte, the faults of real links, and one
// operation at a time.
#include "sessiontestsupport.h"

#include "device/portreturnwatcher.h"
#include "device/udplink.h"
#include "protocol/commands.h"
#include "protocol/modbus.h"
#include "protocol/regionframe.h"

#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

Q_DECLARE_METATYPE(SerialAdapter)

namespace {

const QByteArray ack = bytes("A55A0098FAFB");
const QByteArray fine = bytes("A55A0010FAFB");

// What a device holds: a few vertices in every region, counts that name the block.
QVector<RegionFrame::Content> deviceRegions()
{
    QVector<RegionFrame::Content> frames;
    for (int block = 0; block < RegionFrame::regionCount; ++block)
        frames.append({block / 3 + 1, block % 3 + 1, 10 + block,
                       QVector<QPointF>{QPointF(-block, 100), QPointF(block, 200)}});
    return frames;
}

// A device as it should be: answers stops and queries, acknowledges region frames, and sends
// its regions one frame per acknowledgement (raw) or one per block read (Modbus). `frames`
// are the region frames it sends, in order; a test may spoil some of them.
struct ScriptedDevice
{
    ScriptedDevice(SessionRig &rig, ConnMode mode) : mode(mode)
    {
        for (const RegionFrame::Content &content : deviceRegions())
            frames.append(RegionFrame::encodeFromDevice(content));
        rig.link.respond = [this](const QByteArray &request) { return answer(request); };
    }

    QList<QByteArray> answer(const QByteArray &request)
    {
        const QString hex = HexText::fromBytes(request);
        if (mode == Modbus) {
            if (request.startsWith(bytes("0103")) && request.size() == 8) {
                const int block = request.mid(2, 2).toHex().toInt(nullptr, 16) / 68;
                QByteArray reply =
                    withModbusCrc(bytes("010388") + '\0' + frames.value(block) + '\0');
                if (block == 10 && badCrcReplies-- > 0)
                    reply[30] = char(reply[30] ^ 0x01);
                return {reply};
            }
            if (hex == DeviceCommand::resolutionQuery(Modbus))
                return {withModbusCrc(bytes("010306") + fine)};
            if (request.startsWith(bytes("0110")))
                return {withModbusCrc(request.left(6))};
            return {};
        }
        if (hex == DeviceCommand::stopScan(Usb) || hex.startsWith(QLatin1String("A55A0210")))
            return {ack};
        if (hex == DeviceCommand::resolutionQuery(Usb))
            return {fine};
        if (hex == DeviceCommand::regionRequest)
            return {ack, frames.value(sent++)};
        if (hex == DeviceCommand::regionFrameAck && sent < frames.size())
            return {frames.value(sent++)};
        return {};
    }
    ConnMode mode;
    QByteArrayList frames;
    int sent = 0;
    int badCrcReplies = 0; // Modbus: of block 10, the first ones fail their CRC
};

} // namespace

class TestDeviceSession : public QObject
{
    Q_OBJECT

private slots:
    // The connect initialisation: bytes and times, with a device that answers in 5 ms and
    // with one that never answers.
    void initialisation_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("answering");
        QTest::addColumn<QStringList>("transcript");
        QTest::addColumn<QStringList>("status");
        // Both lists are written "|"-separated.
        const auto row = [](const char *name, ConnMode mode, bool answering, const char *transcript,
                            const char *status) {
            QTest::newRow(name) << int(mode) << answering << QString(transcript).split('|')
                                << QString::fromUtf8(status).split('|');
        };
        const char *answered = "停止雷达|发送雷达停止采集命令|下位机接收到停止点云指令|"
                               "发送雷达停止采集命令成功|设置雷达参数|角分辨率为0.18度|"
                               "获取雷达角分辨率成功";
        row("usb", Usb, true,
            "0 A55A049CFAFB|105 FF0002A100|205 A55A0099FAFB|210 FF0000A108|230 FF0000A108|"
            "250 FF0000A108",
            answered);
        row("modbus", Modbus, true,
            "0 01100BFA000306A55A049CFAFB6482|105 01100BF7000306FF0002A100FF73A8|"
            "205 01030BFE000306A55A0099FAFBF19D|210 FF0000A108|230 FF0000A108|250 FF0000A108",
            answered);
        row("silent device", Net, false,
            "0 A55A049CFAFB|1000 A55A049CFAFB|2000 A55A049CFAFB|3100 FF0002A100|"
            "3200 A55A0099FAFB|3700 FF0000A108|3720 FF0000A108|3740 FF0000A108",
            "停止雷达|发送雷达停止采集命令|响应超时第1次|响应超时第2次|响应超时第3次|"
            "设置雷达参数|获取雷达角分辨率响应超时");
    }
    void initialisation()
    {
        QFETCH(int, mode);
        QFETCH(bool, answering);
        SessionRig rig{ConnMode(mode)};
        ScriptedDevice device(rig, ConnMode(mode));
        if (!answering)
            rig.link.respond = {};
        QSignalSpy initialised(&rig.session, &DeviceSession::initialised);
        rig.session.initialise({}, 0);
        rig.settle();

        QTEST(rig.link.transcript, "transcript");
        QTEST(rig.status, "status");
        QCOMPARE(initialised.size(), 1);
        QCOMPARE(rig.session.scanGeometry().frameLength, answering ? 213 : 113);
        QCOMPARE(rig.session.linkState(), ResolutionQuery);
    }

    // Every reply code is recognised however the link cuts it: the reply to the request that
    // starts with `request` comes split in two at each byte, the pieces 20 ms apart.
    void repliesSplitAtEveryByte_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QByteArray>("reply"); // empty: the device's own
        QTest::addColumn<QString>("status");
        const auto row = [](const char *name, ConnMode mode, const char *operation,
                            const char *request, const char *reply, const char *status) {
            QTest::newRow(name) << int(mode) << operation << request << bytes(reply)
                                << QString::fromUtf8(status);
        };
        const char *stopped = "发送雷达停止采集命令成功";
        row("stop ack", Usb, "stop", "A55A049C", "", stopped);
        row("modbus stop echo", Modbus, "stop", "01100BFA", "", stopped);
        row("0.18 degrees", Usb, "initialise", "A55A0099", "A55A0010FAFB", "角分辨率为0.18度");
        row("0.36 degrees", Net, "initialise", "A55A0099", "A55A0020FAFB", "角分辨率为0.36度");
        row("frame ack", Usb, "write", "A55A0210", "", "下位机接收成功");
        row("modbus block echo", Modbus, "write", "0110", "", "下位机接收成功");
        row("checksum error", Net, "write", "A55A0210", "A55AFE96FAFB", "校验位错误");
        row("model mismatch", Usb, "write", "A55A0210", "A55AEF87FAFB", "雷达的实际型号不符");
        row("region request ack", Usb, "read", "A55A03FAFB", "", "下位机接收到下载指令");
    }
    void repliesSplitAtEveryByte()
    {
        QFETCH(int, mode);
        QFETCH(QString, operation);
        QFETCH(QString, request);
        QFETCH(QByteArray, reply);
        QFETCH(QString, status);
        for (int split = 1; split < 8; ++split) {
            SessionRig rig{ConnMode(mode)};
            ScriptedDevice device(rig, ConnMode(mode));
            rig.link.respond = [&](const QByteArray &asked) {
                QList<QByteArray> replies = device.answer(asked);
                if (!HexText::fromBytes(asked).startsWith(request))
                    return replies;
                const QByteArray whole = reply.isEmpty() ? replies.value(0) : reply;
                replies.replace(0, whole.mid(split));
                replies.prepend(whole.left(split));
                return replies;
            };
            QSignalSpy read(&rig.session, &DeviceSession::regionsRead);
            if (operation == "stop")
                rig.session.stopScan();
            else if (operation == "initialise")
                rig.session.initialise({}, 0);
            else if (operation == "write")
                rig.session.writeRegions(deviceRegions());
            else
                rig.session.readRegions();
            rig.settle();

            const QByteArray at = QByteArray::number(split);
            QVERIFY2(rig.status.count(status) == (operation == "write" ? 45 : 1), at);
            QVERIFY2(rig.status.filter(QStringLiteral("响应超时")).isEmpty(), at);
            if (operation == "read")
                QVERIFY(read.value(0).value(0).value<RegionReadResult>().complete());
        }
    }

    // A whole writing: stop, 45 frames 100 ms apart whatever the replies, start three times;
    // frames without an acknowledgement are named.
    void writing_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("usb") << int(Usb);
        QTest::newRow("udp") << int(Net);
        QTest::newRow("modbus") << int(Modbus);
    }
    void writing()
    {
        QFETCH(int, mode);
        SessionRig rig{ConnMode(mode)};
        ScriptedDevice device(rig, ConnMode(mode));
        const auto answer = rig.link.respond;
        int frame = 0;
        rig.link.respond = [&](const QByteArray &request) {
            const bool regionFrame = request.size() > 100;
            return regionFrame && QVector<int>{3, 7}.contains(++frame) ? QList<QByteArray>()
                                                                       : answer(request);
        };
        QSignalSpy written(&rig.session, &DeviceSession::regionsWritten);
        QSignalSpy progress(&rig.session, &DeviceSession::transferProgress);
        const QVector<RegionFrame::Content> frames = deviceRegions();
        QVERIFY(rig.session.writeRegions(frames));
        rig.settle();

        QStringList expected = {QStringLiteral("0 ") + DeviceCommand::stopScan(ConnMode(mode))};
        for (int block = 0; block < 45; ++block) {
            const RegionFrame::Content &content = frames.at(block);
            const QByteArray bytes =
                mode == Modbus
                    ? RegionFrame::modbusWriteRequest(block, RegionFrame::encodeBody(content))
                    : RegionFrame::encodeRaw(content);
            expected << QStringLiteral("%1 %2").arg(5 + 100 * block).arg(HexText::fromBytes(bytes));
        }
        for (int start = 0; start < 3; ++start)
            expected << QStringLiteral("%1 %2")
                            .arg(4505 + 150 * start)
                            .arg(DeviceCommand::startScan(ConnMode(mode)));
        QCOMPARE(rig.link.transcript, expected);
        const auto result = written.value(0).value(0).value<RegionWriteResult>();
        QCOMPARE(result.sent, 45);
        QCOMPARE(result.unacknowledged, (QVector<RegionKey>{{1, 3}, {3, 1}}));
        QCOMPARE(progress.size(), 45);
        QCOMPARE(rig.session.linkState(), Scanning);
    }

    // A whole reading, and what damaged or unusable frames on the way leave of it: raw frames
    // are all acknowledged, so the device goes on; only sound frames are stored; a Modbus
    // block whose reply fails its CRC is asked for again, at most twice more.
    void reading_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("blockReads"); // Modbus: requests for block 10
        QTest::newRow("usb") << int(Usb) << "" << 45 << 0;
        QTest::newRow("udp, frame 11 names group 0") << int(Net) << "group 0" << 44 << 0;
        QTest::newRow("usb, frame 11 checksum") << int(Usb) << "checksum" << 44 << 0;
        QTest::newRow("usb, frame 11 trailer") << int(Usb) << "trailer" << 44 << 0;
        QTest::newRow("modbus") << int(Modbus) << "" << 45 << 1;
        QTest::newRow("modbus, block 10 CRC once") << int(Modbus) << "crc once" << 45 << 2;
        QTest::newRow("modbus, block 10 CRC always") << int(Modbus) << "crc always" << 44 << 3;
        QTest::newRow("modbus, block 10 names group 0") << int(Modbus) << "group 0" << 44 << 1;
    }
    void reading()
    {
        QFETCH(int, mode);
        QFETCH(QString, fault);
        SessionRig rig{ConnMode(mode)};
        ScriptedDevice device(rig, ConnMode(mode));
        QByteArray &spoilt = device.frames[10];
        if (fault == "group 0")
            spoilt = RegionFrame::encodeFromDevice({0, 1, 5, {}});
        else if (fault == "checksum")
            spoilt[40] = char(spoilt[40] ^ 0x10);
        else if (fault == "trailer")
            spoilt[133] = '\xFC';
        device.badCrcReplies = fault == "crc once" ? 1 : fault == "crc always" ? 3 : 0;
        QSignalSpy received(&rig.session, &DeviceSession::regionReceived);
        QSignalSpy read(&rig.session, &DeviceSession::regionsRead);
        QVERIFY(rig.session.readRegions());
        rig.settle();

        QFETCH(int, stored);
        QCOMPARE(received.size(), stored);
        QCOMPARE(read.value(0).value(0).value<RegionReadResult>().received, stored);
        const QStringList &requests = rig.link.requests;
        if (mode == Modbus) {
            QTEST(requests.count(HexText::fromBytes(RegionFrame::modbusReadRequest(10))),
                  "blockReads");
            QCOMPARE(requests.filter(QRegularExpression("^0103[0-9A-F]{4}0044")).size(),
                     44 + requests.count(HexText::fromBytes(RegionFrame::modbusReadRequest(10))));
        } else {
            QCOMPARE(requests.count(HexText::fromBytes(ack)), 45);
        }
        // What was stored is what the device sent, region by region.
        for (const QVariantList &signal : received) {
            const auto content = signal.value(0).value<RegionFrame::Content>();
            const int block = (content.groupIndex - 1) * 3 + content.regionNumber - 1;
            QCOMPARE(content.polygon, deviceRegions().at(block).polygon);
            QCOMPARE(content.alarmPointNum, 10 + block);
        }
        const QString start = DeviceCommand::startScan(ConnMode(mode));
        QCOMPARE(requests.mid(requests.size() - 3), (QStringList{start, start, start}));
    }

    // One operation at a time: a second transfer is refused while one is asked for; anything
    // else waits its turn.
    void operationsRunOneAtATime()
    {
        SessionRig rig;
        ScriptedDevice device(rig, Usb);
        QVERIFY(rig.session.writeRegions(deviceRegions()));
        rig.session.setIoOutputMode(1);
        QVERIFY(!rig.session.readRegions());
        QVERIFY(!rig.session.writeRegions(deviceRegions()));
        rig.settle();
        const QStringList &requests = rig.link.requests;
        QCOMPARE(requests.size(), 1 + 45 + 3 + 3);
        QCOMPARE(requests.mid(49), (QStringList{"FF0000A107", "FF0000A107", "FF0000A107"}));
        QVERIFY(rig.session.readRegions());
    }

    // A closed link shows and logs what would be sent but transmits nothing.
    void closedLinkSendsNothing()
    {
        SessionRig rig;
        rig.link.open = false;
        QSignalSpy shown(&rig.session, &DeviceSession::frameSent);
        rig.session.setIoOutputMode(0);
        rig.settle();
        QCOMPARE(shown.size(), 3);
        QVERIFY(rig.link.transcript.isEmpty());
    }

    // Over UDP only the device's address speaks for the device (any source port); another
    // host on this machine is dropped, and named in the log once.
    void udpLinkTakesOnlyTheDevice()
    {
        QStringList log;
        UdpLink link([&log](const QString &line) { log << line; });
        const QHostAddress loopback(QHostAddress::LocalHost);
        QUdpSocket device, stranger;
        QVERIFY(device.bind(loopback, 0) && stranger.bind(QHostAddress("127.0.0.2"), 0));
        link.setDeviceEndpoint(loopback, device.localPort());
        QVERIFY(link.open(loopback, 0));
        QSignalSpy received(&link, &DeviceLink::received);
        link.write(bytes("A55A049CFAFB"));
        QTRY_VERIFY(device.hasPendingDatagrams());
        const quint16 programPort = quint16(device.receiveDatagram().senderPort());

        for (int i = 0; i < 2; ++i)
            stranger.writeDatagram(ack, loopback, programPort);
        QTest::qWait(100);
        device.writeDatagram(fine, loopback, programPort);
        QTRY_VERIFY(!received.isEmpty());
        QTest::qWait(50);
        QByteArray all;
        for (const QVariantList &chunk : received)
            all += chunk.value(0).toByteArray();
        QCOMPARE(all, fine);
        QCOMPARE(log.filter(QStringLiteral("127.0.0.2")).size(), 1);
    }

    // A device lost from "usb0" comes back only as the adapter it was, where the system names
    // one: the same serial number, vendor and product.
    void lostDeviceReturnsAsTheSameAdapter_data()
    {
        QTest::addColumn<SerialAdapter>("remembered");
        QTest::addColumn<SerialAdapter>("now");
        QTest::addColumn<QString>("returnedAt"); // empty: not returned
        const SerialAdapter adapter{"usb0", "A1", 0x0403, 0x6001}, unnumbered{"usb0", {}, 1, 2};
        QTest::newRow("back at its name") << adapter << adapter << "usb0";
        QTest::newRow("another adapter at its name")
            << adapter << SerialAdapter{"usb0", "B2", 0x0403, 0x6001} << "";
        QTest::newRow("in another socket")
            << adapter << SerialAdapter{"usb1", "A1", 0x0403, 0x6001} << "usb1";
        QTest::newRow("one of its make without a serial number, elsewhere")
            << unnumbered << SerialAdapter{"usb1", {}, 1, 2} << "";
    }
    void lostDeviceReturnsAsTheSameAdapter()
    {
        QFETCH(SerialAdapter, remembered);
        QFETCH(SerialAdapter, now);
        QFETCH(QString, returnedAt);
        QTemporaryDir dir;
        for (SerialAdapter *port : {&remembered, &now})
            port->location = dir.filePath(port->location);
        QVector<SerialAdapter> listed{remembered};
        PortReturnWatcher watcher(nullptr, [&listed] { return listed; });
        watcher.remember(remembered.location);
        listed = {now};
        QSignalSpy returned(&watcher, &PortReturnWatcher::returned);
        watcher.look();
        QCOMPARE(returned.value(0).value(0).toString(),
                 returnedAt.isEmpty() ? QString() : dir.filePath(returnedAt));
    }
};

QTEST_GUILESS_MAIN(TestDeviceSession)
#include "tst_devicesession.moc"
