#include <QProcess>
#include <QtTest>

// The simulator as its own process; the program's whole conversation with it is the e2e suite's.
class TestSimProcess : public QObject
{
    Q_OBJECT

private slots:
    // The simulator never serves, and so never draws traffic to, anything but loopback.
    void nonLoopbackAddressIsRefused()
    {
        QProcess sim;
        sim.start(QStringLiteral(VKS20_SIM_PROGRAM),
                  {QStringLiteral("--udp"), QStringLiteral("192.168.1.102:502")});
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardError().contains("loopback"));
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimProcess)
#include "tst_simprocess.moc"
