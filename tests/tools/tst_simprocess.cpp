#include <QProcess>
#include <QtTest>

namespace {

constexpr int waitMs = 5000;

} // namespace

// The simulator as its own process; the program's whole conversation with it is the e2e suite's,
// a cable that comes back included (test_e2e_linkloss).
class TestSimProcess : public QObject
{
    Q_OBJECT

private slots:
    // The simulator never serves, and so never draws traffic to, anything but loopback.
    void nonLoopbackAddressIsRefused()
    {
        QProcess sim;
        const QStringList refused = {"--udp", "192.168.1.102:502"};
        sim.start(QStringLiteral(VKS20_SIM_PROGRAM), refused);
        QVERIFY(sim.waitForFinished(waitMs));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardError().contains("loopback"));
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimProcess)
#include "tst_simprocess.moc"
