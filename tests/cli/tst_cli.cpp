// vks20-cli against the device simulator, both run as processes: region files through the
// device and back in each connection mode, a device that loses a vertex, files refused before
// anything is sent, a scan against the simulator's own record of it, the alarm evaluation of a
// live scan and of its capture against the same record, and refused command lines;
// fingerprints, diffs, backups and the commissioning report of the regions that travelled.
#include "regions/regionfile.h"
#include "support/simulatorprocess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

struct Run
{
    int status = -1;
    QString out, err;
};

// `program` run to its end.
Run runToEnd(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// vks20-cli run to its end, reaching `device` when one is given.
Run cli(const QStringList &arguments, const Simulator *device = nullptr)
{
    QStringList link;
    if (device)
        link << (device->mode == Net ? "--udp" : "--serial") << device->endpoint;
    if (device && device->mode == Modbus)
        link << QStringLiteral("--modbus");
    return runToEnd(QStringLiteral(VKS20_CLI_PATH), link + arguments);
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

// A CSV's rows under its header.
QStringList csvRows(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts).mid(1);
}

// The rows of a scan CSV by revolution, without the revolution column.
QMap<int, QStringList> revolutions(const QString &path)
{
    QMap<int, QStringList> rows;
    for (const QString &row : csvRows(path))
        rows[row.section(',', 0, 0).toInt()] << row.section(',', 1);
    return rows;
}

// A wedge the walker crosses, a wedge whose far edge runs along the right wall (the wall's
// noise moves points in and out every revolution), and two vertices, which never alarm.
const QVector<QPolygonF> alarmPolygons = {
    QPolygonF(QVector<QPointF>{{0, 0}, {2819, 1026}, {1500, 2598}}),
    QPolygonF(QVector<QPointF>{{8495, -1498}, {8500, 800}, {8505, 3093}}),
    QPolygonF(QVector<QPointF>{{0, 0}, {1000, 1000}})};
const int alarmPoints[] = {5, 97, 1};

// Per revolution in order: "inside,alarm_points,alarm" of regions 1..3, joined by ';'.
QStringList alarmRows(const QString &csvPath)
{
    QStringList rows;
    for (const QString &row : csvRows(csvPath)) {
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
            // A region runs from the sensor through its vertices and back.
            const QPolygonF region = QPolygonF({QPointF(0, 0)}) + alarmPolygons[r];
            int inside = 0;
            for (const QString &point : points) {
                const double radians = point.section(',', 0, 0).toDouble() / 180.0 * 3.141592653;
                const double distance = point.section(',', 1, 1).toDouble();
                inside += region.containsPoint(
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
template <typename Row> bool streamedInOrder(const QList<Row> &rows, const QList<Row> &streamed)
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

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        const Run verify = cli({"regions", "verify", written}, &device);
        QCOMPARE(verify.out, QStringLiteral("the device's 45 regions match %1\n").arg(written));
        QCOMPARE(verify.status, 0);
        const QString fingerprint = cli({"regions", "fingerprint", written}).out.trimmed();
        QCOMPARE(fingerprint.size(), 64);
        // The device holds, and the file read back holds, the regions as the file gives them.
        QCOMPARE(cli({"regions", "fingerprint"}, &device).out, fingerprint + '\n');
        QCOMPARE(cli({"regions", "fingerprint", read}).out, fingerprint + '\n');
        const Run same = cli({"regions", "diff", written, "--device"}, &device);
        QCOMPARE(same.out, "the same 45 regions, fingerprint " + fingerprint + '\n');
        QCOMPARE(same.status, 0);
        if (mode != Net)
            return;
        // A second backup of the same regions says so and is written all the same.
        QTemporaryDir folder;
        QVERIFY(!cli({"regions", "backup", folder.path()}, &device).out.startsWith("unchanged"));
        const Run second = cli({"regions", "backup", folder.path()}, &device);
        QVERIFY2(second.out.startsWith("unchanged since the last backup"), qPrintable(second.out));
        const QStringList records =
            QDir(folder.path()).entryList({"*.json"}, QDir::Files, QDir::Name);
        QCOMPARE(records.size(), 2);
        QVERIFY(records.last().endsWith(fingerprint.left(12) + ".json"));
        const QJsonObject json =
            QJsonDocument::fromJson(contents(folder.filePath(records.last()))).object();
        QCOMPARE(json.value("fingerprint").toString(), fingerprint);
        QCOMPARE(json.value("mode").toString(), QStringLiteral("udp"));
        QCOMPARE(json.value("link").toString(), device.endpoint);
        QCOMPARE(contents(folder.filePath(records.last()).replace(".json", ".dat")),
                 contents(read));
    }

    // In sending order: a vertex count, a vertex, and an alarm count.
    void diffNamesEachDifferingRegion()
    {
        RegionStore changed = fileStore();
        changed[5][0].polygon << QPointF(10, 3000);
        changed[7][1].polygon[0].rx() += 1;
        changed[9][0].alarmPointNum = 12;
        const Run run = cli({"regions", "diff", saved(fileStore()), saved(changed, "b.dat")});
        QVERIFY2(run.out.startsWith("5/1: 3 vertices in A, 4 in B\n"
                                    "7/2 vertex 1: (307, 700) in A, (308, 700) in B\n"
                                    "9/1 alarm points: 90 in A, 12 in B\n"),
                 qPrintable(run.out));
        QCOMPARE(run.status, 1);
    }

    // Cover, the two groups with vertices, the test log; the fingerprint as text.
    void reportHasPagePerUsedGroup()
    {
        RegionStore store = Regions::initialStore();
        store[2][0].polygon = QVector<QPointF>{QPointF(-500, 300), QPointF(500, 300)};
        store[11][2].polygon = QVector<QPointF>{QPointF(2000, 0), QPointF(0, 4000)};
        const QString file = saved(store, "report.dat"), pdf = dir.filePath("report.pdf");
        const Run run = cli({"regions", "report", file, "--pdf", pdf});
        QCOMPARE(run.out, QStringLiteral("4 pages written to %1\n").arg(pdf));
        QVERIFY(runToEnd("pdfinfo", {pdf}).out.contains(QRegularExpression("Pages: +4\n")));
        const QString text = runToEnd("pdftotext", {pdf, "-"}).out;
        QVERIFY(text.contains(cli({"regions", "fingerprint", file}).out.trimmed()));
        for (const char *heading :
             {"Commissioning report", "Group 2", "Group 11", "Intrusion test log"})
            QVERIFY2(text.contains(heading), heading);
        const QString unwritable = dir.filePath("no/such/folder/report.pdf");
        QCOMPARE(cli({"regions", "report", file, "--pdf", unwritable}).status, 2);
        QVERIFY(!QFile::exists(unwritable));
    }

    // Refused before the link opens: the device's first commands are those of the next run.
    // A sound file written to a device that changes it names what changed.
    // Which files load is the region model suite's.
    void damagedFileSendsNothing()
    {
        const QString path = saved(fileStore(), QStringLiteral("truncated.dat"));
        QVERIFY(QFile::resize(path, QFileInfo(path).size() - 1));
        Simulator device(Usb, {"--log", "--drop-vertex", "3/2"});
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
        QString trace;
        while (!trace.contains("resolution query") && device.process.waitForReadyRead())
            trace += QString::fromUtf8(device.process.readAll());
        QCOMPARE(trace.left(trace.lastIndexOf("resolution query")).count("<< "), 3);
        const Run verify = cli({"regions", "write", saved(fileStore()), "--verify"}, &device);
        QCOMPARE(verify.err,
                 QStringLiteral("group 3 region 2: 2 vertices on the device, 3 in the file\n"));
        QCOMPARE(verify.status, 1);
        // A sound region file, but no capture.
        const QString regions = saved(fileStore(), QStringLiteral("sound.dat"));
        const Run evaluate = cli({"evaluate", regions, "--group", "1", "--regions", regions});
        QVERIFY2(evaluate.err.startsWith(QStringLiteral("cannot evaluate %1: ").arg(regions)),
                 qPrintable(evaluate.err));
        QCOMPARE(evaluate.status, 2);
    }

    // A scan's CSV, a capture of a scan replayed offline, the monitor and the evaluation of the
    // capture all say what the simulator streamed: the tool's first complete revolution is one
    // it streamed and the others follow it (a pty loses nothing when the tool falls behind). The
    // monitor's lines are the changes its CSV shows.
    void outputsMatchWhatDeviceStreamed()
    {
        const QString truth = dir.filePath("truth.csv"), csv = dir.filePath("scan.csv");
        const QString capture = dir.filePath("scan.pcap"), live = dir.filePath("monitor.csv");
        const QString recorded = dir.filePath("evaluate.csv");
        RegionStore store = Regions::initialStore();
        for (int r = 0; r < alarmPolygons.size(); ++r)
            store[4][r] = {alarmPolygons[r], store[4][r].color, alarmPoints[r]};
        const QString regions = saved(store, QStringLiteral("alarm.dat"));
        Simulator device(Usb, {"--truth", truth, "--rate", "20"});
        QCOMPARE(cli({"scan", "--revolutions", "3", "--csv", csv}, &device).status, 0);
        QVERIFY(revolutions(csv).size() >= 3);
        QVERIFY(streamedInOrder(revolutions(csv).values(), revolutions(truth).values()));
        QCOMPARE(cli({"capture", capture, "--seconds", "2", "--scan"}, &device).status, 0);
        QCOMPARE(cli({"replay", capture, "--csv", csv}).status, 0);
        QVERIFY(streamedInOrder(revolutions(csv).values(), revolutions(truth).values()));
        // A capture that fails (no device answers) leaves the earlier capture; a damaged capture
        // replays what it can, says where it is damaged, and leaves the earlier CSV.
        const QByteArray pcap = contents(capture), table = contents(csv);
        QCOMPARE(cli({"--udp", "127.0.0.1:9", "capture", capture, "--scan"}).status, 1);
        QCOMPARE(contents(capture), pcap);
        const QString damaged = dir.filePath(QStringLiteral("damaged.pcap"));
        QVERIFY(QFile::copy(capture, damaged) && QFile::resize(damaged, pcap.size() - 1));
        const Run replayed = cli({"replay", damaged, "--csv", csv});
        QCOMPARE(replayed.status, 1);
        QVERIFY(replayed.out.endsWith(" points\n"));
        QVERIFY(replayed.err.startsWith(damaged + " is damaged at record "));
        QCOMPARE(contents(csv), table);
        QCOMPARE(QDir(dir.path()).entryList({"scan.*"}), (QStringList{"scan.csv", "scan.pcap"}));

        const QStringList watch = {"--group", "4", "--regions", regions};
        const Run monitor =
            cli(QStringList{"monitor", "--seconds", "2", "--csv", live} + watch, &device);
        QCOMPARE(monitor.status, 0);
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
        // Enough revolutions that the wall's noise lines them up one way only, even when slow.
        QVERIFY(monitored.size() >= 8 && evaluated.size() >= 8);
        QVERIFY(streamedInOrder(monitored, streamed));
        QVERIFY(streamedInOrder(evaluated, streamed));
        QVERIFY(evaluate.out.endsWith(
            QStringLiteral("region 3: %1 revolutions evaluated, 0 alarming, 0 alarm episodes\n")
                .arg(evaluated.size())));
        QString changes;
        QMap<QString, QString> alarmOf;
        for (const QString &row : csvRows(live).mid(0, 3 * monitored.size())) {
            const QStringList cells = row.split(',');
            if (alarmOf.value(cells[2]) != cells[5])
                changes +=
                    QStringLiteral("%1 s region %2: %3 inside, %4\n")
                        .arg(cells[1], cells[2], cells[3], cells[5] == "1" ? "alarm" : "clear");
            alarmOf[cells[2]] = cells[5];
        }
        QVERIFY2(monitor.out.startsWith(changes), qPrintable(monitor.out));
    }

    // Each row is named by the command line it refuses.
    void refusedCommandLine_data()
    {
        QTest::addColumn<QString>("error");
        QTest::newRow("--udp 127.0.0.1:9 regions write") << "regions write takes one FILE";
        QTest::newRow("--udp 127.0.0.1:9 info --verify") << "--verify only goes with regions write";
        QTest::newRow("--udp 127.0.0.1:9 regions fingerprint a.dat")
            << "--udp only goes with a command for a device";
        QTest::newRow("regions diff a.dat") << "regions diff takes A and B, or A and --device";
        QTest::newRow("regions report a.dat") << "regions report takes --pdf OUT";
        QTest::newRow("regions diff /nonexistent/a.dat b.dat")
            << "cannot read /nonexistent/a.dat: ";
        QTest::newRow("--serial /nonexistent/tty info") << "cannot open /nonexistent/tty: ";
        QTest::newRow("--udp 127.0.0.1:9 monitor --regions r.dat --group 16")
            << "--group takes a whole number from 1 to 15";
        QTest::newRow("--udp 127.0.0.1:9 monitor --regions r.dat --group 1 --until-alarm 4")
            << "--until-alarm takes a whole number from 1 to 3";
        QTest::newRow("evaluate c.pcap --group 1") << "evaluate needs --group N and --regions FILE";
    }
    void refusedCommandLine()
    {
        QFETCH(QString, error);
        const Run run = cli(QString(QTest::currentDataTag()).split(' '));
        QVERIFY2(run.err.startsWith(error), qPrintable(run.err));
        QCOMPARE(run.status, 2);
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
