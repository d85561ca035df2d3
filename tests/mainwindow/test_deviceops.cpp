// Device operations over a UDP link to an in-process device on 127.0.0.1: connection
// initialisation, start, stop with its retries, IO output mode, and the closed link.
#include "mainwindow/test_dispatcher_support.h"

#include "display/radarindicatorwidget.h"
#include "vksresources.h"

#include <QPushButton>

namespace {

const QString stopCommand = QStringLiteral("A55A049CFAFB");
const QString startCommand = QStringLiteral("FF00FFA100");
const QString normallyOpen = QStringLiteral("FF0000A108");
const QString normallyClosed = QStringLiteral("FF0000A107");

} // namespace

class TestDeviceOps : public QObject
{
    Q_OBJECT

    MainWindow *window = nullptr;
    FakeUdpDevice *device = nullptr;

    QPushButton *button(const char *name) { return widget<QPushButton>(window, name); }

    void openLink()
    {
        openUdpLinkFromPage(window, device->port());
        QCOMPARE(button("pushButtonConnNet")->text(), QStringLiteral("关闭"));
        // The initialisation's last datagrams are read once the event loop turns again.
        QTRY_COMPARE(device->received.size(), 6);
        device->received.clear();
        showPage(window, 1);
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
        device->respond = rawDeviceReplies(QByteArray::fromHex("A55A0020FAFB"));
    }
    void cleanup()
    {
        delete window;
        delete device;
    }

    void connectingInitialisesTheDevice_data()
    {
        QTest::addColumn<QByteArray>("resolutionReply");
        QTest::addColumn<QString>("resolution");
        QTest::newRow("0.18") << QByteArray::fromHex("A55A0010FAFB") << QStringLiteral("0.18");
        QTest::newRow("0.36") << QByteArray::fromHex("A55A0020FAFB") << QStringLiteral("0.36");
    }
    void connectingInitialisesTheDevice()
    {
        QFETCH(QByteArray, resolutionReply);
        QFETCH(QString, resolution);
        device->respond = rawDeviceReplies(resolutionReply);

        openUdpLinkFromPage(window, device->port());

        const QStringList sequence = {stopCommand,
                                      QStringLiteral("FF0002A100"),
                                      QStringLiteral("A55A0099FAFB"),
                                      normallyOpen,
                                      normallyOpen,
                                      normallyOpen};
        QCOMPARE(DataGram(window).sent(), sequence);
        QTRY_COMPARE(device->received, sequence);
        const QStringList status = {
            QStringLiteral("停止雷达"),
            QStringLiteral("发送雷达停止采集命令"),
            QStringLiteral("下位机接收到停止点云指令"),
            QStringLiteral("发送雷达停止采集命令成功"),
            QStringLiteral("设置雷达参数"),
            QStringLiteral("角分辨率为%1度").arg(resolution),
            QStringLiteral("获取雷达角分辨率成功"),
        };
        QCOMPARE(DataGram(window).status(), status);

        const QStringList fields = {"lineEditDevName",    "lineEditSerialNo",
                                    "lineEditVersionNo",  "lineEditAngleResolution",
                                    "lineEditFrenquency", "lineEditBaudRates"};
        const QStringList values = {
            QStringLiteral("VKS20 系列"), "4.6.5", "202404161525", resolution, "10HZ", "460800"};
        for (int i = 0; i < fields.size(); ++i)
            QCOMPARE(widget<QLineEdit>(window, qPrintable(fields[i]))->text(), values[i]);
        QCOMPARE(button("pushButtonConnNet")->text(), QStringLiteral("关闭"));
        for (const char *locked : {"comboBoxConnMode", "lineEditIP", "lineEditPort"})
            QVERIFY2(!widget<QWidget>(window, locked)->isEnabled(), locked);
        QVERIFY(button("pushButtonStartScan")->isEnabled());
        QVERIFY(!button("pushButtonStopScan")->isEnabled());
        QCOMPARE(MainWindowProbe::linkState(*window), int(ResolutionQuery));

        QTest::mouseClick(button("pushButtonConnNet"), Qt::LeftButton);
        QCOMPARE(button("pushButtonConnNet")->text(), QStringLiteral("打开"));
        for (const QString &field : fields)
            QVERIFY(widget<QLineEdit>(window, qPrintable(field))->text().isEmpty());
        for (const char *unlocked : {"comboBoxConnMode", "lineEditIP", "lineEditPort"})
            QVERIFY2(widget<QWidget>(window, unlocked)->isEnabled(), unlocked);
        for (const char *control : {"pushButtonStartScan", "pushButtonStopScan", "pushButtonUpload",
                                    "pushButtonDownload"})
            QVERIFY2(!button(control)->isEnabled(), control);
    }

