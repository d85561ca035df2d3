// The program against the device simulator, which runs as its own process on a
// pseudo-terminal or on UDP at 127.0.0.1 while the test drives the real window's widgets:
// a scan's whole road and region transfers in each connection mode, and each injected fault.
#include "e2e/simulatorprocess.h"

#include "display/radarindicatorwidget.h"
#include "regions/regiondocument.h"
#include "regions/regionfile.h"
#include "regions/regionwidget.h"
#include "vksresources.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

#include <log4qt/properties.h>
#include <log4qt/propertyconfigurator.h>

namespace {

QString startCommand(int mode)
{
    return mode == Modbus ? QStringLiteral("01100BF7000306FF00FFA100FF4204")
                          : QStringLiteral("FF00FFA100");
}

// A simulator with the given options and a shown main window that the operator connected
// to it, then showing page `row`.
struct Session
{
    Session(int mode, const QStringList &options, int row)
        : mode(mode), device(mode, options), page(&window)
    {
        window.resize(1410, 948);
        window.show();
        connectFromPage(&window, mode, device.endpoint);
        connected = settled(&window);
        showPage(&window, row);
    }

    QPushButton *button(const char *name) { return widget<QPushButton>(&window, name); }
    QPushButton *connectButton() { return widget<QPushButton>(&window, connectButtonName(mode)); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    RegionDocument &document() { return *window.findChild<RegionDocument *>(); }
    const RegionStore &store() { return document().store(); }
    // The operator opens a settings file holding `regions`.
    void open(const RegionStore &regions, const QString &file)
    {
        QVERIFY(RegionFile::save(regions, file) && document().loadFile(file));
    }
    int progress() { return widget<QProgressBar>(&window, "progressBarUpAndDownload")->value(); }
    // Every transfer ends by telling the device to scan again.
    bool endedWithStart() const
    {
        const QStringList sent = page.sent();
        return sent.mid(sent.size() - 3) == repeated(startCommand(mode), 3);
    }
    // The link closes from its button and the connection page is the operator's again.
    bool closes()
    {
        showPage(&window, 0);
        QTest::mouseClick(connectButton(), Qt::LeftButton);
        const char *portField = mode == Net      ? "lineEditIP"
                                : mode == Modbus ? "comboBoxModbusComNames"
                                                 : "comboBoxComNames";
        return connectButton()->text() == QStringLiteral("打开") &&
               widget<QComboBox>(&window, "comboBoxConnMode")->isEnabled() &&
               widget<QWidget>(&window, portField)->isEnabled();
    }
    // Usable: the link answers a stop and closes.
    bool stillUsable()
    {
        page.view->clear();
        showPage(&window, 1);
        click("pushButtonStopScan");
        return settled(&window) &&
               page.status().contains(QStringLiteral("发送雷达停止采集命令成功")) && closes();
    }
    // The editors and the alarm count show the group on display as the store holds it.
    bool editorsShowTheStore()
    {
        const int group = widget<QListWidget>(&window, "listWidgetRgnGroupIndex")->currentRow();
        const RegionGroup regions = store().value(group);
        for (RegionWidget *editor : window.findChildren<RegionWidget *>()) {
            if (editor->regionPoints() != regions.value(editor->rgnIndex()).polygon)
                return false;
        }
        const int rgnIndex = widget<QTabWidget>(&window, "tabWidgetRgnIndex")->currentIndex();
        return widget<QSpinBox>(&window, "spinBoxAlarmPointNum")->value() ==
               qBound(4, regions.value(rgnIndex).alarmPointNum, 255);
    }

    int mode;
    Simulator device;
    MainWindow window;
    DataGram page;
    bool connected = false;
};

// Unlike sampleDeviceStore() in every region, so each region shows which side it came from.
RegionStore operatorStore()
{
    RegionStore store = Regions::initialStore();
    for (auto group = store.begin(); group != store.end(); ++group) {
        for (int r = 0; r < group->size(); ++r) {
            (*group)[r].polygon = Regions::sortedByAngle(
                QPolygonF() << QPointF(-300 - group.key(), 700) << QPointF(300, 700 + 10 * r)
                            << QPointF(0, 1500));
            (*group)[r].alarmPointNum = 60 + r;
        }
    }
    return store;
}

// `store` after a reading that stored the device's first `frames` regions, in block order,
// all but the `skipped` blocks.
RegionStore afterReading(RegionStore store, const RegionStore &device, int frames,
                         const QList<int> &skipped)
{
    for (int block = 0; block < frames + skipped.size(); ++block) {
        if (skipped.contains(block))
            continue;
        const int group = block / Regions::regionsPerGroup + 1;
        const int r = block % Regions::regionsPerGroup;
        store[group][r].polygon = device[group][r].polygon;
        store[group][r].alarmPointNum = device[group][r].alarmPointNum;
    }
    return store;
}

// The regions a transfer's closing message says got through (stored by a reading,
// acknowledged in a writing), or -1 for any other message.
int regionsThrough(const QString &message, bool writing)
{
    if (message ==
        (writing ? QStringLiteral("下载区域设置成功！") : QStringLiteral("上传区域设置成功！")))
        return 45;
    const QRegularExpressionMatch match =
        QRegularExpression(writing
                               ? QStringLiteral("^下载区域设置失败：(\\d+) 个区域未被确认！$")
                               : QStringLiteral("^上传区域设置未完成：已收到 (\\d+)/45 个区域！$"))
            .match(message);
    if (!match.hasMatch())
        return -1;
    const int count = match.captured(1).toInt();
    return writing ? 45 - count : count;
}

void connectionModes()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("usb over a pty") << int(Usb);
    QTest::newRow("udp on 127.0.0.1") << int(Net);
    QTest::newRow("modbus over a pty") << int(Modbus);
}

} // namespace

