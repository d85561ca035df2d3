// The main window's link: the receive dispatcher fed chunk by chunk in every link state and
// connection mode, then device operations and region transfers over UDP with an in-process
// device on 127.0.0.1.
#include "mainwindow/mainwindowsupport.h"

#include "display/radarindicatorwidget.h"
#include "protocol/hextext.h"
#include "protocol/regionframe.h"
#include "vksresources.h"

#include <QNetworkDatagram>
#include <QProgressBar>
#include <QPushButton>
#include <QUdpSocket>

#include <functional>

namespace {

QByteArray hex(const QByteArray &text)
{
    return QByteArray::fromHex(text);
}

const QString stopCommand = QStringLiteral("A55A049CFAFB");
const QString startCommand = QStringLiteral("FF00FFA100");
const QString normallyOpen = QStringLiteral("FF0000A108");
const QString ack = QStringLiteral("A55A0098FAFB");
const QString regionRequest = QStringLiteral("A55A03FAFB");
// One 0.36 degree point-cloud frame at 10 degrees, every distance 1000 mm.
const QByteArray pointCloudFrame =
    hex("A55A0200000003E80000" + QByteArray("03E8").repeated(50) + "000000");

// A region frame as the device sends it: the written layout with type 03.
QByteArray deviceRegionFrame(int group, int region, int alarmPointNum,
                             const QPolygonF &polygon = {})
{
    QByteArray frame = RegionFrame::encodeRaw({group, region, alarmPointNum, polygon});
    frame[2] = 0x03;
    return frame;
}

// A well-behaved raw device: stop and region frames acknowledged, resolution 0.18 told.
QList<QByteArray> wellBehaved(const QByteArray &request)
{
    const QString text = HexText::fromBytes(request);
    if (text == stopCommand || text.startsWith(QLatin1String("A55A0210")))
        return {hex("A55A0098FAFB")};
    return {hex(text == QLatin1String("A55A0099FAFB") ? "A55A0010FAFB" : "")};
}

// A device on 127.0.0.1 that records each datagram's hex and answers through `respond`.
struct FakeUdpDevice : QObject
{
    FakeUdpDevice()
    {
        socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
        connect(&socket, &QUdpSocket::readyRead, this, [this] {
            while (socket.hasPendingDatagrams()) {
                last = socket.receiveDatagram();
                received.append(HexText::fromBytes(last.data()));
                for (const QByteArray &reply : respond(last.data()))
                    sendToProgram(reply);
            }
        });
    }
    // An empty reply is no reply.
    void sendToProgram(const QByteArray &bytes)
    {
        if (!bytes.isEmpty())
            socket.writeDatagram(last.makeReply(bytes));
    }

    QUdpSocket socket;
    QNetworkDatagram last;
    QStringList received;
    std::function<QList<QByteArray>(const QByteArray &)> respond = wellBehaved;
};

} // namespace

// The suite is the window's friend, so it sets and reads the link's state directly.
class MainWindowProbe : public QObject
{
    Q_OBJECT

    MainWindow *window = nullptr;
    FakeUdpDevice *device = nullptr;
    ModalMessages *messages = nullptr;

