// vks20-cli against the device simulator, both run as processes: region files through the
// device and back in each connection mode, a device that loses a vertex, files refused before
// anything is sent, a scan against the simulator's own record of it, and refused command lines.
#include "protocol/linktypes.h"
#include "regions/regionfile.h"
#include "regions/regionframes.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// vks20-sim for as long as the object lives; `link` is how vks20-cli reaches it.
struct Simulator
{
    Simulator(int mode, const QStringList &options)
    {
        // Its trace (--log) follows the endpoint line on the one channel.
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(
            QStringLiteral(VKS20_SIM_PATH),
            (mode == Net ? QStringList{"--udp", "127.0.0.1:0"} : QStringList{"--serial"}) +
                (mode == Modbus ? QStringList{"--modbus"} : QStringList{}) + options);
        process.waitForReadyRead(5000);
        const QString endpoint = QString::fromUtf8(process.readLine()).trimmed().section(' ', 1);
        link = QStringList{mode == Net ? "--udp" : "--serial", endpoint};
        if (mode == Modbus)
            link << QStringLiteral("--modbus");
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished();
    }
    // The commands received up to the latest resolution query, as its trace counts them.
    int commandsUpToResolutionQuery()
    {
        QString trace;
        while (!trace.contains(QStringLiteral("resolution query")) && process.waitForReadyRead())
            trace += QString::fromUtf8(process.readAll());
        return trace.left(trace.lastIndexOf(QStringLiteral("resolution query"))).count("<< ");
    }

    QProcess process;
    QStringList link;
};

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run cli(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VKS20_CLI_PATH), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Every region different; vertices with fractions and out of angular order, and a count the
// device keeps only the low byte of.
RegionStore fileStore()
{
    RegionStore store = Regions::initialStore();
    for (auto group = store.begin(); group != store.end(); ++group) {
        for (int r = 0; r < group->size(); ++r) {
            (*group)[r].polygon =
                QVector<QPointF>{QPointF(300.7 + group.key(), 700.2), QPointF(-300.4, 700 + 10 * r),
                                 QPointF(0, 1500.9)};
            (*group)[r].alarmPointNum = 10 * group.key() + r;
        }
    }
    store[15][2].alarmPointNum = 300;
    return store;
}

// The store as a device holds it after writing it, colours left as they were.
RegionStore heldByDevice(const RegionStore &written)
{
    RegionStore held = Regions::initialStore();
    for (const RegionFrame::Content &frame : RegionFrames::toDevice(written))
        RegionFrames::store(held, RegionFrame::asHeldByDevice(frame));
    return held;
}

// The rows of a scan CSV by revolution, without the revolution column.
QMap<int, QStringList> revolutions(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QMap<int, QStringList> rows;
    file.readLine(); // header
    while (!file.atEnd()) {
        const QString row = QString::fromUtf8(file.readLine()).trimmed();
        rows[row.section(',', 0, 0).toInt()] << row.section(',', 1);
    }
    return rows;
}

} // namespace

class CliTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString saved(const RegionStore &store, const QString &name = QStringLiteral("written.dat"))
    {
        const QString path = dir.filePath(name);
        return RegionFile::save(store, path) ? path : QString();
    }