class TestE2e : public QObject
{
    Q_OBJECT

    ModalMessages *messages = nullptr;
    // The program's log, written to a file of the test's own.
    QTemporaryDir dir;
    QStringList logged() const
    {
        QFile file(dir.filePath(QStringLiteral("vks20.log")));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        initVksResources();
        Log4Qt::Properties log;
        log.load(QStringLiteral("log4j.rootLogger=INFO, file\n"
                                "log4j.appender.file=org.apache.log4j.FileAppender\n"
                                "log4j.appender.file.File=%1\n"
                                "log4j.appender.file.layout=org.apache.log4j.PatternLayout\n"
                                "log4j.appender.file.layout.ConversionPattern=%m%n\n")
                     .arg(dir.filePath(QStringLiteral("vks20.log"))));
        QVERIFY(Log4Qt::PropertyConfigurator::configure(log));
    }
    void init() { messages = new ModalMessages; }
    void cleanup() { delete messages; }

    void scanRoundTrip_data() { connectionModes(); }
    void scanRoundTrip()
    {
        QFETCH(int, mode);
        const QStringList initialisation =
            (mode == Modbus
                 ? QStringList{"01100BFA000306A55A049CFAFB6482", "01100BF7000306FF0002A100FF73A8",
                               "01030BFE000306A55A0099FAFBF19D"}
                 : QStringList{"A55A049CFAFB", "FF0002A100", "A55A0099FAFB"}) +
            repeated(QStringLiteral("FF0000A108"), 3);
        Session session(mode, {QStringLiteral("--rate"), QStringLiteral("20")}, 0);
        QVERIFY2(!session.device.endpoint.isEmpty(), "the simulator named no endpoint");
        QVERIFY(session.connected);

        QCOMPARE(session.connectButton()->text(), QStringLiteral("关闭"));
        QCOMPARE(session.page.sent(), initialisation);
        const QStringList status = {QStringLiteral("停止雷达"),
                                    QStringLiteral("发送雷达停止采集命令"),
                                    QStringLiteral("下位机接收到停止点云指令"),
                                    QStringLiteral("发送雷达停止采集命令成功"),
                                    QStringLiteral("设置雷达参数"),
                                    QStringLiteral("角分辨率为0.18度"),
                                    QStringLiteral("获取雷达角分辨率成功")};
        QCOMPARE(session.page.status(), status);
        QCOMPARE(widget<QLineEdit>(&session.window, "lineEditAngleResolution")->text(),
                 QStringLiteral("0.18"));
        const QStringList log = logged();
        for (const QString &command : initialisation)
            QVERIFY(log.contains(QStringLiteral("the software send data >>> ") + command));

        // Live frames reach the scan display while its page is shown.
        showPage(&session.window, 1);
        auto *display = widget<RadarIndicatorWidget>(&session.window, "radarIndicatorWidget");
        QTest::qWait(100);
        const QImage empty = display->canvas().copy();
        session.page.view->clear();
        session.click("pushButtonStartScan");
        QVERIFY(display->isSweeping());
        QVERIFY(settled(&session.window));
        QCOMPARE(session.page.sent(), repeated(startCommand(mode), 3));
        QTRY_VERIFY_WITH_TIMEOUT(display->canvas() != empty, 5000);
        // The room's walker moves: later revolutions redraw the picture.
        const QImage firstRoom = display->canvas().copy();
        QTRY_VERIFY_WITH_TIMEOUT(display->canvas() != firstRoom, 5000);

        // The region page shows the scan only while a group is selected.
        showPage(&session.window, 2);
        auto *regionDisplay =
            widget<RadarIndicatorWidget>(&session.window, "radarIndicatorWidgetDrawRgn");
        const QImage noGroup = regionDisplay->canvas().copy();
        QTest::qWait(1000);
        QCOMPARE(regionDisplay->canvas(), noGroup);
        widget<QListWidget>(&session.window, "listWidgetRgnGroupIndex")->setCurrentRow(1);
        const QImage groupShown = regionDisplay->canvas().copy();
        QTRY_VERIFY_WITH_TIMEOUT(regionDisplay->canvas() != groupShown, 5000);

        QVERIFY(session.stillUsable());
    }

