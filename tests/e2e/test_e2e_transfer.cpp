// Region transfers of the real window against the simulator: a writing read back and verified,
// one not checked, a reading, and a device that keeps less than it acknowledged. The same
// transfers in every connection mode are the command-line suite's; the window's part is the
// same in each.
#include "e2e/e2esession.h"

class TestE2eTransfer : public E2eTransferSuite
{
    Q_OBJECT

private slots:
    void transfer_data()
    {
        transferColumns();
        transferRow("usb writing", Usb, "", true);
        transferRow("udp writing, not checked", Net, "unverified", true);
        transferRow("modbus reading", Modbus, "", false);
    }

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