private slots:
    void regionsGoThroughDeviceAndBack_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("usb over a pty") << int(Usb);
        QTest::newRow("udp on 127.0.0.1") << int(Net);
        QTest::newRow("modbus over a pty") << int(Modbus);
    }
    void regionsGoThroughDeviceAndBack()
    {
        QFETCH(int, mode);
        Simulator device(mode, {});
        const QString written = saved(fileStore()), read = dir.filePath(QStringLiteral("read.dat"));
        QCOMPARE(cli(device.link + QStringList{"regions", "write", written}).status, 0);
        QCOMPARE(cli(device.link + QStringList{"regions", "read", read}).status, 0);
        RegionStore readBack;
        QVERIFY(RegionFile::load(read, readBack));
        QCOMPARE(readBack, heldByDevice(fileStore()));
        const Run verify = cli(device.link + QStringList{"regions", "verify", written});
        QCOMPARE(verify.out, QStringLiteral("the device's 45 regions match %1\n").arg(written));
        QCOMPARE(verify.status, 0);
    }

    void verifyNamesRegionDeviceChanged()
    {
        Simulator device(Usb, {QStringLiteral("--drop-vertex"), QStringLiteral("3/2")});
        const Run run =
            cli(device.link + QStringList{"regions", "write", saved(fileStore()), "--verify"});
        QCOMPARE(run.err,
                 QStringLiteral("group 3 region 2: 2 vertices on the device, 3 in the file\n"));
        QCOMPARE(run.status, 1);
    }

    // Refused before the link opens: the device's first commands are those of the next run.
    void damagedFileSendsNothing_data()
    {
        QTest::addColumn<QString>("path");
        RegionStore unsendable = fileStore();
        unsendable[1][0].polygon[0].setX(qQNaN());
        QTest::newRow("vertex NaN") << saved(unsendable, QStringLiteral("nan.dat"));
        const QString truncated = saved(fileStore(), QStringLiteral("truncated.dat"));
        QVERIFY(QFile::resize(truncated, QFileInfo(truncated).size() - 1));
        QTest::newRow("truncated") << truncated;
    }
    void damagedFileSendsNothing()
    {
        QFETCH(QString, path);
        Simulator device(Usb, {QStringLiteral("--log")});
        for (const char *command : {"write", "verify"}) {
            const Run run = cli(device.link + QStringList{"regions", command, path});
            QCOMPARE(run.err,
                     QStringLiteral("cannot read %1: not a whole, valid region settings file\n")
                         .arg(path));
            QCOMPARE(run.status, 2);
        }
        QCOMPARE(cli(device.link + QStringList{"info"}).out,
                 QStringLiteral("mode usb, resolution 0.18 degrees, frame length 213 bytes\n"));
        // The info run's stop, parameter frame and query, and nothing before them.
        QCOMPARE(device.commandsUpToResolutionQuery(), 3);
    }

    // The tool's first complete revolution is one the simulator streamed; the others follow it.
    // A scan's CSV, and a capture of a scan replayed offline, both say what was streamed.
    void csvMatchesWhatDeviceStreamed_data()
    {
        QTest::addColumn<bool>("captured");
        QTest::newRow("scan") << false;
        QTest::newRow("capture, then replay") << true;
    }
    void csvMatchesWhatDeviceStreamed()
    {
        QFETCH(bool, captured);
        const QString truth = dir.filePath(QStringLiteral("truth.csv"));
        const QString csv = dir.filePath(QStringLiteral("scan.csv"));
        const QString capture = dir.filePath(QStringLiteral("scan.pcap"));
        Simulator device(Net, {QStringLiteral("--truth"), truth, QStringLiteral("--rate"),
                               QStringLiteral("20")});
        if (captured) {
            QCOMPARE(cli(device.link + QStringList{"capture", capture, "--seconds", "1", "--scan"})
                         .status,
                     0);
            QCOMPARE(cli({"replay", capture, "--csv", csv}).status, 0);
        } else {
            QCOMPARE(
                cli(device.link + QStringList{"scan", "--revolutions", "3", "--csv", csv}).status,
                0);
        }
        const QMap<int, QStringList> scanned = revolutions(csv), streamed = revolutions(truth);
        QVERIFY(scanned.size() >= 3);
        const int first = streamed.key(scanned[1], -1);
        QVERIFY(first >= 0);
        for (int revolution = 2; revolution <= scanned.size(); ++revolution)
            QCOMPARE(scanned[revolution], streamed.value(first + revolution - 1));
    }

    void refusedCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("no FILE") << QStringList{"--udp", "127.0.0.1:9", "regions", "write"}
                                 << "regions write takes one FILE";
        QTest::newRow("option of another command")
            << QStringList{"--udp", "127.0.0.1:9", "info", "--verify"}
            << "--verify only goes with regions write";
        QTest::newRow("no such port") << QStringList{"--serial", "/nonexistent/tty", "info"}
                                      << "cannot open /nonexistent/tty: ";
    }
    void refusedCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const Run run = cli(arguments);
        QVERIFY2(run.err.startsWith(error), qPrintable(run.err));
        QCOMPARE(run.status, 2);
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
