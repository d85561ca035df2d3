// vks20-cli against the device simulator, both run as processes: region files through the
// device and back in each connection mode, a device that loses a vertex, files refused before
// anything is sent, a scan against the simulator's own record of it, the alarm evaluation of a
// live scan and of its capture against the same record, and refused command lines.
#include "regions/regionfile.h"
#include "regions/regionframes.h"
#include "support/simulatorprocess.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

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

// A wedge the walker crosses, a wedge whose far edge runs along the right wall (the wall's
// noise moves points in and out every revolution), and two vertices, which never alarm.
const QVector<QPolygonF> alarmPolygons = {
    QPolygonF(QVector<QPointF>{{0, 0}, {2819, 1026}, {1500, 2598}}),
    QPolygonF(QVector<QPointF>{{8495, -1498}, {0, 0}, {8505, 3093}}),
    QPolygonF(QVector<QPointF>{{0, 0}, {1000, 1000}})};
const int alarmPoints[] = {5, 97, 1};

// Per revolution in order: "inside,alarm_points,alarm" of regions 1..3, joined by ';'.
QStringList alarmRows(const QString &csvPath)
{
    QStringList rows;
    QFile file(csvPath);
    file.open(QIODevice::ReadOnly);
    file.readLine(); // header
    while (!file.atEnd()) {
        const QString row = QString::fromUtf8(file.readLine()).trimmed();
        const QString states = row.section(',', 3);
        if (row.section(',', 2, 2) == QLatin1String("1"))
            rows.append(states);
        else
            rows.last() += ';' + states;
    }
    return rows;
}

// The same, computed from the points the simulator streamed, in its revolution order.
QStringList expectedAlarmRows(const QString &truthPath)
{
    QStringList rows;
    for (const QStringList &points : revolutions(truthPath)) {
        QStringList states;
        for (int r = 0; r < alarmPolygons.size(); ++r) {
            int inside = 0;
            for (const QString &point : points) {
                const double radians = point.section(',', 0, 0).toDouble() / 180.0 * 3.141592653;
                const double distance = point.section(',', 1, 1).toDouble();
                inside += alarmPolygons[r].containsPoint(
                    {distance * std::cos(radians), distance * std::sin(radians)}, Qt::OddEvenFill);
            }
            const bool alarm = alarmPolygons[r].size() >= 3 && inside >= alarmPoints[r];
            states << QStringLiteral("%1,%2,%3").arg(inside).arg(alarmPoints[r]).arg(int(alarm));
        }
        rows << states.join(';');
    }
    return rows;
}

