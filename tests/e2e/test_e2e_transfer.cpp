// Region transfers of the real window against the simulator in each connection mode: a written
// store reads back equal, and a writing is verified.
#include "e2e/e2esession.h"

#include <QCheckBox>

class TestE2eTransfer : public E2eSuite
{
    Q_OBJECT

private slots:
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
    // than it acknowledged is named. One that keeps it all is the link fault suite's.
    void verifyNamesRegionDeviceChanged()
    {
        Session session(Usb, {"--drop-vertex", "7/2"}, 2);
        session.open(sampleDeviceStore(), dir.filePath(QStringLiteral("verified.dat")));
        const RegionStore before = session.store();
        session.click("pushButtonUpload");

        QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 1, 20000);
        QCOMPARE(messages->texts.first(),
                 QStringLiteral("校验失败：设备上第 7 组区域 2 与写入的不同！"));
        QCOMPARE(session.store(), before);
        QVERIFY(session.button("pushButtonUpload")->isEnabled());
        QVERIFY(session.endedWithStart());
    }
};

QTEST_MAIN(TestE2eTransfer)
#include "test_e2e_transfer.moc"
