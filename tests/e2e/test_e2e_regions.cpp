// Region transfers against the simulator: a store written to the device comes back equal,
// in every connection mode, and each injected fault ends in its message with the program
// still usable.
#include "e2e/e2esupport.h"

#include "display/radarindicatorwidget.h"
#include "vksresources.h"

#include <QProgressBar>
#include <QPushButton>

namespace {

const QString writingDone = QStringLiteral("下载区域设置成功！");
const QString readingDone = QStringLiteral("上传区域设置成功！");

QString writingFailed(int unacknowledged)
{
    return QStringLiteral("下载区域设置失败：%1 个区域未被确认！").arg(unacknowledged);
}

QString readingIncomplete(int received)
{
    return QStringLiteral("上传区域设置未完成：已收到 %1/45 个区域！").arg(received);
}

// A main window connected to the simulator, on the region page.
struct Session
{
    Session(int mode, const Simulator &device) : mode(mode), page(&window)
    {
        window.resize(1410, 948);
        window.show();
        connectFromPage(&window, mode, device);
        showPage(&window, 2);
        page.view->clear();
    }

    QPushButton *button(const char *name) { return widget<QPushButton>(&window, name); }
    RegionStore &store()
    {
        return widget<RadarIndicatorWidget>(&window, "radarIndicatorWidgetDrawRgn")->regions();
    }
    int progress() { return widget<QProgressBar>(&window, "progressBarUpAndDownload")->value(); }
    void writeRegions() { QTest::mouseClick(button("pushButtonUpload"), Qt::LeftButton); }
    void readRegions() { QTest::mouseClick(button("pushButtonDownload"), Qt::LeftButton); }
    // Every transfer ends by telling the device to scan again.
    bool endedWithStart() const
    {
        const QStringList sent = page.sent();
        return sent.mid(sent.size() - 3) == repeated(startCommand(mode), 3);
    }
    // Usable: the link answers a stop and closes from its button.
    bool stillUsable()
    {
        page.view->clear();
        showPage(&window, 1);
        QTest::mouseClick(button("pushButtonStopScan"), Qt::LeftButton);
        const bool stopped = page.status().contains(QStringLiteral("发送雷达停止采集命令成功"));
        showPage(&window, 0);
        QTest::mouseClick(button(connectButtonName(mode)), Qt::LeftButton);
        return stopped && button(connectButtonName(mode))->text() == QStringLiteral("打开");
    }

    int mode;
    MainWindow window;
    DataGram page;
};

} // namespace

class TestE2eRegions : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    ModalMessages *messages = nullptr;

    QString freshRegionsFile(const QString &name)
    {
        const QString path = dir.filePath(name);
        RegionFile::save(Regions::initialStore(), path);
        return path;
    }

private slots:
    void initTestCase() { initVksResources(); }
    void init() { messages = new ModalMessages; }
    void cleanup() { delete messages; }

    void writtenStoreReadsBackEqual_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("usb") << int(Usb);
        QTest::newRow("udp") << int(Net);
        QTest::newRow("modbus") << int(Modbus);
    }
    void writtenStoreReadsBackEqual()
    {
        QFETCH(int, mode);
        const QString file = freshRegionsFile(QStringLiteral("regions-%1.dat").arg(mode));
        const RegionStore written = sampleDeviceStore();
        {
            Simulator device(simulatorArguments(mode, {QStringLiteral("--regions-file"), file}));
            Session session(mode, device);
            session.store() = written;
            // A second click of either button while the writing runs starts nothing.
            QTimer::singleShot(1000, &session.window, [&session] {
                QMetaObject::invokeMethod(&session.window, "on_pushButtonUpload_clicked");
                QMetaObject::invokeMethod(&session.window, "on_pushButtonDownload_clicked");
            });
            session.writeRegions();

            QCOMPARE(messages->texts, QStringList{writingDone});
            QCOMPARE(session.page.sent()
                         .filter(QRegularExpression("^(A55A02|0110[0-9A-F]{4}0044)"))
                         .size(),
                     45);
            QVERIFY(session.page.sent().filter(QStringLiteral("A55A03FAFB")).isEmpty());
            QCOMPARE(session.progress(), 0);
            QVERIFY(session.endedWithStart());
        }
        messages->texts.clear();

        // A fresh device loaded from what the first one saved, read by a fresh window.
        Simulator device(simulatorArguments(mode, {QStringLiteral("--regions-file"), file}));
        Session session(mode, device);
        session.readRegions();

        QCOMPARE(messages->texts, QStringList{readingDone});
        QVERIFY(sameRegions(session.store(), written));
        QCOMPARE(session.progress(), 45);
        QVERIFY(session.endedWithStart());
        QVERIFY(session.page.status().contains(QStringLiteral("上传区域数据完成")));
    }

    void faultsEndInTheirMessage_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<bool>("writing");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("status");
        QTest::newRow("model mismatch")
            << int(Usb) << QStringList{"--model-mismatch"} << true << writingFailed(45)
            << QStringLiteral("雷达的实际型号不符");
        QTest::newRow("checksum errors")
            << int(Net) << QStringList{"--checksum-error", "3,7"} << true << writingFailed(2)
            << QStringLiteral("校验位错误");
        QTest::newRow("silent writing") << int(Modbus) << QStringList{"--silence-after", "40"}
                                        << true << writingFailed(5) << QString();
        QTest::newRow("silent raw reading") << int(Usb) << QStringList{"--silence-after", "10"}
                                            << false << readingIncomplete(10) << QString();
        QTest::newRow("silent modbus reading")
            << int(Modbus) << QStringList{"--silence-after", "12"} << false << readingIncomplete(12)
            << QString();
    }
    void faultsEndInTheirMessage()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, fault);
        QFETCH(bool, writing);
        QFETCH(QString, message);
        QFETCH(QString, status);
        Simulator device(simulatorArguments(mode, fault));
        Session session(mode, device);

        if (writing)
            session.writeRegions();
        else
            session.readRegions();

        QCOMPARE(messages->texts, QStringList{message});
        if (!status.isEmpty())
            QVERIFY(session.page.status().contains(status));
        QVERIFY(session.endedWithStart());
        QVERIFY(session.stillUsable());
    }

    void cablePullDuringWriting()
    {
        Simulator device(
            Simulator::serial(false, {QStringLiteral("--cable-pull-after"), QStringLiteral("10")}));
        Session session(Usb, device);
        session.writeRegions();

        QCOMPARE(messages->texts.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^下载区域设置失败：3[56] 个区域未被确认！$"))
                     .match(messages->texts.first())
                     .hasMatch(),
                 qPrintable(messages->texts.first()));
        QTRY_VERIFY(!device.isRunning());
        // The operator can still close the dead link and the window stays responsive.
        showPage(&session.window, 0);
        QTest::mouseClick(session.button("pushButtonConn"), Qt::LeftButton);
        QCOMPARE(session.button("pushButtonConn")->text(), QStringLiteral("打开"));
        QVERIFY(widget<QComboBox>(&session.window, "comboBoxConnMode")->isEnabled());
    }
};

QTEST_MAIN(TestE2eRegions)
#include "test_e2e_regions.moc"
