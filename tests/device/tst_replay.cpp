// Recording and replaying links: a scan recorded while the live session ran decodes offline to
// the same revolutions, and a recording holds what crossed a real link, in order, until it
// closed.
#include "sessiontestsupport.h"

#include "capture/capturefile.h"
#include "device/linkrecorder.h"
#include "device/offlinereplay.h"
#include "device/udplink.h"
#include "protocol/commands.h"
#include "protocol/modbus.h"
#include "scanstreamer.h"

#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

namespace {

constexpr int streamedRevolutions = 40;
constexpr int streamRateHz = 20;
constexpr int firstChunkDelayMs = 3;

QByteArray fineScanStream()
{
    ScanStreamer streamer(ScanGeometry::fine(), streamRateHz, 7);
    QByteArray stream;
    for (int revolution = 0; revolution < streamedRevolutions; ++revolution) {
        for (int index = 0; index < ScanStreamer::framesPerRevolution; ++index)
            stream += streamer.frame(revolution, index);
    }
    return stream;
}

} // namespace

class TestReplay : public QObject
{
    Q_OBJECT

private slots:
    // The device streams from the first start on, but the live session decodes only from the
    // third on: the replay must begin where it did.
    void offlineDecodingMatchesTheLiveSession_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("chunkSize");
        QTest::newRow("raw, frames split across chunks") << int(Usb) << 500;
        QTest::newRow("modbus, serial-sized chunks") << int(Modbus) << 4096;
    }
    void offlineDecodingMatchesTheLiveSession()
    {
        QFETCH(int, mode);
        QFETCH(int, chunkSize);
        SessionRig rig{ConnMode(mode)};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("scan.pcap"));
        LinkRecorder recorder([&rig] { return rig.clock.now() * 1000; });
        QVERIFY(recorder.start(&rig.link, path));

        const QByteArray stream = fineScanStream();
        const int chunkGapMs =
            chunkSize * 1000 / (stream.size() / streamedRevolutions * streamRateHz);
        bool streaming = false;
        rig.link.respond = [&](const QByteArray &request) -> QList<QByteArray> {
            emit rig.link.sent(request); // as a real link reports each write
            const QString hex = HexText::fromBytes(request);
            if (hex == DeviceCommand::resolutionQuery(ConnMode(mode)))
                return {mode == Modbus ? withModbusCrc(bytes("010306A55A0010FAFB"))
                                       : bytes("A55A0010FAFB")};
            if (hex == DeviceCommand::startScan(ConnMode(mode)) && !streaming) {
                streaming = true;
                for (int pos = 0; pos < stream.size(); pos += chunkSize)
                    rig.link.deliverAfter(firstChunkDelayMs + pos / chunkSize * chunkGapMs,
                                          stream.mid(pos, chunkSize));
            }
            if (mode == Modbus && request.startsWith(bytes("0110")))
                return {withModbusCrc(request.left(6))};
            if (hex == DeviceCommand::stopScan(ConnMode(mode)))
                return {bytes("A55A0098FAFB")};
            return {};
        };
        QVector<ScanFrames> live;
        connect(&rig.session, &DeviceSession::revolutionDecoded,
                [&live](const ScanFrames &frames, bool complete) {
                    if (complete)
                        live.append(frames);
                });
        rig.session.initialise({}, 0);
        rig.session.startScan();
        rig.settle();
        rig.clock.advance(streamedRevolutions * 1000 / streamRateHz);
        recorder.stop();

        QVector<ScanFrames> replayed;
        QVERIFY(
            OfflineReplay::decode(path, [&replayed](int number, qint64, const ScanFrames &frames) {
                replayed.append(frames);
                QCOMPARE(number, replayed.size());
            }));
        QVERIFY2(live.size() > streamedRevolutions / 2, qPrintable(QString::number(live.size())));
        QCOMPARE(replayed.size(), live.size());
        QVERIFY(replayed == live);
    }

    // What a chunk makes the program send is recorded after the chunk, although whoever
    // answered it heard of it before the recorder did.
    void recordingKeepsBothDirectionsInOrderUntilTheLinkCloses()
    {
        QUdpSocket device;
        QVERIFY(device.bind(QHostAddress(QHostAddress::LocalHost), 0));
        UdpLink link([](const QString &) {});
        link.setDeviceEndpoint(QHostAddress::LocalHost, device.localPort());
        QVERIFY(link.open(QHostAddress::LocalHost, 0));
        const QByteArray request = bytes("A55A049CFAFB");
        const QByteArray reply = bytes("A55A0098FAFB") + fineScanStream().left(300);
        const QByteArray answer = bytes("A55A0098FAFB");
        connect(&link, &DeviceLink::received, [&](const QByteArray &) { link.write(answer); });
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("link.pcap"));
        LinkRecorder recorder;
        QSignalSpy stopped(&recorder, &LinkRecorder::stopped);
        const qint64 startUs = QDateTime::currentMSecsSinceEpoch() * 1000;
        QVERIFY(recorder.start(&link, path));

        link.write(request);
        QVERIFY(device.waitForReadyRead(5000));
        const QNetworkDatagram asked = device.receiveDatagram();
        QSignalSpy received(&link, &DeviceLink::received);
        device.writeDatagram(reply, asked.senderAddress(), asked.senderPort());
        QVERIFY(received.wait());
        link.close();
        link.write(request);
        const qint64 endUs = (QDateTime::currentMSecsSinceEpoch() + 1) * 1000;

        QCOMPARE(stopped.count(), 1);
        QCOMPARE(recorder.bytesRecorded(), qint64(request.size() + reply.size() + answer.size()));
        CaptureReader reader;
        QVERIFY(reader.open(path, nullptr));
        QList<QPair<CaptureDirection, QByteArray>> records;
        qint64 lastUs = startUs;
        for (CaptureRecord record; reader.next(&record); lastUs = record.timeUs) {
            QVERIFY(lastUs <= record.timeUs && record.timeUs <= endUs);
            records.append({record.direction, record.bytes});
        }
        QCOMPARE(records, (QList<QPair<CaptureDirection, QByteArray>>{
                              {CaptureDirection::ToDevice, request},
                              {CaptureDirection::FromDevice, reply},
                              {CaptureDirection::ToDevice, answer}}));
    }
};

QTEST_GUILESS_MAIN(TestReplay)
#include "tst_replay.moc"
