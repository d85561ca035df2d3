// Region transfer: Modbus write echoes, acknowledgement counting, and a reading that starts
// afresh and cannot be run twice at once.
#include "mainwindow/test_dispatcher_support.h"

#include "display/radarindicatorwidget.h"
#include "protocol/modbus.h"
#include "vksresources.h"

#include <QProgressBar>
#include <QPushButton>

namespace {

const QString regionRequest = QStringLiteral("A55A03FAFB");
const QString frameAck = QStringLiteral("A55A0098FAFB");

QByteArray writeEcho(int block, bool validCrc = true)
{
    QByteArray echo = QByteArray::fromHex("0110");
    echo.append(char((block * 68) >> 8))
        .append(char(block * 68))
        .append(QByteArray::fromHex("0044"));
    QByteArray crc = modbusCrc16(echo);
    if (!validCrc)
        crc[0] = char(crc[0] ^ 0x01);
    return echo + crc;
}

} // namespace

class TestRegionTransfer : public QObject
{
    Q_OBJECT

    MainWindow *window = nullptr;
    FakeUdpDevice *device = nullptr;
    ModalMessages *messages = nullptr;

    QPushButton *button(const char *name) { return widget<QPushButton>(window, name); }
    RegionStore &store()
    {
        return widget<RadarIndicatorWidget>(window, "radarIndicatorWidgetDrawRgn")->regions();
    }

    void openLinkOnRegionPage()
    {
        openUdpLinkFromPage(window, device->port());
        QTRY_COMPARE(device->received.size(), 6);
        device->received.clear();
        showPage(window, 2);
    }
    QStringList regionFramesWritten() const
    {
        QStringList frames;
        for (const QString &hex : device->received) {
            if (hex.startsWith(QLatin1String("A55A02")))
                frames.append(hex);
        }
        return frames;
    }

private slots:
    void initTestCase() { initVksResources(); }
    void init()
    {
        window = new MainWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        device = new FakeUdpDevice;
        device->respond = rawDeviceReplies(QByteArray::fromHex("A55A0020FAFB"));
        messages = new ModalMessages;
    }
    void cleanup()
    {
        delete messages;
        delete window;
        delete device;
    }

    void modbusWriteEchoAcknowledgesTheBlock_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("acknowledged");
        QTest::newRow("echo of the block") << writeEcho(44) << true;
        QTest::newRow("echo of another block") << writeEcho(43) << false;
        QTest::newRow("echo with a broken CRC") << writeEcho(44, false) << false;
        QTest::newRow("device acknowledgement") << QByteArray::fromHex("A55A0098FAFB") << true;
    }
    void modbusWriteEchoAcknowledgesTheBlock()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, acknowledged);
        MainWindowProbe::connMode(*window) = Modbus;
        MainWindowProbe::linkState(*window) = RegionsToDevice;

        MainWindowProbe::sendRegionFrame(*window, 44, {15, 3, 5, {}});
        const QStringList sent = DataGram(window).sent();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().size(), 2 * RegionFrame::modbusWriteRequestSize);
        QVERIFY(sent.first().startsWith(QLatin1String("01100BB0004488")));

        MainWindowProbe::receive(*window, reply);
        QCOMPARE(MainWindowProbe::replyReceived(*window), acknowledged);
    }

    void writingCountsAcknowledgements_data()
    {
        QTest::addColumn<QList<int>>("unanswered");
        QTest::addColumn<QString>("message");
        QTest::newRow("all answered") << QList<int>() << QStringLiteral("下载区域设置成功！");
        QTest::newRow("two unanswered")
            << QList<int>{3, 7} << QStringLiteral("下载区域设置失败：2 个区域未被确认！");
    }
    void writingCountsAcknowledgements()
    {
        QFETCH(QList<int>, unanswered);
        QFETCH(QString, message);
        openLinkOnRegionPage();
        int written = 0;
        const auto normal = device->respond;
        device->respond = [&](const QByteArray &request) -> QList<QByteArray> {
            if (request.startsWith(QByteArray::fromHex("A55A02")) && unanswered.contains(++written))
                return {};
            return normal(request);
        };

        QTest::mouseClick(button("pushButtonUpload"), Qt::LeftButton);

        QCOMPARE(messages->texts, QStringList{message});
        const QStringList frames = regionFramesWritten();
        QCOMPARE(frames.size(), 45);
        for (int k = 0; k < frames.size(); ++k) {
            const QByteArray frame = QByteArray::fromHex(frames[k].toLatin1());
            QCOMPARE(int(frame.at(4)), k / 3 + 1);
            QCOMPARE(int(frame.at(9)), k % 3 + 1);
        }
        QCOMPARE(device->received.first(), QStringLiteral("A55A049CFAFB"));
        QTRY_COMPARE(device->received.mid(device->received.size() - 3),
                     repeated(QStringLiteral("FF00FFA100"), 3));
        QCOMPARE(widget<QProgressBar>(window, "progressBarUpAndDownload")->value(), 0);
        QVERIFY(button("pushButtonUpload")->isEnabled());
        device->respond = nullptr;
    }

    void readingStartsAfreshAndRunsOnce()
    {
        openLinkOnRegionPage();
        // Frames left over from a reading that never completed.
        MainWindowProbe::linkState(*window) = RegionsFromDevice;
        MainWindowProbe::regionRequestAcked(*window) = true;
        for (int group = 1; group <= 10; ++group)
            MainWindowProbe::receive(*window, deviceRegionFrame(group, 1, 99, {}));
        QCOMPARE(MainWindowProbe::rawRegionParser(*window).frameCount(), 10);
        QTRY_COMPARE(device->count(frameAck), 10);
        device->received.clear();

        const RegionStore deviceStore = sampleDeviceStore();
        QList<QByteArray> frames = deviceRegionFrames(deviceStore);
        const auto normal = device->respond;
        device->respond = [&](const QByteArray &request) -> QList<QByteArray> {
            const QString hex = HexText::fromBytes(request);
            // Like the device: acknowledge the request, then one frame per acknowledgement.
            // The first frame leaves apart from the acknowledgement, whose chunk is not parsed.
            if (hex == regionRequest) {
                QTimer::singleShot(50, device, [&] { device->sendToProgram(frames.takeFirst()); });
                return {QByteArray::fromHex(frameAck.toLatin1())};
            }
            if (hex == frameAck && !frames.isEmpty())
                return {frames.takeFirst()};
            return normal(request);
        };
        // Neither transfer button starts anything while this reading runs.
        QTimer::singleShot(300, window, [this] {
            QMetaObject::invokeMethod(window, "on_pushButtonDownload_clicked");
            QMetaObject::invokeMethod(window, "on_pushButtonUpload_clicked");
        });

        QTest::mouseClick(button("pushButtonDownload"), Qt::LeftButton);

        QVERIFY(frames.isEmpty());
        QCOMPARE(messages->texts, QStringList{QStringLiteral("上传区域设置成功！")});
        QVERIFY(sameRegions(store(), deviceStore));
        QCOMPARE(widget<QProgressBar>(window, "progressBarUpAndDownload")->value(), 45);
        QCOMPARE(device->count(regionRequest), 1);
        QVERIFY(regionFramesWritten().isEmpty());
        QCOMPARE(device->count(frameAck), 45);
        QTRY_COMPARE(device->received.mid(device->received.size() - 3),
                     repeated(QStringLiteral("FF00FFA100"), 3));
        QVERIFY(DataGram(window).status().contains(QStringLiteral("上传区域数据完成")));
        device->respond = nullptr;
    }
};

QTEST_MAIN(TestRegionTransfer)
#include "test_regiontransfer.moc"
