// A device lost while the window scans it: the simulator's serial cable is pulled and plugged
// back in behind the same path, or its UDP side falls silent.
#include "e2e/simulatorprocess.h"

#include "display/radarindicatorwidget.h"
#include "vksresources.h"

#include <QTemporaryDir>

namespace {

const QString startCommand = QStringLiteral("FF00FFA100");
const QString lostLine = QStringLiteral("设备已断开，正在等待其重新连接……");
const QString silentLine = QStringLiteral("设备已 3 秒无应答");

// The window connected to `device` and scanning it, its scan page shown.
struct ScanningWindow
{
    ScanningWindow(int mode, const QString &endpoint) : page(&window)
    {
        window.resize(1410, 948);
        window.show();
        connectFromPage(&window, mode, endpoint);
        connected = settled(&window);
        showPage(&window, 1);
        QTest::mouseClick(widget<QAbstractButton>(&window, "pushButtonStartScan"), Qt::LeftButton);
    }
    RadarIndicatorWidget *display()
    {
        return widget<RadarIndicatorWidget>(&window, "radarIndicatorWidget");
    }
    QString status() { return widget<QLabel>(&window, "labelLinkStatus")->text(); }

    MainWindow window;
    DataGram page;
    bool connected = false;
};

} // namespace

class TestE2eLinkLoss : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initVksResources(); }

    // The pseudo-terminal vanishes while streaming; a second later a new one appears behind
    // the same link. The window waits, reopens it, initialises the device and scans again.
    void serialDeviceComesBackAndScanningResumes()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("radar"));
        Simulator device(Usb, {"--pty-link", link, "--rate", "20", "--cable-pull-after-scan",
                               "2500", "--come-back", "1000"});
        QCOMPARE(device.endpoint, link);
        ScanningWindow scan(Usb, link);
        QVERIFY(scan.connected);
        QTRY_COMPARE_WITH_TIMEOUT(scan.status(), lostLine, 10000);
        // The lost device's picture is gone and its controls with it.
        const QImage empty = scan.display()->canvas().copy();
        QVERIFY(!widget<QAbstractButton>(&scan.window, "pushButtonStopScan")->isEnabled());
        QCOMPARE(widget<QAbstractButton>(&scan.window, "pushButtonConn")->text(),
                 QStringLiteral("关闭"));
        scan.page.view->clear();

        QTRY_COMPARE_WITH_TIMEOUT(scan.status(), QStringLiteral("设备已重新连接：") + link, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(scan.display()->canvas() != empty, 5000);
        const QStringList sent = scan.page.sent();
        QCOMPARE(sent.mid(sent.size() - 3), repeated(startCommand, 3));
        QVERIFY(sent.contains(QStringLiteral("A55A0099FAFB"))); // initialised again

        // While it is gone again, "Close" ends the wait.
        QTRY_COMPARE_WITH_TIMEOUT(scan.status(), lostLine, 10000);
        showPage(&scan.window, 0);
        QTest::mouseClick(widget<QAbstractButton>(&scan.window, "pushButtonConn"), Qt::LeftButton);
        QCOMPARE(widget<QAbstractButton>(&scan.window, "pushButtonConn")->text(),
                 QStringLiteral("打开"));
        QCOMPARE(scan.status(), QString());
        // Long enough for the device to return and a watcher still looking to find it.
        QTest::qWait(2500);
        QCOMPARE(widget<QAbstractButton>(&scan.window, "pushButtonConn")->text(),
                 QStringLiteral("打开"));
    }

    // Over UDP the device stops answering 1 s into the scan: one line says so.
    void silentUdpDeviceIsNamedOnce()
    {
        Simulator device(Net, {"--cable-pull-after-scan", "1000"});
        ScanningWindow scan(Net, device.endpoint);
        QVERIFY(scan.connected);
        QTRY_COMPARE_WITH_TIMEOUT(scan.status(), silentLine, 8000);
        QTest::qWait(3500);
        QCOMPARE(scan.page.status().count(silentLine), 1);
    }
};

QTEST_MAIN(TestE2eLinkLoss)
#include "test_e2e_linkloss.moc"
