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
        m_process.setProgram(QStringLiteral(VKS20_SIM_PROGRAM));
        m_process.setArguments(arguments);
        m_process.start();
    }

    ~SimProcess()
    {
        m_process.kill();
        m_process.waitForFinished(waitMs);
    }

    QString firstLine()
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && timer.elapsed() < waitMs &&
               m_process.state() != QProcess::NotRunning)
            m_process.waitForReadyRead(100);
        return QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }

    QProcess &process() { return m_process; }

private:
    QProcess m_process;
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

QByteArray readDatagram(QUdpSocket &socket)
{
    if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(waitMs))
        return {};
    return socket.receiveDatagram().data();
}

} // namespace

class TestSimProcess : public QObject
{
    Q_OBJECT

private slots:
    void serialLinkAnswersOverPty_data();
    void serialLinkAnswersOverPty();
    void cablePullTakesThePtyAway();
    void udpLinkAnswersTheSender();
    void nonLoopbackAddressIsRefused();
};

void TestSimProcess::serialLinkAnswersOverPty_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("raw stop") << QStringList() << hex("A55A049CFAFB") << hex("A55A0098FAFB");
    QTest::newRow("modbus resolution 0.36")
        << QStringList{"--modbus", "--resolution", "0.36"}
        << withModbusCrc(hex("01030BFE000306A55A0099FAFB")) << hex("010306A55A0020FAFB6364");
}

void TestSimProcess::serialLinkAnswersOverPty()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    SimProcess sim(QStringList{"--serial"} + arguments);
    const QString line = sim.firstLine();
    QVERIFY2(line.startsWith(QLatin1String("PTY /")), qPrintable(line));

    QSerialPort port(line.mid(4));
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
    port.setBaudRate(460800);
    port.clear();
    port.write(request);

    QCOMPARE(readBytes(port, reply.size()), reply);
}

void TestSimProcess::cablePullTakesThePtyAway()
{
    SimProcess sim({"--serial", "--cable-pull-after", "1"});
    const QString line = sim.firstLine();
    QSerialPort port(line.mid(4));
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
    port.write(hex("A55A03FAFB"));

    const QByteArray received = readBytes(port, 6 + 134);
    QCOMPARE(received.left(9), hex("A55A0098FAFBA55A03"));
    QCOMPARE(received.size(), 6 + 134);
    QVERIFY(sim.process().waitForFinished(waitMs));
    QCOMPARE(sim.process().exitCode(), 0);
}

void TestSimProcess::udpLinkAnswersTheSender()
{
    SimProcess sim({"--udp", "127.0.0.1:0"});
    const QString line = sim.firstLine();
    QVERIFY2(line.startsWith(QLatin1String("UDP 127.0.0.1:")), qPrintable(line));
    const quint16 simPort = quint16(line.section(QLatin1Char(':'), -1).toUInt());
    QUdpSocket socket;
    QVERIFY(socket.bind(QHostAddress(QHostAddress::LocalHost), 0));

    socket.writeDatagram(hex("A55A049CFAFB"), QHostAddress::LocalHost, simPort);
    QCOMPARE(readDatagram(socket), hex("A55A0098FAFB"));
    socket.writeDatagram(hex("A55A0099FAFB"), QHostAddress::LocalHost, simPort);
    QCOMPARE(readDatagram(socket), hex("A55A0010FAFB"));
}

void TestSimProcess::nonLoopbackAddressIsRefused()
{
    SimProcess sim({"--udp", "192.168.1.102:502"});

    QVERIFY(sim.process().waitForFinished(waitMs));
    QCOMPARE(sim.process().exitCode(), 2);
    QVERIFY(sim.process().readAllStandardError().contains("loopback"));
    QVERIFY(sim.process().readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(TestSimProcess)
#include "tst_simprocess.moc"