    QPushButton *button(const char *name) { return widget<QPushButton>(window, name); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    int progress() { return widget<QProgressBar>(window, "progressBarUpAndDownload")->value(); }
    RegionStore &store()
    {
        return widget<RadarIndicatorWidget>(window, "radarIndicatorWidgetDrawRgn")->regions();
    }
    // Those of the named widgets that are enabled.
    QStringList enabled(const QStringList &names)
    {
        QStringList on;
        for (const QString &name : names) {
            if (widget<QWidget>(window, qPrintable(name))->isEnabled())
                on.append(name);
        }
        return on;
    }
    void receive(int state, int mode, const QByteArray &chunk)
    {
        window->linkState = state;
        window->connMode = mode;
        window->handleReceivedData(chunk);
    }
    // Opens the link, lets the initialisation reach the device and shows page `row` with
    // the monitor and the device's record cleared.
    void openLink(int row)
    {
        openUdpLinkFromPage(window, device->socket.localPort());
        QTRY_COMPARE(device->received.size(), 6);
        device->received.clear();
        showPage(window, row);
        DataGram(window).view->clear();
    }

private slots:
    void initTestCase() { initVksResources(); }
    void init()
    {
        window = new MainWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        device = new FakeUdpDevice;
        messages = new ModalMessages;
    }
    void cleanup()
    {
        delete messages;
        delete device;
        delete window;
    }

    // A chunk in each link state and connection mode: whether it answers the wait, the status
    // line it shows and the resolution it leaves; it never changes the state, is always
    // shown, and is decoded as point cloud only while scanning.
    void receivedChunk_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QString>("status");
        QTest::addColumn<double>("resolution");
        const auto row = [](const char *name, int state, int mode, const QByteArray &chunk,
                            bool answered, const char *status, double resolution = 0.36) {
            QTest::addRow("%s, mode %d", name, mode) << state << mode << hex(chunk) << answered
                                                     << QString::fromUtf8(status) << resolution;
        };
        const QByteArray cloud = pointCloudFrame.toHex();
        row("0.18", ResolutionQuery, Usb, "A55A0010FAFB", true, "角分辨率为0.18度", 0.18);
        row("0.36", ResolutionQuery, Usb, "A55A0020FAFB", true, "角分辨率为0.36度");
        row("both, 0.18 wins", ResolutionQuery, Usb, "A55A0020FAFBA55A0010FAFB", true,
            "角分辨率为0.18度", 0.18);
        row("no resolution code", ResolutionQuery, Usb, "FF0000A108", false, "");
        row("point cloud while querying", ResolutionQuery, Usb, cloud, false, "");
        const char *stopped = "下位机接收到停止点云指令";
        row("stop ack", StoppingScan, Usb, "A55A0098FAFB", true, stopped);
        row("stop ack after point cloud", StoppingScan, Net, cloud + "A55A0098FAFB", true, stopped);
        row("stop ack at an odd digit", StoppingScan, Usb, "0A55A0098FAFB0", true, stopped);
        row("modbus stop ack", StoppingScan, Usb, "01100BFA0003A21D", false, "");
        row("raw stop ack", StoppingScan, Modbus, "A55A0098FAFB", false, "");
        row("modbus stop ack", StoppingScan, Modbus, "01100BFA0003A21D", true, stopped);
        for (int mode : {Usb, Net, Modbus}) {
            row("write ack", RegionsToDevice, mode, "A55A0098FAFB", true, "下位机接收成功");
            row("write checksum", RegionsToDevice, mode, "A55AFE96FAFB", false, "校验位错误");
            row("write model", RegionsToDevice, mode, "A55AEF87FAFB", false, "雷达的实际型号不符");
            row("write ack before errors", RegionsToDevice, mode,
                "A55AEF87FAFBA55AFE96FAFBA55A0098FAFB", true, "下位机接收成功");
            row("write checksum before model", RegionsToDevice, mode, "A55AEF87FAFBA55AFE96FAFB",
                false, "校验位错误");
            row("write other", RegionsToDevice, mode, "A55A0020FAFB", false, "");
        }
        // A Modbus writing of block 44 is also acknowledged by the echo of its request.
        row("echo of the block", RegionsToDevice, Modbus, "01100BB00044C3F9", true,
            "下位机接收成功");
        row("echo of another block", RegionsToDevice, Modbus, "01100B6C00440203", false, "");
        row("echo with a broken CRC", RegionsToDevice, Modbus, "01100BB00044C3F8", false, "");
        row("point cloud while writing", RegionsToDevice, Usb, cloud, false, "");
        row("point cloud while starting", StartingScan, Usb, cloud, false, "");
        row("point cloud while scanning", Scanning, Usb, cloud, false, "");
        row("empty while scanning", Scanning, Usb, "", false, "");
    }
    void receivedChunk()
    {
        QFETCH(int, state);
        QFETCH(QByteArray, chunk);
        QFETCH(QString, status);
        QFETCH(double, resolution);
        QFETCH(int, mode);
        window->connMode = mode;
        if (state == RegionsToDevice && mode == Modbus) {
            window->sendRegionFrame(44, {15, 3, 5, {}});
            const QString request = DataGram(window).sent().value(0);
            QVERIFY(request.startsWith(QLatin1String("01100BB0004488")));
            QCOMPARE(request.size(), 2 * RegionFrame::modbusWriteRequestSize);
        }
        receive(state, mode, chunk);

        QTEST(window->replyReceived, "answered");
        QCOMPARE(DataGram(window).status(), status.isEmpty() ? QStringList() : QStringList{status});
        QCOMPARE(window->angleResolution, resolution);
        QCOMPARE(window->frameLength, resolution == 0.18 ? 213 : 113);
        QCOMPARE(window->pointsPerFrame, resolution == 0.18 ? 100 : 50);
        QCOMPARE(widget<QLineEdit>(window, "lineEditAngleResolution")->text(),
                 state == ResolutionQuery ? QString::number(resolution, 'f', 2) : QString());
        QCOMPARE(window->linkState, state);
        QCOMPARE(DataGram(window).received(), QStringList{HexText::fromBytes(chunk)});
        QCOMPARE(window->pointCloudDecoder.pendingFrameCount(),
                 state == Scanning ? chunk.size() / pointCloudFrame.size() : 0);
    }

