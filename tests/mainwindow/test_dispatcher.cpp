// The receive dispatcher: every link state in every connection mode, fed chunk by chunk.
#include "mainwindow/test_dispatcher_support.h"

#include "display/radarindicatorwidget.h"
#include "protocol/regionframe.h"
#include "vksresources.h"

#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// One 0.36 degree point-cloud frame at 10 degrees, every distance 1000 mm.
QByteArray pointCloudFrame()
{
    QByteArray frame(113, '\0');
    frame[0] = '\xA5';
    frame[1] = 0x5A;
    frame[2] = 0x02;
    frame[6] = 0x03;
    frame[7] = '\xE8';
    for (int i = 0; i < 50; ++i) {
        frame[10 + 2 * i] = 0x03;
        frame[11 + 2 * i] = '\xE8';
    }
    return frame;
}

} // namespace

class TestDispatcher : public QObject
{
    Q_OBJECT

    MainWindow *window = nullptr;

    RegionStore &store()
    {
        return widget<RadarIndicatorWidget>(window, "radarIndicatorWidgetDrawRgn")->regions();
    }

private slots:
    void initTestCase() { initVksResources(); }
    void init() { window = new MainWindow; }
    void cleanup()
    {
        delete window;
        window = nullptr;
    }

    void resolutionReply_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<double>("resolution");
        QTest::addColumn<int>("frameLength");
        QTest::addColumn<int>("pointsPerFrame");
        QTest::addColumn<QString>("status");
        QTest::newRow("0.18") << hex("A55A0010FAFB") << true << 0.18 << 213 << 100
                              << QStringLiteral("角分辨率为0.18度");
        QTest::newRow("0.36") << hex("A55A0020FAFB") << true << 0.36 << 113 << 50
                              << QStringLiteral("角分辨率为0.36度");
        QTest::newRow("both, 0.18 wins") << hex("A55A0020FAFBA55A0010FAFB") << true << 0.18 << 213
                                         << 100 << QStringLiteral("角分辨率为0.18度");
        QTest::newRow("no code") << hex("FF0000A108") << false << 0.36 << 113 << 50 << QString();
    }
    void resolutionReply()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(bool, answered);
        QFETCH(double, resolution);
        QFETCH(int, frameLength);
        QFETCH(int, pointsPerFrame);
        QFETCH(QString, status);

        MainWindowProbe::linkState(*window) = ResolutionQuery;
        MainWindowProbe::replyReceived(*window) = true;
        MainWindowProbe::receive(*window, chunk);

        QCOMPARE(MainWindowProbe::replyReceived(*window), answered);
        QCOMPARE(MainWindowProbe::angleResolution(*window), resolution);
        QCOMPARE(MainWindowProbe::frameLength(*window), frameLength);
        QCOMPARE(MainWindowProbe::pointsPerFrame(*window), pointsPerFrame);
        QCOMPARE(widget<QLineEdit>(window, "lineEditAngleResolution")->text(),
                 QString::number(resolution, 'f', 2));
        QCOMPARE(DataGram(window).status(), status.isEmpty() ? QStringList() : QStringList{status});
        QCOMPARE(MainWindowProbe::linkState(*window), int(ResolutionQuery));
    }

    void stopAcknowledgement_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<bool>("acknowledged");
        QTest::newRow("usb ack") << int(Usb) << hex("A55A0098FAFB") << true;
        QTest::newRow("udp ack after point-cloud bytes")
            << int(Net) << pointCloudFrame() + hex("A55A0098FAFB") << true;
        QTest::newRow("ack at an odd digit") << int(Usb) << hex("0A55A0098FAFB0") << true;
        QTest::newRow("usb, modbus ack") << int(Usb) << hex("01100BFA0003A21D") << false;
        QTest::newRow("modbus, raw ack") << int(Modbus) << hex("A55A0098FAFB") << false;
        QTest::newRow("modbus ack") << int(Modbus) << hex("01100BFA0003A21D") << true;
    }
    void stopAcknowledgement()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, chunk);
        QFETCH(bool, acknowledged);

        MainWindowProbe::connMode(*window) = mode;
        MainWindowProbe::linkState(*window) = StoppingScan;
        MainWindowProbe::receive(*window, chunk);

        QCOMPARE(MainWindowProbe::replyReceived(*window), acknowledged);
        QCOMPARE(DataGram(window).status().contains(QStringLiteral("下位机接收到停止点云指令")),
                 acknowledged);
        // Point-cloud bytes that arrive while stopping are not decoded.
        QCOMPARE(MainWindowProbe::decoder(*window).pendingFrameCount(), 0);
    }

    void regionWriteReply_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<bool>("acknowledged");
        QTest::addColumn<QString>("status");
        for (int mode : {int(Usb), int(Net), int(Modbus)}) {
            const QByteArray tag = "mode " + QByteArray::number(mode);
            QTest::newRow((tag + " ack").constData())
                << mode << hex("A55A0098FAFB") << true << QStringLiteral("下位机接收成功");
            QTest::newRow((tag + " checksum").constData())
                << mode << hex("A55AFE96FAFB") << false << QStringLiteral("校验位错误");
            QTest::newRow((tag + " model").constData())
                << mode << hex("A55AEF87FAFB") << false << QStringLiteral("雷达的实际型号不符");
            QTest::newRow((tag + " ack before errors").constData())
                << mode << hex("A55AEF87FAFBA55AFE96FAFBA55A0098FAFB") << true
                << QStringLiteral("下位机接收成功");
            QTest::newRow((tag + " checksum before model").constData())
                << mode << hex("A55AEF87FAFBA55AFE96FAFB") << false << QStringLiteral("校验位错误");
            QTest::newRow((tag + " other").constData())
                << mode << hex("A55A0020FAFB") << false << QString();
        }
    }
    void regionWriteReply()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, chunk);
        QFETCH(bool, acknowledged);
        QFETCH(QString, status);

        MainWindowProbe::connMode(*window) = mode;
        MainWindowProbe::linkState(*window) = RegionsToDevice;
        MainWindowProbe::receive(*window, chunk);

        QCOMPARE(MainWindowProbe::replyReceived(*window), acknowledged);
        QCOMPARE(DataGram(window).status(), status.isEmpty() ? QStringList() : QStringList{status});
    }

    void rawReadingSkipsTheRequestAcknowledgement()
    {
        MainWindowProbe::connMode(*window) = Usb;
        MainWindowProbe::linkState(*window) = RegionsFromDevice;
        const QPolygonF polygon(QVector<QPointF>{QPointF(-100, 250), QPointF(300, 400)});

        // The chunk with the acknowledgement is not parsed, even with a frame in it.
        MainWindowProbe::receive(*window,
                                 hex("A55A0098FAFB") + deviceRegionFrame(4, 2, 9, polygon));
        QVERIFY(MainWindowProbe::regionRequestAcked(*window));
        QCOMPARE(MainWindowProbe::rawRegionParser(*window).frameCount(), 0);
        QCOMPARE(DataGram(window).status(), QStringList{QStringLiteral("下位机接收到下载指令")});

        // Later chunks are region data, an acknowledgement behind the frame included.
        MainWindowProbe::receive(*window,
                                 deviceRegionFrame(4, 2, 9, polygon) + hex("A55A0098FAFB"));
        QCOMPARE(MainWindowProbe::rawRegionParser(*window).frameCount(), 1);
        QCOMPARE(store()[4][1].polygon, polygon);
        QCOMPARE(store()[4][1].alarmPointNum, 9);
        QCOMPARE(widget<QProgressBar>(window, "progressBarUpAndDownload")->value(), 1);
        QCOMPARE(widget<QListWidget>(window, "listWidgetRgnGroupIndex")->currentRow(), 4);
        const QStringList expected = {QStringLiteral("下位机接收到下载指令"),
                                      QStringLiteral("开始解析下载区域数据"),
                                      QStringLiteral("结束解析下载区域数据")};
        QCOMPARE(DataGram(window).status(), expected);
        // Each stored frame is acknowledged to the device.
        QCOMPARE(DataGram(window).sent(), QStringList{QStringLiteral("A55A0098FAFB")});
    }

    void modbusReadingParsesEveryChunk()
    {
        MainWindowProbe::connMode(*window) = Modbus;
        MainWindowProbe::linkState(*window) = RegionsFromDevice;
        const QByteArray block = hex("010388") + '\0' + deviceRegionFrame(15, 3, 7, {}) + '\0';
        MainWindowProbe::receive(*window, block);

        QVERIFY(MainWindowProbe::replyReceived(*window));
        QVERIFY(!MainWindowProbe::regionRequestAcked(*window));
        QCOMPARE(store()[15][2].alarmPointNum, 7);
        // No acknowledgement travels in Modbus mode.
        QVERIFY(DataGram(window).sent().isEmpty());
    }

    void framesTheStoreCannotHoldChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("frame");
        const QPolygonF triangle(
            QVector<QPointF>{QPointF(0, 100), QPointF(100, 100), QPointF(100, 0)});
        QTest::newRow("group 0") << deviceRegionFrame(0, 1, 9, triangle);
        QTest::newRow("group 16") << deviceRegionFrame(16, 1, 9, triangle);
        QTest::newRow("region 0") << deviceRegionFrame(2, 0, 9, triangle);
        QTest::newRow("region 4") << deviceRegionFrame(2, 4, 9, triangle);
        QByteArray tooManyVertices = deviceRegionFrame(2, 1, 9, triangle);
        tooManyVertices[10] = 31;
        QTest::newRow("31 vertices") << tooManyVertices;
    }
    void framesTheStoreCannotHoldChangeNothing()
    {
        QFETCH(QByteArray, frame);
        MainWindowProbe::connMode(*window) = Net;
        MainWindowProbe::linkState(*window) = RegionsFromDevice;
        MainWindowProbe::regionRequestAcked(*window) = true;
        const RegionStore before = store();

        MainWindowProbe::receive(*window, frame);

        QCOMPARE(store(), before);
        QCOMPARE(MainWindowProbe::rawRegionParser(*window).frameCount(), 0);
        QVERIFY(DataGram(window).sent().isEmpty());
    }

    void pointCloudDecodedOnlyWhileScanning_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("decodedFrames");
        QTest::newRow("scanning") << int(Scanning) << 1;
        QTest::newRow("starting") << int(StartingScan) << 0;
        QTest::newRow("stopping") << int(StoppingScan) << 0;
        QTest::newRow("resolution query") << int(ResolutionQuery) << 0;
        QTest::newRow("writing regions") << int(RegionsToDevice) << 0;
    }
    void pointCloudDecodedOnlyWhileScanning()
    {
        QFETCH(int, state);
        QFETCH(int, decodedFrames);
        MainWindowProbe::linkState(*window) = state;
        MainWindowProbe::receive(*window, pointCloudFrame());
        QCOMPARE(MainWindowProbe::decoder(*window).pendingFrameCount(), decodedFrames);
        QCOMPARE(DataGram(window).received(), QStringList{HexText::fromBytes(pointCloudFrame())});
    }

    void emptyChunkShowsABareReceiveLine()
    {
        MainWindowProbe::receive(*window, QByteArray());
        QCOMPARE(DataGram(window).received(), QStringList{QString()});
    }

    void dataMessageLimit_data()
    {
        QTest::addColumn<int>("excess");
        QTest::newRow("exactly the limit survives") << 0;
        QTest::newRow("one more clears") << 1;
    }
    void dataMessageLimit()
    {
        QFETCH(int, excess);
        const int limit = 1024 * 1024;
        auto *view = DataGram(window).view;
        const auto size = [view] { return view->document()->characterCount() - 1; };

        // Measure what one receive line adds behind a status line, then pad to the limit.
        view->append(QStringLiteral("x"));
        const int before = size();
        MainWindowProbe::receive(*window, hex("A55A"));
        const int receiveLine = size() - before;
        view->clear();
        view->append(QString(limit - receiveLine + excess, QLatin1Char('x')));
        MainWindowProbe::receive(*window, hex("A55A"));

        if (excess == 0) {
            QCOMPARE(size(), limit);
            QCOMPARE(view->toPlainText().size(), limit);
        } else {
            QVERIFY(view->toPlainText().isEmpty());
        }
    }
};

QTEST_MAIN(TestDispatcher)
#include "test_dispatcher.moc"