    void unansweredStopGivesUpAfterThreeAttempts()
    {
        Session session(Usb, {QStringLiteral("--no-reply")}, 1);
        QVERIFY(session.connected);
        const QStringList timeouts = {QStringLiteral("响应超时第1次"),
                                      QStringLiteral("响应超时第2次"),
                                      QStringLiteral("响应超时第3次")};
        QCOMPARE(session.page.status().mid(2, 3), timeouts);
        QVERIFY(session.page.status().contains(QStringLiteral("获取雷达角分辨率响应超时")));

        session.click("pushButtonStartScan");
        QVERIFY(settled(&session.window));
        session.page.view->clear();
        session.click("pushButtonStopScan");
        QVERIFY(settled(&session.window));

        QCOMPARE(session.page.status(),
                 QStringList{QStringLiteral("发送雷达停止采集命令")} + timeouts);
        QCOMPARE(session.page.sent(), repeated(QStringLiteral("A55A049CFAFB"), 3));
        QVERIFY(session.button("pushButtonStartScan")->isEnabled());
        const QStringList log = logged();
        for (int n = 1; n <= 3; ++n)
            QVERIFY(log.contains(QStringLiteral("Response timeout at %1 time").arg(n)));
    }

    void writtenStoreReadsBackEqual_data() { connectionModes(); }
    void writtenStoreReadsBackEqual()
    {
        QFETCH(int, mode);
        const QStringList file = {QStringLiteral("--regions-file"),
                                  dir.filePath(QStringLiteral("regions-%1.dat").arg(mode))};
        RegionFile::save(Regions::initialStore(), file.last());
        const RegionStore written = sampleDeviceStore();
        {
            Session session(mode, file, 2);
            session.open(written, dir.filePath(QStringLiteral("written.dat")));
            // Checked separately below; here the fresh window's reading checks the writing.
            widget<QCheckBox>(&session.window, "checkBoxVerifyAfterDownload")->setChecked(false);
            // A second click of either button while the writing runs starts nothing.
            QTimer::singleShot(1000, &session.window, [&session] {
                QMetaObject::invokeMethod(&session.window, "on_pushButtonUpload_clicked");
                QMetaObject::invokeMethod(&session.window, "on_pushButtonDownload_clicked");
            });
            session.click("pushButtonUpload");

            QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 1, 20000);
            QCOMPARE(messages->texts, QStringList{QStringLiteral("下载区域设置成功！")});
            const QStringList sent = session.page.sent();
            QCOMPARE(sent.filter(QRegularExpression("^(A55A02|0110[0-9A-F]{4}0044)")).size(), 45);
            QVERIFY(sent.filter(QStringLiteral("A55A03FAFB")).isEmpty());
            QCOMPARE(session.progress(), 0);
            QVERIFY(session.endedWithStart());
        }
        messages->texts.clear();

