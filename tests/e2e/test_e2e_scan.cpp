// The program against the simulator, which runs as its own process on a pseudo-terminal or on
// UDP at 127.0.0.1 while the test drives the real window's widgets: a scan's whole road in each
// connection mode with a region taught from it, and a device that does not answer.
#include "e2e/e2esession.h"

#include "display/radarindicatorwidget.h"

#include <QFile>
#include <QImage>

#include <log4qt/properties.h>
#include <log4qt/propertyconfigurator.h>

class TestE2eScan : public E2eSuite
{
    Q_OBJECT

    // The program's log, written to a file of the test's own.
    QStringList logged() const
    {
        QFile file(dir.filePath(QStringLiteral("vks20.log")));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        Log4Qt::Properties log;
        log.load(QStringLiteral("log4j.rootLogger=INFO, file\n"
                                "log4j.appender.file=org.apache.log4j.FileAppender\n"
                                "log4j.appender.file.File=%1\n"
                                "log4j.appender.file.layout=org.apache.log4j.PatternLayout\n"
                                "log4j.appender.file.layout.ConversionPattern=%m%n\n")
                     .arg(dir.filePath(QStringLiteral("vks20.log"))));
        QVERIFY(Log4Qt::PropertyConfigurator::configure(log));
    }

    void scanRoundTrip_data() { connectionModes(); }
    void scanRoundTrip()
    {
        QFETCH(int, mode);
        Session session(mode, {QStringLiteral("--rate"), QStringLiteral("20")}, 0);
        QVERIFY(session.connected);

        QCOMPARE(session.connectButton()->text(), QStringLiteral("关闭"));
        // The initialisation's bytes and status lines are the session suite's; the page shows
        // and the log records each command, and the status ends with the answered query.
        const QStringList initialisation = session.page.sent();
        QCOMPARE(initialisation.size(), 6);
        QCOMPARE(session.page.status().last(), QStringLiteral("获取雷达角分辨率成功"));
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
        widget<QListWidget>(&session.window, "listWidgetRgnGroupIndex")->setCurrentRow(4);
        const QImage groupShown = regionDisplay->canvas().copy();
        QTRY_VERIFY_WITH_TIMEOUT(regionDisplay->canvas() != groupShown, 5000);

        // A region taught from the room goes to the device and comes back as the device holds
        // it; the reading that brings it back is one undo step (which undoes exactly is the
        // document suite's).
        session.click("pushButtonTeachIn");
        const QPolygonF taught = session.store()[4][2].polygon;
        QVERIFY(taught.size() >= 3 && taught.size() <= Regions::maxVertices);
        QVERIFY(session.editorsShowTheStore());
        session.click("pushButtonUpload");
        QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 1, 40000);
        session.click("pushButtonDownload");
        QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 2, 20000);
        QCOMPARE(messages->texts.last(), QStringLiteral("上传区域设置成功！"));
        RegionStore held = Regions::initialStore();
        held[4][2].polygon = RegionFrame::asHeldByDevice({4, 3, 5, taught}).polygon;
        QVERIFY(sameRegions(session.store(), held));
        QCOMPARE(session.document().undoStack().undoText(), QStringLiteral("从设备读取区域"));
        QVERIFY(session.stillUsable());
    }

    // A device that answers nothing: a stop gives up after three attempts, also when the operator
    // closes the link while it waits.
    void unansweredStopGivesUpAfterThreeAttempts()
    {
        Session session(Usb, {QStringLiteral("--no-reply"), QStringLiteral("--log")}, 1);
        QVERIFY(session.connected);
        const QStringList log = logged();
        for (int n = 1; n <= 3; ++n)
            QVERIFY(log.contains(QStringLiteral("Response timeout at %1 time").arg(n)));

        session.click("pushButtonStartScan");
        QVERIFY(settled(&session.window));
        session.page.view->clear();
        session.click("pushButtonStopScan");
        QTest::qWait(300);
        QVERIFY(session.closes());
        QVERIFY(settled(&session.window));
        // All three attempts are shown, and the stop gives up as it would on an open link.
        const QString stop = QStringLiteral("A55A049CFAFB");
        QCOMPARE(session.page.sent(), repeated(stop, 3));
        QCOMPARE(session.page.status(), (QStringList{"发送雷达停止采集命令", "响应超时第1次",
                                                     "响应超时第2次", "响应超时第3次"}));
        // Only the attempt before the close reached the device: three at connecting, one here.
        QTest::qWait(300);
        QCOMPARE(QString::fromUtf8(session.device.process.readAll()).count("<< " + stop), 4);
        // The stop ends after the close and hands start back to the operator.
        QVERIFY(session.button("pushButtonStartScan")->isEnabled());
        QVERIFY(!session.button("pushButtonStopScan")->isEnabled());
        QVERIFY(!session.button("pushButtonUpload")->isEnabled());
    }
};

QTEST_MAIN(TestE2eScan)
#include "test_e2e_scan.moc"
