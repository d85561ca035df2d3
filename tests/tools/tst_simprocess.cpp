#include "protocol/modbus.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QSerialPort>
#include <QUdpSocket>
#include <QtTest>

namespace {

constexpr int waitMs = 5000;

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

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

// Reads from the device until `wanted` bytes have arrived or the wait runs out.
QByteArray readBytes(QIODevice &device, int wanted)
{
    QByteArray bytes;
    QElapsedTimer timer;
    timer.start();
    while (bytes.size() < wanted && timer.elapsed() < waitMs) {
        if (device.bytesAvailable() == 0)
            device.waitForReadyRead(100);
        bytes += device.read(wanted - bytes.size());
    }
    return bytes;
}

} // namespace

// The simulator as its own process; the program's whole conversation with it is the e2e suites'.
class TestSimProcess : public QObject
{
    Q_OBJECT

private slots:
    void linkAnswers_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");

        QTest::newRow("raw stop over a pty")
            << QStringList{"--serial"} << hex("A55A049CFAFB") << hex("A55A0098FAFB");
        QTest::newRow("modbus resolution 0.36 over a pty")
            << QStringList{"--serial", "--modbus", "--resolution", "0.36"}
            << withModbusCrc(hex("01030BFE000306A55A0099FAFB")) << hex("010306A55A0020FAFB6364");
        QTest::newRow("resolution query on udp 127.0.0.1")
            << QStringList{"--udp", "127.0.0.1:0"} << hex("A55A0099FAFB") << hex("A55A0010FAFB");
    }
    void linkAnswers()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        SimProcess sim(arguments);

        if (arguments.first() == QLatin1String("--udp")) {
            QVERIFY2(sim.firstLine.startsWith(QLatin1String("UDP 127.0.0.1:")),
                     qPrintable(sim.firstLine));
            QUdpSocket socket;
            QVERIFY(socket.bind(QHostAddress(QHostAddress::LocalHost), 0));
            socket.writeDatagram(request, QHostAddress::LocalHost,
                                 quint16(sim.firstLine.section(QLatin1Char(':'), -1).toUInt()));
            QVERIFY(socket.hasPendingDatagrams() || socket.waitForReadyRead(waitMs));
            QCOMPARE(socket.receiveDatagram().data(), reply);
            return;
        }
        QVERIFY2(sim.firstLine.startsWith(QLatin1String("PTY /")), qPrintable(sim.firstLine));
        QSerialPort port(sim.firstLine.mid(4));
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        port.setBaudRate(460800);
        port.clear();
        port.write(request);
        QCOMPARE(readBytes(port, reply.size()), reply);
    }

    void cablePullTakesThePtyAway()
    {
        SimProcess sim({"--serial", "--cable-pull-after", "1"});
        QSerialPort port(sim.firstLine.mid(4));
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        port.write(hex("A55A03FAFB"));

        const QByteArray received = readBytes(port, 6 + 134);
        QCOMPARE(received.left(9), hex("A55A0098FAFBA55A03"));
        QCOMPARE(received.size(), 6 + 134);
        QVERIFY(sim.process.waitForFinished(waitMs));
        QCOMPARE(sim.process.exitCode(), 0);
    }

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
