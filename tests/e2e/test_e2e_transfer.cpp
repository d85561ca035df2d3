// Region transfers of the real window against the simulator: a writing read back and verified,
// one not checked, a reading, and a device that keeps other than it acknowledged. The same
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
        transferRow("usb writing the device changes", Usb, "--drop-vertex 7/2", true, -1, -1);
    }
};

QTEST_MAIN(TestE2eTransfer)
#include "test_e2e_transfer.moc"
