// Region transfers over a link that misbehaves: a pulled cable, replies lost, duplicated or
// split, damaged or unusable frames, a late copy; each ends in a message that tells the truth
// and leaves the store as the regions that got through make it.
#include "e2e/e2esession.h"

#include "vksresources.h"

#include <QTemporaryDir>

class TestE2eLinkFaults : public QObject
{
    Q_OBJECT

    ModalMessages *messages = nullptr;
    QTemporaryDir dir;

private slots:
    void initTestCase() { initVksResources(); }
    void init() { messages = new ModalMessages; }
    void cleanup() { delete messages; }

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
};

QTEST_MAIN(TestE2eLinkFaults)
#include "test_e2e_linkfaults.moc"
