// A device lost while the window scans it: the simulator's serial cable is pulled and plugged
// back in behind the same path, or its UDP side falls silent.
#include "e2e/e2esession.h"

#include "display/radarindicatorwidget.h"

class TestE2eLinkLoss : public E2eSuite
{
    Q_OBJECT

    const QString lostLine = QStringLiteral("设备已断开，正在等待其重新连接……");
    const QString silentLine = QStringLiteral("设备已 3 秒无应答");

private slots:
    // The pseudo-terminal vanishes while streaming; a second later a new one appears behind
    // the same link. The window waits, reopens it, initialises the device and scans again.
    void serialDeviceComesBackAndScanningResumes()
    {
        const QString link = dir.filePath(QStringLiteral("radar"));
        Session scan(Usb,
                     {"--pty-link", link, "--rate", "20", "--cable-pull-after-scan", "2500",
                      "--come-back", "1000"},
                     1);
        QVERIFY(scan.connected);
        auto *display = widget<RadarIndicatorWidget>(&scan.window, "radarIndicatorWidget");
        const QImage empty = display->canvas().copy();
        scan.click("pushButtonStartScan");
        QTRY_COMPARE_WITH_TIMEOUT(scan.linkStatus(), lostLine, 10000);
        // The lost device's picture is gone and its controls with it; the link stays the
        // operator's to close.
        QTRY_COMPARE_WITH_TIMEOUT(display->canvas(), empty, 5000);
        QVERIFY(!scan.button("pushButtonStopScan")->isEnabled());
        QCOMPARE(scan.connectButton()->text(), QStringLiteral("关闭"));
        scan.page.view->clear();

        QTRY_COMPARE_WITH_TIMEOUT(scan.linkStatus(), QStringLiteral("设备已重新连接：") + link,
                                  5000);
        QTRY_VERIFY_WITH_TIMEOUT(display->canvas() != empty, 5000);
        QVERIFY(scan.endedWithStart());
        QVERIFY(scan.page.sent().contains(QStringLiteral("A55A0099FAFB"))); // initialised again

        // While it is gone again, "Close" ends the wait.
        QTRY_COMPARE_WITH_TIMEOUT(scan.linkStatus(), lostLine, 10000);
        QVERIFY(scan.closes());
        QCOMPARE(scan.linkStatus(), QString());
        // Long enough for the device to return and a watcher still looking to find it.
        QTest::qWait(2500);
        QCOMPARE(scan.connectButton()->text(), QStringLiteral("打开"));
    }

    // Over UDP the device stops answering 1 s into the scan: one line says so.
    void silentUdpDeviceIsNamedOnce()
    {
        Session scan(Net, {"--cable-pull-after-scan", "1000"}, 1);
        QVERIFY(scan.connected);
        scan.click("pushButtonStartScan");
        QTRY_COMPARE_WITH_TIMEOUT(scan.linkStatus(), silentLine, 8000);
        QTest::qWait(3500);
        QCOMPARE(scan.page.status().count(silentLine), 1);
    }
};

QTEST_MAIN(TestE2eLinkLoss)
#include "test_e2e_linkloss.moc"
