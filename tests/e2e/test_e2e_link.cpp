// The whole road of a scan against the simulator in each connection mode: connect with its
// initialisation, start, live frames on the scan page, stop, IO output mode, close.
#include "e2e/e2esupport.h"

#include "display/radarindicatorwidget.h"
#include "vksresources.h"

#include <QImage>
#include <QPushButton>

class TestE2eLink : public QObject
{
    Q_OBJECT

    LogFile log;

    static QPushButton *button(MainWindow *window, const char *name)
    {
        return widget<QPushButton>(window, name);
    }

private slots:
    void initTestCase()
    {
        initVksResources();
        QVERIFY(log.configured);
    }

    void scanRoundTrip_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("usb over a pty") << int(Usb);
        QTest::newRow("udp on 127.0.0.1") << int(Net);
        QTest::newRow("modbus over a pty") << int(Modbus);
    }
    void scanRoundTrip()
    {
        QFETCH(int, mode);
        Simulator device(
            simulatorArguments(mode, {QStringLiteral("--rate"), QStringLiteral("20")}));
        QVERIFY2(!device.endpoint.isEmpty(), "the simulator named no endpoint");
        MainWindow window;
        window.resize(1410, 948);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        DataGram page(&window);

        connectFromPage(&window, mode, device);

        QCOMPARE(button(&window, connectButtonName(mode))->text(), QStringLiteral("关闭"));
        QCOMPARE(page.sent(), initialisationCommands(mode));
        const QStringList status = {QStringLiteral("停止雷达"),
                                    QStringLiteral("发送雷达停止采集命令"),
                                    QStringLiteral("下位机接收到停止点云指令"),
                                    QStringLiteral("发送雷达停止采集命令成功"),
                                    QStringLiteral("设置雷达参数"),
                                    QStringLiteral("角分辨率为0.18度"),
                                    QStringLiteral("获取雷达角分辨率成功")};
        QCOMPARE(page.status(), status);
        QCOMPARE(widget<QLineEdit>(&window, "lineEditAngleResolution")->text(),
                 QStringLiteral("0.18"));
        const QStringList logged = log.lines();
        for (const QString &command : initialisationCommands(mode))
            QVERIFY(logged.contains(QStringLiteral("the software send data >>> ") + command));

        // Live frames reach the scan display while its page is shown.
        showPage(&window, 1);
        auto *display = widget<RadarIndicatorWidget>(&window, "radarIndicatorWidget");
        QTest::qWait(100);
        const QImage empty = display->canvas().copy();
        page.view->clear();
        QTest::mouseClick(button(&window, "pushButtonStartScan"), Qt::LeftButton);
        QCOMPARE(page.sent(), repeated(startCommand(mode), 3));
        QVERIFY(display->isSweeping());
        QTRY_VERIFY_WITH_TIMEOUT(display->canvas() != empty, 5000);
        QVERIFY(!page.received().isEmpty());

        page.view->clear();
        QTest::mouseClick(button(&window, "pushButtonStopScan"), Qt::LeftButton);
        QVERIFY(page.status().contains(QStringLiteral("发送雷达停止采集命令成功")));
        QVERIFY(button(&window, "pushButtonStartScan")->isEnabled());
        QVERIFY(!display->isSweeping());

        page.view->clear();
        widget<QComboBox>(&window, "comboBoxIOMode")->setCurrentIndex(1);
        QCOMPARE(page.sent(), repeated(QStringLiteral("FF0000A107"), 3));

        showPage(&window, 0);
        QTest::mouseClick(button(&window, connectButtonName(mode)), Qt::LeftButton);
        QCOMPARE(button(&window, connectButtonName(mode))->text(), QStringLiteral("打开"));
        QVERIFY(widget<QLineEdit>(&window, "lineEditDevName")->text().isEmpty());
        QVERIFY(widget<QComboBox>(&window, "comboBoxConnMode")->isEnabled());
    }

    void unansweredStopGivesUpAfterThreeAttempts()
    {
        Simulator device(Simulator::serial(false, {QStringLiteral("--no-reply")}));
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        DataGram page(&window);
        connectFromPage(&window, Usb, device);
        const QStringList timeouts = {QStringLiteral("响应超时第1次"),
                                      QStringLiteral("响应超时第2次"),
                                      QStringLiteral("响应超时第3次")};
        QCOMPARE(page.status().mid(2, 3), timeouts);
        QVERIFY(page.status().contains(QStringLiteral("获取雷达角分辨率响应超时")));

        showPage(&window, 1);
        QTest::mouseClick(button(&window, "pushButtonStartScan"), Qt::LeftButton);
        page.view->clear();
        QTest::mouseClick(button(&window, "pushButtonStopScan"), Qt::LeftButton);

        QCOMPARE(page.status(), QStringList{QStringLiteral("发送雷达停止采集命令")} + timeouts);
        QCOMPARE(page.sent(), repeated(QStringLiteral("A55A049CFAFB"), 3));
        QVERIFY(button(&window, "pushButtonStartScan")->isEnabled());
        QVERIFY(!button(&window, "pushButtonStopScan")->isEnabled());
        const QStringList logged = log.lines();
        for (int n = 1; n <= 3; ++n)
            QVERIFY(logged.contains(QStringLiteral("Response timeout at %1 time").arg(n)));
    }
};

QTEST_MAIN(TestE2eLink)
#include "test_e2e_link.moc"
