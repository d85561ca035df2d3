#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

namespace {

constexpr int waitMs = 5000;

// Starts the simulator and reads the first line it prints ("PTY <path>" or "UDP <addr>").
class SimProcess
{
public:
    explicit SimProcess(const QStringList &arguments)
    {
        process.start(QStringLiteral(VKS20_SIM_PROGRAM), arguments);
        QElapsedTimer timer;
        timer.start();
        while (!process.canReadLine() && timer.elapsed() < waitMs &&
               process.state() != QProcess::NotRunning)
            process.waitForReadyRead(100);
        firstLine = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~SimProcess()
    {
        process.kill();
        process.waitForFinished(waitMs);
    }

    QProcess process;
    QString firstLine;
};

} // namespace

// The simulator as its own process; the program's whole conversation with it is the e2e suite's.
class TestSimProcess : public QObject
{
    Q_OBJECT

private slots:
    void nonLoopbackAddressIsRefused()
    {
        SimProcess sim({"--udp", "192.168.1.102:502"});
        sim.process.waitForFinished(waitMs); // false when it has already ended
        QCOMPARE(sim.process.state(), QProcess::NotRunning);
        QCOMPARE(sim.process.exitCode(), 2);
        QVERIFY(sim.process.readAllStandardError().contains("loopback"));
        QVERIFY(sim.firstLine.isEmpty());
        QVERIFY(sim.process.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimProcess)
#include "tst_simprocess.moc"