    void startSendsThreeStartCommands()
    {
        openLink();
        QTest::mouseClick(button("pushButtonStartScan"), Qt::LeftButton);

        QCOMPARE(DataGram(window).sent(), repeated(startCommand, 3));
        QTRY_COMPARE(device->received, repeated(startCommand, 3));
        QCOMPARE(MainWindowProbe::linkState(*window), int(Scanning));
        QVERIFY(!button("pushButtonStartScan")->isEnabled());
        QVERIFY(button("pushButtonStopScan")->isEnabled());
        QVERIFY(widget<RadarIndicatorWidget>(window, "radarIndicatorWidget")->isSweeping());
    }

    void stopAcknowledgedOnTheSecondAttempt()
    {
        openLink();
        QTest::mouseClick(button("pushButtonStartScan"), Qt::LeftButton);
        DataGram(window).view->clear();
        int stops = 0;
        device->respond = [&stops](const QByteArray &request) -> QList<QByteArray> {
            if (HexText::fromBytes(request) == stopCommand && ++stops == 2)
                return {QByteArray::fromHex("A55A0098FAFB")};
            return {};
        };

        QTest::mouseClick(button("pushButtonStopScan"), Qt::LeftButton);

        QCOMPARE(DataGram(window).sent(), repeated(stopCommand, 2));
        const QStringList status = {
            QStringLiteral("发送雷达停止采集命令"), QStringLiteral("响应超时第1次"),
            QStringLiteral("下位机接收到停止点云指令"), QStringLiteral("发送雷达停止采集命令成功")};
        QCOMPARE(DataGram(window).status(), status);
        QVERIFY(button("pushButtonStartScan")->isEnabled());
        QVERIFY(!button("pushButtonStopScan")->isEnabled());
        QVERIFY(!widget<RadarIndicatorWidget>(window, "radarIndicatorWidget")->isSweeping());
        QCOMPARE(MainWindowProbe::linkState(*window), int(StoppingScan));
        device->respond = nullptr;
    }

    void ioModeChangeSendsThreeCommands_data()
    {
        QTest::addColumn<bool>("linked");
        QTest::newRow("open link") << true;
        QTest::newRow("no link") << false;
    }
    void ioModeChangeSendsThreeCommands()
    {
        QFETCH(bool, linked);
        if (linked)
            openLink();
        auto *ioMode = widget<QComboBox>(window, "comboBoxIOMode");

        ioMode->setCurrentIndex(1);
        ioMode->setCurrentIndex(0);

        const QStringList expected = repeated(normallyClosed, 3) + repeated(normallyOpen, 3);
        QCOMPARE(DataGram(window).sent(), expected);
        QTest::qWait(100);
        QCOMPARE(device->received, linked ? expected : QStringList());
    }

    void closedUdpLinkTransmitsNothing_data()
    {
        QTest::addColumn<bool>("openedBefore");
        QTest::newRow("never opened") << false;
        QTest::newRow("opened and closed") << true;
    }
    void closedUdpLinkTransmitsNothing()
    {
        QFETCH(bool, openedBefore);
        if (openedBefore) {
            openLink();
            QTest::mouseClick(button("pushButtonConnNet"), Qt::LeftButton);
        } else {
            widget<QComboBox>(window, "comboBoxConnMode")->setCurrentIndex(Net);
            window->setDeviceEndpoint(QHostAddress::LocalHost, device->port());
        }

        MainWindowProbe::sendHexCommand(*window, stopCommand);

        QCOMPARE(DataGram(window).sent(), QStringList{stopCommand});
        QTest::qWait(200);
        QVERIFY(device->received.isEmpty());
    }

    void emptyCommandIsNeitherShownNorSent()
    {
        openLink();
        MainWindowProbe::sendHexCommand(*window, QString());
        QTest::qWait(100);
        QVERIFY(DataGram(window).lines().isEmpty());
        QVERIFY(device->received.isEmpty());
    }

    void failedSerialOpenKeepsTheButton()
    {
        auto *ports = widget<QComboBox>(window, "comboBoxComNames");
        ports->addItem(QStringLiteral("/nonexistent/ttyVKS"));
        ports->setCurrentIndex(ports->count() - 1);

        for (int click = 0; click < 2; ++click) {
            QTest::mouseClick(button("pushButtonConn"), Qt::LeftButton);
            QCOMPARE(button("pushButtonConn")->text(), QStringLiteral("打开"));
            QVERIFY(ports->isEnabled());
            QVERIFY(!button("pushButtonStartScan")->isEnabled());
            QVERIFY(DataGram(window).lines().isEmpty());
        }
    }
};

QTEST_MAIN(TestDeviceOps)
#include "test_deviceops.moc"
