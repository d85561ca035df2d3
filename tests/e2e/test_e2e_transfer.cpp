// Region transfers of the real window against the simulator in each connection mode: a written
// store reads back equal, a writing is verified, and each device fault ends in its message.
#include "e2e/e2esession.h"

#include <QCheckBox>

#include "vksresources.h"

#include <QTemporaryDir>

class TestE2eTransfer : public QObject
{
    Q_OBJECT

    ModalMessages *messages = nullptr;
    QTemporaryDir dir;

private slots:
    void initTestCase() { initVksResources(); }
    void init() { messages = new ModalMessages; }
    void cleanup() { delete messages; }

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
        QTest::newRow("device drops a vertex") << QStringList{"--drop-vertex", "7/2"}
                                               << "校验失败：设备上第 7 组区域 2 与写入的不同！";
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
};

QTEST_MAIN(TestE2eTransfer)
#include "test_e2e_transfer.moc"