        // A fresh device loaded from what the first one saved, read by a fresh window.
        Session session(mode, file, 2);
        session.click("pushButtonDownload");

        QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 1, 20000);
        QCOMPARE(messages->texts, QStringList{QStringLiteral("上传区域设置成功！")});
        QVERIFY(sameRegions(session.store(), written));
        QVERIFY(session.editorsShowTheStore());
        QCOMPARE(session.progress(), 45);
        QVERIFY(session.endedWithStart());
        QVERIFY(session.page.status().contains(QStringLiteral("上传区域数据完成")));
    }

    // A writing the device acknowledged is read back and compared: a device that keeps less
    // than it acknowledged is named.
    void verifyAfterDownload_data()
    {
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("device keeps what it got") << QStringList() << "下载区域设置成功并已校验！";
        QTest::newRow("device drops a vertex")
            << QStringList{"--drop-vertex", "7/2"} << "校验失败：设备上第 7 组区域 2 与写入的不同！";
    }
    void verifyAfterDownload()
    {
        QFETCH(QStringList, fault);
        Session session(Usb, fault, 2);
        session.open(sampleDeviceStore(), dir.filePath(QStringLiteral("verified.dat")));
        const RegionStore before = session.store();
        session.click("pushButtonUpload");

        QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 1, 20000);
        QTEST(messages->texts.first(), "message");
        QCOMPARE(session.store(), before);
        QVERIFY(session.button("pushButtonUpload")->isEnabled());
        QVERIFY(session.endedWithStart());
    }

    void faultsEndInTheirMessage_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<bool>("writing");
        QTest::addColumn<QString>("count"); // regions a writing left unacknowledged, or read
        QTest::addColumn<QString>("status");
        QTest::newRow("model mismatch") << int(Usb) << QStringList{"--model-mismatch"} << true
                                        << "45" << QStringLiteral("雷达的实际型号不符");
        QTest::newRow("checksum errors") << int(Net) << QStringList{"--checksum-error", "3,7"}
                                         << true << "2" << QStringLiteral("校验位错误");
        QTest::newRow("silent writing")
            << int(Modbus) << QStringList{"--silence-after", "40"} << true << "5" << QString();
        QTest::newRow("silent raw reading")
            << int(Usb) << QStringList{"--silence-after", "10"} << false << "10" << QString();
        QTest::newRow("silent modbus reading")
            << int(Modbus) << QStringList{"--silence-after", "12"} << false << "12" << QString();
        // The device goes away with its pty.
        QTest::newRow("cable pull during writing")
            << int(Usb) << QStringList{"--cable-pull-after", "10"} << true << "3[56]" << QString();
    }
    void faultsEndInTheirMessage()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, fault);
        QFETCH(bool, writing);
        QFETCH(QString, count);
        QFETCH(QString, status);
        Session session(mode, fault, 2);
        session.click(writing ? "pushButtonUpload" : "pushButtonDownload");
        QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 1, 20000);

        const QRegularExpression message(
            (writing ? QStringLiteral("^下载区域设置失败：%1 个区域未被确认！$")
                     : QStringLiteral("^上传区域设置未完成：已收到 %1/45 个区域！$"))
                .arg(count));
        QVERIFY2(message.match(messages->texts.first()).hasMatch(),
                 qPrintable(messages->texts.first()));
        QVERIFY(status.isEmpty() || session.page.status().contains(status));
        QVERIFY(session.endedWithStart());
        if (fault.first() != QLatin1String("--cable-pull-after")) {
            QVERIFY(session.stillUsable());
            return;
        }
        QTRY_COMPARE(session.device.process.state(), QProcess::NotRunning);
        // The operator can still close the dead link and the window stays responsive.
        QVERIFY(session.closes());
    }

    void transferSurvivesLinkFaults_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<bool>("writing");
        QTest::addColumn<int>("fewest"); // regions that must get through
        QTest::addColumn<int>("most");
        QTest::addColumn<QList<int>>("skipped"); // blocks a reading cannot store
        // The pulled cable may take the last frame's bytes with it.
        const QStringList pull = {"--cable-pull-after", "10"};
        QTest::newRow("cable pulled during reading")
            << int(Usb) << pull << false << 9 << 10 << QList<int>();
        QTest::newRow("cable pulled during writing")
            << int(Usb) << pull << true << 9 << 10 << QList<int>();
        const QStringList twice = {"--duplicate-replies"};
        QTest::newRow("replies duplicated, writing")
            << int(Net) << twice << true << 45 << 45 << QList<int>();
        QTest::newRow("replies duplicated, reading")
            << int(Net) << twice << false << 45 << 45 << QList<int>();
        const QStringList lost = {"--drop-replies", "10", "--seed", "3"};
        QTest::newRow("replies lost, writing")
            << int(Net) << lost << true << 1 << 45 << QList<int>();
        QTest::newRow("replies lost, reading")
            << int(Net) << lost << false << 1 << 45 << QList<int>();
        const QStringList split = {"--split-replies", "--split-gap", "20"};
        QTest::newRow("replies split 20 ms apart, writing")
            << int(Usb) << split << true << 45 << 45 << QList<int>();
        QTest::newRow("replies split 20 ms apart, reading")
            << int(Usb) << split << false << 45 << 45 << QList<int>();
        // Frame 11 names group 0, frame 20 is damaged after its checksum: both are
        // acknowledged, neither is stored, the device goes on.
        QTest::newRow("unusable and damaged frames, raw reading")
            << int(Usb) << QStringList{"--bad-group-frame", "11", "--corrupt-frame", "20"} << false
            << 43 << 43 << QList<int>{10, 19};
        QTest::newRow("damaged block asked again, modbus reading")
            << int(Modbus) << QStringList{"--corrupt-frame", "20"} << false << 45 << 45
            << QList<int>();
        // A late copy of the last frame arrives while the closing message is shown.
        QTest::newRow("late copy after a udp reading")
            << int(Net) << QStringList{"--late-copy", "600"} << false << 45 << 45 << QList<int>();
    }
    void transferSurvivesLinkFaults()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, fault);
        QFETCH(bool, writing);
        QFETCH(int, fewest);
        QFETCH(int, most);
        QFETCH(QList<int>, skipped);
        const QString file = dir.filePath(QStringLiteral("device-regions.dat"));
        RegionFile::save(sampleDeviceStore(), file);
        Session session(mode, fault + QStringList{QStringLiteral("--regions-file"), file}, 2);
        session.open(operatorStore(), dir.filePath(QStringLiteral("operator.dat")));
        session.click(writing ? "pushButtonUpload" : "pushButtonDownload");

        QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 1, 20000);
        const int through = regionsThrough(messages->texts.first(), writing);
        QVERIFY2(through >= fewest && through <= most, qPrintable(messages->texts.first()));
        // A writing leaves the store alone; a reading replaces exactly the regions it stored.
        QVERIFY(sameRegions(
            session.store(),
            writing ? operatorStore()
                    : afterReading(operatorStore(), sampleDeviceStore(), through, skipped)));
        if (writing && !fault.contains(QStringLiteral("--duplicate-replies")))
            QCOMPARE(session.page.status().count(QStringLiteral("下位机接收成功")), through);
        QVERIFY(session.endedWithStart());
        if (!fault.contains(QStringLiteral("--cable-pull-after"))) {
            QVERIFY(session.stillUsable());
            return;
        }
        QTRY_COMPARE(session.device.process.state(), QProcess::NotRunning);
        QVERIFY(session.closes());
    }

    // A region taught from the room the device streams goes to the device and comes back as
    // the device holds it; the reading that brings it back is one undo step.
    void taughtRegionReadsBack()
    {
        const QStringList file = {QStringLiteral("--regions-file"), dir.filePath("taught.dat")};
        RegionFile::save(Regions::initialStore(), file.last());
        Session session(Usb, file, 2);
        widget<QListWidget>(&session.window, "listWidgetRgnGroupIndex")->setCurrentRow(4);
        bool revolved = false;
        connect(session.window.findChild<DeviceSession *>(), &DeviceSession::revolutionDecoded,
                this, [&](const ScanFrames &, bool complete) { revolved |= complete; });
        session.click("pushButtonStartScan");
        QTRY_VERIFY_WITH_TIMEOUT(revolved, 5000);
        session.click("pushButtonTeachIn");
        const QPolygonF taught = session.store()[4][2].polygon;
        QVERIFY(taught.size() >= 3 && taught.size() <= Regions::maxVertices);
        QVERIFY(session.editorsShowTheStore());

        session.click("pushButtonUpload");
        QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 1, 20000);
        session.click("pushButtonDownload");
        QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 2, 20000);
        QCOMPARE(messages->texts.last(), QStringLiteral("上传区域设置成功！"));
        RegionStore held = Regions::initialStore();
        held[4][2].polygon = RegionFrame::asHeldByDevice({4, 3, 5, taught}).polygon;
        QVERIFY(sameRegions(session.store(), held));
        QCOMPARE(session.document().undoStack().undoText(), QStringLiteral("从设备读取区域"));
        session.document().undoStack().undo();
        QCOMPARE(session.store()[4][2].polygon, taught);
    }

    // The pseudo-terminal's other end vanishes while the device streams.
    void deviceLostWhileScanning()
    {
        Session session(Usb, {}, 1);
        auto *display = widget<RadarIndicatorWidget>(&session.window, "radarIndicatorWidget");
        const QImage empty = display->canvas().copy();
        session.click("pushButtonStartScan");
        QTRY_VERIFY_WITH_TIMEOUT(display->canvas() != empty, 5000);
        session.device.process.kill();
        // The displays are cleared; the link stays the operator's to close.
        QTRY_COMPARE_WITH_TIMEOUT(display->canvas(), empty, 5000);
        QCOMPARE(session.connectButton()->text(), QStringLiteral("关闭"));
        QVERIFY(session.closes());
    }

    // The operator closes the link while a stop waits for the acknowledgement it never gets.
    void linkClosedDuringUnansweredStop()
    {
        Session session(Usb, {QStringLiteral("--no-reply"), QStringLiteral("--log")}, 1);
        session.click("pushButtonStartScan");
        QVERIFY(settled(&session.window));
        session.page.view->clear();
        session.click("pushButtonStopScan");
        QTest::qWait(300);
        showPage(&session.window, 0);
        QTest::mouseClick(session.connectButton(), Qt::LeftButton);
        QVERIFY(settled(&session.window));

        QCOMPARE(session.connectButton()->text(), QStringLiteral("打开"));
        QVERIFY(widget<QComboBox>(&session.window, "comboBoxConnMode")->isEnabled());
        // All three attempts are shown, and the stop gives up as it would on an open link.
        const QString stop = QStringLiteral("A55A049CFAFB");
        QCOMPARE(session.page.sent(), repeated(stop, 3));
        QCOMPARE(
            session.page.status(),
            (QStringList{QStringLiteral("发送雷达停止采集命令"), QStringLiteral("响应超时第1次"),
                         QStringLiteral("响应超时第2次"), QStringLiteral("响应超时第3次")}));
        // Only the attempt before the close reached the device: three at connecting, one here.
        QTest::qWait(300);
        const QString trace = QString::fromUtf8(session.device.process.readAllStandardError());
        QCOMPARE(trace.count(QStringLiteral("<< ") + stop), 4);
        // The stop ends after the close and hands start back to the operator.
        QVERIFY(session.button("pushButtonStartScan")->isEnabled());
        QVERIFY(!session.button("pushButtonStopScan")->isEnabled());
        QVERIFY(!session.button("pushButtonUpload")->isEnabled());
    }
};

QTEST_MAIN(TestE2e)
#include "test_e2e.moc"