    void rawReadingSkipsTheRequestAcknowledgementOnly()
    {
        const QPolygonF polygon(QVector<QPointF>{QPointF(-100, 250), QPointF(300, 400)});
        RegionStore expected = store();
        // The acknowledgement is not region data, but a frame right behind it is not lost.
        receive(RegionsFromDevice, Usb, hex("A55A0098FAFB") + deviceRegionFrame(4, 2, 9, polygon));
        QVERIFY(window->regionRequestAcked);
        QCOMPARE(window->rawRegionParser.frameCount(), 1);
        expected[4][1].polygon = polygon;
        expected[4][1].alarmPointNum = 9;
        QCOMPARE(store(), expected);

        // Later chunks are region data, an acknowledgement behind the frame included; frames
        // the store cannot hold (group 0 or 16, region 0 or 4, 31 vertices) change nothing.
        QByteArray tooManyVertices = deviceRegionFrame(2, 1, 9, polygon);
        tooManyVertices[10] = 31;
        window->handleReceivedData(deviceRegionFrame(0, 1, 9) + deviceRegionFrame(16, 1, 9) +
                                   deviceRegionFrame(2, 0, 9) + deviceRegionFrame(2, 4, 9) +
                                   tooManyVertices + deviceRegionFrame(5, 3, 8, polygon) +
                                   hex("A55A0098FAFB"));
        QCOMPARE(window->rawRegionParser.frameCount(), 2);
        expected[5][2].polygon = polygon;
        expected[5][2].alarmPointNum = 8;
        QCOMPARE(store(), expected);
        QCOMPARE(progress(), 2);
        QCOMPARE(widget<QListWidget>(window, "listWidgetRgnGroupIndex")->currentRow(), 5);
        const QStringList parsing = {QStringLiteral("开始解析下载区域数据"),
                                     QStringLiteral("结束解析下载区域数据")};
        QCOMPARE(DataGram(window).status(),
                 QStringList{QStringLiteral("下位机接收到下载指令")} + parsing + parsing);
        // Each stored frame is acknowledged to the device.
        QCOMPARE(DataGram(window).sent(), (QStringList{ack, ack}));
    }

    void modbusReadingParsesEveryChunk()
    {
        receive(RegionsFromDevice, Modbus,
                hex("010388") + '\0' + deviceRegionFrame(15, 3, 7) + '\0');
        QVERIFY(window->replyReceived);
        QVERIFY(!window->regionRequestAcked);
        QCOMPARE(store()[15][2].alarmPointNum, 7);
        // No acknowledgement travels in Modbus mode.
        QVERIFY(DataGram(window).sent().isEmpty());
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
        QTextEdit *view = DataGram(window).view;
        // Measure what one receive line adds behind a status line, then pad to the limit.
        view->append(QStringLiteral("x"));
        const int before = view->toPlainText().size();
        window->handleReceivedData(hex("A55A"));
        const int receiveLine = view->toPlainText().size() - before;
        view->clear();
        view->append(QString(limit - receiveLine + excess, QLatin1Char('x')));
        window->handleReceivedData(hex("A55A"));
        QCOMPARE(view->toPlainText().size(), excess ? 0 : limit);
    }