// Whether `rows` are consecutive revolutions of `streamed`.
bool streamedInOrder(const QStringList &rows, const QStringList &streamed)
{
    for (int first = 0; first + rows.size() <= streamed.size(); ++first) {
        if (streamed.mid(first, rows.size()) == rows)
            return true;
    }
    return false;
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
        for (const QStringList &command :
             {QStringList{"regions", "write", path}, QStringList{"regions", "verify", path},
              QStringList{"monitor", "--group", "1", "--regions", path}}) {
            const Run run = cli(command, &device);
            QCOMPARE(run.err,
                     QStringLiteral("cannot read %1: not a whole, valid region settings file\n")
                         .arg(path));
            QCOMPARE(run.status, 2);
        }
        QCOMPARE(cli({"info"}, &device).out,
                 QStringLiteral("mode usb, resolution 0.18 degrees, frame length 213 bytes\n"));
        // The info run's stop, parameter frame and query, and nothing before them.
        QCOMPARE(commandsUpToResolutionQuery(device), 3);
        // A sound region file, but no capture.
        const QString regions = saved(fileStore(), QStringLiteral("sound.dat"));
        const Run evaluate = cli({"evaluate", regions, "--group", "1", "--regions", regions});
        QVERIFY2(evaluate.err.startsWith(QStringLiteral("cannot evaluate %1: ").arg(regions)),
                 qPrintable(evaluate.err));
        QCOMPARE(evaluate.status, 2);
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

    // The monitor and the evaluation of a capture both say what the streamed points make of the
    // regions; the monitor's lines are the changes its CSV shows.
    void alarmsMatchWhatDeviceStreamed()
    {
        const QString truth = dir.filePath(QStringLiteral("alarm-truth.csv"));
        const QString live = dir.filePath(QStringLiteral("monitor.csv"));
        const QString recorded = dir.filePath(QStringLiteral("evaluate.csv"));
        const QString capture = dir.filePath(QStringLiteral("alarm.pcap"));
        RegionStore store = Regions::initialStore();
        for (int r = 0; r < alarmPolygons.size(); ++r)
            store[4][r] = {alarmPolygons[r], store[4][r].color, alarmPoints[r]};
        const QString regions = saved(store, QStringLiteral("alarm.dat"));
        // A pty loses nothing when the tool falls behind: the revolutions follow each other.
        Simulator device(Usb, {QStringLiteral("--truth"), truth, QStringLiteral("--rate"),
                               QStringLiteral("20")});
        const QStringList watch = {"--group", "4", "--regions", regions};
        const Run monitor =
            cli(QStringList{"monitor", "--seconds", "2", "--csv", live} + watch, &device);
        QCOMPARE(monitor.status, 0);
        QCOMPARE(cli({"capture", capture, "--seconds", "2", "--scan"}, &device).status, 0);
        const Run evaluate = cli(QStringList{"evaluate", capture, "--csv", recorded} + watch);
        QCOMPARE(evaluate.status, 0);
        const Run reached = cli(QStringList{"monitor", "--until-alarm", "2"} + watch, &device);
        QVERIFY2(reached.out.contains("\nregion 2 alarmed at "), qPrintable(reached.out));
        QCOMPARE(reached.status, 0);
        const Run missed =
            cli(QStringList{"monitor", "--until-alarm", "3", "--seconds", "1"} + watch, &device);
        QCOMPARE(missed.err, QStringLiteral("region 3 did not alarm within 1 s\n"));
        QCOMPARE(missed.status, 1);

        const QStringList streamed = expectedAlarmRows(truth);
        const QStringList monitored = alarmRows(live), evaluated = alarmRows(recorded);
        QVERIFY(monitored.size() >= 20 && evaluated.size() >= 20);
        QVERIFY(streamedInOrder(monitored, streamed));
        QVERIFY(streamedInOrder(evaluated, streamed));
        QVERIFY(evaluate.out.endsWith(
            QStringLiteral("region 3: %1 revolutions evaluated, 0 alarming, 0 alarm episodes\n")
                .arg(evaluated.size())));
        QFile csv(live);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QString changes;
        QMap<QString, QString> alarmOf;
        for (const QString &row :
             QString::fromUtf8(csv.readAll()).split('\n').mid(1, 3 * monitored.size())) {
            const QStringList cells = row.split(',');
            if (alarmOf.value(cells[2]) != cells[5])
                changes +=
                    QStringLiteral("%1 s region %2: %3 inside, %4\n")
                        .arg(cells[1], cells[2], cells[3], cells[5] == "1" ? "alarm" : "clear");
            alarmOf[cells[2]] = cells[5];
        }
        QVERIFY2(monitor.out.startsWith(changes), qPrintable(monitor.out));
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
        const QStringList watch = {"--udp", "127.0.0.1:9", "monitor", "--regions", "r.dat"};
        QTest::newRow("group 16") << watch + QStringList{"--group", "16"}
                                  << "--group takes a whole number from 1 to 15";
        QTest::newRow("region 4") << watch + QStringList{"--group", "1", "--until-alarm", "4"}
                                  << "--until-alarm takes a whole number from 1 to 3";
        QTest::newRow("evaluate without regions")
            << QStringList{"evaluate", "c.pcap", "--group", "1"}
            << "evaluate needs --group N and --regions FILE";
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
