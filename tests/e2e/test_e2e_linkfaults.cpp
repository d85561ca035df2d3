// Region transfers with a device or a link that fails them: a pulled cable, replies refused or
// duplicated, a device that falls silent, an unusable frame; each ends in a message that tells
// the truth and leaves the store as the regions that got through make it. Replies split or lost,
// damaged frames and late copies are the session suite's.
#include "e2e/e2esession.h"

class TestE2eLinkFaults : public E2eTransferSuite
{
    Q_OBJECT

private slots:
    void transfer_data()
    {
        transferColumns();
        // The pulled cable may take the last frame's bytes with it.
        transferRow("cable pulled during reading", Usb, "--cable-pull-after 10", false, 9, 10);
        transferRow("cable pulled during writing", Usb, "--cable-pull-after 10", true, 9, 10);
        transferRow("replies duplicated, writing", Net, "--duplicate-replies", true);
        transferRow("replies duplicated, reading", Net, "--duplicate-replies", false);
        transferRow("checksum errors, writing", Net, "--checksum-error 3,7", true, 43, 43);
        transferRow("silent, modbus writing", Modbus, "--silence-after 12", true, 12, 12);
        transferRow("silent, modbus reading", Modbus, "--silence-after 12", false, 12, 12);
        transferRow("unusable frame, raw reading", Usb, "--bad-group-frame 11", false, 44, 44);
    }
};

QTEST_MAIN(TestE2eLinkFaults)
#include "test_e2e_linkfaults.moc"