    void connectingInitialisesTheDevice()
    {
        const QStringList fields = {"lineEditDevName",    "lineEditSerialNo",
                                    "lineEditVersionNo",  "lineEditAngleResolution",
                                    "lineEditFrenquency", "lineEditBaudRates"};
        const auto shown = [&] {
            QStringList texts;
            for (const QString &field : fields)
                texts.append(widget<QLineEdit>(window, qPrintable(field))->text());
            return texts;
        };
        const QStringList controls = {
            "comboBoxConnMode",   "lineEditIP",       "lineEditPort",      "pushButtonStartScan",
            "pushButtonStopScan", "pushButtonUpload", "pushButtonDownload"};
        openUdpLinkFromPage(window, device->socket.localPort());

        // The monitor's lines of the initialisation are the end-to-end suite's, in each mode.
        QTRY_COMPARE(device->received, (QStringList{stopCommand, "FF0002A100", "A55A0099FAFB"} +
                                        repeated(normallyOpen, 3)));
        QCOMPARE(shown(), (QStringList{QStringLiteral("VKS20 系列"), "4.6.5", "202404161525",
                                       "0.18", "10HZ", "460800"}));
        QCOMPARE(enabled(controls),
                 (QStringList{"pushButtonStartScan", "pushButtonUpload", "pushButtonDownload"}));
        QCOMPARE(window->linkState, int(ResolutionQuery));

        click("pushButtonConnNet");
        QCOMPARE(button("pushButtonConnNet")->text(), QStringLiteral("打开"));
        QCOMPARE(shown(), repeated(QString(), fields.size()));
        QCOMPARE(enabled(controls), controls.mid(0, 3));
    }

    void startThenStopAcknowledgedOnTheSecondAttempt()
    {
        openLink(1);
        auto *display = widget<RadarIndicatorWidget>(window, "radarIndicatorWidget");
        const QStringList startStop = {"pushButtonStartScan", "pushButtonStopScan"};
        click("pushButtonStartScan");

        QTRY_COMPARE(device->received, repeated(startCommand, 3));
        QCOMPARE(window->linkState, int(Scanning));
        QCOMPARE(enabled(startStop), startStop.mid(1));
        QVERIFY(display->isSweeping());

        DataGram(window).view->clear();
        int stops = 0;
        device->respond = [&stops](const QByteArray &request) -> QList<QByteArray> {
            return {HexText::fromBytes(request) == stopCommand && ++stops == 2 ? hex(ack.toLatin1())
                                                                               : QByteArray()};
        };
        click("pushButtonStopScan");

        QCOMPARE(DataGram(window).sent(), repeated(stopCommand, 2));
        const QStringList status = {
            QStringLiteral("发送雷达停止采集命令"), QStringLiteral("响应超时第1次"),
            QStringLiteral("下位机接收到停止点云指令"), QStringLiteral("发送雷达停止采集命令成功")};
        QCOMPARE(DataGram(window).status(), status);
        QCOMPARE(enabled(startStop), startStop.mid(0, 1));
        QVERIFY(!display->isSweeping());
        QCOMPARE(window->linkState, int(StoppingScan));
    }

    // Commands are shown on the monitor but leave only through an open link; an empty one is
    // neither shown nor sent, and an IO mode change sends its command three times.
    void onlyAnOpenLinkTransmits_data()
    {
        QTest::addColumn<int>("link"); // 0 never opened, 1 opened and closed, 2 open
        QTest::addColumn<bool>("ioChange");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("shown");
        const QStringList io =
            repeated(QStringLiteral("FF0000A107"), 3) + repeated(normallyOpen, 3);
        QTest::newRow("never opened") << 0 << false << stopCommand << QStringList{stopCommand};
        QTest::newRow("opened and closed") << 1 << false << stopCommand << QStringList{stopCommand};
        QTest::newRow("open, empty command") << 2 << false << QString() << QStringList();
        QTest::newRow("io mode, open") << 2 << true << QString() << io;
        QTest::newRow("io mode, never opened") << 0 << true << QString() << io;
    }
    void onlyAnOpenLinkTransmits()
    {
        QFETCH(int, link);
        QFETCH(bool, ioChange);
        QFETCH(QString, command);
        QFETCH(QStringList, shown);
        if (link == 0) {
            widget<QComboBox>(window, "comboBoxConnMode")->setCurrentIndex(Net);
            window->setDeviceEndpoint(QHostAddress::LocalHost, device->socket.localPort());
        } else {
            openLink(0);
        }
        if (link == 1)
            click("pushButtonConnNet");
        auto *ioMode = widget<QComboBox>(window, "comboBoxIOMode");
        if (ioChange) {
            ioMode->setCurrentIndex(1);
            ioMode->setCurrentIndex(0);
        } else {
            window->sendHexCommand(command);
        }

        QCOMPARE(DataGram(window).sent(), shown);
        QCOMPARE(DataGram(window).view->toPlainText().isEmpty(), shown.isEmpty());
        QTest::qWait(200);
        QCOMPARE(device->received, link == 2 ? shown : QStringList());
    }

