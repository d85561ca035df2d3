// vks20-cli against the device simulator, both run as processes: region files through the
// device and back in each connection mode, a device that loses a vertex, files refused before
// anything is sent, a scan against the simulator's own record of it, and refused command lines.
#include "regions/regionfile.h"
#include "regions/regionframes.h"
#include "support/simulatorprocess.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// The commands received up to the latest resolution query, as the device's trace counts them.
int commandsUpToResolutionQuery(Simulator &device)
{
    QString trace;
    while (!trace.contains(QStringLiteral("resolution query")) && device.process.waitForReadyRead())
        trace += QString::fromUtf8(device.process.readAll());
    return trace.left(trace.lastIndexOf(QStringLiteral("resolution query"))).count("<< ");
}

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// vks20-cli run to its end, reaching `device` when one is given.
Run cli(const QStringList &arguments, const Simulator *device = nullptr)
{
    QStringList link;
    if (device)
        link << (device->mode == Net ? "--udp" : "--serial") << device->endpoint;
    if (device && device->mode == Modbus)
        link << QStringLiteral("--modbus");
    QProcess process;
    process.start(QStringLiteral(VKS20_CLI_PATH), link + arguments);
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

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A capture that fails (no device answers) leaves the earlier capture; a damaged capture
    // replays what it can, says where it is damaged, and leaves the earlier CSV.
    void checkFilesKeptThroughFailures(const QString &capture, const QString &csv)
    {
        const QByteArray captured = contents(capture), table = contents(csv);
        QCOMPARE(cli({"--udp", "127.0.0.1:9", "capture", capture, "--scan"}).status, 1);
        QCOMPARE(contents(capture), captured);
        const QString damaged = dir.filePath(QStringLiteral("damaged.pcap"));
        QVERIFY(QFile::copy(capture, damaged) && QFile::resize(damaged, captured.size() - 1));
        const Run replayed = cli({"replay", damaged, "--csv", csv});
        QCOMPARE(replayed.status, 1);
        QVERIFY(replayed.out.endsWith(" points\n"));
        QVERIFY(replayed.err.startsWith(damaged + " is damaged at record "));
        QCOMPARE(contents(csv), table);
        QCOMPARE(QDir(dir.path()).entryList({"scan.*"}), (QStringList{"scan.csv", "scan.pcap"}));
    }

private slots:
    void regionsGoThroughDeviceAndBack_data() { connectionModes(); }
    void regionsGoThroughDeviceAndBack()
    {
        QFETCH(int, mode);
        Simulator device(mode, {});
        const QString written = saved(fileStore()), read = dir.filePath(QStringLiteral("read.dat"));
        QCOMPARE(cli({"regions", "write", written}, &device).status, 0);
        QCOMPARE(cli({"regions", "read", read}, &device).status, 0);
        RegionStore readBack;
        QVERIFY(RegionFile::load(read, readBack));
        QCOMPARE(readBack, heldByDevice(fileStore()));
        const Run verify = cli({"regions", "verify", written}, &device);
        QCOMPARE(verify.out, QStringLiteral("the device's 45 regions match %1\n").arg(written));
        QCOMPARE(verify.status, 0);
    }

    void verifyNamesRegionDeviceChanged()
    {
        Simulator device(Usb, {QStringLiteral("--drop-vertex"), QStringLiteral("3/2")});
        const Run run = cli({"regions", "write", saved(fileStore()), "--verify"}, &device);
        QCOMPARE(run.err,
                 QStringLiteral("group 3 region 2: 2 vertices on the device, 3 in the file\n"));
        QCOMPARE(run.status, 1);
    }

    // Refused before the link opens: the device's first commands are those of the next run.
    // Which files load is the region model suite's.
    void damagedFileSendsNothing()
    {
        const QString path = saved(fileStore(), QStringLiteral("truncated.dat"));
        QVERIFY(QFile::resize(path, QFileInfo(path).size() - 1));
        Simulator device(Usb, {QStringLiteral("--log")});
        for (const char *command : {"write", "verify"}) {
            const Run run = cli({"regions", command, path}, &device);
            QCOMPARE(run.err,
                     QStringLiteral("cannot read %1: not a whole, valid region settings file\n")
                         .arg(path));
            QCOMPARE(run.status, 2);
        }
        QCOMPARE(cli({"info"}, &device).out,
                 QStringLiteral("mode usb, resolution 0.18 degrees, frame length 213 bytes\n"));
        // The info run's stop, parameter frame and query, and nothing before them.
        QCOMPARE(commandsUpToResolutionQuery(device), 3);
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
            QCOMPARE(cli({"capture", capture, "--seconds", "1", "--scan"}, &device).status, 0);
            QCOMPARE(cli({"replay", capture, "--csv", csv}).status, 0);
            checkFilesKeptThroughFailures(capture, csv);
        } else {
            QCOMPARE(cli({"scan", "--revolutions", "3", "--csv", csv}, &device).status, 0);
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
