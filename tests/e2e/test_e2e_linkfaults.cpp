// Region transfers with a device or a link that fails them: a pulled cable, replies refused or
// duplicated, a device that falls silent, an unusable frame; each ends in a message that tells
// the truth and leaves the store as the regions that got through make it. Replies split or lost,
// damaged frames and late copies are the session suite's.
#include "e2e/e2esession.h"

class TestE2eLinkFaults : public E2eSuite
{
    Q_OBJECT

private slots:
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
        QTest::newRow("model mismatch, writing")
            << int(Usb) << QStringList{"--model-mismatch"} << true << 0 << 0 << QList<int>();
        QTest::newRow("checksum errors, writing")
            << int(Net) << QStringList{"--checksum-error", "3,7"} << true << 43 << 43
            << QList<int>();
        const QStringList silent = {"--silence-after", "12"};
        QTest::newRow("silent, modbus writing")
            << int(Modbus) << silent << true << 12 << 12 << QList<int>();
        QTest::newRow("silent, raw reading")
            << int(Usb) << silent << false << 12 << 12 << QList<int>();
        QTest::newRow("silent, modbus reading")
            << int(Modbus) << silent << false << 12 << 12 << QList<int>();
        // Frame 11 names group 0: it is acknowledged, not stored, and the device goes on.
        QTest::newRow("unusable frame, raw reading")
            << int(Usb) << QStringList{"--bad-group-frame", "11"} << false << 44 << 44
            << QList<int>{10};
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
};

QTEST_MAIN(TestE2eLinkFaults)
#include "test_e2e_linkfaults.moc"