    void failedSerialOpenKeepsTheButton()
    {
        auto *ports = widget<QComboBox>(window, "comboBoxComNames");
        ports->setEditText(QStringLiteral("/nonexistent/ttyVKS"));
        for (int attempt = 0; attempt < 2; ++attempt) {
            click("pushButtonConn");
            QCOMPARE(button("pushButtonConn")->text(), QStringLiteral("打开"));
            QVERIFY(ports->isEnabled());
            QVERIFY(!button("pushButtonStartScan")->isEnabled());
            QVERIFY(DataGram(window).view->toPlainText().isEmpty());
        }
    }

    // The success of a writing is the end-to-end suite's, in each mode.
    void writingCountsAcknowledgements()
    {
        const QList<int> unanswered = {3, 7};
        openLink(2);
        int written = 0;
        device->respond = [&](const QByteArray &request) {
            const bool frame = request.startsWith(hex("A55A02"));
            return frame && unanswered.contains(++written) ? QList<QByteArray>()
                                                           : wellBehaved(request);
        };
        click("pushButtonUpload");

        QCOMPARE(messages->texts,
                 QStringList{QStringLiteral("下载区域设置失败：2 个区域未被确认！")});
        // One frame per region, group by group.
        const QStringList frames = device->received.filter(QRegularExpression("^A55A02"));
        QCOMPARE(frames.size(), 45);
        for (int k = 0; k < frames.size(); ++k) {
            QCOMPARE(frames[k].mid(8, 2).toInt(nullptr, 16), k / 3 + 1);
            QCOMPARE(frames[k].mid(18, 2).toInt(nullptr, 16), k % 3 + 1);
        }
        QCOMPARE(device->received.first(), stopCommand);
        QTRY_COMPARE(device->received.mid(device->received.size() - 3), repeated(startCommand, 3));
        QCOMPARE(progress(), 0);
        QVERIFY(button("pushButtonUpload")->isEnabled());
    }

    void readingStartsAfreshAndRunsOnce()
    {
        openLink(2);
        // Frames left over from a reading that never completed.
        window->linkState = RegionsFromDevice;
        window->regionRequestAcked = true;
        for (int group = 1; group <= 10; ++group)
            window->handleReceivedData(deviceRegionFrame(group, 1, 99));
        QCOMPARE(window->rawRegionParser.frameCount(), 10);
        QTRY_COMPARE(device->received.count(ack), 10);
        device->received.clear();

        const RegionStore deviceStore = sampleDeviceStore();
        QList<QByteArray> frames;
        for (auto group = deviceStore.cbegin(); group != deviceStore.cend(); ++group) {
            for (int r = 0; r < group->size(); ++r)
                frames << deviceRegionFrame(group.key(), r + 1, group->at(r).alarmPointNum,
                                            group->at(r).polygon);
        }
        device->respond = [&](const QByteArray &request) -> QList<QByteArray> {
            const QString text = HexText::fromBytes(request);
            // Like the device: acknowledge the request, then one frame per acknowledgement.
            // The first frame leaves apart from the acknowledgement, whose chunk is not parsed.
            if (text == regionRequest) {
                QTimer::singleShot(50, device, [&] { device->sendToProgram(frames.takeFirst()); });
                return {hex(ack.toLatin1())};
            }
            if (text == ack && !frames.isEmpty())
                return {frames.takeFirst()};
            return wellBehaved(request);
        };
        // Neither transfer button starts anything while this reading runs.
        QTimer::singleShot(300, window, [this] {
            window->on_pushButtonDownload_clicked();
            window->on_pushButtonUpload_clicked();
        });
        click("pushButtonDownload");

        QVERIFY(frames.isEmpty());
        QCOMPARE(messages->texts, QStringList{QStringLiteral("上传区域设置成功！")});
        QVERIFY(sameRegions(store(), deviceStore));
        QCOMPARE(progress(), 45);
        QCOMPARE(device->received.count(regionRequest), 1);
        QVERIFY(device->received.filter(QRegularExpression("^A55A02")).isEmpty());
        QCOMPARE(device->received.count(ack), 45);
        QTRY_COMPARE(device->received.mid(device->received.size() - 3), repeated(startCommand, 3));
        QVERIFY(DataGram(window).status().contains(QStringLiteral("上传区域数据完成")));
    }
};

QTEST_MAIN(MainWindowProbe)
#include "test_mainwindow_link.moc"
